#pragma once

#include "DbError.h"
#include "OpenFiles.h"

#include <QDateTime>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class QSqlDatabase;

namespace desk {

class Connection;

// Everything that differs between database engines: how a session is opened and set up,
// the catalogue, what the engine's error codes mean, how a write transaction begins, the
// engine's side of the statement dialect, and the online copy, integrity check and "in use"
// test of a database. Nothing above core/data names an engine: stores, grids and tools ask
// the engine of their connection. One shared instance per engine; it keeps no state.
class Engine {
public:
    virtual ~Engine() = default;

    // The engine of a data location: a database file of a data directory, or one of the five
    // schemas of a database on a server ("postgresql://…#BTSales.mdb").
    static const Engine& forLocation(const QString& location);
    // The location of one of the five databases (DbFile) of a data directory or server
    // (DataLocation::locationOf).
    static QString locationOf(const QString& dataDir, const QString& fileName);

    // Whether making a session costs a trip to another machine and a login: then a session
    // this program is done with is kept for its next store, with its compiled statements, the
    // catalogue read is shared by the program's connections, and a session lost (the server
    // restarted, the network cut) is replaced. False for a file on this machine.
    virtual bool keepsSessions() const { return false; }
    // The location as a clerk or an administrator reads it in a message, what it is included:
    // "データベースファイル /var/lib/tesaro/BTSales.mdb", "サーバー host:5432/inn の売上のデータ";
    // a server's address alone "サーバー host:5432/inn".
    virtual QString displayName(const QString& location) const;
    // Which of the five databases (DbFile) a location is.
    virtual QString fileNameOf(const QString& location) const;
    // The line of a message that says where a failure happened: "ファイル: /data/BTSales.mdb",
    // "データ: サーバー host:5432/inn の売上のデータ".
    virtual QString placeLine(const QString& location) const;
    // What the administration tool adds to a failure's message so that it names where it
    // happened (nothing when the message names it already).
    virtual QString placeNote(const QString& location, const QString& message) const;
    // The data directory (or address) of a location as `deskadmin` takes it.
    virtual QString dataDirOf(const QString& location) const;
    // The text for a database that holds no record of a schema version: on files one of
    // something else; a server may rather have no inn made yet.
    virtual QString withoutRecordText(const QSqlDatabase& db, const QString& location) const;

    // ---- session
    enum class Access { ReadOnly, ReadWrite, Create };
    virtual QString driverName() const = 0;
    // Names the database and sets the driver's options on a connection not yet open.
    virtual void configure(QSqlDatabase& db, const QString& location, Access access) const = 0;
    // Refuses (DbError with its cause) a database of another format before the engine opens
    // it: the engine might take it for damage, or change it by merely opening it. Called only
    // while this process has no connection on the location.
    virtual void refuseForeign(const QString& location) const = 0;
    // What is looked at and held before a connection opens a database: a file of this machine
    // is refused when missing (Cause::Missing) or not readable, unless it is being created,
    // and registered with OpenFiles for the connection's lifetime; nothing on a server.
    virtual std::unique_ptr<OpenFiles::Hold> holdFile(const QString& location, bool creating) const;
    // Run on every connection right after it opens, before anything is read: where the
    // database's tables are found.
    virtual QStringList lookupSettings(const QString& location) const { return {}; }
    // Run on every connection of the suite once it is known to be on a database of the
    // suite's version, before its first statement of work.
    virtual QStringList sessionSettings(const QString& location) const = 0;
    // For filling a new database in bulk: speed before durability on this session.
    virtual QStringList bulkLoadSettings() const = 0;

    // ---- catalogue
    // One bind, the name (matched without regard to case); rows (kind, name), kind "table"
    // or "view".
    virtual QString objectStatement() const = 0;
    // One bind, the kind; rows (name) in the order the objects were created.
    virtual QString objectNamesStatement() const = 0;
    // One bind, the object's exact name; rows (column name, declared type) in order.
    virtual QString columnsStatement() const = 0;

    // ---- failures
    struct Fault {
        DbError::Cause cause = DbError::Cause::Other;
        QString keyColumn; // the column a refused duplicate key is on, when the engine names it
    };
    // What a failure means, by the engine's own error code.
    virtual Fault classify(const QSqlError& error) const = 0;
    // Why a connection could not be opened at all.
    virtual DbError::Cause whyNotOpened(const QString& location, const QSqlError& error) const;
    // The failure in the clerk's words (DbError::fromEngine); valueOf gives the value written
    // to a column, for a refused duplicate key.
    DbError failure(const QSqlError& error, const QString& statement, const QString& location,
                    const std::function<QVariant(const QString& column)>& valueOf = {}) const;

    // ---- transactions
    // Begins the outermost write transaction: it takes the write lock at once, so two desks
    // never both read and then find they cannot write.
    virtual QStringList beginWrite() const = 0;
    // Begins a transaction that only reads and sees one moment of the database while others
    // go on writing; ended with rollback().
    virtual QStringList beginRead() const = 0;
    virtual QString commit() const;
    virtual QString rollback() const;
    virtual QString savepoint(const QString& name) const;
    virtual QString releaseSavepoint(const QString& name) const;
    virtual QString rollbackToSavepoint(const QString& name) const;
    // The statement that tells the other desks of a save (ChangeNotices), run inside the
    // save's transaction so it goes out when the save commits; empty when the engine has
    // no such thing.
    virtual QString changeNotice(const QString& payload) const;
    // Whether the other desks' saves are told through the engine (changeNotice), so a program
    // listens for them.
    virtual bool tellsChanges() const { return false; }

