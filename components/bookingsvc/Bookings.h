#pragma once

#include "Reservation.h"

#include <QString>

#include <memory>
#include <optional>

namespace desk {
class RowSet;
}

namespace bookingsvc {

// The booking desk's actions on the reservations of one data directory, one call per
// action; each write is one transaction, committed or rolled back before the call returns,
// so a window tells the clerk only once nothing is held. Failures are thrown (desk::DbError,
// desk::ConversionError).
class Bookings {
public:
    explicit Bookings(QString dirPath);

    // The number to propose for a new reservation: the highest plus one, 1 on none.
    qint32 nextNumber() const;

    struct Registration {
        enum class Outcome { Registered, NumberTaken };
        Outcome outcome = Outcome::Registered;
        // After NumberTaken: the next free number, to propose with the entry kept.
        qint32 nextNumber = 0;
    };
    // Adds the reservation under its number, received today and not checked in; a number
    // another desk took meanwhile is refused as a whole.
    Registration registerReservation(Reservation entry) const;

    enum class Correction { Corrected, NotFound };
    // Rewrites the reservation under entry.number from the entry, the day received as the
    // entry gives it; the check-in mark stays as stored, since the window never shows it.
    Correction correct(const Reservation& entry) const;
    // Deletes the reservation; one that is gone already is a desk::DbError.
    void cancel(qint32 number) const;
    // The reservation, or nothing when no reservation has the number.
    std::optional<Reservation> callUp(qint32 number) const;
    // Marks the reservation as checked in; a desk::DbError when it is gone.
    void markCheckedIn(qint32 number) const;

    // New row sets the caller owns: the reservations for the day, and the one of `number`
    // (none when no reservation carries it), with the columns of Reserve.
    std::unique_ptr<desk::RowSet> listFor(const QDate& useDate) const;
    std::unique_ptr<desk::RowSet> rowsOf(qint32 number) const;

private:
    QString m_dirPath;
};

} // namespace bookingsvc
