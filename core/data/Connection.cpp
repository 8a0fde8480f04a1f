#include "Connection.h"

#include "ChangeNotices.h"
#include "DataLocation.h"
#include "DbError.h"
#include "Engine.h"
#include "OpenRefusal.h"
#include "Schema.h"
#include "SessionPool.h"
#include "Sql.h"

#include <QSqlError>
#include <QSqlQuery>

#include <optional>

namespace desk {

namespace {

// A statement that changes no row may run again on a new session after its first one was
// lost. A write may only when the server said it ended the session before the statement
// came (a restart, pg_terminate_backend): otherwise it might have been done already.
bool mayRunAgain(const QString& statement, const QSqlError& error) {
    if (!Sql::isWrite(statement))
        return true;
    return error.nativeErrorCode().trimmed().startsWith(QLatin1String("57P0"));
}

// Why a database opened for work is not worked on.
struct Refusal {
    QString text;
    DbError::Cause cause = DbError::Cause::Other;
    QString detail;
};

// Read-only until the database is known to be one of ours (of the current version when
// current): a database of something else, or of another version, is refused unchanged.
std::optional<Refusal> refusalOf(const QSqlDatabase& db, const Engine& engine, const QString& location, bool current) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT Value FROM SchemaMeta WHERE Name = 'SchemaVersion'"))) {
        const DbError failure = engine.failure(query.lastError(), {}, location);
        if (failure.cause() == DbError::Cause::Other && !refusal::hasSchemaRecord(db, engine))
            return Refusal{engine.withoutRecordText(db, location), DbError::Cause::NotADatabase, {}};
        const DbError refused = refusal::openRefusal(engine, location, failure);
        return Refusal{refused.message(), refused.cause(), refused.detail()};
    }
    const int version = query.next() ? query.value(0).toInt() : 0;
    if (current && version != Schema::Version)
        return Refusal{refusal::upgradeAdvice(engine, location, version), DbError::Cause::WrongVersion, {}};
    return std::nullopt;
}

} // namespace

std::shared_ptr<Connection> Connection::open(const QString& dirPath, const QString& fileName) {
    return DataLocation::of(dirPath)->open(fileName);
}

std::shared_ptr<Connection> Connection::openLocation(const QString& location) {
    return std::shared_ptr<Connection>(new Connection(location, Mode::Current));
}

std::shared_ptr<Connection> Connection::openAnyVersion(const QString& filePath) {
    return std::shared_ptr<Connection>(new Connection(filePath, Mode::AnyVersion));
}

std::shared_ptr<Connection> Connection::create(const QString& filePath) {
    return std::shared_ptr<Connection>(new Connection(filePath, Mode::Create));
}

Connection::Connection(const QString& filePath, Mode mode)
    : m_engine(&Engine::forLocation(filePath))
    , m_filePath(filePath)
    , m_name(sessions::newName()) {
    const bool creating = mode == Mode::Create;
    m_catalogue = catalogueFor(*m_engine, filePath);
    if (m_engine->keepsSessions() && !creating) {
        m_idleKey = sessions::idleKey(filePath, mode == Mode::AnyVersion);
        m_keepsStatements = true;
        sessions::IdleConnections* pool = sessions::idlePool();
        const QString idle = pool ? pool->take(m_idleKey) : QString();
        if (!idle.isEmpty()) {
            m_name = idle;
            return;
        }
    }
    m_hold = m_engine->holdFile(filePath, creating);
    openFirstSession(mode);
}

void Connection::openFirstSession(Mode mode) {
    const bool creating = mode == Mode::Create;
    QSqlError failure;
    bool opened = false;
    std::optional<Refusal> refused;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(m_engine->driverName(), m_name);
        if (!db.isValid()) {
            refused =
                Refusal{QStringLiteral("QtSql のデータベースドライバ %1 がありません。").arg(m_engine->driverName()),
                        DbError::Cause::Other,
                        {}};
        } else {
            m_engine->configure(db, m_filePath, creating ? Engine::Access::Create : Engine::Access::ReadWrite);
            if (!db.open()) {
                failure = db.lastError();
            } else {
                opened = true;
                // Where the database's tables are found, before anything is read of it.
                failure = sessions::runSettings(db, m_engine->lookupSettings(m_filePath));
            }
            if (!failure.isValid() && !creating)
                refused = refusalOf(db, *m_engine, m_filePath, mode == Mode::Current);
            if (!failure.isValid() && !refused)
                failure = sessions::runSettings(db, m_engine->sessionSettings(m_filePath));
            if (failure.isValid() || refused)
                db.close();
        }
    }
    if (refused) {
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(refused->text, {}, m_filePath, refused->cause, refused->detail);
    }
    if (failure.isValid()) {
        QSqlDatabase::removeDatabase(m_name);
        const DbError engine =
            opened ? m_engine->failure(failure, {}, m_filePath)
                   : DbError::fromEngine(failure.text(), {}, m_filePath, m_engine->whyNotOpened(m_filePath, failure));
        throw refusal::openRefusal(*m_engine, m_filePath, engine);
    }
}