    // ---- statement dialect
    // How many rows the table cursor reads at once when it moves forward: one per move on
    // an engine in the same process, a batch where every query is a trip to a server.
    virtual int rowsReadAhead() const { return 1; }
    // How many rows Connection::execEach puts into one INSERT: on a server each statement is a
    // trip there and back, on files one compiled statement run row by row is as quick.
    virtual int rowsPerInsert() const { return 1; }
    // Whether the engine hands back unquoted names in lower case (a result column "rptcode"
    // of "SELECT RptCode"); Sql::resultName gives them back their spelling for the screen.
    virtual bool foldsNames() const { return false; }
    // The kinds of column the catalogue declares, and the engine's words for each.
    enum class Declared {
        CaseBlindText, // compares ASCII letters without regard to case
        ExactText,     // compares exactly (the desk of a work line)
        Text,          // the file's own records, never typed by a clerk
        Integer,
        SmallInt,
        Double,
        Currency,
        YesNo,
        Date,
    };
    virtual QString columnType(Declared type) const;
    // The declaration of the row key every table ends with (rowKey()): a key the engine
    // assigns to a new row.
    virtual QString rowKeyType() const { return QStringLiteral("INTEGER PRIMARY KEY"); }
    // A value as the engine takes it for a bound parameter.
    virtual QVariant bindable(const QVariant& value) const { return value; }
    // Whether a query's result may be read row by row while other statements run on the same
    // connection; otherwise every result is read whole when its statement runs.
    virtual bool streamsResults() const { return true; }
    enum class Function { IfNull, Upper, Lower, Length, Substring };
    // The name of a function of the dialect; the names most engines share unless overridden.
    virtual QString functionName(Function function) const;
    // A date (with its time when withTime) as a literal of the engine.
    virtual QString dateLiteral(const QDateTime& value, bool withTime) const = 0;
    // " LIMIT n" to close a statement with.
    virtual QString limit(int rows) const;
    // expression compared ASCII letters without regard to case, or exactly.
    virtual QString caseBlind(const QString& expression) const = 0;
    virtual QString exact(const QString& expression) const = 0;
    // "expression is one of the texts", compared as a case-blind column compares, with the
    // texts bound as the one value caseBlindList() makes of them: a list of thousands is one
    // statement with one parameter, not thousands of parameters or statements.
    virtual QString caseBlindIn(const QString& expression) const = 0;
    virtual QVariant caseBlindList(const QStringList& texts) const = 0;
    // The keyword that keeps a common table expression computed once ("WITH r AS … (…)").
    virtual QString materialized() const;
    // The head of an insert that replaces the row of the same key: "… INTO table (a, b)".
    virtual QString insertOrReplace(const QString& table, const QStringList& columns) const = 0;
    // What closes an INSERT so that its result is the new row's key; empty when the driver
    // reports the key itself.
    virtual QString returningRowKey() const { return {}; }
    // What follows an insert of rows with their keys given, so that the engine numbers the
    // next new row after them (in the engine's own words, run as it stands); empty when it
    // does so by itself.
    virtual QString keysGiven(const QString& table) const { return {}; }
    // The column every table ends with that orders its rows as they were added and finds one
    // again; the engine assigns it to a new row. The data layer's own: the table cursor keeps
    // it from the columns it shows.
    virtual QString rowKey() const = 0;
    // The column of a table made before the row key was declared that holds the same: the
    // engine's own row number; empty when every table of the engine has its row key.
    virtual QString implicitRowKey() const { return {}; }
    // The statements that rename a table and what the engine named after it (its key's index,
    // its row key's sequence), so a table made anew under the old name gets the same names as
    // one made fresh.
    virtual QStringList renameTable(const QString& from, const QString& to) const;
    // The engine's own rule that no two rows of table whose key is not empty hold that key
    // for one night: nights from firstNight on, `nights` of them. Checked when the saving
    // transaction commits, so a save may swap two rows; a refusal is a DbError of
    // Cause::Clash. Empty where the engine has no such rule: the store checks inside its
    // write transaction, whose lock is taken at its start.
    virtual QStringList nightsApart(const QString& table, const QString& key, const QString& firstNight,
                                    const QString& nights) const;
    // The oldest schema version a database of this engine can have been made at.
    virtual int firstSchemaVersion() const { return 1; }
    // A trigger that refuses the event ("INSERT", "UPDATE OF x", "DELETE") on table when the
    // condition holds (every row when empty), in the engine's words: a write the engine
    // refuses, for tests of what the suite does then.
    virtual QStringList refusingTrigger(const QString& name, const QString& event, const QString& table,
                                        const QString& condition) const = 0;

    // ---- maintenance
    // The engine's integrity check of one database, read-only; empty when it is sound.
    virtual QStringList integrityProblems(const QString& location) const = 0;
    // A consistent copy of the committed state of an open database into the new file dest,
    // taken while other programs go on writing.
    virtual void copyInto(Connection& from, const QString& dest) const = 0;
    // True while some program has the database open.
    virtual bool inUse(const QString& location) const = 0;

    // A database held for this process alone until the hold ends.
    class ExclusiveHold {
    public:
        virtual ~ExclusiveHold() = default;
        virtual QString location() const = 0;
        // A copy of what the database holds now into the new file dest.
        virtual void copyInto(const QString& dest) = 0;
        // The database's whole contents replaced by those of backup, in one write.
        virtual void replaceWith(const QString& backup) = 0;
    };
    // Null while any other connection, of any program, is on the database; a DbError when
    // it cannot be opened at all.
    virtual std::unique_ptr<ExclusiveHold> holdExclusively(const QString& location) const = 0;
    // A copy of a database no program works on (a backup's) into the new file dest.
    virtual void copyClosed(const QString& source, const QString& dest) const = 0;
};

} // namespace desk
