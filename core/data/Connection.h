#pragma once

#include "OpenFiles.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QSqlQuery;
class QSqlRecord;

namespace desk {

class Engine;

// The five database files of a data directory.
namespace DbFile {
inline constexpr auto Reservation = "BTReservation.mdb";
inline constexpr auto DaySalesCliants = "DaySalesCliants.mdb";
inline constexpr auto Sales = "BTSales.mdb";
inline constexpr auto Recipt = "BTRecipt.mdb";
inline constexpr auto Option = "dbOptionBT.mdb";
} // namespace DbFile

// One open database file, on the engine its location names. Shared by the row sets opened on it (a row set handed to a
// caller keeps its connection alive after the store that opened it is gone).
// Opening never creates a file: a missing file is a DbError naming the path.
class Connection {
public:
    // dirPath is the data directory as handed around the suite (ending in a separator;
    // one is added when it does not) or a server's address; fileName one of DbFile
    // (DataLocation::open).
    // The file name is matched without regard to case, as on the system the files come from.
    // A file that is no database of this system (empty, another format, no schema record)
    // or of another schema version is refused without being changed (DbError with its cause).
    static std::shared_ptr<Connection> open(const QString& dirPath, const QString& fileName);
    // The database at a location (Engine::forLocation), of the current schema version: what
    // open() comes to once the data directory has said where the file is.
    static std::shared_ptr<Connection> openLocation(const QString& location);
    // For the administration commands (upgrade, backup, check): a file of this system of any
    // schema version.
    static std::shared_ptr<Connection> openAnyVersion(const QString& filePath);
    // Used only by the schema builder: creates the file when it does not exist.
    static std::shared_ptr<Connection> create(const QString& filePath);

    // The schema version the file records; 0 when it records none.
    int schemaVersion();
    ~Connection();

    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase database() const;
    QString filePath() const { return m_filePath; }
    // Everything engine-specific about this connection: its dialect, catalogue, failures.
    const Engine& engine() const { return *m_engine; }

    // Runs one statement in the suite's dialect (translated) with optional positional
    // binds; throws DbError. Returns the number of rows affected.
    int exec(const QString& statement, const QVariantList& binds = {});
    // Runs one statement once for every row that nextRow fills in (it returns false when
    // there are no more), compiled once: for bulk loads inside one Transaction. Returns the
    // number of rows run.
    qint64 execEach(const QString& statement, const std::function<bool(QVariantList& binds)>& nextRow);
    // First column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& statement, const QVariantList& binds = {});
    // Runs a query in the suite's dialect and reads its result forward once: onColumns gets
    // the result's columns (names, the tables they come from) before the first row, onRow
    // every row in turn. Throws DbError, also for a row the engine could not read.
    void select(const QString& statement, const QVariantList& binds,
                const std::function<void(const QSqlRecord& columns)>& onColumns,
                const std::function<void(const QSqlQuery& row)>& onRow);
    // For filling a new database in bulk: this session trades durability for speed (a file
    // cut off half-built is thrown away anyway).
    void prepareBulkLoad();

    // Tells the other desks that this database changed (ChangeNotices): inside a write
    // transaction the notice goes out when it commits. Saves through exec and Transaction
    // send it themselves; a writer outside them calls it after writing.
    void noticeChange();

    // Counts the writes made through this connection (and the rollbacks that undid some):
    // what was read ahead before the count moved may be out of date. A writer outside exec
    // and Transaction calls wrote(). A writer that knows the one table it wrote names it:
    // then only what was read of that table (or of a view) is out of date.
    quint64 writes() const { return m_writes + m_tableWritesTotal; }
    quint64 writesTo(const QString& table) const { return m_writes + m_tableWrites.value(table.toLower()); }
    void wrote() { ++m_writes; }
    void wroteTo(const QString& table) {
        ++m_tableWrites[table.toLower()];
        ++m_tableWritesTotal;
    }

    // Transaction nesting depth (see Transaction); 0 outside any transaction.
    int transactionDepth() const { return m_depth; }

