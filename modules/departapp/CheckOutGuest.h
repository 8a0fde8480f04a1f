#pragma once

#include <QDate>
#include <QString>

namespace departapp {

// The guest picked on FrmChkOutM, as the check-in store found them; FrmChkOut settles
// this guest and no other.
struct CheckOutGuest {
    QString checkInNo;
    QString name;
    QString roomNo;
    qint16 quantity = 0;
    QString groupe;
    QDate checkInDate;
    // The day recorded when the guest was checked out; null while in the house.
    QDate checkedOutOn;
};

} // namespace departapp
