#pragma once

#include "CheckIn.h"

#include <QDate>
#include <QList>
#include <QString>

#include <memory>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace arrivalsvc {

class CheckInTables;

// The check-in store: one check-in is six rows keyed by its number, in CheckInCliants,
// CheckInAdrs, CheckInClasify, CheckInGroupe, CheckInCliantDetail and CheckInBadget of
// DaySalesCliants.mdb, and the party's guest list in CheckInGuests.
//
// A screen creates one object per action: setDirPath(), CntDB(), the properties, one
// operation, then drops it. Look-ups search forward from each row set's current row (the
// first row after CntDB()), so a second look-up on the same object starts where the first
// one stopped. The six rows are written, renumbered and deleted together or not at all.
// Every failure is thrown (desk::DbError, desk::ConversionError). The properties are the
// fields of one CheckIn; the front desk's own actions are in CheckInDesk.
class CheckInClass {
public:
    CheckInClass();
    ~CheckInClass();

    CheckInClass(const CheckInClass&) = delete;
    CheckInClass& operator=(const CheckInClass&) = delete;

    // "x" when a check-in with this number exists, "" when the number is free.
    QString CheckInNoCheck(const QString& checkInNo);
    // The number to propose for the next check-in: the highest number made of digits only,
    // plus one, as wide as it was ("0999" gives "1000", "0041" gives "0042"); "1" when there
    // is none. Numbers with other characters are left out.
    QString NextCheckInNo();
    // The guest's name of check-in checkInNo, or "x" when there is none.
    QString DispCheckInName(const QString& checkInNo);
    // Opens DaySalesCliants.mdb and the row sets of the six tables and QRYCliantsDaySale.
    void CntDB();
    // Adds the six rows and the guest list of check-in CheckInNO; empty class codes become
    // U0, A0, P0, G0.
    void Msave();
    // Rewrites the six rows stored as CheckInNO2, moving them to CheckInNO, and replaces the
    // guest list. The fax number and the reservation link stay as first saved. A number
    // another check-in uses is refused.
    void Medit();
    // Deletes the six rows and the guest list stored as CheckInNO2.
    void Mdelete();
    // Loads check-in CheckInNO with its guest list; CheckInNO becomes "X" when there is none.
    void EDsearch();
    // Marks check-in CheckInNO2 as checked out on the settlement day `day` (today when none
    // is given): the register's nights and the levy worksheet count the stay as its bill did.
    // A guest checked out already keeps the day first recorded (a bill printed again).
    void CheckOut(const QDate& day = {});

    void setDirPath(const QString& dirPath) { m_dirPath = dirPath; }