int Connection::schemaVersion() {
    const QVariant value = scalar(QStringLiteral("SELECT Value FROM SchemaMeta WHERE Name = 'SchemaVersion'"));
    return value.isNull() ? 0 : value.toInt();
}

Connection::~Connection() {
    // Sessions lost and replaced: every query on them is gone with their holders.
    for (const QString& retired : std::as_const(m_retired))
        QSqlDatabase::removeDatabase(retired);
    // A server connection with no transaction left open waits for the thread's next store.
    sessions::IdleConnections* pool = sessions::idlePool();
    if (pool && !m_idleKey.isEmpty() && m_depth == 0 && database().isOpen() && pool->keep(m_idleKey, m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    if (m_keepsStatements && pool)
        pool->forgetStatements(m_name);
}

QSqlDatabase Connection::database() const {
    return QSqlDatabase::database(m_name, false);
}

QSqlError Connection::openSession(const QString& name) {
    QSqlError failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(m_engine->driverName(), name);
        m_engine->configure(db, m_filePath, Engine::Access::ReadWrite);
        if (!db.open()) {
            failure = db.lastError();
        } else {
            failure =
                sessions::runSettings(db, m_engine->lookupSettings(m_filePath) + m_engine->sessionSettings(m_filePath));
            if (failure.isValid())
                db.close();
        }
    }
    if (failure.isValid())
        QSqlDatabase::removeDatabase(name);
    return failure;
}

bool Connection::isStale(const QSqlQuery& query) const {
    return !m_retired.isEmpty() && query.driver() != database().driver();
}

void Connection::recompile(QSqlQuery& query) {
    const QString sql = query.lastQuery();
    const QVariantList values = query.boundValues();
    QSqlQuery fresh(database());
    fresh.setForwardOnly(query.isForwardOnly());
    if (fresh.prepare(sql)) {
        for (int i = 0; i < values.size(); ++i)
            fresh.bindValue(i, values.at(i));
    }
    query = std::move(fresh);
}

bool Connection::revived(const QSqlError& error, const QString& statement) {
    // Inside a transaction what was done so far is gone with the session: the save fails
    // whole, and the next one begins on a new session.
    if (!m_engine->keepsSessions() || m_depth > 0 || m_engine->classify(error).cause != DbError::Cause::Unreachable)
        return false;
    const QString name = sessions::newName();
    if (openSession(name).isValid())
        return false;
    // The lost session's compiled statements are of no use on the new one; a cursor's own
    // are compiled again when it next runs them (isStale).
    if (sessions::IdleConnections* pool = m_keepsStatements ? sessions::idlePool() : nullptr)
        pool->forgetStatements(m_name);
    {
        QSqlDatabase old = QSqlDatabase::database(m_name, false);
        if (old.isValid())
            old.close();
    }
    m_retired << m_name;
    m_name = name;
    return mayRunAgain(statement, error);
}

void Connection::noticeChange() {
    const QString statement = m_engine->changeNotice(ChangeNotices::payload(m_engine->fileNameOf(m_filePath)));
    if (statement.isEmpty())
        return;
    QSqlQuery query(database());
    if (!query.exec(statement))
        throw m_engine->failure(query.lastError(), statement, m_filePath);
}

void Connection::prepareBulkLoad() {
    for (const QString& setting : m_engine->bulkLoadSettings()) {
        QSqlQuery query(database());
        if (!query.exec(setting))
            throw m_engine->failure(query.lastError(), setting, m_filePath);
    }
}

} // namespace desk
