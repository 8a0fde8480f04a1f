#pragma once

#include <QString>
#include <QStringList>
#include <QDate>

namespace desk {
class Connection;
}

namespace desk::Schema {

// Schema version written to the meta table of every file. 2: the desk column of the work
// tables, text compared without regard to ASCII case. 3: the tax settings (rates by date,
// the inn's service charge, rounding and invoice number, the commodities' tax class).
// 4: the guest register (every guest of a check-in party, the day of check-out).
// 5: the bathing and accommodation taxes (their rules by date, a check-in's exempt guests,
// the room share of a commodity's price).
// 6: the row key, an explicit integer column every table ends with (SchemaMeta too), which
// orders a table's rows as they were added and finds one again on every engine.
inline constexpr int Version = 7;

// The five file names of a data directory.
QStringList fileNames();

// Creates the five files with every table, index, view and the reference rows
// (company profile, classification lists, commodity and payment classes and items).
// Refuses (DbError) when any of the files already exists. Each file in one transaction.
// Given a server's address (DataLocation), the five schemas of that database
// instead, refused when the database holds any of them.
void createDataDirectory(const QString& dirPath);

// Brings one file of an older schema version to the current one in a single transaction,
// one step per version in order (1 → 2: every table rebuilt as the current schema has it,
// columns copied by name, new columns at their defaults, indexes and saved queries made
// anew). Codes that the case-blind unique keys would merge are refused by name. A file
// already current is left alone; one no step starts from is a DbError.
void upgradeFile(Connection& connection, const QString& fileName);

// The oldest version upgradeFile brings to the current one.
int oldestUpgradableVersion();

// Flushes a file to disk (used after building files with syncing off); skipped while this
// process has a connection on the file, whose locks the flush would drop.
void syncToDisk(const QString& filePath);

} // namespace desk::Schema