    void setCheckInDate(const QDate& value) { m_entry.date = value; }
    QDate CheckInDate() const { return m_entry.date; }
    void setCheckInName(const QString& value) { m_entry.name = value; }
    QString CheckInName() const { return m_entry.name; }
    void setCheckInRoomNo(const QString& value) { m_entry.roomNo = value; }
    QString CheckInRoomNo() const { return m_entry.roomNo; }
    void setCheckInNO(const QString& value) { m_entry.number = value; }
    QString CheckInNO() const { return m_entry.number; }
    void setCheckInNO2(const QString& value) { m_checkInNO2 = value; }
    QString CheckInNO2() const { return m_checkInNO2; }
    void setCheckInGroupe(const QString& value) { m_entry.groupName = value; }
    QString CheckInGroupe() const { return m_entry.groupName; }
    void setCheckInCName(const QString& value) { m_entry.companions = value; }
    QString CheckInCName() const { return m_entry.companions; }
    // Loaded by EDsearch; never written by the store (CheckOut sets the column).
    void setCheckOutFlag(bool value) { m_entry.checkedOut = value; }
    bool CheckOutFlag() const { return m_entry.checkedOut; }
    // The day the guest was checked out, loaded by EDsearch; null while in the house.
    QDate CheckOutDate() const { return m_entry.checkedOutOn; }
    void setCheckInRemarks(const QString& value) { m_entry.remarks = value; }
    QString CheckInRemarks() const { return m_entry.remarks; }
    void setCheckInTravelAg(const QString& value) { m_entry.travelAgent = value; }
    QString CheckInTravelAg() const { return m_entry.travelAgent; }
    void setCheckInAdrs1(const QString& value) { m_entry.address1 = value; }
    QString CheckInAdrs1() const { return m_entry.address1; }
    void setCheckInAdrs2(const QString& value) { m_entry.address2 = value; }
    QString CheckInAdrs2() const { return m_entry.address2; }
    void setCheckInAdrs3(const QString& value) { m_entry.address3 = value; }
    QString CheckInAdrs3() const { return m_entry.address3; }
    void setCheckInTelNo(const QString& value) { m_entry.telNo = value; }
    QString CheckInTelNo() const { return m_entry.telNo; }
    void setCheckInFaxNo(const QString& value) { m_entry.faxNo = value; }
    QString CheckInFaxNo() const { return m_entry.faxNo; }
    void setCheckInEMAdrs(const QString& value) { m_entry.email = value; }
    QString CheckInEMAdrs() const { return m_entry.email; }
    // The party's guests, the representative first. Saved empty, the list holds the
    // representative alone (name, joined address and phone of the check-in), so that the
    // register never misses a party.
    void setCheckInGuests(const QList<CheckInGuest>& value) { m_entry.party = value; }
    QList<CheckInGuest> CheckInGuests() const { return m_entry.party; }
    void setMbookMark(const QString& value) { m_mbookMark = value; }
    QString MbookMark() const { return m_mbookMark; }
    void setUserClass(const QString& value) { m_entry.userClass = value; }
    QString UserClass() const { return m_entry.userClass; }
    void setAgeClass(const QString& value) { m_entry.ageClass = value; }
    QString AgeClass() const { return m_entry.ageClass; }
    void setPayClass(const QString& value) { m_entry.payClass = value; }
    QString PayClass() const { return m_entry.payClass; }
    void setGroupeClass(const QString& value) { m_entry.groupeClass = value; }
    QString GroupeClass() const { return m_entry.groupeClass; }
    void setChoiceClass(const QString& value) { m_entry.choiceClass = value; }
    QString ChoiceClass() const { return m_entry.choiceClass; }
    // The number of guests is a 16-bit column: desk::ConversionError (overflow) outside it.
    void setQuantity(qint32 value);
    qint16 Quantity() const { return m_entry.guests; }
    // The guests exempt from the bathing tax and from the accommodation tax (children, school
    // trips): 16-bit like the number of guests. A save or correction with more exempt guests
    // than guests, or fewer than none, is refused (desk::DbError) before anything is written.
    void setBathExempt(qint32 value);
    qint16 BathExempt() const { return m_entry.bathExempt; }
    void setLodgingExempt(qint32 value);
    qint16 LodgingExempt() const { return m_entry.lodgingExempt; }
    void setBadget(qint32 value) { m_entry.price = value; }
    qint32 Badget() const { return m_entry.price; }
    void setArvTime(const QString& value) { m_entry.arrivalTime = value; }
    QString ArvTime() const { return m_entry.arrivalTime; }
    void setArvTimeChkIn(const QString& value) { m_entry.checkInTime = value; }
    QString ArvTimeChkIn() const { return m_entry.checkInTime; }
    // A day text ("2002/3/1" or "2002-03-01"); empty leaves the stored date null.
    void setRecieveDate(const QString& value) { m_recieveDate = value; }
    QString RecieveDate() const { return m_recieveDate; }
    void setRvCliantName(const QString& value) { m_rvCliantName = value; }
    QString RvCliantName() const { return m_rvCliantName; }
    void setReserveNo(qint32 value) { m_entry.reserveNo = value; }
    qint32 ReserveNo() const { return m_entry.reserveNo; }
    // The condition of RsCliantR, put into the statement as it stands: the caller
    // quotes every text in it with desk::Sql::quote.
    void setSQL1(const QString& condition) { m_sql1 = condition; }

    // New row sets the caller owns: the stays matching SQL1, and the guests still in the house.
    std::unique_ptr<desk::RowSet> RsCliantR();
    std::unique_ptr<desk::RowSet> RsNotChkOut();
    // The guest register of the check-ins from first to last: one row per guest in order of
    // check-in date, number and guest (CheckInDate, Nights, CheckInRoomNo, GuestName,
    // GuestAdrs with "同上" resolved, GuestTelNo, Nationality, PassportNo, CheckInNO). Nights
    // is null while the party has no recorded check-out.
    std::unique_ptr<desk::RowSet> RsGuestRegister(const QDate& first, const QDate& last);

    // The store's connection, for a screen that wraps several operations in one
    // desk::Transaction. Throws desk::DbError before CntDB().
    desk::Connection& connection() const;

private:
    CheckInTables& tables() const;

    QString m_dirPath;
    std::unique_ptr<CheckInTables> m_tables;

    CheckIn m_entry;
    QString m_checkInNO2;
    QString m_mbookMark;
    QString m_recieveDate;
    QString m_rvCliantName;
    QString m_sql1;
};

} // namespace arrivalsvc
