#include "Engine.h"

#include "SqliteEngine.h"

namespace desk {

const Engine& Engine::forLocation(const QString&) {
    // A database file of the data directory; a server location gets its own engine.
    return SqliteEngine::instance();
}

DbError Engine::failure(const QSqlError& error, const QString& statement, const QString& location,
                        const std::function<QVariant(const QString& column)>& valueOf) const {
    const Fault fault = classify(error);
    return DbError::fromEngine(error.text(), statement, location, fault.cause, fault.keyColumn, valueOf);
}

QString Engine::commit() const {
    return QStringLiteral("COMMIT");
}

QString Engine::rollback() const {
    return QStringLiteral("ROLLBACK");
}

QString Engine::savepoint(const QString& name) const {
    return QStringLiteral("SAVEPOINT ") + name;
}

QString Engine::releaseSavepoint(const QString& name) const {
    return QStringLiteral("RELEASE ") + name;
}

QString Engine::rollbackToSavepoint(const QString& name) const {
    return QStringLiteral("ROLLBACK TO ") + name;
}

} // namespace desk
