#pragma once

#include <QDate>
#include <QString>

namespace bookingsvc {

// One reservation as the booking window shows it and the table Reserve of
// BTReservation.mdb keeps it, keyed by its number.
struct Reservation {
    qint32 number = 0;
    QDate useDate;    // the day the guest comes
    QDate receivedOn; // the day the booking was taken
    QString guestName;
    QString zipCode;
    QString address1;
    QString address2;
    QString address3;
    QString telNo;
    // The party: a count the check-in keeps in 16 bits.
    qint32 guests = 0;
    qint32 budget = 0;
    QString arrivalTime;
    QString checkInTime;
    QString remarks;
    QString groupName;
    QString travelAgent;
    // Set once the guest has checked in; a new reservation never has it.
    bool checkedIn = false;

    bool operator==(const Reservation&) const = default;
};

} // namespace bookingsvc
