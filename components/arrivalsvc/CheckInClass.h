#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <memory>
#include <utility>
#include <span>

namespace desk {
class Connection;
class RowSet;
} // namespace desk

namespace arrivalsvc {

// One guest of a check-in party, as the guest register lists them. An address of "同上"
// stands for the representative's; nationality and passport number are kept for a guest
// from abroad without an address in Japan.
struct CheckInGuest {
    CheckInGuest() = default;
    CheckInGuest(QString name, QString address, QString telNo, bool abroad = false, QString nationality = {},
                 QString passportNo = {})
        : name(std::move(name))
        , address(std::move(address))
        , telNo(std::move(telNo))
        , abroad(abroad)
        , nationality(std::move(nationality))
        , passportNo(std::move(passportNo)) {}

    QString name;
    QString address;
    QString telNo;
    bool abroad = false;
    QString nationality;
    QString passportNo;

    bool operator==(const CheckInGuest&) const = default;
};

// The representative's address lines joined as one address, as the register shows it.
QString joinedAddress(const QString& adrs1, const QString& adrs2, const QString& adrs3);

// The check-in store: one check-in is six rows keyed by its number, in CheckInCliants,
// CheckInAdrs, CheckInClasify, CheckInGroupe, CheckInCliantDetail and CheckInBadget of
// DaySalesCliants.mdb, and the party's guest list in CheckInGuests.
//
// A screen creates one object per action: setDirPath(), CntDB(), the properties, one
// operation, then drops it. Look-ups search forward from each row set's current row (the
// first row after CntDB()), so a second look-up on the same object starts where the first
// one stopped. The six rows are written, renumbered and deleted together or not at all.
// Every failure is thrown (desk::DbError, desk::ConversionError).
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

    void setCheckInDate(const QDate& value) { m_checkInDate = value; }
    QDate CheckInDate() const { return m_checkInDate; }
    void setCheckInName(const QString& value) { m_checkInName = value; }
    QString CheckInName() const { return m_checkInName; }
    void setCheckInRoomNo(const QString& value) { m_checkInRoomNo = value; }
    QString CheckInRoomNo() const { return m_checkInRoomNo; }
    void setCheckInNO(const QString& value) { m_checkInNO = value; }
    QString CheckInNO() const { return m_checkInNO; }
    void setCheckInNO2(const QString& value) { m_checkInNO2 = value; }
    QString CheckInNO2() const { return m_checkInNO2; }
    void setCheckInGroupe(const QString& value) { m_checkInGroupe = value; }
    QString CheckInGroupe() const { return m_checkInGroupe; }
    void setCheckInCName(const QString& value) { m_checkInCName = value; }
    QString CheckInCName() const { return m_checkInCName; }
    // Loaded by EDsearch; never written by the store (CheckOut sets the column).
    void setCheckOutFlag(bool value) { m_checkOutFlag = value; }
    bool CheckOutFlag() const { return m_checkOutFlag; }
    // The day the guest was checked out, loaded by EDsearch; null while in the house.
    QDate CheckOutDate() const { return m_checkOutDate; }
    void setCheckInRemarks(const QString& value) { m_checkInRemarks = value; }
    QString CheckInRemarks() const { return m_checkInRemarks; }
    void setCheckInTravelAg(const QString& value) { m_checkInTravelAg = value; }
    QString CheckInTravelAg() const { return m_checkInTravelAg; }
    void setCheckInAdrs1(const QString& value) { m_checkInAdrs1 = value; }
    QString CheckInAdrs1() const { return m_checkInAdrs1; }
    void setCheckInAdrs2(const QString& value) { m_checkInAdrs2 = value; }
    QString CheckInAdrs2() const { return m_checkInAdrs2; }
    void setCheckInAdrs3(const QString& value) { m_checkInAdrs3 = value; }
    QString CheckInAdrs3() const { return m_checkInAdrs3; }
    void setCheckInTelNo(const QString& value) { m_checkInTelNo = value; }
    QString CheckInTelNo() const { return m_checkInTelNo; }
    void setCheckInFaxNo(const QString& value) { m_checkInFaxNo = value; }
    QString CheckInFaxNo() const { return m_checkInFaxNo; }
    void setCheckInEMAdrs(const QString& value) { m_checkInEMAdrs = value; }
    QString CheckInEMAdrs() const { return m_checkInEMAdrs; }
    // The party's guests, the representative first. Saved empty, the list holds the
    // representative alone (name, joined address and phone of the check-in), so that the
    // register never misses a party.
    void setCheckInGuests(const QList<CheckInGuest>& value) { m_checkInGuests = value; }
    QList<CheckInGuest> CheckInGuests() const { return m_checkInGuests; }
    void setMbookMark(const QString& value) { m_mbookMark = value; }
    QString MbookMark() const { return m_mbookMark; }
    void setUserClass(const QString& value) { m_userClass = value; }
    QString UserClass() const { return m_userClass; }
    void setAgeClass(const QString& value) { m_ageClass = value; }
    QString AgeClass() const { return m_ageClass; }
    void setPayClass(const QString& value) { m_payClass = value; }
    QString PayClass() const { return m_payClass; }
    void setGroupeClass(const QString& value) { m_groupeClass = value; }
    QString GroupeClass() const { return m_groupeClass; }
    void setChoiceClass(const QString& value) { m_choiceClass = value; }
    QString ChoiceClass() const { return m_choiceClass; }
    // The number of guests is a 16-bit column: desk::ConversionError (overflow) outside it.
    void setQuantity(qint32 value);
    qint16 Quantity() const { return m_quantity; }
    // The guests exempt from the bathing tax and from the accommodation tax (children, school
    // trips): 16-bit like the number of guests. A save or correction with more exempt guests
    // than guests, or fewer than none, is refused (desk::DbError) before anything is written.
    void setBathExempt(qint32 value);
    qint16 BathExempt() const { return m_bathExempt; }
    void setLodgingExempt(qint32 value);
    qint16 LodgingExempt() const { return m_lodgingExempt; }
    void setBadget(qint32 value) { m_badget = value; }
    qint32 Badget() const { return m_badget; }
    void setArvTime(const QString& value) { m_arvTime = value; }
    QString ArvTime() const { return m_arvTime; }
    void setArvTimeChkIn(const QString& value) { m_arvTimeChkIn = value; }
    QString ArvTimeChkIn() const { return m_arvTimeChkIn; }
    // A day text ("2002/3/1" or "2002-03-01"); empty leaves the stored date null.
    void setRecieveDate(const QString& value) { m_recieveDate = value; }
    QString RecieveDate() const { return m_recieveDate; }
    void setRvCliantName(const QString& value) { m_rvCliantName = value; }
    QString RvCliantName() const { return m_rvCliantName; }
    void setReserveNo(qint32 value) { m_reserveNo = value; }
    qint32 ReserveNo() const { return m_reserveNo; }
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
    desk::RowSet& rowSet(const std::unique_ptr<desk::RowSet>& rs) const;
    // Moves `rs` forward to the row of check-in `number`; false at end-of-set.
    bool findNumber(const std::unique_ptr<desk::RowSet>& rs, const QString& number);
    // The same, but a missing row is an error naming the table.
    desk::RowSet& requireNumber(const std::unique_ptr<desk::RowSet>& rs, const QString& table, const QString& number);
    // The text columns of four of the check-in tables and the property each one holds: a
    // save and a correction write them through putText, EDsearch reads them back.
    struct TextColumn {
        const char16_t* column;
        QString CheckInClass::*property;
    };
    enum class Table { Cliants, Adrs, Groupe, Clasify };
    static std::span<const TextColumn> textColumns(Table table);
    // The check-in number and the table's text columns, on the current or new row.
    void putText(desk::RowSet& rs, Table table) const;
    // The columns that a save and a correction write alike, on the current or new row.
    void putCliants(desk::RowSet& rs) const;
    void putAdrs(desk::RowSet& rs) const; // all but the fax number, which only a save writes
    void putClasify(desk::RowSet& rs) const;
    void putGroupe(desk::RowSet& rs) const;
    void putBadget(desk::RowSet& rs) const;
    // Refuses exempt counts the party cannot hold.
    void requireExemptWithinParty() const;
    // The guest list under CheckInNO (the representative alone when it is empty).
    void putGuests() const;

