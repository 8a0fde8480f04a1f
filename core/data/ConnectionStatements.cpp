#include "Connection.h"

#include "DbError.h"
#include "Engine.h"
#include "SessionPool.h"
#include "Sql.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace desk {

namespace {

// The values of an INSERT's or UPDATE's named columns, for a refusal that names them.
DbError failure(const Engine& engine, const QSqlQuery& query, const QString& statement, const QString& file,
                const QVariantList& binds) {
    return engine.failure(query.lastError(), statement, file, [&](const QString& column) {
        // "INSERT INTO t (a, b) VALUES (?, ?)": the value bound to the named column.
        static const QRegularExpression insert(QStringLiteral(R"(^\s*insert\s+into\s+\S+\s*\(([^)]*)\)\s*values\s*\()"),
                                               QRegularExpression::CaseInsensitiveOption);
        const auto m = insert.match(statement);
        if (!m.hasMatch())
            return QVariant();
        const QStringList names = m.captured(1).split(QLatin1Char(','));
        for (int i = 0; i < names.size(); ++i) {
            if (names.at(i).trimmed().compare(column, Qt::CaseInsensitive) == 0)
                return binds.value(i);
        }
        return QVariant();
    });
}

// A date outside years 1 to 9999 is refused before it is written: it would be stored as
// a text that no reader takes for a date again.
void refuseOutOfRangeDates(const QVariantList& values, const QString& statement, const QString& file) {
    for (const QVariant& value : values) {
        QDate date;
        if (value.metaType().id() == QMetaType::QDate)
            date = value.toDate();
        else if (value.metaType().id() == QMetaType::QDateTime)
            date = value.toDateTime().date();
        else
            continue;
        if (date.isValid() && (date.year() < 1 || date.year() > 9999))
            throw DbError(QStringLiteral("日付 %1 は扱えません（1年から9999年まで）。").arg(date.year()), statement,
                          file);
    }
}

} // namespace

int Connection::exec(const QString& statement, const QVariantList& binds) {
    const QString sql = Sql::translate(statement, *m_engine);
    const bool schemaChange = Sql::isSchemaChange(sql);
    const Sql::Bound bound(sql);
    refuseOutOfRangeDates(binds, statement, m_filePath);
    const QVariantList values = bound.values(binds);
    int affected = 0;
    if (values.isEmpty()) {
        // Run as it stands: a server prepares no schema change or session setting.
        QSqlQuery query(database());
        if (!query.exec(bound.sql())) {
            if (!revived(query.lastError(), sql))
                throw failure(*m_engine, query, statement, m_filePath, binds);
            query = QSqlQuery(database());
            if (!query.exec(bound.sql()))
                throw failure(*m_engine, query, statement, m_filePath, binds);
        }
        affected = query.numRowsAffected();
        query.finish();
    } else {
        Compiled query = runCompiled(bound.sql(), values, statement);
        if (query->lastError().isValid())
            throw failure(*m_engine, *query, statement, m_filePath, binds);
        affected = query->numRowsAffected();
    }
    if (schemaChange) {
        forgetSchema();
    } else if (Sql::isWrite(sql)) {
        wrote();
        if (m_depth == 0)
            noticeChange();
    }
    return affected;
}

