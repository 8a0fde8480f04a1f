#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace desk {
class Engine;
}

namespace desk::Sql {

// The only way user text enters a statement or criterion: a literal with its quotes doubled,
// which reaches the engine as a bound value (Bound), never as statement text.
QString quote(const QString& text);
// A date literal of the suite's dialect, "#2002/3/1#". A null date gives the literal Null.
QString dateLiteral(const QDate& date);

// Translates a statement of the suite's dialect into the engine's: "#2002/3/1#" and
// "#2002/03/01#" dates, "Table!Column", True/False, "#GROUP BY"-style glued keywords,
// Jet function names. Text inside string literals is left alone. A date literal that is
// no date is a DbError.
QString translate(const QString& statement, const Engine& engine);
// The same for the embedded engine, SQLite.
QString translate(const QString& statement);

// Whether a statement changes rows (INSERT, UPDATE, DELETE), and whether it changes the
// schema (CREATE, DROP, ALTER).
bool isWrite(const QString& statement);
bool isSchemaChange(const QString& statement);

// The statement with the inside of its string literals blanked out (same length), for
// looking at its structure without being fooled by quoted text.
QString maskLiterals(const QString& statement);

// A result column's name as the statement spells it ("RptCode" for the "rptcode" of an
// engine that folds names to lower case); the name as it is when the statement does not
// spell it.
QString spelledAs(const QString& name, const QString& statement);
// A result column's name for the screen: spelled as the statement spells it on an engine
// that folds names (Engine::foldsNames), as the engine gives it otherwise.
QString resultName(const QString& name, const QString& statement, const Engine& engine);

// A translated statement whose single-quoted literals have become bound values: whatever a
// literal holds (a NUL, quotes, backslashes, anything a screen put into a condition) reaches
// the engine as a value, never as statement text, on every engine. Only for statements that
// may carry parameters (SELECT, WITH, INSERT, UPDATE, DELETE); others come back unchanged.
// A literal in a GROUP BY expression becomes a value of its own there, which a server does
// not see as the same expression as in the select list: group such a column by its position.
class Bound {
public:
    explicit Bound(const QString& translated);

    QString sql() const { return m_sql; }
    // The values of every "?" in sql(), in order: the literals where they stood, the
    // caller's own values for the statement's own "?" marks.
    QVariantList values(const QVariantList& callerBinds) const;

private:
    QString m_sql;
    QVariantList m_slots; // a literal's value, or an int index into the caller's values
    QList<bool> m_isLiteral;
    int m_literalCount = 0;
};

} // namespace desk::Sql
