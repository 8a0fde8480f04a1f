#include "PostgresEngine.h"

#include "ChangeNotices.h"
#include "Connection.h"
#include "Desk.h"
#include "Sql.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

namespace desk {

namespace {

// A statement waits this long for another desk's save before it gives up (Busy).
constexpr int LockTimeoutMs = 10000;
// A server that does not answer is reported after this many seconds.
constexpr int ConnectTimeoutS = 10;

const QString Separator = QStringLiteral("#");
// How every session of the suite names itself to the server (application_name).
const QString ApplicationPrefix = QStringLiteral("tesaro");

// Takes the part of a location before its file name.
QString addressPart(const QString& location) {
    const qsizetype at = location.lastIndexOf(Separator);
    return at < 0 ? location : location.left(at);
}

QString filePart(const QString& location) {
    const qsizetype at = location.lastIndexOf(Separator);
    return at < 0 ? QString() : location.mid(at + 1);
}

// How long the probe of an address that refused a connection waits for an answer.
constexpr int ProbeTimeoutMs = 3000;

// Where the server of a location listens: a host name or a socket folder, and a port.
struct Endpoint {
    QString host;
    int port = 5432;
};

Endpoint endpointOf(const QString& location) {
    const QUrl url(addressPart(location));
    Endpoint at{url.host(), url.port(5432)};
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("host")))
        at.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("port")))
        at.port = query.queryItemValue(QStringLiteral("port")).toInt();
    // No host at all: the client library's own socket folder.
    if (at.host.isEmpty())
        at.host = QStringLiteral("/var/run/postgresql");
    return at;
}

DbError notOnServer(const QString& location) {
    return DbError(QStringLiteral("この操作はデータベースサーバーのデータにはまだ使えません。"), {}, location);
}

} // namespace

const PostgresEngine& PostgresEngine::instance() {
    static const PostgresEngine engine;
    return engine;
}

bool PostgresEngine::isAddress(const QString& text) {
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString PostgresEngine::locationOf(const QString& address, const QString& fileName) {
    QString base = addressPart(address.trimmed());
    // "postgresql://host/inn/" as a folder would be written.
    while (base.endsWith(QLatin1Char('/')) && !base.endsWith(QLatin1String("//")))
        base.chop(1);
    return base + Separator + fileName;
}

QString PostgresEngine::addressOf(const QString& location) {
    return addressPart(location);
}

QString PostgresEngine::schemaOf(const QString& location) {
    // "BTReservation.mdb" → btreservation: an unquoted name, as every statement writes it.
    QString name = filePart(location).section(QLatin1Char('.'), 0, 0).toLower();
    static const QRegularExpression notWord(QStringLiteral("[^a-z0-9_]"));
    name.remove(notWord);
    return name;
}

QStringList PostgresEngine::databaseSetup() {
    return {
        // Text compared without regard to ASCII case, as on a desk of its own; trusted, so
        // the database's owner may install it.
        QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext SCHEMA public"),
        QStringLiteral("DO $$ BEGIN CREATE DOMAIN public.yesno AS smallint; "
                       "EXCEPTION WHEN duplicate_object THEN NULL; END $$"),
        QStringLiteral("DO $$ BEGIN CREATE DOMAIN public.currency AS double precision; "
                       "EXCEPTION WHEN duplicate_object THEN NULL; END $$"),
        QStringLiteral("CREATE OR REPLACE FUNCTION public.ifnull(anycompatible, anycompatible) "
                       "RETURNS anycompatible LANGUAGE sql IMMUTABLE AS 'SELECT coalesce($1, $2)'"),
        QStringLiteral("CREATE OR REPLACE FUNCTION public.julianday(date) RETURNS double precision "
                       "LANGUAGE sql IMMUTABLE AS 'SELECT ($1 - DATE ''1970-01-01'') + 2440587.5'"),
    };
}

QString PostgresEngine::displayName(const QString& location) const {
    // "サーバー 192.168.1.10:5432/inn の売上のデータ": host, port and database as the owner
    // set them up, and the part of the inn in words; the file names are the desk's own.
    const Endpoint at = endpointOf(location);
    const QUrl url(addressPart(location));
    QString database = url.path().mid(1);
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("dbname")))
        database = query.queryItemValue(QStringLiteral("dbname"), QUrl::FullyDecoded);
    // "postgresql://host/inn/", written as a folder would be.
    while (database.endsWith(QLatin1Char('/')))
        database.chop(1);
    const QString server = QStringLiteral("サーバー %1:%2/%3")
                               .arg(at.host.isEmpty() ? QStringLiteral("localhost") : at.host)
                               .arg(at.port)
                               .arg(database);
    const QString file = filePart(location);
    if (file.isEmpty())
        return server;
    return QStringLiteral("%1 の%2のデータ").arg(server, partOfInn(file));
}

