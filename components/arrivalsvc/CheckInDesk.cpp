#include "CheckInDesk.h"

#include "CheckInTables.h"

#include "bookingsvc/Bookings.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"

namespace arrivalsvc {

CheckInDesk::CheckInDesk(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

QString CheckInDesk::nextNumber() const {
    CheckInTables tables(m_dirPath);
    return tables.nextNumber();
}

CheckInDesk::Registration CheckInDesk::registerCheckIn(const CheckIn& entry, const QString& proposed,
                                                       std::optional<qint32> takenOver) const {
    Registration done;
    {
        CheckInTables tables(m_dirPath);
        // The duplicate test and the six rows in one transaction, so no other desk slips in between.
        desk::Transaction transaction(*tables.connection());
        if (tables.taken(entry.number)) {
            done.outcome = entry.number == proposed ? Registration::Outcome::TakenByAnotherDesk
                                                    : Registration::Outcome::NumberTaken;
        } else {
            tables.add(entry);
            transaction.commit();
        }
    }
    if (done.outcome == Registration::Outcome::TakenByAnotherDesk) {
        done.nextNumber = nextNumber();
        return done;
    }
    if (done.outcome != Registration::Outcome::Registered)
        return done;
    // The check-in stands on its own; a reservation that cannot be marked is reported, not undone.
    if (takenOver) {
        try {
            bookingsvc::Bookings(m_dirPath).markCheckedIn(*takenOver);
        } catch (...) {
            done.reservationFailure = std::current_exception();
        }
    }
    return done;
}

CheckInDesk::Correction CheckInDesk::correct(const QString& stored, const CheckIn& entry) const {
    CheckInTables tables(m_dirPath);
    desk::Transaction transaction(*tables.connection());
    // Counted apart from the row sets, which must find the stored rows from the start.
    if (!desk::convert::sameCode(entry.number, stored) && tables.inUse(entry.number))
        return Correction::NumberTaken;
    tables.rewrite(stored, entry);
    transaction.commit();
    return Correction::Corrected;
}

void CheckInDesk::remove(const QString& stored) const {
    CheckInTables tables(m_dirPath);
    tables.remove(stored);
}

std::optional<CheckIn> CheckInDesk::callUp(const QString& number) const {
    CheckInTables tables(m_dirPath);
    return tables.load(number);
}

void CheckInDesk::markCheckedOut(const QString& number, const QDate& day) const {
    CheckInTables tables(m_dirPath);
    tables.checkOut(number, day);
}

std::unique_ptr<desk::RowSet> CheckInDesk::inHouse() const {
    return CheckInTables::staysWhere(desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::DaySalesCliants)),
                                     QStringLiteral("CheckOutFlag = False"));
}

std::unique_ptr<desk::RowSet> CheckInDesk::history(const StaySearch& search) const {
    return CheckInTables::staysWhere(desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::DaySalesCliants)),
                                     search.condition());
}

} // namespace arrivalsvc
