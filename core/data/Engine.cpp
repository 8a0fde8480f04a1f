#include "Engine.h"

#include "DataLocation.h"
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

QString Engine::locationOf(const QString& dataDir, const QString& fileName) {
    return DataLocation::of(dataDir)->locationOf(fileName);
}

QString Engine::displayName(const QString& location) const {
    return QStringLiteral("データベースファイル ") + QDir::toNativeSeparators(location);
}

QString Engine::placeLine(const QString& location) const {
    return QStringLiteral("ファイル: ") + QDir::toNativeSeparators(location);
}

QString Engine::placeNote(const QString& location, const QString& message) const {
    const QString name = QDir::toNativeSeparators(location);
    if (location.isEmpty() || message.contains(name))
        return {};
    return QStringLiteral(": ") + name;
}

QString Engine::dataDirOf(const QString& location) const {
    return QDir::toNativeSeparators(QFileInfo(location).absolutePath());
}

QString Engine::withoutRecordText(const QSqlDatabase&, const QString& location) const {
    return QStringLiteral("%1 はこのシステムのデータベースではありません（版の記録がありません）。")
        .arg(displayName(location));
}

std::unique_ptr<OpenFiles::Hold> Engine::holdFile(const QString&, bool) const {
    return nullptr;
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

QStringList Engine::renameTable(const QString& from, const QString& to) const {
    return {QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(from, to)};
}

QString Engine::columnType(Declared type) const {
    // SQLite's words, which its files have always recorded.
    switch (type) {
    case Declared::CaseBlindText:
        return QStringLiteral("TEXT COLLATE NOCASE");
    case Declared::ExactText:
        return QStringLiteral("TEXT COLLATE BINARY");
    case Declared::Text:
        return QStringLiteral("TEXT");
    case Declared::Integer:
        return QStringLiteral("INTEGER");
    case Declared::SmallInt:
        return QStringLiteral("SMALLINT");
    case Declared::Double:
        return QStringLiteral("DOUBLE");
    case Declared::Currency:
        return QStringLiteral("CURRENCY");
    case Declared::YesNo:
        return QStringLiteral("BOOLEAN");
    case Declared::Date:
        return QStringLiteral("DATE");
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

namespace desk {

QStringList Engine::nightsApart(const QString&, const QString&, const QString&, const QString&) const {
    return {};
}

} // namespace desk