QString PostgresEngine::partOfInn(const QString& fileName) {
    static const QHash<QString, QString> parts{
        {QString::fromLatin1(DbFile::Reservation).toLower(), QStringLiteral("予約")},
        {QString::fromLatin1(DbFile::DaySalesCliants).toLower(), QStringLiteral("チェックイン")},
        {QString::fromLatin1(DbFile::Sales).toLower(), QStringLiteral("売上")},
        {QString::fromLatin1(DbFile::Recipt).toLower(), QStringLiteral("入金")},
        {QString::fromLatin1(DbFile::Option).toLower(), QStringLiteral("設定")},
    };
    return parts.value(fileName.toLower(), fileName);
}

QString PostgresEngine::applicationName() {
    static const QString name = QStringLiteral("%1 %2/%3 %4")
                                    .arg(ApplicationPrefix, QCoreApplication::applicationName())
                                    .arg(QCoreApplication::applicationPid())
                                    .arg(QString::fromLatin1(QUrl::toPercentEncoding(currentDesk(), " /")));
    return name;
}

std::optional<PostgresEngine::Session> PostgresEngine::sessionOf(const QString& applicationName) {
    // "tesaro deskmain/4711 FRONT"; a session of an older program says "tesaro" alone.
    const QString name = applicationName.trimmed();
    if (name == ApplicationPrefix)
        return Session{};
    if (!name.startsWith(ApplicationPrefix + QLatin1Char(' ')))
        return std::nullopt;
    Session session;
    session.program = name.section(QLatin1Char(' '), 1, 1).section(QLatin1Char('/'), 0, 0);
    session.desk = QUrl::fromPercentEncoding(name.section(QLatin1Char(' '), 2).toLatin1());
    return session;
}

QString PostgresEngine::fileNameOf(const QString& location) const {
    return filePart(location);
}

QString PostgresEngine::placeLine(const QString& location) const {
    return QStringLiteral("データ: ") + displayName(location);
}

QString PostgresEngine::placeNote(const QString& location, const QString&) const {
    // A server's part of the inn goes on a line of its own.
    return QStringLiteral("\n  ") + placeLine(location);
}

QString PostgresEngine::dataDirOf(const QString& location) const {
    return addressOf(location);
}

QString PostgresEngine::withoutRecordText(const QSqlDatabase& db, const QString& location) const {
    // Most likely a database where no inn was made yet.
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM pg_namespace WHERE nspname = ?"));
    query.addBindValue(schemaOf(location));
    if (query.exec() && query.next() && query.value(0).toInt() == 0) {
        const QString address = addressOf(location);
        return QStringLiteral("%1 には、まだ宿のデータがありません。\r\n"
                              "deskadmin init %2 で新しく作るか、deskadmin copy <データのフォルダ> %2 で"
                              "1台用のデータを写してください。")
            .arg(displayName(address), address);
    }
    return Engine::withoutRecordText(db, location);
}

QString PostgresEngine::changeNotice(const QString& payload) const {
    return QStringLiteral("SELECT pg_notify('%1', %2)").arg(ChangeNotices::channel(), Sql::quote(payload));
}

QString PostgresEngine::driverName() const {
    return QStringLiteral("QPSQL");
}

void PostgresEngine::configure(QSqlDatabase& db, const QString& location, Access) const {
    const QUrl url(addressPart(location));
    QUrlQuery query(url);
    QString host = url.host();
    int port = url.port();
    QString database = url.path().mid(1);
    QString user = url.userName();
    QStringList options;
    // Quotes in a literal are doubled, a backslash is an ordinary character: set when the
    // session starts, before the driver looks at how the server reads a backslash (it quotes
    // bound values accordingly and never looks again), and whatever the server's default.
    QString serverOptions = QStringLiteral("-c standard_conforming_strings=on");
    bool timeoutGiven = false;
    // The password is never taken from the address: libpq reads it from ~/.pgpass.
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            host = value;
        else if (key == QLatin1String("port"))
            port = value.toInt();
        else if (key == QLatin1String("dbname"))
            database = value;
        else if (key == QLatin1String("user"))
            user = value;
        else if (key == QLatin1String("options"))
            serverOptions = value + QLatin1Char(' ') + serverOptions;
        else if (key != QLatin1String("password")) {
            timeoutGiven = timeoutGiven || key == QLatin1String("connect_timeout");
            options << key + QLatin1Char('=') + value;
        }
    }
    if (!timeoutGiven)
        options << QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutS);
    // Which desk and program a session is, for pg_stat_activity and a restore's refusal. The
    // driver turns ';' into the space between options, and libpq reads a quoted value.
    QString name = applicationName();
    name.replace(QLatin1Char(';'), QLatin1Char(',')).replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    name.replace(QLatin1Char('\''), QLatin1String("\\'"));
    options << QStringLiteral("application_name='%1'").arg(name);
    options << QStringLiteral("options='%1'")
                   .arg(QString(serverOptions)
                            .replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
                            .replace(QLatin1Char('\''), QStringLiteral("\\'")));
    db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(user);
    db.setConnectOptions(options.join(QLatin1Char(';')));
}

