#include "SqliteEngine.h"

#include "Connection.h"
#include "OpenFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>

namespace desk {

namespace {

// Lets other programs wait for a writer instead of failing at once.
constexpr int BusyTimeoutMs = 10000;

std::atomic<int> rawCounter{0};

// The library's own words for a result code, in the shape the driver reports failures.
QSqlError errorOf(int resultCode) {
    return QSqlError(QString(), QString::fromUtf8(sqlite3_errstr(resultCode)), QSqlError::StatementError,
                     QString::number(resultCode));
}

// A bare connection outside the suite's rules (no journal change, no version check, no
// waiting), for looking at files, copying and locking them.
class RawFile {
public:
    RawFile(const QString& filePath, bool readOnly)
        : m_hold(filePath)
        , m_name(QStringLiteral("desk-maintenance-%1").arg(++rawCounter))
        , m_filePath(filePath) {
        QSqlDatabase db = QSqlDatabase::addDatabase(SqliteEngine::instance().driverName(), m_name);
        QUrl url = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath());
        url.setQuery(readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
        m_open = db.open();
        if (!m_open)
            m_error = db.lastError();
    }
    ~RawFile() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isValid())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool isOpen() const { return m_open; }
    QSqlError error() const { return m_error; }
    QString filePath() const { return m_filePath; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }
    bool run(const QString& statement, const QVariantList& binds = {}) {
        QSqlQuery query(database());
        bool ok = query.prepare(statement);
        for (const QVariant& value : binds)
            query.addBindValue(value);
        ok = ok && query.exec();
        if (ok)
            return true;
        m_error = query.lastError();
        return false;
    }
    // Takes the file for this connection alone until it closes: refused at once while any
    // other connection, of any program, has the file open.
    bool holdExclusively() {
        if (!run(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")) || !run(QStringLiteral("BEGIN EXCLUSIVE")))
            return false;
        // The lock stays after the transaction in this locking mode.
        return run(QStringLiteral("ROLLBACK"));
    }
    sqlite3* handle() const {
        const QVariant value = database().driver()->handle();
        if (qstrcmp(value.typeName(), "sqlite3*") != 0)
            return nullptr;
        return *static_cast<sqlite3* const*>(value.constData());
    }
    // The committed state of the file, written by the engine into the new file dest.
    void vacuumInto(const QString& dest) {
        if (!run(QStringLiteral("VACUUM INTO ?"), {dest}))
            throw SqliteEngine::instance().failure(m_error, QStringLiteral("VACUUM INTO"), m_filePath);
    }

private:
    OpenFiles::Hold m_hold; // registered before the engine opens the file, released after
    QString m_name;
    QString m_filePath;
    bool m_open = false;
    QSqlError m_error;
};

class SqliteHold final : public Engine::ExclusiveHold {
public:
    explicit SqliteHold(std::unique_ptr<RawFile> file)
        : m_file(std::move(file)) {}

    QString location() const override { return m_file->filePath(); }
    void copyInto(const QString& dest) override { m_file->vacuumInto(dest); }

    // Every page of the backup is copied into the held file in one write transaction: the
    // file keeps its place, owner and permissions, a program waiting on it afterwards reads
    // the restored rows, and a copy killed half-way leaves it as it was.
    void replaceWith(const QString& backup) override {
        const SqliteEngine& engine = SqliteEngine::instance();
        RawFile source(backup, true);
        if (!source.isOpen())
            throw engine.failure(source.error(), {}, backup);
        sqlite3* to = m_file->handle();
        sqlite3* from = source.handle();
        if (!to || !from)
            throw DbError(QStringLiteral("データベースの部品からエンジンの接続を受け取れません。"), {},
                          m_file->filePath());
        sqlite3_backup* copy = sqlite3_backup_init(to, "main", from, "main");
        if (!copy)
            throw engine.failure(errorOf(sqlite3_extended_errcode(to)), QStringLiteral("restore"), m_file->filePath());
        const int stepped = sqlite3_backup_step(copy, -1);
        const int finished = sqlite3_backup_finish(copy);
        if (stepped != SQLITE_DONE || finished != SQLITE_OK)
            throw engine.failure(errorOf(stepped != SQLITE_DONE ? stepped : finished), QStringLiteral("restore"),
                                 m_file->filePath());
    }

private:
    std::unique_ptr<RawFile> m_file;
};

} // namespace

const SqliteEngine& SqliteEngine::instance() {
    static const SqliteEngine engine;
    return engine;
}

QString SqliteEngine::driverName() const {
    return QStringLiteral("QSQLITE");
}

void SqliteEngine::configure(QSqlDatabase& db, const QString& location, Access access) const {
    // mode=rw: the library itself refuses to create a file that is not there.
    QUrl url = QUrl::fromLocalFile(QFileInfo(location).absoluteFilePath());
    switch (access) {
    case Access::ReadOnly:
        url.setQuery(QStringLiteral("mode=ro"));
        break;
    case Access::ReadWrite:
        url.setQuery(QStringLiteral("mode=rw"));
        break;
    case Access::Create:
        url.setQuery(QStringLiteral("mode=rwc"));
        break;
    }
    db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
}

void SqliteEngine::refuseForeign(const QString& location) const {
    // Only the header is read: a journal-mode change rewrites the header of any database the
    // library opens, and it would take a file of another format for damage.
    const QString name = QDir::toNativeSeparators(location);
    QFile file(location);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("データベースファイル %1 を読む権限がありません。").arg(name), {}, location,
                      DbError::Cause::NoPermission);
    const QByteArray head = file.read(100);
    if (head.size() < 100 || !head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        throw DbError(
            QStringLiteral("%1 はこのシステムのデータベースではありません（別の形式のファイルです）。").arg(name), {},
            location, DbError::Cause::NotADatabase);
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

} // namespace

std::unique_ptr<OpenFiles::Hold> SqliteEngine::holdFile(const QString& location, bool creating) const {
    if (creating) {
        const QFileInfo info(location);
        if (!info.absoluteDir().exists())
            throw DbError(QStringLiteral("データベースファイルのフォルダ %1 がありません。")
                              .arg(QDir::toNativeSeparators(info.absolutePath())),
                          {}, location);
        return std::make_unique<OpenFiles::Hold>(location);
    }
    refuseMissingFile(location);
    // Only while this process has no connection on the file: closing the descriptor the
    // header is read through would drop the engine's locks.
    return std::make_unique<OpenFiles::Hold>(location, [&] { refuseForeign(location); });
}

QStringList SqliteEngine::sessionSettings(const QString&) const {
    return {QStringLiteral("PRAGMA busy_timeout = %1").arg(BusyTimeoutMs), QStringLiteral("PRAGMA journal_mode = WAL"),
            QStringLiteral("PRAGMA synchronous = FULL"),
            // Sorts and groupings of a year's lines stay in memory instead of spilling to
            // temporary files.
            QStringLiteral("PRAGMA temp_store = MEMORY")};
}

QStringList SqliteEngine::bulkLoadSettings() const {
    return {QStringLiteral("PRAGMA synchronous = OFF")};
}

QString SqliteEngine::objectStatement() const {
    return QStringLiteral("SELECT type, name FROM sqlite_master WHERE type IN ('table', 'view') "
                          "AND name = ? COLLATE NOCASE");
}

QString SqliteEngine::objectNamesStatement() const {
    return QStringLiteral("SELECT name FROM sqlite_master WHERE type = ? AND name NOT LIKE 'sqlite_%' ORDER BY rowid");
}

QString SqliteEngine::columnsStatement() const {
    return QStringLiteral("SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
}

Engine::Fault SqliteEngine::classify(const QSqlError& error) const {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    if (!ok)
        return {};
    Fault fault = classify(code);
    if (fault.cause == DbError::Cause::DuplicateKey) {
        // "UNIQUE constraint failed: CheckInCliants.CheckInNO" (several columns: comma-separated).
        static const QString marker = QStringLiteral("UNIQUE constraint failed: ");
        const QString text = error.databaseText();
        const qsizetype at = text.indexOf(marker);
        if (at >= 0)
            fault.keyColumn = text.mid(at + marker.size())
                                  .section(QLatin1Char(' '), 0, 0)
                                  .section(QLatin1Char(','), 0, 0)
                                  .section(QLatin1Char('.'), -1);
    }
    return fault;
}

Engine::Fault SqliteEngine::classify(int resultCode) const {
    // Extended codes (the driver turns them on) carry the primary code in their low byte.
    switch (resultCode) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return {DbError::Cause::DuplicateKey, {}};
    default:
        break;
    }
    switch (resultCode & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
        return {DbError::Cause::DiskFull, {}};
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return {DbError::Cause::Damaged, {}};
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return {DbError::Cause::NoPermission, {}};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {DbError::Cause::Busy, {}};
    default:
        return {};
    }
}

QStringList SqliteEngine::beginRead() const {
    // A read transaction of the log: one snapshot until it ends.
    return {QStringLiteral("BEGIN")};
}

QStringList SqliteEngine::beginWrite() const {
    return {QStringLiteral("BEGIN IMMEDIATE")};
}

QString SqliteEngine::dateLiteral(const QDateTime& value, bool withTime) const {
    // Dates are stored as ISO text, which sorts and compares as the dates do.
    return QLatin1Char('\'') +
           value.toString(withTime ? QStringLiteral("yyyy-MM-dd HH:mm:ss") : QStringLiteral("yyyy-MM-dd")) +
           QLatin1Char('\'');
}

QString SqliteEngine::caseBlind(const QString& expression) const {
    return expression + QStringLiteral(" COLLATE NOCASE");
}

QString SqliteEngine::exact(const QString& expression) const {
    return expression + QStringLiteral(" COLLATE BINARY");
}

QString SqliteEngine::caseBlindIn(const QString& expression) const {
    // The list travels as a JSON array; IN compares in the collation of its left side.
    return QStringLiteral("%1 COLLATE NOCASE IN (SELECT value FROM json_each(?))").arg(expression);
}

QVariant SqliteEngine::caseBlindList(const QStringList& texts) const {
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

QString SqliteEngine::insertOrReplace(const QString& table, const QStringList& columns) const {
    return QStringLiteral("INSERT OR REPLACE INTO %1 (%2)").arg(table, columns.join(QStringLiteral(", ")));
}

QString SqliteEngine::rowKey() const {
    // The INTEGER PRIMARY KEY every table ends with: SQLite's rowid under its own name.
    return QStringLiteral("RowKey");
}

QString SqliteEngine::implicitRowKey() const {
    return QStringLiteral("rowid");
}

QStringList SqliteEngine::refusingTrigger(const QString& name, const QString& event, const QString& table,
                                          const QString& condition) const {
    return {QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                .arg(name, event, table, condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition)};
}

QStringList SqliteEngine::integrityProblems(const QString& location) const {
    const QFileInfo info(location);
    if (!info.isFile())
        return {QStringLiteral("ファイルがありません。")};
    if (info.size() == 0)
        return {QStringLiteral("空のファイルです（0バイト）。")};
    RawFile file(location, true);
    const auto damageOr = [&](const QSqlError& error, const QString& statement) {
        const DbError e = failure(error, statement, location);
        // A full disk, a missing permission or a busy file say nothing about the file.
        if (e.cause() == DbError::Cause::DiskFull || e.cause() == DbError::Cause::NoPermission ||
            e.cause() == DbError::Cause::Busy)
            throw e;
        return QStringList{statement.isEmpty() ? QStringLiteral("開けません: ") + error.text()
                                               : QStringLiteral("検査できません: ") + error.text()};
    };
    if (!file.isOpen())
        return damageOr(file.error(), {});
    QSqlQuery query(file.database());
    if (!query.exec(QStringLiteral("PRAGMA integrity_check")))
        return damageOr(query.lastError(), QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    return problems;
}

void SqliteEngine::copyInto(Connection& from, const QString& dest) const {
    // One read of the committed state: writers go on meanwhile, and a save in progress is
    // simply not in the copy.
    from.exec(QStringLiteral("VACUUM INTO ?"), {dest});
}

bool SqliteEngine::inUse(const QString& location) const {
    if (!QFileInfo(location).isFile())
        return false;
    RawFile file(location, false);
    if (!file.isOpen())
        return true;
    return !file.holdExclusively();
}

std::unique_ptr<Engine::ExclusiveHold> SqliteEngine::holdExclusively(const QString& location) const {
    auto file = std::make_unique<RawFile>(location, false);
    if (!file->isOpen())
        throw failure(file->error(), {}, location);
    if (!file->holdExclusively())
        return nullptr;
    return std::make_unique<SqliteHold>(std::move(file));
}

void SqliteEngine::copyClosed(const QString& source, const QString& dest) const {
    // Through the engine like every other copy: a log beside the source file is read too.
    RawFile file(source, true);
    if (!file.isOpen())
        throw failure(file.error(), {}, source);
    file.vacuumInto(dest);
}

} // namespace desk