    // A compiled statement, the holder's alone; handed back to its connection when it goes.
    struct HandBack {
        Connection* connection = nullptr;
        void operator()(QSqlQuery* query) const;
    };
    using Compiled = std::unique_ptr<QSqlQuery, HandBack>;
    // The statement (already in the engine's dialect) compiled on this connection. On a
    // server, where compiling is a trip there and back and so is throwing it away, one this
    // thread compiled before on this connection and handed back is used again; on files it
    // is compiled now. A statement the engine refuses comes back with lastError() set.
    Compiled compiled(const QString& sql);

    // What the file holds under a name, matched without regard to case.
    struct Object {
        QString kind; // "table" or "view"; empty when the file has no such object
        QString name; // the name as the file spells it
    };
    Object object(const QString& name);
    QStringList tableNames();
    QStringList viewNames();

    struct Column {
        QString name;
        QString declaredType;
    };
    // The columns of a table or view in their order; empty when there is no such object.
    QList<Column> columns(const QString& tableOrView);
    // The declared type of a result column: the column of that name in `table` when given
    // and present, else the first table (then view) of the file that has a column so named.
    QString declaredType(const QString& column, const QString& table = {});

    // Whether a query was compiled on a session of this connection that was lost and has
    // been replaced since; recompile() makes it again on the live one, its values bound.
    bool isStale(const QSqlQuery& query) const;
    void recompile(QSqlQuery& query);
    // After a statement failed: true when the failure was a lost session (a server restarted,
    // the network cut) outside any transaction, a new session has replaced it, and the
    // statement may run again (a read, or a write the server never took). The new session is
    // made whenever it can be, so the next action finds a live one.
    bool revived(const QSqlError& error, const QString& statement);

private:
    friend class Transaction;
    enum class Mode { Current, AnyVersion, Create };
    Connection(const QString& filePath, Mode mode);
    // The first session on the location, checked to be a database of the suite (of the
    // current version for Mode::Current) before it is set up for work.
    void openFirstSession(Mode mode);
    QStringList objectNames(const QString& kind);
    void forgetSchema();
    // A read-only statement prepared, bound and run, positioned before its first row.
    Compiled selected(const QString& statement, const QVariantList& binds);
    // A compiled statement run with its values, once more on a new session when the one it
    // ran on was lost; the caller reads its error.
    Compiled runCompiled(const QString& sql, const QVariantList& values, const QString& statement);
    void handBack(QSqlQuery& query);
    // A new session on this connection's location under name, set up as every session is
    // once its database is known to be the inn's; an invalid error when it is open.
    QSqlError openSession(const QString& name);

    const Engine* m_engine;
    QString m_filePath;
    QString m_name;
    QStringList m_retired;                   // lost sessions replaced, kept closed until the connection goes
    QString m_idleKey;                       // a server connection: where it waits for reuse when this one goes
    bool m_keepsStatements = false;          // compiled statements outlive their holders (server)
    std::unique_ptr<OpenFiles::Hold> m_hold; // outlives the engine's connection
    int m_depth = 0;
    quint64 m_writes = 0;           // writes to any table, rollbacks
    quint64 m_tableWritesTotal = 0; // writes to one known table, counted there as well
    QHash<QString, quint64> m_tableWrites;
    int m_savepoints = 0;
    // What the database holds (objects, their columns, the declared type of a column name)
    // as read so far; one per connection on files, shared by the connections of the program on
    // a server location, where each look-up is a trip to the server.
    struct Catalogue;
    static std::shared_ptr<Catalogue> catalogueFor(const Engine& engine, const QString& location);
    std::shared_ptr<Catalogue> m_catalogue;
};

// Scope guard: the outermost guard on a connection begins the engine's write transaction
// (Engine::beginWrite), inner guards use savepoints. Rolls back unless commit() was called.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    explicit Transaction(const std::shared_ptr<Connection>& connection)
        : Transaction(*connection) {}
    ~Transaction();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& m_connection;
    QString m_savepoint;
    bool m_done = false;
};

} // namespace desk