void PostgresEngine::refuseForeign(const QString&) const {
    // Nothing to look at before connecting: the schema record tells an inn's database.
}

QStringList PostgresEngine::lookupSettings(const QString& location) const {
    return {QStringLiteral("SET search_path TO %1, public").arg(schemaOf(location))};
}

QStringList PostgresEngine::sessionSettings(const QString&) const {
    return {QStringLiteral("SET client_min_messages TO warning"), QStringLiteral("SET DateStyle TO ISO, YMD"),
            QStringLiteral("SET lock_timeout TO %1").arg(LockTimeoutMs)};
}

QStringList PostgresEngine::bulkLoadSettings() const {
    return {QStringLiteral("SET synchronous_commit TO off")};
}

QString PostgresEngine::objectStatement() const {
    return QStringLiteral("SELECT CASE c.relkind WHEN 'v' THEN 'view' ELSE 'table' END, c.relname "
                          "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                          "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'v') "
                          "AND lower(c.relname) = lower(?)");
}

QString PostgresEngine::objectNamesStatement() const {
    return QStringLiteral("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                          "WHERE n.nspname = current_schema() "
                          "AND c.relkind = CASE CAST(? AS text) WHEN 'view' THEN 'v' ELSE 'r' END ORDER BY c.oid");
}

QString PostgresEngine::columnsStatement() const {
    // The suite's own type names come back through the domains; citext is text.
    return QStringLiteral("SELECT column_name, coalesce(upper(domain_name), "
                          "CASE WHEN data_type = 'USER-DEFINED' THEN 'TEXT' ELSE upper(data_type) END) "
                          "FROM information_schema.columns WHERE table_schema = current_schema() "
                          "AND table_name = CAST(? AS text) ORDER BY ordinal_position");
}

DbError::Cause PostgresEngine::causeOf(const QString& sqlState) {
    using Cause = DbError::Cause;
    // Without a code the failure is the client's own: the connection is gone or never came.
    if (sqlState.isEmpty())
        return Cause::Unreachable;
    static const QHash<QString, Cause> exact{
        {QStringLiteral("23505"), Cause::DuplicateKey},   {QStringLiteral("23P01"), Cause::Clash},
        {QStringLiteral("58030"), Cause::DiskFull},       {QStringLiteral("XX001"), Cause::Damaged},
        {QStringLiteral("XX002"), Cause::Damaged},        {QStringLiteral("42501"), Cause::NoPermission},
        {QStringLiteral("3D000"), Cause::NoSuchDatabase}, {QStringLiteral("40001"), Cause::Busy},
        {QStringLiteral("40P01"), Cause::Busy},           {QStringLiteral("55P03"), Cause::Busy},
        {QStringLiteral("55006"), Cause::Busy},           {QStringLiteral("57014"), Cause::Busy},
        {QStringLiteral("57P01"), Cause::Unreachable},    {QStringLiteral("57P02"), Cause::Unreachable},
        {QStringLiteral("57P03"), Cause::Unreachable},
    };
    const auto found = exact.constFind(sqlState);
    if (found != exact.constEnd())
        return found.value();
    const QStringView family = QStringView(sqlState).left(2);
    if (family == QLatin1String("08"))
        return Cause::Unreachable;
    if (family == QLatin1String("28"))
        return Cause::LoginRefused;
    if (family == QLatin1String("53"))
        return Cause::DiskFull;
    return Cause::Other;
}

Engine::Fault PostgresEngine::classify(const QSqlError& error) const {
    Fault fault{causeOf(error.nativeErrorCode().trimmed()), {}};
    if (fault.cause == DbError::Cause::DuplicateKey) {
        // "DETAIL:  Key (checkinno)=(1001) already exists."
        static const QRegularExpression key(QStringLiteral(R"(Key \(([^,)]+))"));
        const auto m = key.match(error.databaseText());
        if (m.hasMatch())
            fault.keyColumn = m.captured(1).trimmed();
    }
    return fault;
}

