#include "FolderLocation.h"

#include "BackupFolder.h"
#include "Connection.h"
#include "DbError.h"
#include "Engine.h"
#include "RestoreMarker.h"
#include "Schema.h"
#include "SchemaCatalogue.h"
#include "SqliteEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#include <unistd.h>

namespace desk {

using maintenance::native;

namespace {

// Below this a save may fail half-way through the day.
constexpr qint64 MinimumFreeBytes = 8 * 1024 * 1024;

const QString PointerAdvice = QStringLiteral("\r\nDPath.txtには、データベースファイル（BTReservation.mdb など5つ）の"
                                             "あるフォルダのパスを指定してください。");

// On a case-sensitive file system "BTrecipt.mdb" still means "BTRecipt.mdb".
QString resolveFileName(const QString& dir, const QString& fileName) {
    const QString exact = dir + fileName;
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir + entry;
    }
    return exact;
}

QString headed(const QString& folder, const QString& file, const QString& cause) {
    QString text =
        QStringLiteral("データベースを開けませんでした。\r\nフォルダ: %1").arg(QDir::toNativeSeparators(folder));
    if (!file.isEmpty())
        text += QStringLiteral("\r\nファイル: %1").arg(file);
    return text + QStringLiteral("\r\n\r\n") + cause;
}

// A file is built with syncing off and synced once at the end: one that is cut off
// half-built is thrown away anyway, and a sync per step made every test set-up slow.
void createFile(const QString& dir, const Schema::FileSchema& file) {
    {
        const auto connection = Connection::create(dir + file.fileName);
        connection->prepareBulkLoad();
        Schema::fillDatabase(*connection, file);
    }
    Schema::syncToDisk(dir + file.fileName);
}

} // namespace

FolderLocation::FolderLocation(const QString& folder)
    : DataLocation(folder, SqliteEngine::instance()) {}

QString FolderLocation::locationOf(const QString& fileName) const {
    return path() + fileName;
}

QString FolderLocation::displayName() const {
    return native(path());
}

QString FolderLocation::adminName() const {
    return QStringLiteral("the data directory ") + native(path());
}

std::shared_ptr<Connection> FolderLocation::open(const QString& fileName) const {
    // A restore that is running or did not finish leaves some files restored and some not:
    // no program works on such an inn.
    if (const auto restore = maintenance::unfinishedRestore(path()))
        throw DbError(maintenance::unfinishedRestoreText(path(), *restore), {}, path() + fileName,
                      DbError::Cause::Busy);
    return Connection::openLocation(resolveFileName(path(), fileName));
}

// Looks at the folder and the five files before a clerk types anything: a file that is
// missing, not ours, of another version, damaged or read-only, and a full disk, each said
// with its real cause. DPath.txt is named only when the folder itself is the problem.
std::optional<QString> FolderLocation::startProblem() const {
    const QFileInfo folder(path());
    const QString folderPath = folder.absoluteFilePath();
    if (!folder.isDir())
        return headed(folderPath, {}, QStringLiteral("このフォルダがありません。") + PointerAdvice);
    const QStringList names = Schema::fileNames();
    const bool none = std::none_of(names.cbegin(), names.cend(),
                                   [&](const QString& name) { return QFileInfo::exists(QDir(path()).filePath(name)); });
    if (none)
        return headed(folderPath, names.constFirst(),
                      QStringLiteral("このフォルダにはデータベースファイルがありません。") + PointerAdvice);
    // Permissions and room first: opening a file already writes its log beside it.
    for (const QString& name : names) {
        const QFileInfo file(QDir(path()).filePath(name));
        if (file.isFile() && !file.isWritable())
            return headed(folderPath, file.fileName(),
                          QStringLiteral("このファイルに書き込めません（読み取り専用です）。"
                                         "ファイルの属性か権限を直してから起動してください。"));
    }
    // The log and the shared-memory file are made beside the files at every write.
    if (!QFileInfo(folderPath).isWritable())
        return headed(folderPath, {},
                      QStringLiteral("このフォルダに書き込めません（読み取り専用です）。"
                                     "フォルダの権限を直してから起動してください。"));
    const QStorageInfo storage(folderPath);
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < MinimumFreeBytes)
        return headed(
            folderPath, {},
            QStringLiteral(
                "ディスクの空き容量がありません（残り %1 バイト）。不要なファイルを消してから起動してください。")
                .arg(storage.bytesAvailable()));
    for (const QString& name : names) {
        try {
            open(name);
        } catch (const DbError& e) {
            QString cause = e.message();
            if (e.cause() == DbError::Cause::Missing)
                cause = QStringLiteral("このファイルがありません。");
            else if (e.cause() == DbError::Cause::Other)
                cause = QStringLiteral("このファイルを開けません。") + e.message();
            return withDetail(headed(folderPath, name, cause), e);
        }
    }
    return std::nullopt;
}

// Which folder and file, and what DPath.txt has to hold, instead of a bare failure.
QString FolderLocation::openFailureText(const DbError& error) const {
    QString folder = QDir::toNativeSeparators(path());
    QString file;
    if (!error.file().isEmpty()) {
        const QFileInfo info(error.file());
        folder = QDir::toNativeSeparators(info.absolutePath());
        file = info.fileName();
    }
    QString text = QStringLiteral("データベースを開けませんでした。\r\nフォルダ: %1").arg(folder);
    if (!file.isEmpty())
        text += QStringLiteral("\r\nファイル: %1").arg(file);
    // DPath.txt is named only when the folder is the problem (the file is not there); a
    // file that is there but will not serve is told in the engine's own words.
    const bool missing = !file.isEmpty() && !QFileInfo::exists(error.file());
    if (missing) {
        text += QStringLiteral("\r\n（ファイルがありません）");
        text += PointerAdvice;
    } else {
        text = withDetail(text + QStringLiteral("\r\n\r\n") + error.message(), error);
    }
    return text;
}

