#pragma once

#include <QString>

#include <functional>

// The folder mechanics of backups and restores, on this machine whatever the inn's location.
// Internal to core/data.
namespace desk::maintenance {

QString native(const QString& path);
// "yyyyMMdd-HHmmss" of now, for the folders kept before a restore or an upgrade.
QString stamp();
// A dated folder under root that does not exist yet: root/base, or root/base-2 and so on.
QString freshFolder(const QString& root, const QString& base);
// Whether the process runs (another user's included).
bool processRuns(qint64 pid);
// "… は使用中です。…": a file some program has open.
QString inUseText(const QString& path);

// A copy the engine has just written: checked, then flushed to disk; a copy that does not
// pass is a DbError (Cause::Damaged) naming source.
void verifyCopy(const QString& name, const QString& copy, const QString& source);

// Builds a backup folder in a hidden folder beside dest, then renames it: dest is complete
// or absent (refused when it exists). Hidden folders that killed backups left beside dest
// are removed; in a folder its group may write, the backup is the group's too. fillFolder,
// when given, makes the five files of the hidden folder (given with its trailing '/') at
// once; makeCopy(name, copyPath) then makes (or checks) each file in turn.
void buildBackupFolder(const QString& dest, const std::function<void(const QString& folder)>& fillFolder,
                       const std::function<void(const QString& name, const QString& copy)>& makeCopy);

// A backup folder (ending in '/') whose files do not all pass the engine's check is not put
// anywhere: DbError (Cause::Damaged) naming the first that fails.
void refuseUnsoundBackup(const QString& from);

} // namespace desk::maintenance
