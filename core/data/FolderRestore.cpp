#include "FolderLocation.h"

#include "BackupFolder.h"
#include "DbError.h"
#include "Engine.h"
#include "RestoreMarker.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace desk {

namespace {

using Held = std::vector<std::unique_ptr<Engine::ExclusiveHold>>;

// Every file the data folder has, held for this process alone (refused while any program has
// one open); the names of the files it lacks go to absent.
Held holdLiveFiles(const Engine& engine, const QString& to, QStringList& absent) {
    Held held;
    for (const QString& name : Schema::fileNames()) {
        if (!QFileInfo::exists(to + name)) {
            absent << name;
            continue;
        }
        std::unique_ptr<Engine::ExclusiveHold> file;
        try {
            file = engine.holdExclusively(to + name);
        } catch (const DbError& e) {
            throw DbError(QStringLiteral("%1 を開けません: %2").arg(maintenance::native(to + name), e.message()), {},
                          to + name, e.cause());
        }
        if (!file)
            throw DbError(maintenance::inUseText(to + name), {}, to + name, DbError::Cause::Busy);
        held.push_back(std::move(file));
    }
    return held;
}

// A copy of the held files into a new backup/before-restore-<time>, returned.
QString keepHeldFiles(const QString& to, const Held& held) {
    const QString kept = maintenance::freshFolder(to + QStringLiteral("backup"),
                                                  QStringLiteral("before-restore-") + maintenance::stamp());
    maintenance::buildBackupFolder(kept, {}, [&](const QString& name, const QString& copy) {
        const auto it = std::find_if(held.begin(), held.end(),
                                     [&](const auto& file) { return QFileInfo(file->location()).fileName() == name; });
        // A file the data folder lacks has nothing to keep.
        if (it != held.end()) {
            (*it)->copyInto(copy);
            maintenance::verifyCopy(name, copy, (*it)->location());
        }
    });
    return kept;
}

// A file the data folder lacked, copied from the backup beside it and renamed into place.
void putAbsentFile(const Engine& engine, const QString& from, const QString& to, const QString& name) {
    const QString part = to + name + QStringLiteral(".restoring");
    QFile::remove(part);
    engine.copyClosed(from + name, part);
    maintenance::verifyCopy(name, part, from + name);
    if (!QFile::rename(part, to + name)) {
        QFile::remove(part);
        throw DbError(QStringLiteral("%1 を置けません。").arg(maintenance::native(to + name)), {}, to + name);
    }
}

} // namespace

QString FolderLocation::restore(const QString& backupDir) const {
    const QString from = folderPath(backupDir);
    const QString& to = path();
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        throw DbError(QStringLiteral("バックアップとデータのフォルダが同じです。"), {}, to);
    maintenance::refuseUnsoundBackup(from);
    if (!QDir().mkpath(to))
        throw DbError(QStringLiteral("データのフォルダ %1 を作れません。").arg(maintenance::native(to)), {}, to,
                      DbError::Cause::NoPermission);
    const std::optional<maintenance::UnfinishedRestore> unfinished = maintenance::unfinishedRestore(to);
    if (unfinished && unfinished->running)
        throw DbError(maintenance::unfinishedRestoreText(to, *unfinished), {}, maintenance::markerPath(to),
                      DbError::Cause::Busy);

    // A file the data folder lacks is put in whole (nobody can have it open); every file
    // there is held for this process alone from before the kept copy until its pages are
    // in, so no save falls between the two.
    QStringList absent;
    Held held = holdLiveFiles(engine(), to, absent);
    // What is replaced is kept, in case the wrong backup was chosen; a restore run again to
    // finish an unfinished one keeps what the first run kept (the files now are a mix).
    QString kept = unfinished ? unfinished->kept : QString();
    if (!unfinished && !held.empty())
        kept = keepHeldFiles(to, held);
    maintenance::writeMarker(to, from, kept);

    for (const auto& file : held)
        file->replaceWith(from + QFileInfo(file->location()).fileName());
    for (const QString& name : std::as_const(absent))
        putAbsentFile(engine(), from, to, name);
    held.clear();
    QFile::remove(maintenance::markerPath(to));
    return kept;
}

} // namespace desk
