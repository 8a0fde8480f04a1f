#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <memory>

namespace desk {

// The five database files of a data directory.
namespace DbFile {
inline constexpr auto Reservation = "BTReservation.mdb";
inline constexpr auto DaySalesCliants = "DaySalesCliants.mdb";
inline constexpr auto Sales = "BTSales.mdb";
inline constexpr auto Recipt = "BTRecipt.mdb";
inline constexpr auto Option = "dbOptionBT.mdb";
} // namespace DbFile

// One open SQLite file. Shared by the row sets opened on it (a row set handed to a
// caller keeps its connection alive after the store that opened it is gone).
// Opening never creates a file: a missing file is a DbError naming the path.
class Connection {
public:
    // dirPath is the data directory as handed around the suite (ending in a separator;
    // one is added when it does not); fileName one of DbFile.
    static std::shared_ptr<Connection> open(const QString& dirPath, const QString& fileName);
    // Used only by the schema builder: creates the file when it does not exist.
    static std::shared_ptr<Connection> create(const QString& filePath);
    ~Connection();

    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase database() const;
    QString filePath() const { return m_filePath; }

    // Runs one statement in the suite's dialect (translated) with optional positional
    // binds; throws DbError. Returns the number of rows affected.
    int exec(const QString& statement, const QVariantList& binds = {});
    // First column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& statement, const QVariantList& binds = {});

    // Transaction nesting depth (see Transaction); 0 outside any transaction.
    int transactionDepth() const { return m_depth; }

private:
    friend class Transaction;
    explicit Connection(const QString& filePath, bool mayCreate);

    QString m_filePath;
    QString m_name;
    int m_depth = 0;
};

// Scope guard: the outermost guard on a connection begins with BEGIN IMMEDIATE, inner
// guards use savepoints. Rolls back unless commit() was called.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    explicit Transaction(const std::shared_ptr<Connection>& connection) : Transaction(*connection) {}
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
