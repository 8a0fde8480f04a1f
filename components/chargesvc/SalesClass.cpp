#include "SalesClass.h"

#include "SalesSlip.h"
#include "SalesSlipStore.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"

namespace chargesvc {

SalesClass::SalesClass() = default;
SalesClass::~SalesClass() = default;

void SalesClass::CntDb() {
    m_store = std::make_unique<SalesSlipStore>(SalesSlipStore::open(m_dirPath));
}

SalesSlipStore& SalesClass::store() const {
    if (!m_store)
        throw desk::DbError(QStringLiteral("売上データに接続されていません (CntDb が呼ばれていません)。"));
    return *m_store;
}

desk::Connection& SalesClass::connection() const {
    return store().connection();
}

void SalesClass::setSalesDate(const QDate& value) {
    m_salesDate = value.isValid() ? desk::convert::shortDateText(value) : QString();
}

void SalesClass::setSServiceFee(double value) {
    m_serviceFee = desk::convert::toInt32(value);
}

bool SalesClass::SalesNoTaken() const {
    return store().isTaken(m_salesNo);
}

namespace {

slipkit::SlipHeader headerOf(qint32 number, const QString& dateText, const QString& checkInNo, qint16 salesClass) {
    slipkit::SlipHeader header{number, {}, checkInNo, salesClass};
    if (!dateText.isEmpty()) {
        header.date = QDate::fromString(dateText, QStringLiteral("yyyy/MM/dd"));
        if (!header.date.isValid())
            throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                        QStringLiteral("売上日付 '%1' は日付ではありません。").arg(dateText));
    }
    return header;
}

} // namespace

// A slip is its lines: without any (a work table emptied meanwhile), with a line whose
// quantity was never written, or beyond the bill, it is refused before anything is written.
void SalesClass::refuseUnsavable() const {
    const SalesSlip slip{{}, store().workLines()};
    if (const auto refusal = slip.saveRefusal())
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, *refusal);
}

void SalesClass::writeLines() {
    if (store().copyWorkLines(m_salesNo) == 0)
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, QStringLiteral("明細がありません。"));
}

void SalesClass::Msave() {
    SalesSlipStore& slips = store();
    const slipkit::SlipHeader header = headerOf(m_salesNo, m_salesDate, m_checkInNo, m_salesClass);
    desk::Transaction transaction(slips.connection());
    // The unique key refuses it too; this says so in words the clerk can act on.
    if (slips.isTaken(m_salesNo))
        throw desk::DbError(
            QStringLiteral("売上番号 %1 は既に登録されています。番号を取り直してください。").arg(m_salesNo));
    refuseUnsavable();
    slips.insertHeader(header);
    writeLines();
    transaction.commit();
}

void SalesClass::MDsave() {
    desk::Transaction transaction(store().connection());
    refuseUnsavable();
    writeLines();
    transaction.commit();
}

void SalesClass::Medit() {
    if (!store().rewriteHeader(headerOf(m_salesNo, m_salesDate, m_checkInNo, m_salesClass)))
        throw desk::DbError(QStringLiteral("訂正する売上伝票 (番号 %1) が見つかりません。").arg(m_salesNo));
}

void SalesClass::MeditD1() {
    store().deleteLines(m_salesNo);
}

void SalesClass::Mdelete() {
    SalesSlipStore& slips = store();
    // A header never goes without its lines.
    desk::Transaction transaction(slips.connection());
    if (!slips.deleteHeader(m_salesNo))
        throw desk::DbError(QStringLiteral("削除する売上伝票 (番号 %1) が見つかりません。").arg(m_salesNo));
    slips.deleteLines(m_salesNo);
    transaction.commit();
}

void SalesClass::EDsearch() {
    SalesSlipStore& slips = store();
    const std::optional<slipkit::SlipHeader> header = slips.header(m_salesNo);
    if (!header) {
        m_salesNo = 0;
        return;
    }
    desk::Transaction transaction(slips.connection());
    slips.loadIntoWork(header->number);
    transaction.commit();

    m_salesNo = header->number;
    setSalesDate(header->date);
    m_checkInNo = header->checkInNo;
    m_salesClass = header->kind;
}

void SalesClass::SendSalesNo() {
    m_salesNo = store().nextNumber();
}

void SalesClass::ClearTemp() {
    store().clearWork();
}

} // namespace chargesvc
