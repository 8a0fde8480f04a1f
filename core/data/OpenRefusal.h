#pragma once

#include <QString>

class QSqlDatabase;

namespace desk {

class DbError;
class Engine;

// Why a database is not opened for work, in the clerk's words. Internal to core/data
// (Connection).
namespace refusal {

// The clerk's words for a database the engine would not open or read, by its real cause; the
// engine's own words stay its detail.
DbError openRefusal(const Engine& engine, const QString& location, const DbError& failure);
// Whether the database has the table that records the schema version.
bool hasSchemaRecord(const QSqlDatabase& db, const Engine& engine);
// What to do about a database of another schema version than this program's.
QString upgradeAdvice(const Engine& engine, const QString& location, int version);

} // namespace refusal
} // namespace desk
