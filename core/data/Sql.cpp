#include "Sql.h"

#include "ColumnType.h"
#include "DbError.h"
#include "Engine.h"
#include "SqliteEngine.h"

#include <QRegularExpression>

namespace desk::Sql {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Index of the quote that closes the literal opened at `start`, doubled quotes skipped;
// -1 when it never closes.
qsizetype literalEnd(const QString& s, qsizetype start) {
    const QChar q = s.at(start);
    for (qsizetype i = start + 1; i < s.size(); ++i) {
        if (s.at(i) != q)
            continue;
        if (i + 1 < s.size() && s.at(i + 1) == q) {
            ++i;
            continue;
        }
        return i;
    }
    return -1;
}

QString translateCode(QString code, const Engine& engine) {
    static const QRegularExpression bang(
        QStringLiteral(R"((\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_]*)!(\[[^\]]+\]|[\p{L}_][\p{L}\p{N}_]*))"));
    static const QRegularExpression boolean(QStringLiteral(R"((?<![\p{L}\p{N}_.])(true|false)(?![\p{L}\p{N}_]))"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression function(
        QStringLiteral(R"((?<![\p{L}\p{N}_.])((?:nz|ucase|lcase|len|mid)(?=\s*\()|distinctrow(?![\p{L}\p{N}_])))"),
        QRegularExpression::CaseInsensitiveOption);

    code.replace(bang, QStringLiteral("\\1.\\2"));

    QString out;
    qsizetype last = 0;
    auto it = boolean.globalMatch(code);
    while (it.hasNext()) {
        const auto m = it.next();
        out += QStringView(code).mid(last, m.capturedStart() - last);
        out += m.captured(1).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? QLatin1Char('1')
                                                                                      : QLatin1Char('0');
        last = m.capturedEnd();
    }
    out += QStringView(code).mid(last);

    code = out;
    out.clear();
    last = 0;
    it = function.globalMatch(code);
    while (it.hasNext()) {
        const auto m = it.next();
        out += QStringView(code).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1).toLower();
        if (name == QLatin1String("nz"))
            out += engine.functionName(Engine::Function::IfNull);
        else if (name == QLatin1String("ucase"))
            out += engine.functionName(Engine::Function::Upper);
        else if (name == QLatin1String("lcase"))
            out += engine.functionName(Engine::Function::Lower);
        else if (name == QLatin1String("len"))
            out += engine.functionName(Engine::Function::Length);
        else if (name == QLatin1String("mid"))
            out += engine.functionName(Engine::Function::Substring);
        else
            out += QLatin1String("DISTINCT");
        last = m.capturedEnd();
    }
    out += QStringView(code).mid(last);
    return out;
}

} // namespace

QString quote(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString dateLiteral(const QDate& date) {
    if (!date.isValid())
        return QStringLiteral("Null");
    // Four-digit years: a literal like #312/2/1# would read as no date at all.
    return QStringLiteral("#%1/%2/%3#").arg(date.year(), 4, 10, QLatin1Char('0')).arg(date.month()).arg(date.day());
}

QString translate(const QString& statement) {
    return translate(statement, SqliteEngine::instance());
}

QString translate(const QString& statement, const Engine& engine) {
    QString out;
    QString code;
    const auto flush = [&] {
        out += translateCode(code, engine);
        code.clear();
    };
    const qsizetype n = statement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = statement.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = literalEnd(statement, i);
            if (end < 0)
                throw DbError(QStringLiteral("文字列の引用符が閉じていません。"), statement);
            flush();
            out += QStringView(statement).mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = statement.indexOf(QLatin1Char(']'), i);
            if (end < 0)
                throw DbError(QStringLiteral("名前の角かっこが閉じていません。"), statement);
            code += QStringView(statement).mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char('#')) {
            const qsizetype end = statement.indexOf(QLatin1Char('#'), i + 1);
            if (end < 0)
                throw DbError(QStringLiteral("日付の「#」が閉じていません。"), statement);
            const QString body = statement.mid(i + 1, end - i - 1);
            bool hasTime = false;
            const QDateTime dt = columntype::parseDateTime(body, &hasTime);
            // Midnight is the day itself, as stored in DATE columns.
            if (hasTime && dt.time() == QTime(0, 0))
                hasTime = false;
            if (!dt.isValid())
                throw DbError(QStringLiteral("「#%1#」は日付になりません。").arg(body), statement);
            flush();
            out += engine.dateLiteral(dt, hasTime);
            // "#2002/3/31#GROUP BY": the literal must not run into the next word.
            if (end + 1 < n && isWordChar(statement.at(end + 1)))
                out += QLatin1Char(' ');
            i = end;
        } else {
            code += c;
        }
    }
    flush();
    // A trailing ";" ends a statement in the dialect; here it would stop the statement
    // being used inside another one.
    while (!out.isEmpty() && (out.back().isSpace() || out.back() == QLatin1Char(';')))
        out.chop(1);
    return out;
}

