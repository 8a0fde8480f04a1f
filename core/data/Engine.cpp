#include "Engine.h"

#include "PostgresEngine.h"
#include "SqliteEngine.h"

#include <QDir>
#include <QFileInfo>

namespace desk {

const Engine& Engine::forLocation(const QString& location) {
    if (PostgresEngine::isAddress(location))
        return PostgresEngine::instance();
    return SqliteEngine::instance();
}

bool Engine::isServerAddress(const QString& dataDir) {
    return PostgresEngine::isAddress(dataDir);
}

QString Engine::locationOf(const QString& dataDir, const QString& fileName) {
    if (PostgresEngine::isAddress(dataDir))
        return PostgresEngine::locationOf(dataDir, fileName);
    QString dir = dataDir;
    if (dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + fileName;
}

QString Engine::displayName(const QString& location) const {
    return QStringLiteral("データベースファイル ") + QDir::toNativeSeparators(location);
}

DbError Engine::failure(const QSqlError& error, const QString& statement, const QString& location,
                        const std::function<QVariant(const QString& column)>& valueOf) const {
    const Fault fault = classify(error);
    return DbError::fromEngine(error.text(), statement, location, fault.cause, fault.keyColumn, valueOf);
}

QString Engine::fileNameOf(const QString& location) const {
    return QFileInfo(location).fileName();
}

QString Engine::changeNotice(const QString&) const {
    return {};
}

DbError::Cause Engine::whyNotOpened(const QString&, const QSqlError& error) const {
    return classify(error).cause;
}

QString Engine::functionName(Function function) const {
    switch (function) {
    case Function::IfNull:
        return QStringLiteral("ifnull");
    case Function::Upper:
        return QStringLiteral("upper");
    case Function::Lower:
        return QStringLiteral("lower");
    case Function::Length:
        return QStringLiteral("length");
    case Function::Substring:
        return QStringLiteral("substr");
    }
    return {};
}

QString Engine::limit(int rows) const {
    return QStringLiteral(" LIMIT %1").arg(rows);
}

QString Engine::materialized() const {
    return QStringLiteral("MATERIALIZED");
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