QStringList PostgresEngine::beginRead() const {
    return {QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY")};
}

QString PostgresEngine::keysGiven(const QString& table) const {
    return QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'rowkey'), coalesce(MAX(RowKey), 0) + 1, false) "
                          "FROM %1")
        .arg(table);
}

DbError::Cause PostgresEngine::whyNotOpened(const QString& location, const QSqlError& error) const {
    const QString code = error.nativeErrorCode().trimmed();
    if (!code.isEmpty())
        return causeOf(code);
    // The client library gives no code for a connection it could not make, and its words
    // are in the language of whoever set it up. Whether anything answers at the address
    // tells the two causes a clerk can act on apart: no server there, or one that said no
    // (user, password, database, or a machine it does not let in).
    const Endpoint at = endpointOf(location);
    bool answers = false;
    if (at.host.startsWith(QLatin1Char('/'))) {
        QLocalSocket socket;
        socket.connectToServer(QStringLiteral("%1/.s.PGSQL.%2").arg(at.host).arg(at.port));
        answers = socket.waitForConnected(ProbeTimeoutMs);
    } else {
        QTcpSocket socket;
        socket.connectToHost(at.host.isEmpty() ? QStringLiteral("localhost") : at.host, quint16(at.port));
        answers = socket.waitForConnected(ProbeTimeoutMs);
    }
    if (!answers)
        return DbError::Cause::Unreachable;
    return databaseMissing(location) ? DbError::Cause::NoSuchDatabase : DbError::Cause::LoginRefused;
}

bool PostgresEngine::databaseMissing(const QString& location) const {
    // The same login to the server's own database: if it is let in, the server's list of
    // databases tells whether the one named is there. Refused as well: the login is the cause.
    const QString name = QStringLiteral("desk-database-probe-%1").arg(quintptr(this));
    bool missing = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driverName(), name);
        configure(db, location, Access::ReadOnly);
        const QString wanted = db.databaseName();
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!wanted.isEmpty() && wanted != db.databaseName() && db.open()) {
            QSqlQuery query(db);
            query.prepare(QStringLiteral("SELECT COUNT(*) FROM pg_database WHERE datname = ?"));
            query.addBindValue(wanted);
            missing = query.exec() && query.next() && query.value(0).toInt() == 0;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return missing;
}

QStringList PostgresEngine::beginWrite() const {
    // One writer per schema at a time, as one writer per file on a desk of its own: a number
    // read as the highest inside the save is still the highest when the save commits.
    return {QStringLiteral("BEGIN"), QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(current_schema()))")};
}

QString PostgresEngine::columnType(Declared type) const {
    // The case-blind text type, and the yes/no and currency domains of databaseSetup().
    switch (type) {
    case Declared::CaseBlindText:
        return QStringLiteral("citext");
    case Declared::ExactText:
        return QStringLiteral("text");
    case Declared::YesNo:
        return QStringLiteral("yesno");
    case Declared::Double:
        return QStringLiteral("double precision");
    case Declared::Currency:
        return QStringLiteral("currency");
    default:
        return Engine::columnType(type);
    }
}

QString PostgresEngine::rowKeyType() const {
    return QStringLiteral("bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
}

QVariant PostgresEngine::bindable(const QVariant& value) const {
    // Yes/no columns are numbers, as on a desk of its own.
    if (value.metaType().id() == QMetaType::Bool)
        return QVariant(value.toBool() ? 1 : 0);
    // The server keeps no NUL in text; typed text holding one is written, and compared, with
    // the replacement character in its place.
    if (value.metaType().id() == QMetaType::QString && value.toString().contains(QChar(0)))
        return QVariant(value.toString().replace(QChar(0), QChar::ReplacementCharacter));
    return value;
}

QString PostgresEngine::functionName(Function function) const {
    return function == Function::IfNull ? QStringLiteral("coalesce") : Engine::functionName(function);
}

QString PostgresEngine::dateLiteral(const QDateTime& value, bool withTime) const {
    // A cast rather than a typed literal: literals of a statement travel as bound values.
    return withTime
               ? QStringLiteral("CAST('%1' AS TIMESTAMP)").arg(value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
               : QStringLiteral("CAST('%1' AS DATE)").arg(value.toString(QStringLiteral("yyyy-MM-dd")));
}

QString PostgresEngine::caseBlind(const QString& expression) const {
    return QStringLiteral("CAST(%1 AS citext)").arg(expression);
}

QString PostgresEngine::exact(const QString& expression) const {
    return QStringLiteral("CAST(%1 AS text)").arg(expression);
}

QString PostgresEngine::caseBlindIn(const QString& expression) const {
    // One array parameter, unnested: the planner weighs a set, not each of its thousands.
    return QStringLiteral("CAST(%1 AS citext) IN (SELECT unnest(CAST(? AS citext[])))").arg(expression);
}

QVariant PostgresEngine::caseBlindList(const QStringList& texts) const {
    // An array literal: every element quoted, its quotes and backslashes escaped.
    QStringList elements;
    elements.reserve(texts.size());
    for (QString text : texts)
        elements << u'"' + text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\"")) + u'"';
    return QString(u'{' + elements.join(u',') + u'}');
}

