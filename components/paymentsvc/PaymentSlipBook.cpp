#include "PaymentSlipBook.h"

#include "PaymentSlip.h"
#include "PaymentSlipStore.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"

namespace paymentsvc {

namespace {

void refuseUnlessSavable(const PaymentSlipStore& store, const slipkit::SlipHeader& header) {
    const PaymentSlip slip{header, store.workLines()};
    if (const auto refusal = slip.saveRefusal())
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, *refusal);
}

void writeLines(PaymentSlipStore& store, qint32 number) {
    if (store.copyWorkLines(number) == 0)
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, QStringLiteral("明細がありません。"));
    store.clearWork();
}

} // namespace

PaymentSlipBook::PaymentSlipBook(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

qint32 PaymentSlipBook::nextNumber() {
    return PaymentSlipStore::open(m_dirPath).nextNumber();
}

slipkit::Registration PaymentSlipBook::registerSlip(const slipkit::SlipHeader& header) {
    PaymentSlipStore store = PaymentSlipStore::open(m_dirPath);
    {
        desk::Transaction transaction(store.connection());
        if (!store.isTaken(header.number)) {
            refuseUnlessSavable(store, header);
            store.insertHeader(header);
            writeLines(store, header.number);
            transaction.commit();
            return {slipkit::Registration::Outcome::Saved, header.number, 0};
        }
    }
    // Another desk saved under this number since it was proposed: the lines stay.
    return {slipkit::Registration::Outcome::NumberTaken, header.number, store.nextNumber()};
}

void PaymentSlipBook::correctSlip(qint32 calledUp, const slipkit::SlipHeader& header) {
    PaymentSlipStore store = PaymentSlipStore::open(m_dirPath);
    desk::Transaction transaction(store.connection());
    if (header.number != calledUp && store.isTaken(header.number))
        throw desk::DbError(
            QStringLiteral("入金番号 %1 は既に登録されています。番号を取り直してください。").arg(header.number));
    refuseUnlessSavable(store, header);
    if (!store.rewriteHeader(calledUp, header))
        throw desk::DbError(QStringLiteral("訂正する入金伝票 (番号 %1) が見つかりません。").arg(calledUp));
    store.deleteLines(calledUp);
    writeLines(store, header.number);
    transaction.commit();
}

void PaymentSlipBook::deleteSlip(qint32 number) {
    PaymentSlipStore store = PaymentSlipStore::open(m_dirPath);
    desk::Transaction transaction(store.connection());
    if (!store.deleteHeader(number))
        throw desk::DbError(QStringLiteral("削除する入金伝票 (番号 %1) が見つかりません。").arg(number));
    store.deleteLines(number);
    store.clearWork();
    transaction.commit();
}

std::optional<slipkit::SlipHeader> PaymentSlipBook::callUp(qint32 number) {
    PaymentSlipStore store = PaymentSlipStore::open(m_dirPath);
    desk::Transaction transaction(store.connection());
    store.clearWork();
    const std::optional<slipkit::SlipHeader> header = store.header(number);
    if (header)
        store.loadIntoWork(header->number);
    transaction.commit();
    return header;
}

QList<PaymentSlipLine> PaymentSlipBook::workLines() const {
    return PaymentSlipStore::open(m_dirPath).workLines();
}

void PaymentSlipBook::clearWork() {
    PaymentSlipStore::open(m_dirPath).clearWork();
}

} // namespace paymentsvc
