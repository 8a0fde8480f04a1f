#include "BackupFolder.h"

#include "DataLocation.h"
#include "DbError.h"
#include "Maintenance.h"
#include "Schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>

#include <signal.h>
#include <unistd.h>

namespace desk::maintenance {

namespace {

// Folders a killed backup, upgrade or init left behind (".<name>.partial-<pid>",
// ".<name>.init-<pid>"): removed once the process that made them is gone.
void removeStalePartials(const QString& folder) {
    static const QRegularExpression partial(QStringLiteral(R"(^\..+\.(partial|init)-(\d+)$)"));
    const QStringList entries = QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const auto m = partial.match(entry);
        if (m.hasMatch() && !processRuns(m.captured(2).toLongLong()))
            QDir(DataLocation::folderPath(folder) + entry).removeRecursively();
    }
}

// Backups kept in a folder its group may write (the package's data folder) are the group's
// too, so another clerk's program can prune them.
void shareWithGroupOf(const QString& parent, const QString& path) {
    const QFileInfo folder(parent);
    if (!(folder.permissions() & QFileDevice::WriteGroup))
        return;
    QFile::Permissions wanted = QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    if (QFileInfo(path).isDir())
        wanted |= QFileDevice::ExeGroup;
    QFile::setPermissions(path, QFile::permissions(path) | wanted);
}

} // namespace

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString inUseText(const QString& path) {
    return QStringLiteral("%1 は使用中です。すべてのプログラムを終了してから、もう一度実行してください。")
        .arg(native(path));
}

QString stamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// A dated folder under root that does not exist yet.
QString freshFolder(const QString& root, const QString& base) {
    QString path = DataLocation::folderPath(root) + base;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = DataLocation::folderPath(root) + base + QStringLiteral("-%1").arg(n);
    return path;
}

bool processRuns(qint64 pid) {
    if (pid <= 0)
        return false;
    if (pid == ::getpid())
        return true;
    // Another user's process answers EPERM: it runs.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// A copy the engine has just written: checked, then flushed to disk.
void verifyCopy(const QString& name, const QString& copy, const QString& source) {
    const QStringList problems = integrityProblems(copy);
    if (!problems.isEmpty())
        throw DbError(QStringLiteral("%1 のコピーが検査に通りません: %2").arg(name, problems.join(u' ')), {}, source,
                      DbError::Cause::Damaged);
    Schema::syncToDisk(copy);
}

// Builds a backup folder in a hidden folder beside dest, then renames it: dest is complete
// or absent. fillFolder, when given, makes the five files of the hidden folder at once;
// makeCopy(name, copyPath) then makes (or checks) each file in turn.
void buildBackupFolder(const QString& dest, const std::function<void(const QString& folder)>& fillFolder,
                       const std::function<void(const QString&, const QString&)>& makeCopy) {
    const QString target = QDir::cleanPath(QDir::current().absoluteFilePath(dest));
    if (QFileInfo::exists(target))
        throw DbError(
            QStringLiteral("バックアップ先 %1 は既にあります。別の名前を指定してください。").arg(native(target)), {},
            target);
    const QFileInfo targetInfo(target);
    const QString parent = targetInfo.absolutePath();
    if (!QDir().mkpath(parent))
        throw DbError(QStringLiteral("バックアップ先のフォルダ %1 を作れません（権限か空き容量を確かめてください）。")
                          .arg(native(parent)),
                      {}, parent, DbError::Cause::NoPermission);
    removeStalePartials(parent);
    const QString partial =
        parent + QStringLiteral("/.") + targetInfo.fileName() + QStringLiteral(".partial-%1").arg(::getpid());
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial))
        throw DbError(QStringLiteral("バックアップ先のフォルダ %1 を作れません（権限か空き容量を確かめてください）。")
                          .arg(native(parent)),
                      {}, partial, DbError::Cause::NoPermission);
    try {
        shareWithGroupOf(parent, partial);
        if (fillFolder)
            fillFolder(partial + QLatin1Char('/'));
        for (const QString& name : Schema::fileNames()) {
            const QString copy = partial + QLatin1Char('/') + name;
            makeCopy(name, copy);
            shareWithGroupOf(parent, copy);
        }
        if (!QDir().rename(partial, target))
            throw DbError(QStringLiteral("バックアップのフォルダを %1 にできません。").arg(native(target)), {}, target);
    } catch (...) {
        QDir(partial).removeRecursively();
        throw;
    }
}

// A backup folder whose files do not all pass the engine's check is not put anywhere.
void refuseUnsoundBackup(const QString& from) {
    for (const QString& name : Schema::fileNames()) {
        const QStringList problems = integrityProblems(from + name);
        if (!problems.isEmpty())
            throw DbError(QStringLiteral("バックアップの %1 は使えません: %2").arg(name, problems.join(u' ')), {},
                          from + name, DbError::Cause::Damaged);
    }
}

} // namespace desk::maintenance
