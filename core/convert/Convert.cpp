#include "Convert.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>
#include <limits>

namespace desk {

ConversionError::ConversionError(Kind kind, const QString& message)
    : std::runtime_error(message.toStdString())
    , m_kind(kind)
    , m_message(message) {}

namespace convert {

QString asciiDigits(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= u'\uFF10' && u <= u'\uFF19')
            c = QChar(char16_t(u'0' + (u - u'\uFF10')));
        else if (u == u'\uFF0D' || u == u'\u2212')
            c = QLatin1Char('-'); // full-width hyphen-minus, minus sign
        else if (u == u'\uFF0B')
            c = QLatin1Char('+');
        else if (u == u'\uFF0E')
            c = QLatin1Char('.');
        else if (u == u'\uFF0C')
            c = QLatin1Char(',');
        else if (u == u'\u3000')
            c = QLatin1Char(' ');
    }
    return out;
}

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A comma at `at` separates thousands when the digits before it make a proper group (one to
// three digits first, three after every later comma) and exactly three digits follow it:
// "12,000" and "1,234,567", never "1,5", "1,2345" or "1234,567".
bool separatesThousands(const QString& text, qsizetype at, int groupDigits, bool afterComma) {
    if (afterComma ? groupDigits != 3 : (groupDigits < 1 || groupDigits > 3))
        return false;
    const qsizetype n = text.size();
    for (qsizetype i = at + 1; i <= at + 3; ++i) {
        if (i >= n || !isDigit(text[i]))
            return false;
    }
    return at + 4 >= n || !isDigit(text[at + 4]);
}

// The leading numeric part of an ASCII text: the number's characters (separators left out)
// and where it ends.
struct LeadingPart {
    QString number;
    qsizetype end = 0;
    bool digits = false;
};

LeadingPart leadingPart(const QString& text) {
    LeadingPart part;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        part.number += text[i++];
    bool point = false;
    bool afterComma = false;
    int groupDigits = 0;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            part.number += c;
            part.digits = true;
            ++groupDigits;
        } else if (c == QLatin1Char('.') && !point) {
            part.number += c;
            point = true;
        } else if (c == QLatin1Char(',') && !point && separatesThousands(text, i, groupDigits, afterComma)) {
            afterComma = true;
            groupDigits = 0;
        } else {
            break;
        }
    }
    part.end = i;
    return part;
}

} // namespace

double leadingNumber(const QString& original) {
    const LeadingPart part = leadingPart(asciiDigits(original));
    if (!part.digits)
        return 0.0;
    bool ok = false;
    const double value = part.number.toDouble(&ok);
    if (ok)
        return value;
    // Hundreds of digits: far beyond any field, never nothing.
    return part.number.startsWith(QLatin1Char('-')) ? -std::numeric_limits<double>::infinity()
                                                    : std::numeric_limits<double>::infinity();
}

bool strayComma(const QString& original) {
    const QString text = asciiDigits(original);
    const qsizetype end = leadingPart(text).end;
    return end + 1 < text.size() && text[end] == QLatin1Char(',') && isDigit(text[end + 1]);
}

std::optional<double> typedNumber(const QString& original) {
    // Thousands separators only between groups of three digits after the first group.
    static const QRegularExpression number(
        QStringLiteral(R"(^([-+]?)(\d{1,3}(?:,\d{3})+(?:\.\d*)?|\d+\.?\d*|\.\d+)$)"));
    QString text = asciiDigits(original).trimmed();
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    text.remove(QLatin1Char(','));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    // Hundreds of digits: still a number, only far beyond any field.
    return m.captured(1) == QLatin1String("-") ? -std::numeric_limits<double>::infinity()
                                               : std::numeric_limits<double>::infinity();
}

ConversionError notANumber(const QString& text) {
    return ConversionError(ConversionError::Kind::Refused,
                           QStringLiteral("「%1」は数値ではありません。").arg(text.trimmed()));
}

ConversionError outOfLimit(const QString& field, const NumberLimit& limit, std::optional<double> value) {
    const QString high = QString::number(qint64(limit.high));
    if (value && *value > limit.high)
        return ConversionError(ConversionError::Kind::Refused, QStringLiteral("%1は %2 までです。").arg(field, high));
    return ConversionError(
        ConversionError::Kind::Refused,
        QStringLiteral("%1は %2 から %3 までの数です。").arg(field, QString::number(qint64(limit.low)), high));
}

