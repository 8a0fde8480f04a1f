#include "Connection.h"

#include "DbError.h"
#include "Engine.h"
#include "SessionPool.h"

#include <QMutex>
#include <QSqlQuery>

namespace desk {

// What the database holds (objects, their columns, the declared type of a column name) as
// read so far; one per connection on files, shared by the connections of the program where
// each look-up is a trip to a server.
struct Connection::Catalogue {
    QMutex lock;
    QHash<QString, Object> objects;        // lower-case name → object
    QHash<QString, QList<Column>> columns; // lower-case object name → columns
    QHash<QString, QString> typeByColumn;  // lower-case column name → declared type
    bool typesLoaded = false;
};

std::shared_ptr<Connection::Catalogue> Connection::catalogueFor(const Engine& engine, const QString& location) {
    if (!engine.keepsSessions())
        return std::make_shared<Catalogue>();
    static QMutex lock;
    static QHash<QString, std::shared_ptr<Catalogue>> catalogues;
    const QMutexLocker held(&lock);
    std::shared_ptr<Catalogue>& slot = catalogues[location];
    if (!slot)
        slot = std::make_shared<Catalogue>();
    return slot;
}

Connection::Object Connection::object(const QString& name) {
    QString bare = name.trimmed();
    if (bare.startsWith(QLatin1Char('[')) && bare.endsWith(QLatin1Char(']')))
        bare = bare.mid(1, bare.size() - 2);
    const QString key = bare.toLower();
    {
        const QMutexLocker held(&m_catalogue->lock);
        const auto cached = m_catalogue->objects.constFind(key);
        if (cached != m_catalogue->objects.constEnd())
            return cached.value();
    }
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(m_engine->objectStatement());
    query.addBindValue(bare);
    if (!query.exec())
        throw m_engine->failure(query.lastError(), name, m_filePath);
    Object found;
    if (query.next())
        found = Object{query.value(0).toString(), query.value(1).toString()};
    query.finish();
    // Only what is there is kept: an object made later is looked for again.
    if (!found.kind.isEmpty()) {
        const QMutexLocker held(&m_catalogue->lock);
        m_catalogue->objects.insert(key, found);
    }
    return found;
}

QStringList Connection::objectNames(const QString& kind) {
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(m_engine->objectNamesStatement());
    query.addBindValue(kind);
    if (!query.exec())
        throw m_engine->failure(query.lastError(), {}, m_filePath);
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

QStringList Connection::tableNames() {
    return objectNames(QStringLiteral("table"));
}

QStringList Connection::viewNames() {
    return objectNames(QStringLiteral("view"));
}

QList<Connection::Column> Connection::columns(const QString& tableOrView) {
    const QString key = tableOrView.toLower();
    {
        const QMutexLocker held(&m_catalogue->lock);
        const auto cached = m_catalogue->columns.constFind(key);
        if (cached != m_catalogue->columns.constEnd())
            return cached.value();
    }
    const Object found = object(tableOrView);
    QList<Column> result;
    if (!found.kind.isEmpty()) {
        QSqlQuery query(database());
        query.setForwardOnly(true);
        query.prepare(m_engine->columnsStatement());
        query.addBindValue(found.name);
        if (!query.exec())
            throw m_engine->failure(query.lastError(), tableOrView, m_filePath);
        while (query.next())
            result << Column{query.value(0).toString(), query.value(1).toString()};
    }
    const QMutexLocker held(&m_catalogue->lock);
    m_catalogue->columns.insert(key, result);
    return result;
}

QString Connection::declaredType(const QString& column, const QString& table) {
    if (!table.isEmpty()) {
        for (const Column& c : columns(table)) {
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return c.declaredType;
        }
    }
    bool loaded = false;
    {
        const QMutexLocker held(&m_catalogue->lock);
        loaded = m_catalogue->typesLoaded;
    }
    if (!loaded) {
        QHash<QString, QString> types;
        const QStringList objects = tableNames() + viewNames();
        for (const QString& name : objects) {
            for (const Column& c : columns(name)) {
                const QString key = c.name.toLower();
                if (!types.contains(key) && !c.declaredType.isEmpty())
                    types.insert(key, c.declaredType);
            }
        }
        const QMutexLocker held(&m_catalogue->lock);
        m_catalogue->typeByColumn = types;
        m_catalogue->typesLoaded = true;
    }
    const QMutexLocker held(&m_catalogue->lock);
    return m_catalogue->typeByColumn.value(column.toLower());
}

void Connection::forgetSchema() {
    // A compiled statement may name what changed.
    if (sessions::IdleConnections* pool = m_keepsStatements ? sessions::idlePool() : nullptr)
        pool->forgetStatements(m_name);
    const QMutexLocker held(&m_catalogue->lock);
    m_catalogue->objects.clear();
    m_catalogue->columns.clear();
    m_catalogue->typeByColumn.clear();
    m_catalogue->typesLoaded = false;
}

} // namespace desk