qint64 Connection::execEach(const QString& statement, const std::function<bool(QVariantList& binds)>& nextRow) {
    const QString translated = Sql::translate(statement, *m_engine);
    // "INSERT ... VALUES (?, ?, ...)": on an engine that wants it, several rows to a statement.
    static const QRegularExpression oneRow(
        QStringLiteral(R"(^(\s*INSERT\s.*\bVALUES\s*)(\((?:\s*\?\s*,)*\s*\?\s*\))\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch insert = oneRow.match(translated);
    const int perStatement = insert.hasMatch() ? std::max(1, m_engine->rowsPerInsert()) : 1;
    const auto statementOf = [&](int rows) {
        if (rows == 1)
            return Sql::Bound(translated);
        return Sql::Bound(insert.captured(1) + QStringList(rows, insert.captured(2)).join(QStringLiteral(", ")));
    };
    const auto compiledOrThrow = [&](const Sql::Bound& bound) {
        Compiled query = compiled(bound.sql());
        if (query->lastError().isValid())
            throw m_engine->failure(query->lastError(), statement, m_filePath);
        return query;
    };

    qint64 count = 0;
    QVariantList pending; // the binds of the rows not sent yet, one after the other
    int pendingRows = 0;
    const auto send = [&](const Sql::Bound& bound, QSqlQuery& query) {
        const QVariantList values = bound.values(pending);
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, m_engine->bindable(values.at(i)));
        if (!query.exec())
            throw failure(*m_engine, query, statement, m_filePath, pending);
        wrote();
        count += pendingRows;
        pending.clear();
        pendingRows = 0;
    };
    // Compiled once for every full batch; the rows left at the end get a statement of their own.
    const Sql::Bound full = statementOf(perStatement);
    Compiled fullQuery;
    QVariantList binds;
    while (true) {
        binds.clear();
        if (!nextRow(binds))
            break;
        refuseOutOfRangeDates(binds, statement, m_filePath);
        pending += binds;
        if (++pendingRows < perStatement)
            continue;
        if (!fullQuery)
            fullQuery = compiledOrThrow(full);
        send(full, *fullQuery);
    }
    if (pendingRows > 0) {
        const Sql::Bound rest = statementOf(pendingRows);
        const Compiled restQuery = compiledOrThrow(rest);
        send(rest, *restQuery);
    }
    return count;
}

Connection::Compiled Connection::compiled(const QString& sql) {
    Compiled query(new QSqlQuery, HandBack{this});
    sessions::IdleConnections* pool = m_keepsStatements ? sessions::idlePool() : nullptr;
    if (pool && pool->takeStatement(m_name, sql, query.get())) {
        // One whose last run failed is compiled again: its error would read as this run's.
        if (!query->lastError().isValid() || query->prepare(sql))
            return query;
        // Its session lost and replaced: compiled anew below on the live one.
        if (!revived(query->lastError(), {})) {
            query.get_deleter().connection = nullptr;
            return query;
        }
    }
    const auto prepare = [&] {
        *query = QSqlQuery(database());
        // A caller may run other statements between the rows; an engine that cannot go on
        // reading meanwhile reads the result whole.
        query->setForwardOnly(m_engine->streamsResults());
        return query->prepare(sql);
    };
    // Compiling is a trip to a server: a lost session is found here first and replaced.
    if (prepare() || (revived(query->lastError(), {}) && prepare()))
        return query;
    // One the engine refused to compile is never handed out again.
    query.get_deleter().connection = nullptr;
    return query;
}

void Connection::HandBack::operator()(QSqlQuery* query) const {
    if (connection)
        connection->handBack(*query);
    delete query;
}

void Connection::handBack(QSqlQuery& query) {
    // One of a session that was lost and replaced goes with that session.
    if (isStale(query))
        return;
    query.finish();
    // Kept even when its last run failed: thrown away inside the failed save it would be one
    // more statement the server refuses. A connection that was lost goes with its statements.
    if (sessions::IdleConnections* pool = m_keepsStatements ? sessions::idlePool() : nullptr)
        pool->keepStatement(m_name, std::move(query));
}

Connection::Compiled Connection::selected(const QString& statement, const QVariantList& binds) {
    const Sql::Bound bound(Sql::translate(statement, *m_engine));
    const QVariantList values = bound.values(binds);
    Compiled query = runCompiled(bound.sql(), values, statement);
    if (query->lastError().isValid())
        throw m_engine->failure(query->lastError(), statement, m_filePath);
    return query;
}

Connection::Compiled Connection::runCompiled(const QString& sql, const QVariantList& values, const QString& statement) {
    const auto run = [&] {
        Compiled query = compiled(sql);
        if (query->lastError().isValid())
            throw m_engine->failure(query->lastError(), statement, m_filePath);
        for (int i = 0; i < values.size(); ++i)
            query->bindValue(i, m_engine->bindable(values.at(i)));
        query->exec();
        return query;
    };
    Compiled query = run();
    // Once more on a new session when the one it ran on was lost.
    if (query->lastError().isValid() && revived(query->lastError(), sql))
        query = run();
    return query;
}

QVariant Connection::scalar(const QString& statement, const QVariantList& binds) {
    const Compiled query = selected(statement, binds);
    QVariant value;
    if (query->next())
        value = query->value(0);
    return value.isNull() ? QVariant() : value;
}

void Connection::select(const QString& statement, const QVariantList& binds,
                        const std::function<void(const QSqlRecord& columns)>& onColumns,
                        const std::function<void(const QSqlQuery& row)>& onRow) {
    const Compiled compiledQuery = selected(statement, binds);
    const QSqlQuery& query = *compiledQuery;
    if (onColumns)
        onColumns(query.record());
    while (compiledQuery->next())
        onRow(query);
    // A row the engine could not read ends the loop as the end of the rows would.
    if (query.lastError().isValid())
        throw m_engine->failure(query.lastError(), statement, m_filePath);
}

} // namespace desk
