#pragma once

#include <QString>

// The marker a restore of a data directory leaves in it until its last file is in: a program
// refuses the inn meanwhile, and running the same restore again finishes it. Internal to
// core/data; maintenance::unfinishedRestore reads it.
namespace desk::maintenance {

QString markerName();
QString markerPath(const QString& dataDir);
// Names the restore running from backupDir and where what it replaces is kept.
void writeMarker(const QString& dataDir, const QString& backupDir, const QString& kept);

} // namespace desk::maintenance
