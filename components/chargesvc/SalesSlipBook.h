#pragma once

#include "chargesvc/SalesSlip.h"
#include "slipkit/SlipBook.h"

#include <QString>

namespace chargesvc {

// The use cases of sales slips, one transaction each on BTSales.mdb of a data directory:
// register, correct, delete and call up a slip, propose its number, empty the work lines.
// A slip's lines are this desk's lines of BTTempSalesDetail; they are checked by the rules
// of SalesSlip (lines, quantities, the bill's limits) before anything is written.
class SalesSlipBook : public slipkit::SlipBook {
public:
    explicit SalesSlipBook(QString dirPath);

    qint32 nextNumber() override;
    slipkit::Registration registerSlip(const slipkit::SlipHeader& header) override;
    void correctSlip(qint32 calledUp, const slipkit::SlipHeader& header) override;
    void deleteSlip(qint32 number) override;
    std::optional<slipkit::SlipHeader> callUp(qint32 number) override;
    void clearWork() override;
    // The lines of the slip on screen: this desk's work lines, as a save takes them.
    QList<SalesSlipLine> workLines() const;

private:
    QString m_dirPath;
};

} // namespace chargesvc
