#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// Backup, restore, check and upgrade of a data directory: thin faces over its DataLocation,
// which does each as a folder or a server needs. What is engine-specific in them (the online
// copy, the integrity check, the locks that tell "in use") is the engine's.
namespace desk::maintenance {

// The engine's integrity check of one file, read-only; empty when the file is sound.
QStringList integrityProblems(const QString& filePath);

// A consistent copy of the five files of dataDir, taken while programs work on them, into
// the folder dest, which must not exist yet. The copy is built beside dest and renamed at
// the end, each file verified first: the backup folder is complete or absent. Hidden
// folders that killed backups left beside dest are removed; in a folder its group may write,
// the backup is the group's too. Given a server's address, the inn there is copied into the
// five files of dest (maintenance::copyInn), a consistent read of each database.
void backup(const QString& dataDir, const QString& dest);

// The last backup of the inn on a server (backup() records it there when it is done),
// which the main menu names: a server's inn has no daily backup of the desks.
void recordServerBackup(const QString& address, const QDateTime& when);
std::optional<QDateTime> lastServerBackup(const QString& address);

// True while some program has the file open.
bool inUse(const QString& filePath);

// Puts the five files of the backup folder in place in dataDir. Every file already there
// is held for this process alone (refused, DbError with Cause::Busy, while any program has
// one open) from before the copy of what it replaces, kept in
// dataDir/backup/before-restore-<time> and returned, until its pages are in: a save either
// waits and lands in the restored files, or is refused. The backup's pages are written into
// the files through the engine, so they keep their place and permissions. Until the last
// file is in, a marker in dataDir names the unfinished restore; running the same restore
// again finishes it.
// Given a server's address, the rows of its inn are replaced by the backup's
// (maintenance::replaceInn) after a backup of what it held into a before-restore-<time>
// folder beside the backup folder, which is returned.
// Refused (DbError, Cause::Busy), naming each desk and its machine, while any program of
// the suite other than this one has the inn on the server open: the restore would replace
// the lines a desk is typing.
QString restore(const QString& backupDir, const QString& dataDir);

// The desks (and the machines they run on) whose programs have the inn at a server's
// address open, this program aside: "FRONT（192.168.1.5）".
QStringList desksOnServer(const QString& address);

// A restore that did not finish (killed, a full disk), or one that runs right now.
struct UnfinishedRestore {
    QString backupDir;
    QString kept;
    bool running = false;
};
std::optional<UnfinishedRestore> unfinishedRestore(const QString& dataDir);
// What the clerk and the administrator are told of it.
QString unfinishedRestoreText(const QString& dataDir, const UnfinishedRestore& restore);

// One finding of check(): the file and what is wrong.
struct Finding {
    QString file;
    QString text;
    // The database could not be read (damaged, not opened): nothing more is looked at in it.
    bool unreadable = false;
};

// The integrity check and the schema version of every file, and no unfinished restore; the
// inn's own rules are checked by its components. Throws DbError when it cannot run at all
// (no such folder, a full disk, a missing permission).
QList<Finding> check(const QString& dataDir);

// Files of an older schema version (Schema::oldestUpgradableVersion() on) brought to the
// current one in place, one step per version: a backup of
// the directory first (into dataDir/backup/before-upgrade-<time>, returned through
// backupFolder), then one transaction per file. Returns the files upgraded; nothing is
// done (and no backup made) when every file is current.
// On a server: nothing to do when every database is current; otherwise, while no desk has
// the inn open, the same steps run on the five schemas in five transactions held open
// together and committed at the end (a failure changes nothing), and no backup is made
// (backupFolder left empty): the server's own backup is the administrator's to take first.
// A version older than the server engine's first or newer than this program's is refused.
QStringList upgrade(const QString& dataDir, QString* backupFolder = nullptr);

// The daily backup: when backupRoot holds no backup of today yet, takes one into
// backupRoot/yyyy-MM-dd (another desk that made it meanwhile is no failure) and removes the
// oldest dated backups beyond `keep`. Folders it could not remove are listed.
struct DailyBackup {
    QString made; // empty when today's backup was there already
    QStringList notRemoved;
    // An inn on a server is backed up on the server's machine, not by the desks: nothing was
    // made, and lastTaken is when that backup was last taken (nothing when never, or when the
    // server could not say: lastUnknown).
    bool takenElsewhere = false;
    std::optional<QDateTime> lastTaken;
    bool lastUnknown = false;
};
DailyBackup dailyBackup(const QString& dataDir, const QString& backupRoot, int keep, const QDate& today);

} // namespace desk::maintenance
