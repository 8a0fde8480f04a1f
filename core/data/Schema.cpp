#include "Schema.h"

#include "Connection.h"
#include "DataLocation.h"
#include "DbError.h"
#include "Engine.h"
#include "OpenFiles.h"
#include "ReferenceRows.h"
#include "SchemaCatalogue.h"

#include <QFile>

#include <unistd.h>

namespace desk::Schema {

void fillDatabase(Connection& connection, const FileSchema& file) {
    Transaction transaction(connection);
    connection.exec(metaTable().statement(connection.engine()));
    connection.exec(QStringLiteral("INSERT INTO SchemaMeta (Name, Value) VALUES ('SchemaVersion', ?), "
                                   "('FileName', ?)"),
                    {Version, file.fileName});
    for (const QString& statement : file.statements(connection.engine()))
        connection.exec(statement);
    for (const Rows& rows : referenceRows(file.fileName)) {
        for (const QVariantList& values : rows.values)
            connection.exec(rows.statement, values);
    }
    transaction.commit();
}

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
    if (dirPath.isEmpty())
        throw DbError(QStringLiteral("データのフォルダが指定されていません。"));
    DataLocation::of(dirPath)->create();
}

} // namespace desk::Schema
