#pragma once

#include <QString>
#include <QStringList>

namespace desk::EntryMembers {

// The member names of an entry object, as they travel to the module program.
inline const QString DirPath = QStringLiteral("DirPath");
inline const QString MyCompanyName = QStringLiteral("MyCompanyName");
inline const QString MyZipCode = QStringLiteral("MyZipCode");
inline const QString MyAddress = QStringLiteral("MyAddress");
inline const QString MyTelNo = QStringLiteral("MyTelNo");
inline const QString MyFaxNo = QStringLiteral("MyFaxNo");
inline const QString MyURL = QStringLiteral("MyURL");
inline const QString MyEmail = QStringLiteral("MyEmail");
inline const QString MyComment = QStringLiteral("MyComment");
// The guest a window is opened for (the sales, payment and check-out programs): a check-in
// number, taken once by the window it reaches.
inline const QString CheckInNo = QStringLiteral("CheckInNo");
// What the booking or check-in window opens on: a StayRequest's text (a reservation or a
// check-in called up, or a new reservation for a room and nights).
inline const QString Stay = QStringLiteral("Stay");

// The eight profile values in the order the main menu sets them.
inline QStringList profileOrder() {
    return {MyAddress, MyComment, MyCompanyName, MyEmail, MyFaxNo, MyTelNo, MyURL, MyZipCode};
}

} // namespace desk::EntryMembers
