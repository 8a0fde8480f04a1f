#include "ColumnType.h"

#include "convert/Convert.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace desk::columntype {

namespace {

const QString IsoDate = QStringLiteral("yyyy-MM-dd");
const QString IsoDateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");

bool isNumber(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool isText(const QVariant& value) {
    return value.metaType().id() == QMetaType::QString || value.metaType().id() == QMetaType::QByteArray;
}

// A number from a value: numbers as they are, texts when they are numbers as a whole.
bool toDouble(const QVariant& value, double* out) {
    if (value.metaType().id() == QMetaType::Bool) {
        *out = value.toBool() ? 1.0 : 0.0;
        return true;
    }
    if (isNumber(value)) {
        *out = value.toDouble();
        return std::isfinite(*out);
    }
    if (isText(value)) {
        bool ok = false;
        *out = value.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(*out);
    }
    return false;
}

QVariant toInteger(const QVariant& value, double low, double high, bool* ok) {
    if (isNumber(value) && value.metaType().id() != QMetaType::Double && value.metaType().id() != QMetaType::Float) {
        const qint64 v = value.toLongLong();
        *ok = v >= low && v <= high;
        return *ok ? QVariant(v) : QVariant();
    }
    double d = 0;
    if (!toDouble(value, &d)) {
        *ok = false;
        return {};
    }
    d = convert::roundHalfEven(d);
    *ok = d >= low && d <= high;
    return *ok ? QVariant(static_cast<qint64>(d)) : QVariant();
}

bool boolFromText(const QString& text, bool* out) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("on")) {
        *out = true;
        return true;
    }
    if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("off")) {
        *out = false;
        return true;
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok)
        *out = d != 0.0;
    return ok;
}

bool isBlankText(const QVariant& value) {
    return isText(value) && value.toString().trimmed().isEmpty();
}

} // namespace

ColumnType fromDeclared(const QString& declaredType) {
    const QString t = declaredType.trimmed().toUpper();
    if (t.isEmpty())
        return ColumnType::Untyped;
    if (t.contains(QLatin1String("BOOL")) || t == QLatin1String("BIT") || t == QLatin1String("YESNO"))
        return ColumnType::Bool;
    if (t.contains(QLatin1String("DATETIME")) || t.contains(QLatin1String("TIMESTAMP")))
        return ColumnType::DateTime;
    if (t.contains(QLatin1String("DATE")))
        return ColumnType::Date;
    if (t.contains(QLatin1String("SMALLINT")) || t == QLatin1String("SHORT"))
        return ColumnType::Int16;
    if (t.contains(QLatin1String("BIGINT")))
        return ColumnType::Int64;
    if (t.contains(QLatin1String("INT")) || t == QLatin1String("LONG"))
        return ColumnType::Int32;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("FLOA")) ||
        t.contains(QLatin1String("CURRENCY")) || t.contains(QLatin1String("MONEY")) ||
        t.contains(QLatin1String("NUMERIC")) || t.contains(QLatin1String("DECIMAL")))
        return ColumnType::Double;
    return ColumnType::Text;
}

