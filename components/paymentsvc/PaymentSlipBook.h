#pragma once

#include "paymentsvc/PaymentSlip.h"
#include "paymentsvc/PaymentSlipStore.h"
#include "slipkit/SlipBookOf.h"

#include <QString>

namespace paymentsvc {

// The use cases of payment slips, one transaction each on BTRecipt.mdb of a data directory:
// register, correct, delete and call up a slip, propose its number, empty the work lines.
// A slip's lines are this desk's lines of BTReciptTemp; they are checked by the rules of
// PaymentSlip (lines, amounts) before anything is written.
class PaymentSlipBook : public slipkit::SlipBookOf<PaymentSlipStore, PaymentSlip> {
public:
    explicit PaymentSlipBook(QString dirPath);

    // The slip may get another number; one that another slip has is refused (DbError).
    void correctSlip(qint32 calledUp, const slipkit::SlipHeader& header) override;
};

} // namespace paymentsvc
