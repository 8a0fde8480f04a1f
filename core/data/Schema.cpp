#include "Schema.h"

#include "Connection.h"
#include "DbError.h"
#include "Engine.h"
#include "OpenFiles.h"
#include "PostgresEngine.h"
#include "ReferenceRows.h"
#include "SchemaCatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace desk::Schema {

namespace {

void fillFile(Connection& connection, const FileSchema& file) {
    Transaction transaction(connection);
    connection.exec(metaTableStatement());
    connection.exec(QStringLiteral("INSERT INTO SchemaMeta (Name, Value) VALUES ('SchemaVersion', ?), "
                                   "('FileName', ?)"),
                    {Version, file.fileName});
    for (const QString& statement : file.statements)
        connection.exec(statement);
    for (const Rows& rows : referenceRows(file.fileName)) {
        for (const QVariantList& values : rows.values)
            connection.exec(rows.statement, values);
    }
    transaction.commit();
}

// A file is built with syncing off and synced once at the end: one that is cut off
// half-built is thrown away anyway, and a sync per step made every test set-up slow.
void createFile(const QString& dir, const FileSchema& file) {
    {
        const auto connection = Connection::create(dir + file.fileName);
        connection->prepareBulkLoad();
        fillFile(*connection, file);
    }
    syncToDisk(dir + file.fileName);
}

// The five schemas of an inn on a database server, made in a database that holds none of
// them yet; each filled in its own transaction like a file, and all dropped again when one
// cannot be made.
void createOnServer(const QString& address) {
    QStringList schemas;
    for (const QString& name : fileNames())
        schemas << PostgresEngine::schemaOf(PostgresEngine::locationOf(address, name));
    {
        const auto first = Connection::create(PostgresEngine::locationOf(address, fileNames().constFirst()));
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
                          PostgresEngine::addressOf(address));
        Transaction transaction(*first);
        for (const QString& statement : PostgresEngine::databaseSetup())
            first->exec(statement);
        for (const QString& schema : std::as_const(schemas))
            first->exec(QStringLiteral("CREATE SCHEMA ") + schema);
        transaction.commit();
    }
    try {
        for (const FileSchema& file : catalogue()) {
            const auto connection = Connection::create(PostgresEngine::locationOf(address, file.fileName));
            connection->prepareBulkLoad();
            fillFile(*connection, file);
        }
    } catch (...) {
        // An inn half made would be refused by the next attempt; leave none.
        try {
            const auto first = Connection::create(PostgresEngine::locationOf(address, fileNames().constFirst()));
            for (const QString& schema : std::as_const(schemas))
                first->exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
        } catch (const DbError&) {
        }
        throw;
    }
}

} // namespace

void syncToDisk(const QString& path) {
    // Closing this descriptor would drop the locks of a connection of this process.
    OpenFiles::whileClosed(path, [&] {
        QFile file(path);
        if (file.open(QIODevice::ReadWrite))
            ::fsync(file.handle());
    });
}

QStringList fileNames() {
    return {QString::fromLatin1(DbFile::Reservation), QString::fromLatin1(DbFile::DaySalesCliants),
            QString::fromLatin1(DbFile::Sales), QString::fromLatin1(DbFile::Recipt),
            QString::fromLatin1(DbFile::Option)};
}

void createDataDirectory(const QString& dirPath) {
    QString dir = dirPath;
    if (dir.isEmpty())
        throw DbError(QStringLiteral("データのフォルダが指定されていません。"));
    if (Engine::isServerAddress(dir)) {
        createOnServer(dir.trimmed());
        return;
    }
    if (dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');

    for (const QString& name : fileNames()) {
        if (QFileInfo::exists(dir + name))
            throw DbError(QStringLiteral("データベースのファイルがもうあります。何も作っていません。"), {}, dir + name);
    }
    if (!QDir().mkpath(dir))
        throw DbError(QStringLiteral("データのフォルダを作れません。"), {}, dir);

    QStringList created;
    try {
        for (const FileSchema& file : catalogue()) {
            created << dir + file.fileName;
            createFile(dir, file);
        }
    } catch (...) {
        // A half-made data directory would be refused by the next attempt; leave none.
        for (const QString& path : std::as_const(created)) {
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-wal"));
            QFile::remove(path + QStringLiteral("-shm"));
        }
        throw;
    }
}

} // namespace desk::Schema
