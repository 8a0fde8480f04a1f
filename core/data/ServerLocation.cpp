#include "ServerLocation.h"

#include "BackupFolder.h"
#include "Connection.h"
#include "DbError.h"
#include "PostgresEngine.h"
#include "Schema.h"
#include "SchemaCatalogue.h"
#include "Transfer.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace desk {

namespace {

const QString LastBackupName = QStringLiteral("LastBackup");

} // namespace

ServerLocation::ServerLocation(const QString& address)
    : DataLocation(address, PostgresEngine::instance()) {}

QString ServerLocation::locationOf(const QString& fileName) const {
    return PostgresEngine::locationOf(path(), fileName);
}

QString ServerLocation::displayName() const {
    return engine().displayName(path());
}

QString ServerLocation::adminName() const {
    return QStringLiteral("the inn's data on the database server ") + path();
}

QString ServerLocation::partName(const QString& fileName) const {
    return PostgresEngine::partOfInn(fileName);
}

std::shared_ptr<Connection> ServerLocation::open(const QString& fileName) const {
    return Connection::openLocation(locationOf(fileName));
}

// On a server there is no folder to look at: each database says itself what is wrong.
std::optional<QString> ServerLocation::startProblem() const {
    for (const QString& name : Schema::fileNames()) {
        try {
            open(name);
        } catch (const DbError& e) {
            return openFailureText(e);
        }
    }
    return std::nullopt;
}

// Nothing was typed yet at start: the text says what to look at instead of what was lost; the
// server by host, port and database, the part of the inn in words.
QString ServerLocation::openFailureText(const DbError& error) const {
    if (error.cause() == DbError::Cause::Unreachable)
        return withDetail(QStringLiteral("データベースサーバーに接続できません。\r\n%1\r\n\r\n"
                                         "サーバーの機械の電源が入っていてデータベースサーバーが動いているか、"
                                         "この端末がネットワークにつながっているか、DPath.txtのアドレスが正しいかを"
                                         "確かめてから、もう一度起動してください。")
                              .arg(displayName()),
                          error);
    const QString where = error.file().isEmpty() ? displayName() : engine().displayName(error.file());
    return withDetail(QStringLiteral("データベースを開けませんでした。\r\n%1\r\n\r\n%2").arg(where, error.message()),
                      error);
}

// The five schemas made in a database that holds none of them yet; each filled in its own
// transaction like a file, and all dropped again when one cannot be made.
void ServerLocation::create() const {
    QStringList schemas;
    for (const QString& name : Schema::fileNames())
        schemas << PostgresEngine::schemaOf(locationOf(name));
    {
        const auto first = Connection::create(locationOf(Schema::fileNames().constFirst()));
        QStringList marks;
        for (qsizetype i = 0; i < schemas.size(); ++i)
            marks << QStringLiteral("?");
        const int taken = first
                              ->scalar(QStringLiteral("SELECT COUNT(*) FROM pg_namespace WHERE nspname IN (%1)")
                                           .arg(marks.join(QStringLiteral(", "))),
                                       QVariantList(schemas.cbegin(), schemas.cend()))
                              .toInt();
        if (taken > 0)
            throw DbError(QStringLiteral("このデータベースにはもう宿のデータがあります。何も作っていません。"), {},
                          path());
        Transaction transaction(*first);
        for (const QString& statement : PostgresEngine::databaseSetup())
            first->exec(statement);
        for (const QString& schema : std::as_const(schemas))
            first->exec(QStringLiteral("CREATE SCHEMA ") + schema);
        transaction.commit();
    }
    try {
        for (const Schema::FileSchema& file : Schema::catalogue()) {
            const auto connection = Connection::create(locationOf(file.fileName));
            connection->prepareBulkLoad();
            Schema::fillDatabase(*connection, file);
        }
    } catch (...) {
        // An inn half made would be refused by the next attempt; leave none.
        remove();
        throw;
    }
}

// The schemas are made in one transaction and filled one by one; a failure drops them all
// again. What fill adds is the server's at once.
void ServerLocation::createFilled(const std::function<void(const QString& dataDir)>& fill) const {
    create();
    if (fill)
        fill(path());
}

void ServerLocation::remove() const {
    try {
        const auto first = Connection::create(locationOf(Schema::fileNames().constFirst()));
        for (const QString& name : Schema::fileNames())
            first->exec(
                QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(PostgresEngine::schemaOf(locationOf(name))));
    } catch (const DbError&) {
        // What is left is refused by the next attempt, which names it.
    }
}

