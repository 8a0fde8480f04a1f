#pragma once

#include <QDate>
#include <QString>

namespace desk::Sql {

// The only way user text enters a statement or criterion: a literal with its quotes doubled.
QString quote(const QString& text);
// A date literal of the suite's dialect, "#2002/3/1#".
QString dateLiteral(const QDate& date);

// Translates a statement of the suite's dialect into SQLite: "#2002/3/1#" and
// "#2002/03/01#" dates, "Table!Column", True/False, "#GROUP BY"-style glued keywords,
// Jet function names. Text inside string literals is left alone.
QString translate(const QString& statement);

} // namespace desk::Sql
