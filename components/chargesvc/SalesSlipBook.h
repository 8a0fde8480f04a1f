#pragma once

#include "chargesvc/SalesSlip.h"
#include "chargesvc/SalesSlipStore.h"
#include "slipkit/SlipBookOf.h"

#include <QString>

namespace chargesvc {

// The use cases of sales slips, one transaction each on BTSales.mdb of a data directory:
// register, correct, delete and call up a slip, propose its number, empty the work lines.
// A slip's lines are this desk's lines of BTTempSalesDetail; they are checked by the rules
// of SalesSlip (lines, quantities, the bill's limits) before anything is written.
class SalesSlipBook : public slipkit::SlipBookOf<SalesSlipStore, SalesSlip> {
public:
    explicit SalesSlipBook(QString dirPath);

    // A sales slip keeps its number.
    void correctSlip(qint32 calledUp, const slipkit::SlipHeader& header) override;

    // A slip the desk worked out itself (the nights of a stay), saved under the next number
    // with its own lines, the clerk's work lines untouched; nothing is saved when the rules
    // of a slip refuse it (desk::ConversionError) or when the check-in's quantities of the
    // lines' codes are no longer `rungUp` (lines rung up meanwhile at another window or desk):
    // then the number is 0. Check and save run in one transaction.
    qint32 registerWorkedOut(slipkit::SlipHeader header, const QList<SalesSlipLine>& lines,
                             const QHash<QString, double>& rungUp) const;
};

} // namespace chargesvc
