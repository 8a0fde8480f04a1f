#pragma once

#include "Reservation.h"

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace bookingsvc {

// The table Reserve on one connection: the rows of reservations, found by number from the
// row set's current row on. The store and the booking desk's actions both write through it.
class ReserveTable {
public:
    explicit ReserveTable(const QString& dirPath);
    ~ReserveTable();

    ReserveTable(const ReserveTable&) = delete;
    ReserveTable& operator=(const ReserveTable&) = delete;

    desk::Connection& connection() const { return *m_connection; }
    const std::shared_ptr<desk::Connection>& sharedConnection() const { return m_connection; }
    desk::RowSet& rows() const { return *m_rows; }

    // Moves forward to reservation `number`; false at end-of-set.
    bool find(qint32 number);
    // Positions on reservation `number` or throws naming the operation.
    void require(qint32 number, const char* operation);
    // The reservation on the current row.
    Reservation current() const;
    // A new row, or the current one, from the value; the mark is written as `checkedIn`.
    void add(const Reservation& entry);
    void rewrite(const Reservation& entry, bool checkedIn);
    // The number to propose: the highest plus one, 1 on an empty table.
    qint32 nextNumber();
    // A new row set of the reservations for the day, on `connection`.
    static std::unique_ptr<desk::RowSet> onDay(const std::shared_ptr<desk::Connection>& connection,
                                               const QDate& useDate);
    // The maximum query of the last nextNumber that ran one; null before.
    desk::RowSet* highestRows() const { return m_highest.get(); }

private:
    void write(const Reservation& entry, bool checkedIn);

    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_rows;
    std::unique_ptr<desk::RowSet> m_highest;
};

} // namespace bookingsvc
