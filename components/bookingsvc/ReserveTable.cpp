#include "ReserveTable.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QVariant>

#include <algorithm>

namespace bookingsvc {

namespace {

QString numberCriterion(qint32 number) {
    return QStringLiteral("RvNo = ") + QString::number(number);
}

} // namespace

ReserveTable::ReserveTable(const QString& dirPath)
    : m_connection(desk::Connection::open(dirPath, QLatin1String(desk::DbFile::Reservation)))
    , m_rows(std::make_unique<desk::RowSet>(m_connection, QStringLiteral("Reserve"))) {}

// Row sets go before the connection they run on.
ReserveTable::~ReserveTable() {
    m_highest.reset();
    m_rows.reset();
}

bool ReserveTable::find(qint32 number) {
    return m_rows->find(numberCriterion(number));
}

void ReserveTable::require(qint32 number, const char* operation) {
    if (!find(number))
        throw desk::DbError(
            QStringLiteral("予約番号 %1 の予約がありません。(%2)").arg(number).arg(QLatin1String(operation)));
}

Reservation ReserveTable::current() const {
    using namespace desk::convert;
    const desk::RowSet& rs = *m_rows;
    const auto text = [&rs](const char* column) {
        return textOf(rs.value(QLatin1String(column)));
    };
    Reservation r;
    r.number = int32Of(rs.value(QStringLiteral("RvNo")));
    r.useDate = dateOf(rs.value(QStringLiteral("RvUseDate")));
    r.receivedOn = dateOf(rs.value(QStringLiteral("RvDate")));
    r.guestName = text("RvName");
    r.address1 = text("RvAddress1");
    r.address2 = text("RvAddress2");
    r.address3 = text("RvAddress3");
    r.zipCode = text("RvZip");
    r.telNo = text("RvTelNo");
    r.guests = int32Of(rs.value(QStringLiteral("RvClNumber")));
    r.budget = int32Of(rs.value(QStringLiteral("RvBadget")));
    r.remarks = text("RvRemarks1");
    r.arrivalTime = text("RvArvtime");
    r.checkInTime = text("RvChkInTime");
    r.groupName = text("RvGroupe");
    r.travelAgent = text("RvTravelAg");
    r.checkedIn = rs.value(QStringLiteral("Rvchkflg")).toBool();
    r.nights = std::max(1, int32Of(rs.value(QStringLiteral("RvNights"))));
    r.plan = text("RvPlan");
    r.childPlan = text("RvChildPlan");
    r.children = int32Of(rs.value(QStringLiteral("RvChildren")));
    r.mealNote = text("RvMealNote");
    return r;
}

void ReserveTable::write(const Reservation& entry, bool checkedIn) {
    desk::RowSet& rs = *m_rows;
    rs.setValue(QStringLiteral("RvNo"), entry.number);
    rs.setValue(QStringLiteral("RvUseDate"), desk::convert::dateOrNull(entry.useDate));
    rs.setValue(QStringLiteral("RvDate"), desk::convert::dateOrNull(entry.receivedOn));
    rs.setValue(QStringLiteral("RvName"), entry.guestName);
    rs.setValue(QStringLiteral("RvAddress1"), entry.address1);
    rs.setValue(QStringLiteral("RvAddress2"), entry.address2);
    rs.setValue(QStringLiteral("RvAddress3"), entry.address3);
    rs.setValue(QStringLiteral("RvZip"), entry.zipCode);
    rs.setValue(QStringLiteral("RvTelNo"), entry.telNo);
    rs.setValue(QStringLiteral("RvClNumber"), entry.guests);
    rs.setValue(QStringLiteral("RvBadget"), entry.budget);
    rs.setValue(QStringLiteral("RvArvtime"), entry.arrivalTime);
    rs.setValue(QStringLiteral("RvChkInTime"), entry.checkInTime);
    rs.setValue(QStringLiteral("RvRemarks1"), entry.remarks);
    rs.setValue(QStringLiteral("RvGroupe"), entry.groupName);
    rs.setValue(QStringLiteral("RvTravelAg"), entry.travelAgent);
    rs.setValue(QStringLiteral("Rvchkflg"), checkedIn);
    rs.setValue(QStringLiteral("RvProc"), QStringLiteral("o"));
    rs.setValue(QStringLiteral("RvNights"), entry.nights);
    rs.setValue(QStringLiteral("RvPlan"), entry.plan);
    rs.setValue(QStringLiteral("RvChildPlan"), entry.childPlan);
    rs.setValue(QStringLiteral("RvChildren"), entry.children);
    rs.setValue(QStringLiteral("RvMealNote"), entry.mealNote);
    rs.update();
}

void ReserveTable::add(const Reservation& entry) {
    m_rows->addNew();
    write(entry, false);
}

void ReserveTable::rewrite(const Reservation& entry, bool checkedIn) {
    write(entry, checkedIn);
}

qint32 ReserveTable::nextNumber() {
    // An empty table starts at 1 without asking for a maximum.
    if (m_rows->isEmpty())
        return 1;
    m_highest =
        std::make_unique<desk::RowSet>(m_connection, QStringLiteral("SELECT Max(Reserve!RvNo) as RvNoM FROM Reserve"));
    return desk::convert::addInt32(desk::convert::int32Of(m_highest->value(QStringLiteral("rvnom"))), 1);
}

std::unique_ptr<desk::RowSet> ReserveTable::onDay(const std::shared_ptr<desk::Connection>& connection,
                                                  const QDate& useDate) {
    if (!useDate.isValid())
        throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                    QStringLiteral("利用日が設定されていません。"));
    return std::make_unique<desk::RowSet>(connection, QStringLiteral("SELECT * FROM Reserve WHERE RvUseDate = ") +
                                                          desk::Sql::dateLiteral(useDate));
}

} // namespace bookingsvc
