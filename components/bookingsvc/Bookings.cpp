#include "Bookings.h"

#include "ReserveTable.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"

namespace bookingsvc {

Bookings::Bookings(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

qint32 Bookings::nextNumber() const {
    ReserveTable table(m_dirPath);
    return table.nextNumber();
}

Bookings::Registration Bookings::registerReservation(Reservation entry) const {
    entry.receivedOn = QDate::currentDate();
    ReserveTable table(m_dirPath);
    {
        // The check and the insert in one transaction, so no other desk slips in between.
        desk::Transaction transaction(table.connection());
        if (!table.find(entry.number)) {
            table.add(entry);
            transaction.commit();
            return {};
        }
    } // a taken number rolls back here, before anyone is told
    ReserveTable fresh(m_dirPath);
    return {Registration::Outcome::NumberTaken, fresh.nextNumber()};
}

Bookings::Correction Bookings::correct(const Reservation& entry) const {
    ReserveTable table(m_dirPath);
    desk::Transaction transaction(table.connection());
    if (!table.find(entry.number))
        return Correction::NotFound;
    // A guest who has checked in keeps the mark and is not offered for a second check-in.
    const bool checkedIn = table.current().checkedIn;
    table.rewrite(entry, checkedIn);
    transaction.commit();
    return Correction::Corrected;
}

void Bookings::cancel(qint32 number) const {
    ReserveTable table(m_dirPath);
    table.require(number, "Mdelete");
    table.rows().remove();
}

std::optional<Reservation> Bookings::callUp(qint32 number) const {
    ReserveTable table(m_dirPath);
    if (!table.find(number))
        return std::nullopt;
    return table.current();
}

void Bookings::markCheckedIn(qint32 number) const {
    ReserveTable table(m_dirPath);
    table.require(number, "ChkIn");
    table.rows().setValue(QStringLiteral("Rvchkflg"), true);
    table.rows().update();
}

std::unique_ptr<desk::RowSet> Bookings::listFor(const QDate& useDate) const {
    return ReserveTable::onDay(desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::Reservation)), useDate);
}

std::unique_ptr<desk::RowSet> Bookings::rowsOf(qint32 number) const {
    return std::make_unique<desk::RowSet>(desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::Reservation)),
                                          QStringLiteral("SELECT * FROM Reserve WHERE RvNo = ") +
                                              QString::number(number));
}

} // namespace bookingsvc
