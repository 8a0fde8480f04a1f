#include "Schema.h"

#include "Connection.h"
#include "DbError.h"
#include "OpenFiles.h"
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
