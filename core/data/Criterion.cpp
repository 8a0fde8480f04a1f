#include "Criterion.h"

#include "DbError.h"
#include "convert/Convert.h"

#include <QDateTime>
#include <QRegularExpression>

namespace desk {

namespace {

bool isNumeric(const QVariant& v) {
    const int id = v.metaType().id();
    return id == QMetaType::LongLong || id == QMetaType::Int || id == QMetaType::Double || id == QMetaType::ULongLong ||
           id == QMetaType::UInt || id == QMetaType::Bool;
}

// -1, 0 or 1; `comparable` false when the two cannot be compared (text against number).
int compareValues(const QVariant& a, const QVariant& b, bool* comparable) {
    *comparable = true;
    if (isNumeric(a) && isNumeric(b)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (isNumeric(a) != isNumeric(b)) {
        // A text that is a number compares as that number, as the engine's numeric affinity does.
        bool ok = false;
        const double x = isNumeric(a) ? a.toDouble() : a.toString().trimmed().toDouble(&ok);
        const double y = isNumeric(b) ? b.toDouble() : b.toString().trimmed().toDouble(&ok);
        if (!ok) {
            *comparable = false;
            return 0;
        }
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    // Text compares as the files do: ASCII letters without regard to case, everything else
    // (full-width letters, kana, kanji) exactly.
    const int c = convert::asciiFolded(a.toString()).compare(convert::asciiFolded(b.toString()));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

Criterion Criterion::parse(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*(\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_]*)\s*(<>|<=|>=|=|<|>)\s*(.*?)\s*$)"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)"));

    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        throw DbError(QStringLiteral("条件は「列名 比較 値」の形で書いてください（例: RvNo = 5）。"), text);
    Criterion c;
    c.m_column = m.captured(1);
    if (c.m_column.startsWith(QLatin1Char('[')))
        c.m_column = c.m_column.mid(1, c.m_column.size() - 2);
    c.m_op = m.captured(2);
    const QString value = m.captured(3);

    if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\''))) {
        // The whole rest must be one literal: quotes inside are doubled.
        const QString inner = value.mid(1, value.size() - 2);
        for (qsizetype i = 0; i < inner.size(); ++i) {
            if (inner.at(i) != QLatin1Char('\''))
                continue;
            if (i + 1 < inner.size() && inner.at(i + 1) == QLatin1Char('\'')) {
                ++i;
                continue;
            }
            throw DbError(QStringLiteral("条件の文字列の中の引用符が二重になっていません。"), text);
        }
        c.m_kind = Kind::Text;
        c.m_value = QString(inner).replace(QLatin1String("''"), QLatin1String("'"));
    } else if (value.size() >= 2 && value.startsWith(QLatin1Char('#')) && value.endsWith(QLatin1Char('#'))) {
        const QDateTime dt = columntype::parseDateTime(value.mid(1, value.size() - 2));
        if (!dt.isValid())
            throw DbError(QStringLiteral("条件の「%1」は日付になりません。").arg(value), text);
        c.m_kind = Kind::Date;
        c.m_value = dt.date();
    } else if (number.match(value).hasMatch()) {
        c.m_kind = Kind::Number;
        c.m_value = value;
    } else if (value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
               value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        c.m_kind = Kind::Bool;
        c.m_value = value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    } else if (value.compare(QLatin1String("Null"), Qt::CaseInsensitive) == 0) {
        if (c.m_op != QLatin1String("=") && c.m_op != QLatin1String("<>"))
            throw DbError(QStringLiteral("条件の Null には = か <> しか使えません。"), text);
        c.m_kind = Kind::Null;
    } else {
        throw DbError(
            QStringLiteral("条件の値は数値、引用符で囲んだ文字列、#日付#、True、False、Null のどれかにしてください。"),
            text);
    }
    return c;
}

QVariant Criterion::operand(ColumnType type) const {
    if (m_kind == Kind::Null)
        return {};
    if (m_kind == Kind::Number && type == ColumnType::Text)
        return m_value; // "Ccode = 05" means the code "05"
    if (type == ColumnType::Untyped) {
        if (m_kind == Kind::Number) {
            bool ok = false;
            const qint64 whole = m_value.toString().toLongLong(&ok);
            return ok ? QVariant(whole) : QVariant(m_value.toString().toDouble());
        }
        if (m_kind == Kind::Date)
            return m_value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        if (m_kind == Kind::Bool)
            return m_value.toBool() ? 1 : 0;
        return m_value;
    }
    bool ok = false;
    const QVariant stored = columntype::toStorage(type, m_value, &ok);
    if (!ok || stored.isNull())
        return m_value.metaType().id() == QMetaType::QDate ? QVariant(m_value.toDate().toString(Qt::ISODate))
                                                           : QVariant(m_value.toString());
    return stored;
}

bool Criterion::fits(ColumnType type) const {
    if (m_kind == Kind::Null || type == ColumnType::Text || type == ColumnType::Untyped)
        return true;
    bool ok = false;
    columntype::toStorage(type, m_value, &ok);
    return ok;
}

bool Criterion::matches(const QVariant& stored, ColumnType type) const {
    const bool storedNull = !stored.isValid() || stored.isNull();
    if (m_kind == Kind::Null)
        return m_op == QLatin1String("=") ? storedNull : !storedNull;
    if (storedNull)
        return false;
    const QVariant value = operand(type);
    bool comparable = true;
    const int c = compareValues(stored, value, &comparable);
    if (!comparable)
        return m_op == QLatin1String("<>");
    if (m_op == QLatin1String("="))
        return c == 0;
    if (m_op == QLatin1String("<>"))
        return c != 0;
    if (m_op == QLatin1String("<"))
        return c < 0;
    if (m_op == QLatin1String(">"))
        return c > 0;
    if (m_op == QLatin1String("<="))
        return c <= 0;
    return c >= 0;
}

} // namespace desk