QString PostgresEngine::insertOrReplace(const QString& table, const QStringList&) const {
    // The server's form names the key after the values; no statement of the suite needs it.
    throw DbError(QStringLiteral("行の置き換え（INSERT OR REPLACE）はデータベースサーバーでは使えません。"), table);
}

QString PostgresEngine::returningRowKey() const {
    return QStringLiteral(" RETURNING RowKey");
}

QString PostgresEngine::rowKey() const {
    return QStringLiteral("RowKey");
}

QStringList PostgresEngine::renameTable(const QString& from, const QString& to) const {
    // The server names a table's key index and its row key's sequence after the table; renaming
    // the index renames the key constraint with it.
    const QString f = from.toLower();
    const QString t = to.toLower();
    return Engine::renameTable(from, to) +
           QStringList{QStringLiteral("ALTER INDEX IF EXISTS %1_pkey RENAME TO %2_pkey").arg(f, t),
                       QStringLiteral("ALTER SEQUENCE IF EXISTS %1_rowkey_seq RENAME TO %2_rowkey_seq").arg(f, t)};
}

QStringList PostgresEngine::nightsApart(const QString& table, const QString& key, const QString& firstNight,
                                        const QString& nights) const {
    // gist has no operator class for citext; the key is compared as citext compares it, its
    // text in lower case, which the btree_gist operator class for text serves. Trusted, so the
    // database's owner may install it, next to citext.
    return {QStringLiteral("CREATE EXTENSION IF NOT EXISTS btree_gist SCHEMA public"),
            QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %1_NightsApart EXCLUDE USING gist "
                           "(lower(CAST(%2 AS text)) WITH =, daterange(%3, %3 + %4) WITH &&) "
                           "WHERE (%2 <> '') DEFERRABLE INITIALLY DEFERRED")
                .arg(table, key, firstNight, nights)};
}

QStringList PostgresEngine::refusingTrigger(const QString& name, const QString& event, const QString& table,
                                            const QString& condition) const {
    return {QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN RAISE EXCEPTION 'refused'; END $$")
                .arg(name),
            QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 EXECUTE FUNCTION %1()")
                .arg(name, event, table, condition.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(condition))};
}

QStringList PostgresEngine::integrityProblems(const QString& location) const {
    // The server keeps its pages whole itself; what is checked here is that the schema is
    // there and every row of every table can be read.
    std::shared_ptr<Connection> connection;
    try {
        connection = Connection::openAnyVersion(location);
    } catch (const DbError& e) {
        if (e.cause() == DbError::Cause::NotADatabase || e.cause() == DbError::Cause::Damaged)
            return {e.message()};
        throw;
    }
    QStringList problems;
    const QStringList tables = connection->tableNames();
    if (tables.isEmpty())
        return {QStringLiteral("スキーマ %1 に表がありません。").arg(schemaOf(location))};
    for (const QString& table : tables) {
        try {
            connection->scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
        } catch (const DbError& e) {
            if (e.cause() == DbError::Cause::Unreachable || e.cause() == DbError::Cause::LoginRefused ||
                e.cause() == DbError::Cause::NoSuchDatabase || e.cause() == DbError::Cause::Busy)
                throw;
            problems << QStringLiteral("表 %1 を読めません: %2").arg(table, e.message());
        }
    }
    return problems;
}

void PostgresEngine::copyInto(Connection& from, const QString&) const {
    throw notOnServer(from.filePath());
}

bool PostgresEngine::inUse(const QString& location) const {
    throw notOnServer(location);
}

std::unique_ptr<Engine::ExclusiveHold> PostgresEngine::holdExclusively(const QString& location) const {
    throw notOnServer(location);
}

void PostgresEngine::copyClosed(const QString& source, const QString&) const {
    throw notOnServer(source);
}

} // namespace desk
