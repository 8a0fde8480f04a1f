#include "PaymentSlipBook.h"

#include "PaymentSlip.h"
#include "PaymentSlipStore.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"

namespace paymentsvc {

PaymentSlipBook::PaymentSlipBook(QString dirPath)
    : SlipBookOf(std::move(dirPath), QStringLiteral("入金伝票")) {}

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

} // namespace paymentsvc
