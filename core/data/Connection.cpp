#include "Connection.h"

#include "ChangeNotices.h"
#include "DbError.h"
#include "Engine.h"
#include "PostgresEngine.h"
#include "Maintenance.h"
#include "Schema.h"
#include "Sql.h"

#include <QDate>
#include <QDateTime>
#include <QMutex>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>

namespace desk {

namespace {

std::atomic<int> connectionCounter{0};

QString withSeparator(const QString& dirPath) {
    QString dir = dirPath;
    if (dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

// On a case-sensitive file system "BTrecipt.mdb" still means "BTRecipt.mdb".
QString resolveFileName(const QString& dir, const QString& fileName) {
    const QString exact = dir + fileName;
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir + entry;
    }
    return exact;
}

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

bool isWrite(const QString& statement) {
    const QString head = statement.trimmed().left(6).toUpper();
    return head.startsWith(QLatin1String("INSERT")) || head.startsWith(QLatin1String("UPDATE")) ||
           head.startsWith(QLatin1String("DELETE"));
}

bool isSchemaChange(const QString& statement) {
    const QString head = statement.trimmed().left(6).toUpper();
    return head.startsWith(QLatin1String("CREATE")) || head.startsWith(QLatin1String("DROP")) ||
           head.startsWith(QLatin1String("ALTER"));
}

// A statement that changes no row may run again on a new session after its first one was
// lost. A write may only when the server said it ended the session before the statement
// came (a restart, pg_terminate_backend): otherwise it might have been done already.
bool mayRunAgain(const QString& statement, const QSqlError& error) {
    if (!isWrite(statement))
        return true;
    return error.nativeErrorCode().trimmed().startsWith(QLatin1String("57P0"));
}

} // namespace

std::shared_ptr<Connection> Connection::open(const QString& dirPath, const QString& fileName) {
    if (Engine::isServerAddress(dirPath))
        return std::shared_ptr<Connection>(new Connection(Engine::locationOf(dirPath, fileName), Mode::Current));
    // A restore that is running or did not finish leaves some files restored and some not:
    // no program works on such an inn.
    if (const auto restore = maintenance::unfinishedRestore(withSeparator(dirPath)))
        throw DbError(maintenance::unfinishedRestoreText(withSeparator(dirPath), *restore), {},
                      withSeparator(dirPath) + fileName, DbError::Cause::Busy);
    const QString path = resolveFileName(withSeparator(dirPath), fileName);
    return std::shared_ptr<Connection>(new Connection(path, Mode::Current));
}

std::shared_ptr<Connection> Connection::openAnyVersion(const QString& filePath) {
    return std::shared_ptr<Connection>(new Connection(filePath, Mode::AnyVersion));
}

std::shared_ptr<Connection> Connection::create(const QString& filePath) {
    return std::shared_ptr<Connection>(new Connection(filePath, Mode::Create));
}

namespace {

// What can be told of a file without opening it.
void refuseMissingFile(const QString& filePath) {
    const QFileInfo info(filePath);
    const QString name = QDir::toNativeSeparators(filePath);
    if (!info.exists())
        throw DbError(QStringLiteral("データベースファイル %1 がありません。").arg(name), {}, filePath,
                      DbError::Cause::Missing);
    if (!info.isFile())
        throw DbError(QStringLiteral("%1 はファイルではありません。").arg(name), {}, filePath,
                      DbError::Cause::NotADatabase);
    if (!info.isReadable())
        throw DbError(QStringLiteral("データベースファイル %1 を読む権限がありません。").arg(name), {}, filePath,
                      DbError::Cause::NoPermission);
    if (info.size() == 0)
        throw DbError(
            QStringLiteral("データベースファイル %1 は空です（0バイト）。このシステムのデータベースではありません。")
                .arg(name),
            {}, filePath, DbError::Cause::NotADatabase);
}

// The clerk's words for a file the engine would not open or read, by its real cause; the
// engine's own words stay its detail.
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

} // namespace

namespace {

// Whether the file has the table that records the schema version.
bool hasSchemaRecord(const QSqlDatabase& db, const Engine& engine) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(engine.objectStatement());
    query.addBindValue(QStringLiteral("SchemaMeta"));
    return query.exec() && query.next();
}

// A database without the record of a version: on a server, most likely one where no inn was
// made yet; on files, a file of something else.
QString noInnText(const QSqlDatabase& db, const Engine& engine, const QString& filePath) {
    if (engine.isServer()) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("SELECT COUNT(*) FROM pg_namespace WHERE nspname = ?"));
        query.addBindValue(PostgresEngine::schemaOf(filePath));
        if (query.exec() && query.next() && query.value(0).toInt() == 0) {
            const QString address = PostgresEngine::addressOf(filePath);
            return QStringLiteral("%1 には、まだ宿のデータがありません。\r\n"
                                  "deskadmin init %2 で新しく作るか、deskadmin copy <データのフォルダ> %2 で"
                                  "1台用のデータを写してください。")
                .arg(engine.displayName(address), address);
        }
    }
    return QStringLiteral("%1 はこのシステムのデータベースではありません（版の記録がありません）。")
        .arg(engine.displayName(filePath));
}

