#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Backup, restore, check and upgrade of a data directory. Every engine specific of these
// (the online copy, the integrity check, the file locks) stays in here.
namespace desk::maintenance {

// The engine's integrity check of one file, read-only; empty when the file is sound.
QStringList integrityProblems(const QString& filePath);

// A consistent copy of the five files of dataDir, taken while programs work on them, into
// the folder dest, which must not exist yet. The copy is built beside dest and renamed at
// the end, each file verified first: the backup folder is complete or absent.
void backup(const QString& dataDir, const QString& dest);

// True while some program has the file open.
bool inUse(const QString& filePath);

// Replaces the five files of dataDir by those of the backup folder. Refuses (DbError
// naming the file) while a program has one of them open, and when the backup is not
// sound. The files replaced are first backed up into dataDir/backup/before-restore-<time>,
// returned. No restored file is left beside an older -wal or -shm.
QString restore(const QString& backupDir, const QString& dataDir);

// One finding of check(): the file and what is wrong.
struct Finding {
    QString file;
    QString text;
};

// The integrity check of every file and the system's own rules: every check-in has its
// six rows, no slip header without lines or lines without a header, no number or code
// twice. Throws DbError when it cannot run at all (no such folder).
QList<Finding> check(const QString& dataDir);

// Files of the previous schema version brought to the current one in place: a backup of
// the directory first (into dataDir/backup/before-upgrade-<time>, returned through
// backupFolder), then one transaction per file. Returns the files upgraded; nothing is
// done (and no backup made) when every file is current.
QStringList upgrade(const QString& dataDir, QString* backupFolder = nullptr);

// The daily backup: when backupRoot holds no backup of today yet, takes one into
// backupRoot/yyyy-MM-dd and removes the oldest dated backups beyond `keep`. Returns the
// folder made, or an empty text when today's backup was there already.
QString dailyBackup(const QString& dataDir, const QString& backupRoot, int keep, const QDate& today);

} // namespace desk::maintenance
