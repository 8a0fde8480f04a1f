#include "SalesSlipBook.h"

#include "SalesSlip.h"
#include "SalesSlipStore.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"

namespace chargesvc {

namespace {

// The slip of the work lines under a header, refused in the clerk's words when the rules
// of a slip do not let it be saved.
void refuseUnlessSavable(const SalesSlipStore& store, const slipkit::SlipHeader& header) {
    const SalesSlip slip{header, store.workLines()};
    if (const auto refusal = slip.saveRefusal())
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, *refusal);
}

void writeLines(SalesSlipStore& store, qint32 number) {
    if (store.copyWorkLines(number) == 0)
        throw desk::ConversionError(desk::ConversionError::Kind::Refused, QStringLiteral("明細がありません。"));
    store.clearWork();
}

} // namespace

SalesSlipBook::SalesSlipBook(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

qint32 SalesSlipBook::nextNumber() {
    return SalesSlipStore::open(m_dirPath).nextNumber();
}

slipkit::Registration SalesSlipBook::registerSlip(const slipkit::SlipHeader& header) {
    SalesSlipStore store = SalesSlipStore::open(m_dirPath);
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

void SalesSlipBook::deleteSlip(qint32 number) {
    SalesSlipStore store = SalesSlipStore::open(m_dirPath);
    desk::Transaction transaction(store.connection());
    if (!store.deleteHeader(number))
        throw desk::DbError(QStringLiteral("削除する売上伝票 (番号 %1) が見つかりません。").arg(number));
    store.deleteLines(number);
    store.clearWork();
    transaction.commit();
}

std::optional<slipkit::SlipHeader> SalesSlipBook::callUp(qint32 number) {
    SalesSlipStore store = SalesSlipStore::open(m_dirPath);
    desk::Transaction transaction(store.connection());
    store.clearWork();
    const std::optional<slipkit::SlipHeader> header = store.header(number);
    if (header)
        store.loadIntoWork(header->number);
    transaction.commit();
    return header;
}

QList<SalesSlipLine> SalesSlipBook::workLines() const {
    return SalesSlipStore::open(m_dirPath).workLines();
}

void SalesSlipBook::clearWork() {
    SalesSlipStore::open(m_dirPath).clearWork();
}

} // namespace chargesvc
