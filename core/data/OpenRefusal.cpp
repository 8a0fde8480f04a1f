#include "OpenRefusal.h"

#include "DbError.h"
#include "Engine.h"
#include "Schema.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace desk::refusal {

DbError openRefusal(const Engine& engineOf, const QString& filePath, const DbError& engine) {
    const QString name = engineOf.displayName(filePath);
    DbError::Cause cause = engine.cause();
    QString text;
    switch (cause) {
    case DbError::Cause::Unreachable:
    case DbError::Cause::LoginRefused:
    case DbError::Cause::NoSuchDatabase:
        text = engine.message();
        break;
    case DbError::Cause::DiskFull:
    case DbError::Cause::NoPermission:
    case DbError::Cause::Busy:
        text = QStringLiteral("%1 を開けません。%2").arg(name, engine.message());
        break;
    default:
        cause = DbError::Cause::Damaged;
        text = QStringLiteral("%1 を読めません（壊れています）。").arg(name);
        break;
    }
    return DbError(text, {}, filePath, cause, engine.detail());
}

bool hasSchemaRecord(const QSqlDatabase& db, const Engine& engine) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(engine.objectStatement());
    query.addBindValue(QStringLiteral("SchemaMeta"));
    return query.exec() && query.next();
}

QString upgradeAdvice(const Engine& engine, const QString& filePath, int version) {
    const QString dir = engine.dataDirOf(filePath);
    if (version > Schema::Version)
        return QStringLiteral("%1 はこのプログラムより新しい版（%2）のものです。"
                              "新しい版のプログラムを使ってください。")
            .arg(engine.displayName(filePath))
            .arg(version);
    return QStringLiteral("%1 は古い版（%2）のものです。\r\n"
                          "deskadmin upgrade %3 を実行して現在の版（%4）にしてください。")
        .arg(engine.displayName(filePath))
        .arg(version)
        .arg(dir)
        .arg(Schema::Version);
}

} // namespace desk::refusal
