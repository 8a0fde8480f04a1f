#include "BackupFolder.h"
#include "Connection.h"
#include "DbError.h"
#include "Engine.h"
#include "FolderLocation.h"
#include "Schema.h"
#include "ServerLocation.h"
#include "Transfer.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace desk {

namespace {

// The databases of an older version, each checked to be one the steps of this program move
// for the engine; refused (Cause::WrongVersion) before anything is touched otherwise.
QStringList outdated(const DataLocation& location, const QList<int>& versions,
                     const std::function<QString(const QString& name)>& shown) {
    const int oldest = std::max(Schema::oldestUpgradableVersion(), location.engine().firstSchemaVersion());
    QStringList names;
    for (qsizetype i = 0; i < versions.size(); ++i) {
        const QString name = Schema::fileNames().at(i);
        const int version = versions.at(i);
        if (version == Schema::Version)
            continue;
        if (version < oldest || version > Schema::Version)
            throw DbError(QStringLiteral("%1 は版 %2 のファイルです。このプログラムは版 %3 から %4 へ移せます。")
                              .arg(shown(name))
                              .arg(version)
                              .arg(oldest)
                              .arg(Schema::Version),
                          {}, location.locationOf(name), DbError::Cause::WrongVersion);
        names << name;
    }
    return names;
}

} // namespace

QStringList FolderLocation::upgrade(QString* backupFolder) const {
    const QStringList names =
        outdated(*this, versions(), [&](const QString& name) { return maintenance::native(path() + name); });
    if (names.isEmpty())
        return {};
    const QStringList inUse = holders();
    for (const QString& name : names) {
        if (inUse.contains(name))
            throw DbError(maintenance::inUseText(path() + name), {}, path() + name, DbError::Cause::Busy);
    }
    const QString kept = maintenance::freshFolder(path() + QStringLiteral("backup"),
                                                  QStringLiteral("before-upgrade-") + maintenance::stamp());
    backup(kept);
    if (backupFolder)
        *backupFolder = kept;
    for (const QString& name : names) {
        const auto connection = Connection::openAnyVersion(path() + name);
        Schema::upgradeFile(*connection, name);
    }
    return names;
}

// A backup first, then the same steps as on files, each schema in a transaction of its own, all
// held open until the last is done and then committed: the server changes nothing when one
// step fails. The desks wait outside: a step rebuilds the tables under their windows.
QStringList ServerLocation::upgrade(QString* backupFolder) const {
    const QStringList names =
        outdated(*this, versions(), [&](const QString& name) { return engine().displayName(locationOf(name)); });
    if (names.isEmpty())
        return {};
    const QString refusal = QStringLiteral("データの版を移せません。");
    refuseWhileDesksWork(refusal);
    // The inn's rows as they were, into a data folder of this version under the current folder
    // (the server has no folder of its own), as a folder's upgrade keeps its files first:
    // `deskadmin restore` takes it back.
    const QString kept = maintenance::freshFolder(QDir::currentPath() + QStringLiteral("/backup"),
                                                  QStringLiteral("before-upgrade-") + maintenance::stamp());
    maintenance::buildBackupFolder(
        kept, [&](const QString& folder) { maintenance::copyOlderInn(path(), folder); },
        [&](const QString& name, const QString& copy) { maintenance::verifyCopy(name, copy, path()); });
    recordBackup(QDateTime::currentDateTime());
    if (backupFolder)
        *backupFolder = kept;
    // A desk started while the copy was taken is refused as well.
    refuseWhileDesksWork(refusal);
    std::vector<std::shared_ptr<Connection>> connections;
    std::vector<std::unique_ptr<Transaction>> writes;
    // The option file first: its step to version 7 reads the check-in file through a session of
    // its own, which would wait for ever on the tables a held step had rebuilt.
    QStringList order = names;
    const auto option = std::find_if(order.begin(), order.end(), [](const QString& name) {
        return name.compare(QLatin1String(DbFile::Option), Qt::CaseInsensitive) == 0;
    });
    if (option != order.end())
        std::rotate(order.begin(), option, option + 1);
    for (const QString& name : std::as_const(order)) {
        connections.push_back(Connection::openAnyVersion(locationOf(name)));
        writes.push_back(std::make_unique<Transaction>(*connections.back()));
        Schema::upgradeFile(*connections.back(), name);
    }
    for (const auto& write : writes)
        write->commit();
    settle();
    return names;
}

} // namespace desk
