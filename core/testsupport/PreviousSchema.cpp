#include "PreviousSchema.h"

#include "data/Connection.h"
#include "data/DbError.h"

#include <QSqlQuery>

namespace desk::test {

void toSchemaVersion5(Connection& connection) {
    struct Object {
        QString type;
        QString name;
        QString sql;
    };
    QList<Object> objects;
    // Files of version 5 and older were made by SQLite alone.
    connection.select(QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY rowid"),
                      {}, {}, [&](const QSqlQuery& row) {
                          objects.append({row.value(0).toString(), row.value(1).toString(), row.value(2).toString()});
                      });
    const QString rowKey = QStringLiteral(", RowKey INTEGER PRIMARY KEY");

    Transaction transaction(connection);
    for (const Object& o : std::as_const(objects)) {
        if (o.type == QLatin1String("view"))
            connection.exec(QStringLiteral("DROP VIEW \"%1\"").arg(o.name));
    }
    for (const Object& o : std::as_const(objects)) {
        if (o.type != QLatin1String("table"))
            continue;
        QString create = o.sql;
        if (o.name == QLatin1String("SchemaMeta"))
            create = QStringLiteral("CREATE TABLE SchemaMeta (Name TEXT PRIMARY KEY, Value TEXT)");
        else if (!create.contains(rowKey))
            throw DbError(QStringLiteral("no row key in ") + o.name);
        else
            create.remove(rowKey);
        const QString current = o.name + QStringLiteral("_current");
        connection.exec(QStringLiteral("ALTER TABLE \"%1\" RENAME TO \"%2\"").arg(o.name, current));
        connection.exec(create);
        QStringList columns;
        for (const Connection::Column& c : connection.columns(o.name))
            columns << QStringLiteral("\"%1\"").arg(c.name);
        const QString list = columns.join(QStringLiteral(", "));
        connection.exec(
            QStringLiteral("INSERT INTO \"%1\" (rowid, %2) SELECT RowKey, %2 FROM \"%3\"").arg(o.name, list, current));
        connection.exec(QStringLiteral("DROP TABLE \"%1\"").arg(current));
    }
    for (const Object& o : std::as_const(objects)) {
        if (o.type == QLatin1String("index"))
            connection.exec(o.sql);
        else if (o.type == QLatin1String("view"))
            connection.exec(QString(o.sql).replace(QStringLiteral(".RowKey"), QStringLiteral(".rowid")));
    }
    connection.exec(QStringLiteral("UPDATE SchemaMeta SET Value = '5' WHERE Name = 'SchemaVersion'"));
    transaction.commit();
}

} // namespace desk::test
