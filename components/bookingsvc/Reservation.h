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
    // The stay: nights from useDate, the plans (commodity codes of the accommodation class)
    // of the adults and of the children, how many of `guests` are children, and the meal
    // note the kitchen reads (allergies, times, 部屋食/食事処).
    qint32 nights = 1;
    QString plan;
    QString childPlan;
    qint32 children = 0;
    QString mealNote;

    bool operator==(const Reservation&) const = default;
};

} // namespace bookingsvc