void ServerLocation::settle() const {
    // The statistics the planner chooses by, now rather than minutes later when the server
    // gets round to it: until then a look-up of a ten-year inn may read whole tables. One
    // statement for the whole database: every schema of the inn is in it.
    const auto c = Connection::openAnyVersion(locationOf(Schema::fileNames().constFirst()));
    const QString statement = QStringLiteral("ANALYZE");
    QSqlQuery query(c->database());
    if (!query.exec(statement))
        throw c->engine().failure(query.lastError(), statement, c->filePath());
}

// The inn on the server copied into five new files, each database in one read that no save
// waits for, checked table by table and then file by file.
void ServerLocation::backup(const QString& dest) const {
    maintenance::buildBackupFolder(
        dest, [&](const QString& folder) { maintenance::copyInn(path(), folder); },
        [&](const QString& name, const QString& copy) { maintenance::verifyCopy(name, copy, path()); });
    recordBackup(QDateTime::currentDateTime());
}

// What the server holds now is kept beside the backup folder first; then its rows are
// replaced by the backup's, the five databases committed together at the end.
QString ServerLocation::restore(const QString& backupDir) const {
    const QString from = folderPath(backupDir);
    maintenance::refuseUnsoundBackup(from);
    const QString refusal = QStringLiteral("復元できません。");
    refuseWhileDesksWork(refusal);
    const QString kept = maintenance::freshFolder(QFileInfo(from.chopped(1)).absolutePath(),
                                                  QStringLiteral("before-restore-") + maintenance::stamp());
    backup(kept);
    // A desk started while the copy was taken is refused as well.
    refuseWhileDesksWork(refusal);
    maintenance::replaceInn(from, path());
    return kept;
}

QList<maintenance::Finding> ServerLocation::check() const {
    return checkDatabases();
}

maintenance::DailyBackup ServerLocation::dailyBackup(const QString&, int, const QDate&) const {
    maintenance::DailyBackup result;
    result.takenElsewhere = true;
    try {
        result.lastTaken = lastBackup();
    } catch (const DbError&) {
        result.lastUnknown = true;
    }
    return result;
}

QStringList ServerLocation::holders() const {
    const auto connection = Connection::openAnyVersion(locationOf(QString::fromLatin1(DbFile::Option)));
    // Every session of this program names itself the same (PostgresEngine::applicationName).
    QStringList desks;
    connection->select(QStringLiteral("SELECT application_name, host(client_addr), client_hostname "
                                      "FROM pg_stat_activity WHERE datname = current_database() "
                                      "AND pid <> pg_backend_pid() AND application_name <> current_setting(?)"),
                       {QStringLiteral("application_name")}, {}, [&](const QSqlQuery& row) {
                           const auto session = PostgresEngine::sessionOf(row.value(0).toString());
                           if (!session)
                               return; // the administrator's own tools
                           QString host = row.value(2).toString();
                           if (host.isEmpty())
                               host = row.value(1).toString();
                           if (host.isEmpty())
                               host = QStringLiteral("サーバー機");
                           const QString desk =
                               session->desk.isEmpty() ? QStringLiteral("（端末名なし）") : session->desk;
                           const QString line = QStringLiteral("%1（%2）").arg(desk, host);
                           if (!desks.contains(line))
                               desks << line;
                       });
    desks.sort();
    return desks;
}

// A restore or an upgrade changes the tables and the desks' work lines (a slip being typed)
// under their windows: it waits for every desk to close the suite's windows, as on files.
void ServerLocation::refuseWhileDesksWork(const QString& refusal) const {
    const QStringList desks = holders();
    if (desks.isEmpty())
        return;
    throw DbError(refusal +
                      QStringLiteral("次の端末がこの宿のデータを開いています。"
                                     "どの端末もテサロさんの画面をすべて閉じてから、もう一度実行してください。\r\n%1")
                          .arg(desks.join(QStringLiteral("\r\n"))),
                  {}, path(), DbError::Cause::Busy);
}

void ServerLocation::recordBackup(const QDateTime& when) const {
    // Beside the version record, which no copy or restore moves.
    const auto option = Connection::openAnyVersion(locationOf(QString::fromLatin1(DbFile::Option)));
    const QString value = when.toString(Qt::ISODate);
    if (option->exec(QStringLiteral("UPDATE SchemaMeta SET Value = ? WHERE Name = ?"), {value, LastBackupName}) == 0)
        option->exec(QStringLiteral("INSERT INTO SchemaMeta (Name, Value) VALUES (?, ?)"), {LastBackupName, value});
}

std::optional<QDateTime> ServerLocation::lastBackup() const {
    const QVariant value =
        Connection::openAnyVersion(locationOf(QString::fromLatin1(DbFile::Option)))
            ->scalar(QStringLiteral("SELECT Value FROM SchemaMeta WHERE Name = ?"), {LastBackupName});
    const QDateTime when = QDateTime::fromString(value.toString(), Qt::ISODate);
    if (!when.isValid())
        return std::nullopt;
    return when;
}

} // namespace desk
