#pragma once

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "slipkit/SlipBook.h"

#include <QString>

#include <utility>

namespace slipkit {

// The use cases every kind of slip runs the same way, over the kind's store and slip value:
// the store opens the kind's file and reads and writes its tables (open, connection,
// nextNumber, isTaken, insertHeader, copyWorkLines, deleteHeader, deleteLines, header,
// loadIntoWork, workLines, clearWork); the slip, made of a header and the work lines, says
// why it may not be saved (saveRefusal). A kind adds its own correction.
template <class Store, class Slip> class SlipBookOf : public SlipBook {
public:
    // slipName names the kind in messages: "売上伝票", "入金伝票".
    SlipBookOf(QString dirPath, QString slipName)
        : m_dirPath(std::move(dirPath))
        , m_slipName(std::move(slipName)) {}

    qint32 nextNumber() override { return Store::open(m_dirPath).nextNumber(); }

    Registration registerSlip(const SlipHeader& header) override {
        Store store = Store::open(m_dirPath);
        {
            desk::Transaction transaction(store.connection());
            if (!store.isTaken(header.number)) {
                refuseUnlessSavable(store, header);
                store.insertHeader(header);
                writeLines(store, header.number);
                transaction.commit();
                return {Registration::Outcome::Saved, header.number, 0};
            }
        }
        // Another desk saved under this number since it was proposed: the lines stay.
        return {Registration::Outcome::NumberTaken, header.number, store.nextNumber()};
    }

    void deleteSlip(qint32 number) override {
        Store store = Store::open(m_dirPath);
        desk::Transaction transaction(store.connection());
        if (!store.deleteHeader(number))
            throw desk::DbError(QStringLiteral("削除する%1 (番号 %2) が見つかりません。").arg(m_slipName).arg(number));
        store.deleteLines(number);
        store.clearWork();
        transaction.commit();
    }

    std::optional<SlipHeader> callUp(qint32 number) override {
        Store store = Store::open(m_dirPath);
        desk::Transaction transaction(store.connection());
        store.clearWork();
        const std::optional<SlipHeader> header = store.header(number);
        if (header)
            store.loadIntoWork(header->number);
        transaction.commit();
        return header;
    }

    void clearWork() override { Store::open(m_dirPath).clearWork(); }

    // The lines of the slip on screen: this desk's work lines, as a save takes them.
    auto workLines() const { return Store::open(m_dirPath).workLines(); }

protected:
    // The slip of the work lines under a header, refused in the clerk's words when the rules
    // of the kind do not let it be saved.
    static void refuseUnlessSavable(const Store& store, const SlipHeader& header) {
        const Slip slip{header, store.workLines()};
        if (const auto refusal = slip.saveRefusal())
            throw desk::ConversionError(desk::ConversionError::Kind::Refused, *refusal);
    }

    // The work lines copied under the number and emptied; none is a refusal.
    static void writeLines(Store& store, qint32 number) {
        if (store.copyWorkLines(number) == 0)
            throw desk::ConversionError(desk::ConversionError::Kind::Refused, QStringLiteral("明細がありません。"));
        store.clearWork();
    }

    QString m_dirPath;
    QString m_slipName;
};

} // namespace slipkit