QString upgradeAdvice(const Engine& engine, const QString& filePath, int version) {
    const QString dir = engine.isServer() ? PostgresEngine::addressOf(filePath)
                                          : QDir::toNativeSeparators(QFileInfo(filePath).absolutePath());
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

} // namespace

struct Connection::Catalogue {
    QMutex lock;
    QHash<QString, Object> objects;        // lower-case name → object
    QHash<QString, QList<Column>> columns; // lower-case object name → columns
    QHash<QString, QString> typeByColumn;  // lower-case column name → declared type
    bool typesLoaded = false;
};

std::shared_ptr<Connection::Catalogue> Connection::sharedCatalogue(const QString& location) {
    static QMutex lock;
    static QHash<QString, std::shared_ptr<Catalogue>> catalogues;
    const QMutexLocker held(&lock);
    std::shared_ptr<Catalogue>& slot = catalogues[location];
    if (!slot)
        slot = std::make_shared<Catalogue>();
    return slot;
}

namespace {

// The server's connections a thread has finished with, kept open for the next store of the
// same thread on the same location: a server connection takes a new server process and a
// login to make, a file opens in a fraction of that. A connection is the thread's own, so
// each thread keeps its own, and closes them when it ends.
// Their compiled statements stay with them: a store compiles the same few statements on every
// action, and on a server compiling one and throwing it away are a trip there and back each.
class IdleConnections {
public:
    ~IdleConnections();
    void closeAll() {
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
    // The name of an idle connection on the location that still answers; empty when none.
    QString take(const QString& key) {
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
    // False when enough are kept already: the caller closes it.
    bool keep(const QString& key, const QString& name) {
        QStringList& names = m_idle[key];
        if (names.size() >= MaxIdle)
            return false;
        names << name;
        return true;
    }

    // A statement compiled on connection `name` and handed back, taken out; false when none.
    bool takeStatement(const QString& name, const QString& sql, QSqlQuery* query) {
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
    void keepStatement(const QString& name, QSqlQuery&& query) {
        QMultiHash<QString, QSqlQuery>& kept = m_statements[name];
        if (kept.size() < MaxStatements)
            kept.insert(query.lastQuery(), std::move(query));
    }
    // After the connection was closed, or its tables changed.
    void forgetStatements(const QString& name) { m_statements.remove(name); }

private:
    static constexpr int MaxIdle = 4;
    static constexpr int MaxStatements = 300;
    QHash<QString, QStringList> m_idle;
    QHash<QString, QMultiHash<QString, QSqlQuery>> m_statements; // connection → statement text → compiled
};

// Set once this thread's IdleConnections is gone (the thread or the program is ending): a row
// set that outlives it, held by a static object, closes its connection and statements itself.
thread_local bool idleConnectionsGone = false;
thread_local IdleConnections idleConnections;

IdleConnections::~IdleConnections() {
    idleConnectionsGone = true;
    closeAll();
}

IdleConnections* idlePool() {
    return idleConnectionsGone ? nullptr : &idleConnections;
}

QString idleKey(const QString& location, bool anyVersion) {
    return (anyVersion ? QStringLiteral("any|") : QStringLiteral("current|")) + location;
}

} // namespace

Connection::Connection(const QString& filePath, Mode mode)
    : m_engine(&Engine::forLocation(filePath))
    , m_filePath(filePath)
    , m_name(QStringLiteral("desk-connection-%1").arg(++connectionCounter)) {
    const bool mayCreate = mode == Mode::Create;
    m_catalogue = m_engine->isServer() ? sharedCatalogue(filePath) : std::make_shared<Catalogue>();
    if (m_engine->isServer() && !mayCreate) {
        m_idleKey = idleKey(filePath, mode == Mode::AnyVersion);
        m_keepsStatements = true;
        IdleConnections* pool = idlePool();
        const QString idle = pool ? pool->take(m_idleKey) : QString();
        if (!idle.isEmpty()) {
            m_name = idle;
            return;
        }
    }
    if (!m_engine->isServer()) {
        // On a server nothing of its files is looked at or held from here.
        const QFileInfo info(filePath);
        if (mayCreate && !info.absoluteDir().exists())
            throw DbError(QStringLiteral("データベースファイルのフォルダ %1 がありません。")
                              .arg(QDir::toNativeSeparators(info.absolutePath())),
                          {}, filePath);
        if (!mayCreate) {
            refuseMissingFile(filePath);
            // Only while this process has no connection on the file: closing the descriptor the
            // engine's check reads through would drop the engine's locks.
            m_hold = std::make_unique<OpenFiles::Hold>(filePath, [&] { m_engine->refuseForeign(filePath); });
        } else {
            m_hold = std::make_unique<OpenFiles::Hold>(filePath);
        }
    }

    QSqlError failure;
    bool opened = false;
    DbError::Cause cause = DbError::Cause::Other;
    QString refusal;
    QString refusalDetail;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(m_engine->driverName(), m_name);
        if (!db.isValid()) {
            refusal = QStringLiteral("QtSql のデータベースドライバ %1 がありません。").arg(m_engine->driverName());
        } else {
            m_engine->configure(db, filePath, mayCreate ? Engine::Access::Create : Engine::Access::ReadWrite);
            if (!db.open()) {
                failure = db.lastError();
            } else {
                opened = true;
                // Where the database's tables are found, before anything is read of it.
                for (const QString& setting : m_engine->lookupSettings(filePath)) {
                    QSqlQuery query(db);
                    if (!query.exec(setting)) {
                        failure = query.lastError();
                        break;
                    }
                }
            }
            if (!failure.isValid() && !mayCreate) {
                // Read-only until the file is known to be one of ours of the right version.
                QSqlQuery query(db);
                if (!query.exec(QStringLiteral("SELECT Value FROM SchemaMeta WHERE Name = 'SchemaVersion'"))) {
                    const DbError engine = m_engine->failure(query.lastError(), {}, filePath);
                    if (engine.cause() == DbError::Cause::Other && !hasSchemaRecord(db, *m_engine)) {
                        cause = DbError::Cause::NotADatabase;
                        refusal = noInnText(db, *m_engine, filePath);
                    } else {
                        const DbError refused = openRefusal(*m_engine, filePath, engine);
                        cause = refused.cause();
                        refusal = refused.message();
                        refusalDetail = refused.detail();
                    }
                } else {
                    const int version = query.next() ? query.value(0).toInt() : 0;
                    if (mode == Mode::Current && version != Schema::Version) {
                        cause = DbError::Cause::WrongVersion;
                        refusal = upgradeAdvice(*m_engine, filePath, version);
                    }
                }
            }
            if (!failure.isValid() && refusal.isEmpty()) {
                for (const QString& setting : m_engine->sessionSettings(filePath)) {
                    QSqlQuery query(db);
                    if (!query.exec(setting)) {
                        failure = query.lastError();
                        break;
                    }
                }
            }
            if (failure.isValid() || !refusal.isEmpty())
                db.close();
        }
    }
    if (!refusal.isEmpty()) {
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(refusal, {}, filePath, cause, refusalDetail);
    }
    if (failure.isValid()) {
        QSqlDatabase::removeDatabase(m_name);
        const DbError engine =
            opened ? m_engine->failure(failure, {}, filePath)
                   : DbError::fromEngine(failure.text(), {}, filePath, m_engine->whyNotOpened(filePath, failure));
        throw openRefusal(*m_engine, filePath, engine);
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
    IdleConnections* pool = idlePool();
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

int Connection::exec(const QString& statement, const QVariantList& binds) {
    QString sql = Sql::translate(statement, *m_engine);
    const bool schemaChange = isSchemaChange(sql);
    if (schemaChange)
        sql = m_engine->definition(sql);
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
    } else if (isWrite(sql)) {
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
    IdleConnections* pool = m_keepsStatements ? idlePool() : nullptr;
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
    if (IdleConnections* pool = m_keepsStatements ? idlePool() : nullptr)
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

QSqlError Connection::openSession(const QString& name) {
    QSqlError failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(m_engine->driverName(), name);
        m_engine->configure(db, m_filePath, Engine::Access::ReadWrite);
        if (!db.open()) {
            failure = db.lastError();
        } else {
            const QStringList settings = m_engine->lookupSettings(m_filePath) + m_engine->sessionSettings(m_filePath);
            for (const QString& setting : settings) {
                QSqlQuery query(db);
                if (!query.exec(setting)) {
                    failure = query.lastError();
                    break;
                }
            }
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
    if (!m_engine->isServer() || m_depth > 0 || m_engine->classify(error).cause != DbError::Cause::Unreachable)
        return false;
    const QString name = QStringLiteral("desk-connection-%1").arg(++connectionCounter);
    if (openSession(name).isValid())
        return false;
    // The lost session's compiled statements are of no use on the new one; a cursor's own
    // are compiled again when it next runs them (isStale).
    if (IdleConnections* pool = m_keepsStatements ? idlePool() : nullptr)
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
    if (IdleConnections* pool = m_keepsStatements ? idlePool() : nullptr)
        pool->forgetStatements(m_name);
    const QMutexLocker held(&m_catalogue->lock);
    m_catalogue->objects.clear();
    m_catalogue->columns.clear();
    m_catalogue->typeByColumn.clear();
    m_catalogue->typesLoaded = false;
}

// ---------------------------------------------------------------------------------------

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
