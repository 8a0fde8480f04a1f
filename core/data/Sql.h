#pragma once

#include <QDate>
#include <QString>

namespace desk::Sql {

// The only way user text enters a statement or criterion: a literal with its quotes doubled.
QString quote(const QString& text);
// A date literal of the suite's dialect, "#2002/3/1#". A null date gives the literal Null.
QString dateLiteral(const QDate& date);

// Translates a statement of the suite's dialect into SQLite: "#2002/3/1#" and
// "#2002/03/01#" dates, "Table!Column", True/False, "#GROUP BY"-style glued keywords,
// Jet function names. Text inside string literals is left alone. A date literal that is
// no date is a DbError.
QString translate(const QString& statement);

// The statement with the inside of its string literals blanked out (same length), for
// looking at its structure without being fooled by quoted text.
QString maskLiterals(const QString& statement);

} // namespace desk::Sql
