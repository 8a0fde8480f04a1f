#include "ReservationClass.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QVariant>

namespace bookingsvc {

ReservationClass::ReservationClass() = default;

// Row sets go before the connection they run on.
ReservationClass::~ReservationClass() {
    m_rsSLNo.reset();
    m_rsReserve.reset();
    m_connection.reset();
}

void ReservationClass::CntDb() {
    m_rsSLNo.reset();
    m_rsReserve.reset();
    m_connection = desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::Reservation));
    m_rsReserve = std::make_unique<desk::RowSet>(m_connection, QStringLiteral("Reserve"));
}

desk::Connection& ReservationClass::connection() const {
    if (!m_connection)
        throw desk::DbError(QStringLiteral("予約データに接続されていません。"));
    return *m_connection;
}

desk::RowSet& ReservationClass::table() const {
    if (!m_rsReserve)
        throw desk::DbError(QStringLiteral("予約データに接続されていません。"));
    return *m_rsReserve;
}

bool ReservationClass::lookUp(const QString& criterion) {
    return table().find(criterion);
}

void ReservationClass::requireCurrent(const char* operation) {
    if (!lookUp(QStringLiteral("RvNo =") + QString::number(m_reserveNo)))
        throw desk::DbError(
            QStringLiteral("予約番号 %1 の予約がありません。(%2)").arg(m_reserveNo).arg(QLatin1String(operation)));
}

qint32 ReservationClass::ReserveNoCheck(qint32 number) {
    return lookUp(QStringLiteral("RvNo = ") + QString::number(number)) ? 0 : number;
}

void ReservationClass::ChkIn() {
    requireCurrent("ChkIn");
    desk::RowSet& rs = table();
    rs.setValue(QStringLiteral("Rvchkflg"), true);
    rs.update();
}

void ReservationClass::writeColumns(bool checkedIn) {
    desk::RowSet& rs = table();
    rs.setValue(QStringLiteral("RvNo"), m_reserveNo);
    rs.setValue(QStringLiteral("RvUseDate"), desk::convert::dateOrNull(m_reserveDate));
    rs.setValue(QStringLiteral("RvDate"), desk::convert::dateOrNull(m_recieveDate));
    rs.setValue(QStringLiteral("RvName"), m_cliantName);
    rs.setValue(QStringLiteral("RvAddress1"), m_address1);
    rs.setValue(QStringLiteral("RvAddress2"), m_address2);
    rs.setValue(QStringLiteral("RvAddress3"), m_address3);
    rs.setValue(QStringLiteral("RvZip"), m_zipCode);
    rs.setValue(QStringLiteral("RvTelNo"), m_telNo);
    rs.setValue(QStringLiteral("RvClNumber"), m_quantity);
    rs.setValue(QStringLiteral("RvBadget"), m_badget);
    rs.setValue(QStringLiteral("RvArvtime"), m_arvTime);
    rs.setValue(QStringLiteral("RvChkInTime"), m_arvTimeChkIn);
    rs.setValue(QStringLiteral("RvRemarks1"), m_clRemarks);
    rs.setValue(QStringLiteral("RvGroupe"), m_clGroupeName);
    rs.setValue(QStringLiteral("RvTravelAg"), m_clTravelAg);
    rs.setValue(QStringLiteral("Rvchkflg"), checkedIn);
    rs.setValue(QStringLiteral("RvProc"), QStringLiteral("o"));
    rs.update();
}

void ReservationClass::Msave() {
    // A new reservation is never checked in, whatever CheckInFlg holds.
    table().addNew();
    writeColumns(false);
}

void ReservationClass::Medit() {
    requireCurrent("Medit");
    writeColumns(m_checkInFlg);
}

void ReservationClass::Mdelete() {
    requireCurrent("Mdelete");
    table().remove();
}

void ReservationClass::EDsearch() {
    if (!lookUp(QStringLiteral("RvNo =") + QString::number(m_reserveNo))) {
        m_reserveNo = 0;
        return;
    }
    // Read everything first, so a refused value leaves the properties as they were.
    const desk::RowSet& rs = table();
    const qint32 reserveNo = desk::convert::int32Of(rs.value(QStringLiteral("RvNo")));
    const QDate reserveDate = desk::convert::dateOf(rs.value(QStringLiteral("RvUseDate")));
    const QDate recieveDate = desk::convert::dateOf(rs.value(QStringLiteral("RvDate")));
    const QString cliantName = desk::convert::textOf(rs.value(QStringLiteral("RvName")));
    const QString address1 = desk::convert::textOf(rs.value(QStringLiteral("RvAddress1")));
    const QString address2 = desk::convert::textOf(rs.value(QStringLiteral("RvAddress2")));
    const QString address3 = desk::convert::textOf(rs.value(QStringLiteral("RvAddress3")));
    const QString zipCode = desk::convert::textOf(rs.value(QStringLiteral("RvZip")));
    const QString telNo = desk::convert::textOf(rs.value(QStringLiteral("RvTelNo")));
    const qint32 quantity = desk::convert::int32Of(rs.value(QStringLiteral("RvClNumber")));
    const qint32 badget = desk::convert::int32Of(rs.value(QStringLiteral("RvBadget")));
    const QString clRemarks = desk::convert::textOf(rs.value(QStringLiteral("RvRemarks1")));
    const QString arvTime = desk::convert::textOf(rs.value(QStringLiteral("RvArvtime")));
    const QString arvTimeChkIn = desk::convert::textOf(rs.value(QStringLiteral("RvChkInTime")));
    const QString clGroupeName = desk::convert::textOf(rs.value(QStringLiteral("RvGroupe")));
    const QString clTravelAg = desk::convert::textOf(rs.value(QStringLiteral("RvTravelAg")));
    const bool checkInFlg = rs.value(QStringLiteral("Rvchkflg")).toBool();

    m_reserveNo = reserveNo;
    m_reserveDate = reserveDate;
    m_recieveDate = recieveDate;
    m_cliantName = cliantName;
    m_address1 = address1;
    m_address2 = address2;
    m_address3 = address3;
    m_zipCode = zipCode;
    m_telNo = telNo;
    m_quantity = quantity;
    m_badget = badget;
    m_clRemarks = clRemarks;
    m_arvTime = arvTime;
    m_arvTimeChkIn = arvTimeChkIn;
    m_clGroupeName = clGroupeName;
    m_clTravelAg = clTravelAg;
    m_checkInFlg = checkInFlg;
}

void ReservationClass::SendReserveNo() {
    // An empty table starts at 1 without asking for a maximum.
    if (table().isEmpty()) {
        m_reserveNo = 1;
        return;
    }
    m_rsSLNo =
        std::make_unique<desk::RowSet>(m_connection, QStringLiteral("SELECT Max(Reserve!RvNo) as RvNoM FROM Reserve"));
    m_reserveNo = desk::convert::addInt32(desk::convert::int32Of(m_rsSLNo->value(QStringLiteral("rvnom"))), 1);
}

std::unique_ptr<desk::RowSet> ReservationClass::RsResv() {
    table(); // refuses before CntDb
    if (!m_reserveDate.isValid())
        throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                    QStringLiteral("利用日が設定されていません。"));
    return std::make_unique<desk::RowSet>(m_connection, QStringLiteral("SELECT * FROM Reserve WHERE RvUseDate = ") +
                                                            desk::Sql::dateLiteral(m_reserveDate));
}

void ReservationClass::setReserveDate(const QString& dayText) {
    m_reserveDate = desk::convert::dateOfDayText(dayText);
}

} // namespace bookingsvc
