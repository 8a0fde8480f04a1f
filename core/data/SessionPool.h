#pragma once

#include <QHash>
#include <QMultiHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// The sessions of the connections to a server, and their compiled statements. Internal to
// core/data (Connection).
namespace desk::sessions {

// A name for a new session of the program ("desk-connection-<n>").
QString newName();

// Runs settings on an open session in turn; the first failure, or an invalid error.
QSqlError runSettings(QSqlDatabase& db, const QStringList& settings);

// The server's connections a thread has finished with, kept open for the next store of the
// same thread on the same location: a server connection takes a new server process and a
// login to make, a file opens in a fraction of that. A connection is the thread's own, so
// each thread keeps its own, and closes them when it ends.
// Their compiled statements stay with them: a store compiles the same few statements on every
// action, and on a server compiling one and throwing it away are a trip there and back each.
class IdleConnections {
public:
    ~IdleConnections();
    void closeAll();
    // The name of an idle connection on the location that still answers; empty when none.
    QString take(const QString& key);
    // False when enough are kept already: the caller closes it.
    bool keep(const QString& key, const QString& name);

    // A statement compiled on connection `name` and handed back, taken out; false when none.
    bool takeStatement(const QString& name, const QString& sql, QSqlQuery* query);
    void keepStatement(const QString& name, QSqlQuery&& query);
    // After the connection was closed, or its tables changed.
    void forgetStatements(const QString& name) { m_statements.remove(name); }

private:
    static constexpr int MaxIdle = 4;
    static constexpr int MaxStatements = 300;
    QHash<QString, QStringList> m_idle;
    QHash<QString, QMultiHash<QString, QSqlQuery>> m_statements; // connection → statement text → compiled
};

// This thread's idle connections; null once they are gone (the thread or the program is
// ending): a row set that outlives them, held by a static object, closes its connection and
// statements itself.
IdleConnections* idlePool();

// Where a connection on location waits for reuse: one of any version apart from one of the
// current version.
QString idleKey(const QString& location, bool anyVersion);

} // namespace desk::sessions