double roundHalfEven(double value) {
    if (!std::isfinite(value))
        return value;
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

namespace {
template <typename T> T checkedInt(double value) {
    const double r = roundHalfEven(value);
    if (!std::isfinite(r) || r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        throw ConversionError(ConversionError::Kind::Overflow,
                              QStringLiteral("%1 は扱える数（%2 から %3 まで）を超えています。")
                                  .arg(QString::number(value, 'g', 17))
                                  .arg(qint64(std::numeric_limits<T>::min()))
                                  .arg(qint64(std::numeric_limits<T>::max())));
    return static_cast<T>(r);
}
} // namespace

namespace {
double fieldNumber(const QString& text, const QString& field, const NumberLimit& limit) {
    // "1,5" is no fifteen and no one: the clerk is asked to type it again.
    if (strayComma(text))
        throw ConversionError(ConversionError::Kind::Refused,
                              QStringLiteral("%1の「%2」は数として読めません。カンマは 3 桁ごとに入れてください。")
                                  .arg(field, text.trimmed()));
    const double value = roundHalfEven(leadingNumber(text));
    if (!limit.holds(value))
        throw outOfLimit(field, limit, value);
    return value;
}
} // namespace

qint16 fieldInt16(const QString& text, const QString& field) {
    return static_cast<qint16>(fieldNumber(text, field, NumberLimit::int16()));
}

qint32 fieldInt32(const QString& text, const QString& field) {
    return static_cast<qint32>(fieldNumber(text, field, NumberLimit::int32()));
}

qint16 toInt16(double value) {
    return checkedInt<qint16>(value);
}

qint32 toInt32(double value) {
    return checkedInt<qint32>(value);
}

qint32 addInt32(qint32 a, qint32 b) {
    return toInt32(double(a) + double(b));
}

std::optional<QDate> strictDate(const QString& year, const QString& month, const QString& day) {
    auto part = [](const QString& text) -> std::optional<int> {
        const QString t = asciiDigits(text).trimmed();
        if (t.isEmpty() || t.size() > 5)
            return std::nullopt;
        for (const QChar c : t)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        return t.toInt();
    };
    const auto y = part(year);
    const auto m = part(month);
    const auto d = part(day);
    if (!y || !m || !d || *y < 1 || *y > 9999)
        return std::nullopt;
    if (!QDate::isValid(*y, *m, *d))
        return std::nullopt;
    return QDate(*y, *m, *d);
}

QDate dateOfDayText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,4})[/-](\\d{1,2})[/-](\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    const QDate date = match.hasMatch()
                           ? QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt())
                           : QDate();
    if (!date.isValid())
        throw ConversionError(ConversionError::Kind::TypeMismatch,
                              QStringLiteral("「%1」は日付になりません。").arg(text));
    return date;
}

QString asciiFolded(QString text) {
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return text;
}

bool sameCode(const QString& a, const QString& b) {
    return a.size() == b.size() && asciiFolded(a) == asciiFolded(b);
}

QString dayText(const QDate& date) {
    if (!date.isValid())
        return {};
    return QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day());
}

QString shortDateText(const QDate& date) {
    if (!date.isValid())
        return {};
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString dayCellText(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return shortDateText(value.toDate());
    if (value.typeId() == QMetaType::QDateTime)
        return shortDateText(value.toDateTime().date());
    return value.toString();
}

QString formatNumber(double value, const QString& format) {
    // Display rounds half away from zero, as printed amounts always have.
    const double rounded = std::round(value);
    if (rounded == 0.0 && format == QStringLiteral("##,###,###"))
        return {};
    const qint64 whole = qint64(std::llround(rounded));
    QString digits = QString::number(whole < 0 ? -whole : whole);
    for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3)
        digits.insert(pos, QLatin1Char(','));
    return whole < 0 ? QLatin1Char('-') + digits : digits;
}

QString formatValue(const QVariant& value, const QString& format) {
    if (value.isNull() || !value.isValid())
        return {};
    if (format.isEmpty()) {
        if (value.typeId() == QMetaType::QDate)
            return shortDateText(value.toDate());
        if (value.typeId() == QMetaType::Double) {
            const double d = value.toDouble();
            return QString::number(d, 'g', 15);
        }
        return value.toString();
    }
    const bool numberFormat = format.contains(QLatin1Char('#')) || format == QStringLiteral("0");
    if (numberFormat) {
        bool ok = false;
        const double d =
            value.typeId() == QMetaType::QString ? value.toString().trimmed().toDouble(&ok) : value.toDouble(&ok);
        if (!ok)
            return value.toString();
        if (format == QStringLiteral("0"))
            return QString::number(qint64(std::llround(d)));
        return formatNumber(d, format);
    }
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(format);
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(format);
    return value.toString();
}

QString textOf(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

qint32 int32Of(const QVariant& value) {
    return value.isNull() ? 0 : toInt32(double(value.toLongLong()));
}

QDate dateOf(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return value.toDate();
}

QVariant dateOrNull(const QDate& date) {
    return date.isValid() ? QVariant(date) : QVariant();
}

QString firstField(const QString& text) {
    QString line = text;
    if (line.startsWith(QChar(0xFEFF)))
        line.remove(0, 1);
    const qsizetype eol = line.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    qsizetype i = 0;
    while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
        ++i;
    if (i < line.size() && line[i] == QLatin1Char('"')) {
        // A quoted value may not run past its closing quote; a line break inside stays text.
        const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
        return close < 0 ? line.mid(i + 1) : line.mid(i + 1, close - i - 1);
    }
    QString value = eol < 0 ? line.mid(i) : line.mid(i, eol - i);
    const qsizetype comma = value.indexOf(QLatin1Char(','));
    if (comma >= 0)
        value.truncate(comma);
    while (value.endsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char('\t')))
        value.chop(1);
    return value;
}

DataPath readDataPath(const QString& programDir) {
    QString dir = programDir;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    DataPath result;
    QFile file(dir + QStringLiteral("DPath.txt"));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.status = DataPath::Status::Missing;
        return result;
    }
    const QByteArray bytes = file.readAll();
    // The pointer file may have been written by a Japanese editor in Shift_JIS.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder sjis("Shift_JIS");
        if (sjis.isValid())
            text = sjis.decode(bytes);
    }
    QString value = firstField(text);
    if (value == QStringLiteral("App.Path"))
        value = dir;
    if (value.isEmpty()) {
        result.status = DataPath::Status::Empty;
        return result;
    }
    if (!value.endsWith(QLatin1Char('/')) && !value.endsWith(QLatin1Char('\\')))
        value += QLatin1Char('/');
    result.status = DataPath::Status::Ok;
    result.directory = value;
    return result;
}

} // namespace convert
} // namespace desk
