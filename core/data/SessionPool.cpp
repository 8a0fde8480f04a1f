#include "SessionPool.h"

#include <QSqlDatabase>

#include <atomic>

namespace desk::sessions {

namespace {

std::atomic<int> counter{0};

// Set once this thread's IdleConnections is gone.
thread_local bool idleConnectionsGone = false;
thread_local IdleConnections idleConnections;

} // namespace

QString newName() {
    return QStringLiteral("desk-connection-%1").arg(++counter);
}

QSqlError runSettings(QSqlDatabase& db, const QStringList& settings) {
    for (const QString& setting : settings) {
        QSqlQuery query(db);
        if (!query.exec(setting))
            return query.lastError();
    }
    return {};
}

IdleConnections::~IdleConnections() {
    idleConnectionsGone = true;
    closeAll();
}

void IdleConnections::closeAll() {
    for (const QStringList& names : std::as_const(m_idle)) {
        for (const QString& name : names) {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (db.isValid())
                db.close();
        }
    }
    for (const QStringList& names : std::as_const(m_idle)) {
        for (const QString& name : names)
            QSqlDatabase::removeDatabase(name);
    }
    // Last: a statement thrown away once its connection is gone asks nothing of the server
    // (the session's end freed it there).
    m_statements.clear();
    m_idle.clear();
}

QString IdleConnections::take(const QString& key) {
    QStringList& names = m_idle[key];
    while (!names.isEmpty()) {
        const QString name = names.takeLast();
        bool answers = false;
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            QSqlQuery query(db);
            answers = db.isOpen() && query.exec(QStringLiteral("SELECT 1"));
            if (!answers)
                db.close();
        }
        if (answers)
            return name;
        QSqlDatabase::removeDatabase(name);
        forgetStatements(name);
    }
    return {};
}

bool IdleConnections::keep(const QString& key, const QString& name) {
    QStringList& names = m_idle[key];
    if (names.size() >= MaxIdle)
        return false;
    names << name;
    return true;
}

bool IdleConnections::takeStatement(const QString& name, const QString& sql, QSqlQuery* query) {
    const auto kept = m_statements.find(name);
    if (kept == m_statements.end())
        return false;
    const auto it = kept->find(sql);
    if (it == kept->end())
        return false;
    *query = std::move(it.value());
    kept->erase(it);
    return true;
}

void IdleConnections::keepStatement(const QString& name, QSqlQuery&& query) {
    QMultiHash<QString, QSqlQuery>& kept = m_statements[name];
    if (kept.size() < MaxStatements)
        kept.insert(query.lastQuery(), std::move(query));
}

IdleConnections* idlePool() {
    return idleConnectionsGone ? nullptr : &idleConnections;
}

QString idleKey(const QString& location, bool anyVersion) {
    return (anyVersion ? QStringLiteral("any|") : QStringLiteral("current|")) + location;
}

} // namespace desk::sessions