QString spelledAs(const QString& name, const QString& statement) {
    // Asked for every column of every row set a store opens: a plain search, no pattern to
    // compile each time.
    if (name.isEmpty())
        return name;
    const QString masked = maskLiterals(statement);
    for (qsizetype at = masked.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = masked.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + name.size();
        if ((at == 0 || !isWordChar(masked.at(at - 1))) && (end >= masked.size() || !isWordChar(masked.at(end))))
            return masked.mid(at, name.size());
    }
    return name;
}

QString resultName(const QString& name, const QString& statement, const Engine& engine) {
    return engine.foldsNames() ? spelledAs(name, statement) : name;
}

QString maskLiterals(const QString& statement) {
    QString out = statement;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c != QLatin1Char('\'') && c != QLatin1Char('"'))
            continue;
        qsizetype end = literalEnd(out, i);
        if (end < 0)
            end = out.size();
        for (qsizetype j = i + 1; j < end; ++j)
            out[j] = QLatin1Char(' ');
        i = end;
    }
    return out;
}

Bound::Bound(const QString& translated) {
    static const QRegularExpression parameterised(QStringLiteral(R"(^\s*(select|with|insert|update|delete)\b)"),
                                                  QRegularExpression::CaseInsensitiveOption);
    if (!parameterised.match(translated).hasMatch()) {
        m_sql = translated;
        return;
    }
    int callerIndex = 0;
    const qsizetype n = translated.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = translated.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype end = literalEnd(translated, i);
            if (end < 0)
                throw DbError(QStringLiteral("文字列の引用符が閉じていません。"), translated);
            QString value = translated.mid(i + 1, end - i - 1);
            value.replace(QLatin1String("''"), QLatin1String("'"));
            m_sql += QLatin1Char('?');
            m_slots << value;
            m_isLiteral << true;
            ++m_literalCount;
            i = end;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
            // A quoted or bracketed name is copied as it stands.
            const qsizetype end =
                c == QLatin1Char('"') ? literalEnd(translated, i) : translated.indexOf(QLatin1Char(']'), i);
            const qsizetype last = end < 0 ? n - 1 : end;
            m_sql += QStringView(translated).mid(i, last - i + 1);
            i = last;
        } else if (c == QLatin1Char('?')) {
            m_sql += c;
            m_slots << callerIndex++;
            m_isLiteral << false;
        } else {
            m_sql += c;
        }
    }
}

QVariantList Bound::values(const QVariantList& callerBinds) const {
    if (m_literalCount == 0)
        return callerBinds;
    QVariantList out;
    out.reserve(m_slots.size());
    int used = 0;
    for (qsizetype i = 0; i < m_slots.size(); ++i) {
        if (m_isLiteral.at(i)) {
            out << m_slots.at(i);
        } else {
            const int index = m_slots.at(i).toInt();
            out << callerBinds.value(index);
            used = std::max(used, index + 1);
        }
    }
    // Values beyond the statement's own marks still reach the engine, which refuses them.
    for (qsizetype i = used; i < callerBinds.size(); ++i)
        out << callerBinds.at(i);
    return out;
}

bool isWrite(const QString& statement) {
    const QString head = statement.trimmed().left(6).toUpper();
    return head.startsWith(QLatin1String("INSERT")) || head.startsWith(QLatin1String("UPDATE")) ||
           head.startsWith(QLatin1String("DELETE"));
}

bool isSchemaChange(const QString& statement) {
    const QString head = statement.trimmed().left(6).toUpper();
    return head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("DROP")) ||
           head.startsWith(QLatin1String("ALTER"));
}

} // namespace desk::Sql