namespace {

// A date with an optional time of day in either of the forms parseDateTime takes; false for
// any other text. No QDateTime is made: one in local time asks the C library for the zone's
// offset, which looks at the zone file on disk every time, and a day read from a row needs
// none of it.
bool parseParts(const QString& text, QDate* date, QTime* time, bool* timed) {
    static const QRegularExpression ymd(
        QStringLiteral(R"(^\s*(\d{4})[/-](\d{1,2})[/-](\d{1,2})(?:[ T]+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    static const QRegularExpression mdy(
        QStringLiteral(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{4})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    int year = 0, month = 0, day = 0;
    QRegularExpressionMatch m = ymd.match(text);
    if (m.hasMatch()) {
        year = m.captured(1).toInt();
        month = m.captured(2).toInt();
        day = m.captured(3).toInt();
    } else {
        m = mdy.match(text);
        if (!m.hasMatch())
            return false;
        month = m.captured(1).toInt();
        day = m.captured(2).toInt();
        year = m.captured(3).toInt();
    }
    *date = QDate(year, month, day);
    if (!date->isValid())
        return false;
    *time = QTime(0, 0);
    *timed = !m.captured(4).isEmpty();
    if (*timed) {
        *time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (!time->isValid())
            return false;
    }
    return true;
}

} // namespace

QDateTime parseDateTime(const QString& text, bool* hasTime) {
    QDate date;
    QTime time;
    bool timed = false;
    if (!parseParts(text, &date, &time, &timed))
        return {};
    if (hasTime)
        *hasTime = timed;
    return QDateTime(date, time);
}

QVariant toStorage(ColumnType type, const QVariant& value, bool* ok) {
    *ok = true;
    if (!value.isValid() || value.isNull())
        return {};
    const int id = value.metaType().id();
    switch (type) {
    case ColumnType::Untyped:
        if (id == QMetaType::QDate)
            return value.toDate().toString(IsoDate);
        if (id == QMetaType::QDateTime)
            return value.toDateTime().toString(IsoDateTime);
        if (id == QMetaType::Bool)
            return value.toBool() ? 1 : 0;
        return value;
    case ColumnType::Text:
        if (id == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        if (id == QMetaType::QDate)
            return value.toDate().toString(IsoDate);
        if (id == QMetaType::QDateTime)
            return value.toDateTime().toString(IsoDateTime);
        return value.toString();
    case ColumnType::Int16:
    case ColumnType::Int32:
    case ColumnType::Int64: {
        if (isBlankText(value))
            return {};
        const double low = type == ColumnType::Int16 ? -32768.0 : type == ColumnType::Int32 ? -2147483648.0 : -9.2e18;
        const double high = type == ColumnType::Int16 ? 32767.0 : type == ColumnType::Int32 ? 2147483647.0 : 9.2e18;
        return toInteger(value, low, high, ok);
    }
    case ColumnType::Double: {
        if (isBlankText(value))
            return {};
        double d = 0;
        *ok = toDouble(value, &d);
        return *ok ? QVariant(d) : QVariant();
    }
    case ColumnType::Bool: {
        bool b = false;
        if (id == QMetaType::Bool)
            b = value.toBool();
        else if (isNumber(value))
            b = value.toDouble() != 0.0;
        else if (isText(value))
            *ok = boolFromText(value.toString(), &b);
        else
            *ok = false;
        return *ok ? QVariant(b ? 1 : 0) : QVariant();
    }
    case ColumnType::Date:
    case ColumnType::DateTime: {
        QDateTime dt;
        if (id == QMetaType::QDate)
            dt = QDateTime(value.toDate(), QTime(0, 0));
        else if (id == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (isText(value)) {
            if (isBlankText(value))
                return {};
            dt = parseDateTime(value.toString());
        }
        // Years 1 to 9999 only: year 0 or below would be stored as a text no reader takes
        // for a date again.
        *ok = dt.isValid() && dt.date().year() >= 1 && dt.date().year() <= 9999;
        if (!*ok)
            return {};
        return type == ColumnType::Date ? dt.date().toString(IsoDate) : dt.toString(IsoDateTime);
    }
    }
    return value;
}

QVariant fromStorage(ColumnType type, const QVariant& stored) {
    if (!stored.isValid() || stored.isNull())
        return {};
    const int id = stored.metaType().id();
    switch (type) {
    case ColumnType::Untyped:
        if (isNumber(stored) && id != QMetaType::Double && id != QMetaType::Float)
            return stored.toLongLong();
        return stored;
    case ColumnType::Text:
        return stored.toString();
    case ColumnType::Int16:
    case ColumnType::Int32:
    case ColumnType::Int64: {
        if (isNumber(stored) && id != QMetaType::Double && id != QMetaType::Float)
            return stored.toLongLong();
        double d = 0;
        if (toDouble(stored, &d) && std::fabs(d) < 9.2e18)
            return static_cast<qint64>(convert::roundHalfEven(d));
        return stored;
    }
    case ColumnType::Double: {
        double d = 0;
        if (toDouble(stored, &d))
            return d;
        return stored;
    }
    case ColumnType::Bool: {
        if (isNumber(stored))
            return stored.toDouble() != 0.0;
        bool b = false;
        if (boolFromText(stored.toString(), &b))
            return b;
        return stored;
    }
    case ColumnType::Date: {
        QDate date;
        QTime time;
        bool timed = false;
        return parseParts(stored.toString(), &date, &time, &timed) ? QVariant(date) : stored;
    }
    case ColumnType::DateTime: {
        const QDateTime dt = parseDateTime(stored.toString());
        return dt.isValid() ? QVariant(dt) : stored;
    }
    }
    return stored;
}

} // namespace desk::columntype
