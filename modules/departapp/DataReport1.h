#pragma once

#include "report/Report.h"

#include <QDate>

namespace departapp {

// "請求書": the bill handed to the guest at check-out. Prints this desk's statement in
// CheckOutTemp under the inn's profile, the guest, the dates and the amount to be paid
// (the statement's last row, "請求額"), then the base and tax of each rate. Opens its own
// row set on dbOptionBT.mdb.
//
// An inn with an invoice registration number issues a qualified invoice: the number under
// the inn, the settlement date as the transaction date, and "※" on every line taxed at the
// reduced rate.
//
// A completed print job marks the guest as checked out; a preview, an export, a cancelled
// printer choice or a failed print do not.
class DataReport1 : public desk::Report {
    Q_OBJECT

public:
    // What the issue button hands over, as the screen shows it.
    struct Bill {
        QString checkInDate;
        QString settlementDate;
        QString checkInNo;
        QString guestName; // with " 様"
        QString groupe;
        QString roomNo;
        QString invoiceNo; // empty: the inn issues no qualified invoices
        QDate settledOn;   // recorded as the check-out day once the bill has printed
    };

    DataReport1(const QString& dirPath, const Bill& bill, const desk::CompanyProfile& profile,
                QObject* parent = nullptr);

    const Bill& bill() const { return m_bill; }

protected:
    void onJobFinished(desk::JobKind kind, bool completed) override;

private:
    // One tax row of the statement: its rate, base and tax.
    struct RateBlock {
        double rate = 0;
        double base = 0;
        double tax = 0;
    };

    void layOut(const QList<RateBlock>& blocks, bool anyReduced);
    void markCheckedOut();

    QString m_dirPath;
    Bill m_bill;
};

} // namespace departapp
