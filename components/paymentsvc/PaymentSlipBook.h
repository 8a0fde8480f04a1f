#pragma once

#include "paymentsvc/PaymentSlip.h"
#include "slipkit/SlipBook.h"

#include <QString>

namespace paymentsvc {

// The use cases of payment slips, one transaction each on BTRecipt.mdb of a data directory:
// register, correct, delete and call up a slip, propose its number, empty the work lines.
// A slip's lines are this desk's lines of BTReciptTemp; they are checked by the rules of
// PaymentSlip (lines, amounts) before anything is written.
class PaymentSlipBook : public slipkit::SlipBook {
public:
    explicit PaymentSlipBook(QString dirPath);

    qint32 nextNumber() override;
    slipkit::Registration registerSlip(const slipkit::SlipHeader& header) override;
    // The slip may get another number; one that another slip has is refused (DbError).
    void correctSlip(qint32 calledUp, const slipkit::SlipHeader& header) override;
    void deleteSlip(qint32 number) override;
    std::optional<slipkit::SlipHeader> callUp(qint32 number) override;
    void clearWork() override;
    // The lines of the slip on screen: this desk's work lines, as a save takes them.
    QList<PaymentSlipLine> workLines() const;

private:
    QString m_dirPath;
};

} // namespace paymentsvc
