#include "SalesSlipBook.h"

#include "SalesSlip.h"
#include "SalesSlipStore.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"

namespace chargesvc {

SalesSlipBook::SalesSlipBook(QString dirPath)
    : SlipBookOf(std::move(dirPath), QStringLiteral("売上伝票")) {}

void SalesSlipBook::correctSlip(qint32 calledUp, const slipkit::SlipHeader& header) {
    SalesSlipStore store = SalesSlipStore::open(m_dirPath);
    desk::Transaction transaction(store.connection());
    // A sales slip keeps its number.
    slipkit::SlipHeader rewritten = header;
    rewritten.number = calledUp;
    if (!store.rewriteHeader(rewritten))
        throw desk::DbError(QStringLiteral("訂正する売上伝票 (番号 %1) が見つかりません。").arg(calledUp));
    refuseUnlessSavable(store, rewritten);
    store.deleteLines(calledUp);
    writeLines(store, calledUp);
    transaction.commit();
}

qint32 SalesSlipBook::registerWorkedOut(slipkit::SlipHeader header, const QList<SalesSlipLine>& lines,
                                        const QHash<QString, double>& rungUp) const {
    SalesSlipStore store = SalesSlipStore::open(m_dirPath);
    desk::Transaction transaction(store.connection());
    const QHash<QString, double> now = store.quantitiesOf(header.checkInNo, rungUp.keys());
    for (auto it = rungUp.cbegin(); it != rungUp.cend(); ++it) {
        if (!qFuzzyCompare(1.0 + now.value(it.key()), 1.0 + it.value()))
            return 0;
    }
    header.number = store.nextNumber();
    const SalesSlip slip{header, lines};
    if (const auto refusal = slip.saveRefusal())
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, *refusal);
    store.insertHeader(header);
    store.insertLines(header.number, lines);
    transaction.commit();
    return header.number;
}

} // namespace chargesvc
