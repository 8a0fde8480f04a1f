#pragma once

#include <QString>
#include <QStringList>
#include <QDate>

namespace desk::Schema {

// Schema version written to the meta table of every file.
inline constexpr int Version = 1;

// The five file names of a data directory.
QStringList fileNames();

// Creates the five files with every table, index, view and the reference rows
// (company profile, classification lists, commodity and payment classes and items).
// Refuses (DbError) when any of the files already exists. Each file in one transaction.
void createDataDirectory(const QString& dirPath);

// Flushes a file to disk (used after building files with syncing off).
void syncToDisk(const QString& filePath);

// Adds the sample bookings, check-ins and slips of a working inn around `today`.
void addSampleData(const QString& dirPath, const QDate& today);

} // namespace desk::Schema
