#include "Connection.h"

#include "DbError.h"
#include "Engine.h"

#include <QSqlQuery>

namespace desk {

namespace {
void runControl(Connection& connection, const QString& statement) {
    QSqlQuery query(connection.database());
    if (!query.exec(statement))
        throw connection.engine().failure(query.lastError(), statement, connection.filePath());
}
} // namespace

Transaction::Transaction(Connection& connection)
    : m_connection(connection) {
    if (m_connection.m_depth == 0) {
        const QStringList begin = m_connection.engine().beginWrite();
        for (qsizetype i = 0; i < begin.size(); ++i) {
            try {
                if (i == 0) {
                    // A session lost since the last save is replaced before this one begins.
                    QSqlQuery query(m_connection.database());
                    if (query.exec(begin.at(i)))
                        continue;
                    if (!m_connection.revived(query.lastError(), begin.at(i)))
                        throw m_connection.engine().failure(query.lastError(), begin.at(i), m_connection.filePath());
                }
                runControl(m_connection, begin.at(i));
            } catch (const DbError&) {
                // A write lock not taken leaves no transaction open behind the refusal.
                if (i > 0) {
                    try {
                        runControl(m_connection, m_connection.engine().rollback());
                    } catch (const DbError&) {
                    }
                }
                throw;
            }
        }
    } else {
        m_savepoint = QStringLiteral("desk_savepoint_%1").arg(++m_connection.m_savepoints);
        runControl(m_connection, m_connection.engine().savepoint(m_savepoint));
    }
    ++m_connection.m_depth;
}

Transaction::~Transaction() {
    if (m_done)
        return;
    m_connection.wrote();
    try {
        const Engine& engine = m_connection.engine();
        if (m_savepoint.isEmpty()) {
            runControl(m_connection, engine.rollback());
        } else {
            runControl(m_connection, engine.rollbackToSavepoint(m_savepoint));
            runControl(m_connection, engine.releaseSavepoint(m_savepoint));
        }
    } catch (const DbError&) {
        // Nothing more can be done here; the engine has already undone what it could.
    }
    --m_connection.m_depth;
}

void Transaction::commit() {
    if (m_done)
        return;
    if (m_savepoint.isEmpty())
        m_connection.noticeChange();
    runControl(m_connection, m_savepoint.isEmpty() ? m_connection.engine().commit()
                                                   : m_connection.engine().releaseSavepoint(m_savepoint));
    m_done = true;
    --m_connection.m_depth;
}

} // namespace desk
