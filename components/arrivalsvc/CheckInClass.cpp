#include "CheckInClass.h"

#include "CheckInTables.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QVariant>

namespace arrivalsvc {

CheckInClass::CheckInClass() = default;
CheckInClass::~CheckInClass() = default;

void CheckInClass::setQuantity(qint32 value) {
    m_entry.guests = desk::convert::toInt16(double(value));
}

void CheckInClass::setBathExempt(qint32 value) {
    m_entry.bathExempt = desk::convert::toInt16(double(value));
}

void CheckInClass::setLodgingExempt(qint32 value) {
    m_entry.lodgingExempt = desk::convert::toInt16(double(value));
}

void CheckInClass::CntDB() {
    m_tables.reset();
    m_tables = std::make_unique<CheckInTables>(m_dirPath);
}

CheckInTables& CheckInClass::tables() const {
    if (!m_tables)
        throw desk::DbError(QStringLiteral("チェックインデータに接続されていません。"));
    return *m_tables;
}

desk::Connection& CheckInClass::connection() const {
    return *tables().connection();
}

QString CheckInClass::CheckInNoCheck(const QString& checkInNo) {
    return tables().taken(checkInNo) ? QStringLiteral("x") : QString();
}

QString CheckInClass::NextCheckInNo() {
    return tables().nextNumber();
}

QString CheckInClass::DispCheckInName(const QString& checkInNo) {
    return tables().nameOf(checkInNo).value_or(QStringLiteral("x"));
}

void CheckInClass::Msave() {
    CheckInTables& rows = tables();
    // Converted before anything is written, so a bad date text writes nothing.
    m_entry.receivedOn = m_recieveDate.isEmpty() ? QDate() : desk::convert::dateOfDayText(m_recieveDate);
    m_entry.classifyUnclassified();
    rows.add(m_entry);
}

void CheckInClass::Medit() {
    tables().rewrite(m_checkInNO2, m_entry);
}

void CheckInClass::Mdelete() {
    tables().remove(m_checkInNO2);
}

void CheckInClass::EDsearch() {
    std::optional<CheckIn> found = tables().load(m_entry.number);
    if (!found) {
        m_entry.number = QStringLiteral("X");
        return;
    }
    // What a search does not read stays as it was set.
    found->faxNo = m_entry.faxNo;
    found->reserveNo = m_entry.reserveNo;
    found->receivedOn = m_entry.receivedOn;
    found->arrivalTime = m_entry.arrivalTime;
    found->checkInTime = m_entry.checkInTime;
    m_entry = *found;
}

void CheckInClass::CheckOut(const QDate& day) {
    tables().checkOut(m_checkInNO2, day);
}

std::unique_ptr<desk::RowSet> CheckInClass::RsCliantR() {
    return CheckInTables::staysWhere(tables().connection(), m_sql1);
}

std::unique_ptr<desk::RowSet> CheckInClass::RsNotChkOut() {
    return std::make_unique<desk::RowSet>(tables().connection(),
                                          QStringLiteral("SELECT * FROM CheckInCliants WHERE CheckOutFlag = False"));
}

std::unique_ptr<desk::RowSet> CheckInClass::RsGuestRegister(const QDate& first, const QDate& last) {
    const QString sameAsAbove = desk::Sql::quote(QStringLiteral("同上"));
    return std::make_unique<desk::RowSet>(
        tables().connection(),
        QStringLiteral("SELECT c.CheckInDate AS CheckInDate, "
                       "CASE WHEN c.CheckOutDate IS NULL THEN NULL "
                       "ELSE CAST(julianday(c.CheckOutDate) - julianday(c.CheckInDate) AS INTEGER) END AS Nights, "
                       "c.CheckInRoomNo AS CheckInRoomNo, g.GuestName AS GuestName, "
                       "CASE WHEN g.GuestAdrs = %1 THEN (SELECT f.GuestAdrs FROM CheckInGuests f "
                       "WHERE f.CheckInNO = g.CheckInNO AND f.GuestAdrs <> %1 ORDER BY f.GuestNo LIMIT 1) "
                       "ELSE g.GuestAdrs END AS GuestAdrs, "
                       "g.GuestTelNo AS GuestTelNo, g.Nationality AS Nationality, g.PassportNo AS PassportNo, "
                       "c.CheckInNO AS CheckInNO "
                       "FROM CheckInGuests g JOIN CheckInCliants c ON c.CheckInNO = g.CheckInNO "
                       "WHERE c.CheckInDate BETWEEN %2 AND %3 "
                       "ORDER BY c.CheckInDate, c.CheckInNO, g.GuestNo, g.RowKey")
            .arg(sameAsAbove, desk::Sql::dateLiteral(first), desk::Sql::dateLiteral(last)));
}

} // namespace arrivalsvc
