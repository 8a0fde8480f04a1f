#include "ReservationClass.h"

#include "ReserveTable.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"

namespace bookingsvc {

ReservationClass::ReservationClass() = default;
ReservationClass::~ReservationClass() = default;

void ReservationClass::CntDb() {
    m_table.reset();
    m_table = std::make_unique<ReserveTable>(m_dirPath);
}

desk::Connection& ReservationClass::connection() const {
    return table().connection();
}

ReserveTable& ReservationClass::table() const {
    if (!m_table)
        throw desk::DbError(QStringLiteral("予約データに接続されていません。"));
    return *m_table;
}

void ReservationClass::requireCurrent(const char* operation) {
    table().require(m_entry.number, operation);
}

qint32 ReservationClass::ReserveNoCheck(qint32 number) {
    return table().find(number) ? 0 : number;
}

void ReservationClass::ChkIn() {
    requireCurrent("ChkIn");
    desk::RowSet& rs = table().rows();
    rs.setValue(QStringLiteral("Rvchkflg"), true);
    rs.update();
}

void ReservationClass::Msave() {
    // A new reservation is never checked in, whatever CheckInFlg holds.
    table().add(m_entry);
}

void ReservationClass::Medit() {
    requireCurrent("Medit");
    table().rewrite(m_entry, m_entry.checkedIn);
}

void ReservationClass::Mdelete() {
    requireCurrent("Mdelete");
    table().rows().remove();
}

void ReservationClass::EDsearch() {
    if (!table().find(m_entry.number)) {
        m_entry.number = 0;
        return;
    }
    // Read whole first, so a refused value leaves the properties as they were.
    m_entry = table().current();
}

void ReservationClass::SendReserveNo() {
    m_entry.number = table().nextNumber();
}

desk::RowSet* ReservationClass::RsSLNo() const {
    return m_table ? m_table->highestRows() : nullptr;
}

std::unique_ptr<desk::RowSet> ReservationClass::RsResv() {
    return ReserveTable::onDay(table().sharedConnection(), m_entry.useDate);
}

void ReservationClass::setReserveDate(const QString& dayText) {
    m_entry.useDate = desk::convert::dateOfDayText(dayText);
}

} // namespace bookingsvc