void FolderLocation::create() const {
    for (const QString& name : Schema::fileNames()) {
        if (QFileInfo::exists(path() + name))
            throw DbError(QStringLiteral("データベースのファイルがもうあります。何も作っていません。"), {},
                          path() + name);
    }
    if (!QDir().mkpath(path()))
        throw DbError(QStringLiteral("データのフォルダを作れません。"), {}, path());
    QStringList created;
    try {
        for (const Schema::FileSchema& file : Schema::catalogue()) {
            created << path() + file.fileName;
            createFile(path(), file);
        }
    } catch (...) {
        // A half-made data directory would be refused by the next attempt; leave none.
        for (const QString& made : std::as_const(created)) {
            for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
                QFile::remove(made + suffix);
        }
        throw;
    }
}

void FolderLocation::createFilled(const std::function<void(const QString& dataDir)>& fill) const {
    const QString& dir = path();
    const QFileInfo target(dir.chopped(1));
    const QString building =
        target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".init-%1/").arg(::getpid());
    try {
        for (const QString& name : Schema::fileNames()) {
            if (QFileInfo::exists(dir + name))
                throw DbError(QStringLiteral("The database file already exists; nothing was created"), {}, dir + name);
        }
        if (target.exists() && !target.isDir())
            throw DbError(QStringLiteral("The data directory is a file"), {}, target.absoluteFilePath());
        QDir(building).removeRecursively();
        FolderLocation(building).create();
        if (fill)
            fill(building);
        const bool emptyFolder =
            target.isDir() && QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        if (emptyFolder)
            QDir().rmdir(dir);
        if (!target.exists() || emptyFolder) {
            // One rename: the directory is there whole or not at all.
            if (!QDir().mkpath(target.absolutePath()) || !QDir().rename(building, dir.chopped(1)))
                throw DbError(QStringLiteral("Cannot move the new files into place"), {}, dir);
        } else {
            // A folder that holds other things: the files move in one by one, checked
            // again just before.
            for (const QString& name : Schema::fileNames()) {
                if (!QFile::rename(building + name, dir + name))
                    throw DbError(QStringLiteral("Cannot move the new file into place"), {}, dir + name);
            }
            QDir(building).removeRecursively();
        }
    } catch (...) {
        QDir(building).removeRecursively();
        throw;
    }
}

void FolderLocation::remove() const {
    for (const QString& name : Schema::fileNames()) {
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(locationOf(name) + suffix);
    }
}

void FolderLocation::settle() const {
    for (const QString& name : Schema::fileNames())
        Schema::syncToDisk(locationOf(name));
}

void FolderLocation::refuseMissingFolder() const {
    if (!QFileInfo(path()).isDir())
        throw DbError(QStringLiteral("データのフォルダ %1 がありません。").arg(native(path())), {}, path(),
                      DbError::Cause::Missing);
}

void FolderLocation::backup(const QString& dest) const {
    refuseMissingFolder();
    maintenance::buildBackupFolder(dest, {}, [&](const QString& name, const QString& copy) {
        const auto connection = Connection::openAnyVersion(path() + name);
        connection->engine().copyInto(*connection, copy);
        maintenance::verifyCopy(name, copy, path() + name);
    });
}

QList<maintenance::Finding> FolderLocation::check() const {
    refuseMissingFolder();
    QList<maintenance::Finding> findings;
    if (const auto unfinished = maintenance::unfinishedRestore(path()))
        findings << maintenance::Finding{maintenance::markerName(),
                                         maintenance::unfinishedRestoreText(path(), *unfinished)};
    return findings + checkDatabases();
}

QStringList FolderLocation::holders() const {
    QStringList inUse;
    for (const QString& name : Schema::fileNames()) {
        if (engine().inUse(locationOf(name)))
            inUse << name;
    }
    return inUse;
}

maintenance::DailyBackup FolderLocation::dailyBackup(const QString& backupRoot, int keep, const QDate& today) const {
    const QString root = folderPath(backupRoot);
    const QString todays = root + today.toString(QStringLiteral("yyyy-MM-dd"));
    maintenance::DailyBackup result;
    if (!QFileInfo::exists(todays)) {
        try {
            backup(todays);
            result.made = todays;
        } catch (const DbError&) {
            // Two desks starting on a new day: the other one made it meanwhile.
            if (!QFileInfo(todays).isDir())
                throw;
        }
    }
    // Only the dated folders count; a backup taken by hand or before an upgrade stays.
    QStringList dated;
    const QStringList entries = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (QDate::fromString(entry, QStringLiteral("yyyy-MM-dd")).isValid())
            dated << entry;
    }
    for (qsizetype i = 0; i + std::max(keep, 1) < dated.size(); ++i) {
        QDir old(root + dated.at(i));
        if (!old.removeRecursively() && old.exists())
            result.notRemoved << root + dated.at(i);
    }
    return result;
}

} // namespace desk
