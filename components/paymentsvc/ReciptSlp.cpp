#include "ReciptSlp.h"

#include "PaymentSlip.h"
#include "PaymentSlipStore.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"

namespace paymentsvc {

namespace {

// A payment number held as text, as a whole number; anything else is refused before a write.
qint32 slipNumber(const QString& number) {
    bool ok = false;
    const double value = number.trimmed().toDouble(&ok);
    if (!ok)
        throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                    QStringLiteral("入金番号 '%1' は数値ではありません。").arg(number));
    return desk::convert::toInt32(value);
}

} // namespace

ReciptSlp::ReciptSlp() = default;
ReciptSlp::~ReciptSlp() = default;

void ReciptSlp::CntDb() {
    m_lines.reset();
    m_store = std::make_unique<PaymentSlipStore>(PaymentSlipStore::open(m_dirPath));
    m_lines = std::make_unique<desk::RowSet>(m_store->sharedConnection(), QStringLiteral("BTPaymentDtl"));
}

PaymentSlipStore& ReciptSlp::store() const {
    if (!m_store)
        throw desk::DbError(QStringLiteral("入金データに接続されていません (CntDb が呼ばれていません)。"));
    return *m_store;
}

desk::Connection& ReciptSlp::connection() const {
    return store().connection();
}

slipkit::SlipHeader ReciptSlp::header() const {
    return {slipNumber(m_slipNo), m_slipDate, m_cliantCode, m_kind};
}

// A slip is its lines: without any (a work table emptied meanwhile), or with a line whose
// amount was never written, it is refused before anything is written.
void ReciptSlp::refuseUnsavable() const {
    const PaymentSlip slip{{}, store().workLines()};
    if (const auto refusal = slip.saveRefusal())
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, *refusal);
}

QString ReciptSlp::DispSlip(const QString& number) {
    const auto found = store().header(number);
    return found ? QString::number(found->number) : QStringLiteral("");
}

QString ReciptSlp::DuplicateCheck(const QString& number) {
    return store().header(number) ? QStringLiteral("X") : QStringLiteral("");
}

void ReciptSlp::Msave() {
    PaymentSlipStore& slips = store();
    const slipkit::SlipHeader slip = header();
    desk::Transaction transaction(slips.connection());
    // The unique key refuses it too; this says so in words the clerk can act on.
    if (slips.isTaken(slip.number))
        throw desk::DbError(
            QStringLiteral("入金番号 %1 は既に登録されています。番号を取り直してください。").arg(slip.number));
    refuseUnsavable();
    slips.insertHeader(slip);
    transaction.commit();
}

void ReciptSlp::MDsave() {
    PaymentSlipStore& slips = store();
    const qint32 number = slipNumber(m_slipNo);
    desk::Transaction transaction(slips.connection());
    refuseUnsavable();
    if (slips.copyWorkLines(number) == 0)
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, QStringLiteral("明細がありません。"));
    transaction.commit();
}

void ReciptSlp::Medit() {
    PaymentSlipStore& slips = store();
    const slipkit::SlipHeader slip = header();
    const std::optional<slipkit::SlipHeader> current = slips.header(m_slipNo2);
    if (!current)
        throw desk::DbError(QStringLiteral("訂正する入金伝票 (番号 %1) が見つかりません。").arg(m_slipNo2));
    desk::Transaction transaction(slips.connection());
    if (slip.number != current->number && slips.isTaken(slip.number))
        throw desk::DbError(
            QStringLiteral("入金番号 %1 は既に登録されています。番号を取り直してください。").arg(slip.number));
    slips.rewriteHeader(current->number, slip);
    transaction.commit();
}

void ReciptSlp::MeditD1() {
    store().deleteLines(slipNumber(m_slipNo2));
}

void ReciptSlp::Mdelete() {
    PaymentSlipStore& slips = store();
    const std::optional<slipkit::SlipHeader> current = slips.header(m_slipNo2);
    if (!current)
        throw desk::DbError(QStringLiteral("削除する入金伝票 (番号 %1) が見つかりません。").arg(m_slipNo2));
    desk::Transaction transaction(slips.connection());
    slips.deleteHeader(current->number);
    slips.deleteLines(current->number);
    transaction.commit();
}

void ReciptSlp::EDsearch() {
    PaymentSlipStore& slips = store();
    const std::optional<slipkit::SlipHeader> found = slips.header(m_slipNo);
    if (!found) {
        m_slipNo = QStringLiteral("0");
        return;
    }
    desk::Transaction transaction(slips.connection());
    slips.loadIntoWork(found->number);
    transaction.commit();

    m_slipNo = QString::number(found->number);
    m_slipDate = found->date;
    m_cliantCode = found->checkInNo;
    m_kind = found->kind;
}

void ReciptSlp::SendReciptNo() {
    m_slipNo = QString::number(store().nextNumber());
}

void ReciptSlp::ClearTemp() {
    store().clearWork();
}

} // namespace paymentsvc
