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
};

} // namespace chargesvc