    QString m_dirPath;
    std::shared_ptr<desk::Connection> m_connection;
    std::unique_ptr<desk::RowSet> m_rsCliants;
    std::unique_ptr<desk::RowSet> m_rsClasify;
    std::unique_ptr<desk::RowSet> m_rsBadget;
    std::unique_ptr<desk::RowSet> m_rsCliantDetail;
    std::unique_ptr<desk::RowSet> m_rsGroupe;
    std::unique_ptr<desk::RowSet> m_rsAdrs;
    std::unique_ptr<desk::RowSet> m_rsDaySale;

    QDate m_checkInDate;
    QString m_checkInName;
    QString m_checkInRoomNo;
    QString m_checkInNO;
    QString m_checkInNO2;
    QString m_checkInGroupe;
    QString m_checkInCName;
    bool m_checkOutFlag = false;
    QDate m_checkOutDate;
    QString m_checkInRemarks;
    QString m_checkInTravelAg;
    QString m_checkInAdrs1;
    QString m_checkInAdrs2;
    QString m_checkInAdrs3;
    QString m_checkInTelNo;
    QString m_checkInFaxNo;
    QString m_checkInEMAdrs;
    QString m_mbookMark;
    QString m_userClass;
    QString m_ageClass;
    QString m_payClass;
    QString m_groupeClass;
    QString m_choiceClass;
    qint16 m_quantity = 0;
    qint16 m_bathExempt = 0;
    qint16 m_lodgingExempt = 0;
    qint32 m_badget = 0;
    QString m_arvTime;
    QString m_arvTimeChkIn;
    QString m_recieveDate;
    QString m_rvCliantName;
    qint32 m_reserveNo = 0;
    QString m_sql1;
    QList<CheckInGuest> m_checkInGuests;
};

} // namespace arrivalsvc
