#pragma once

#include "departsvc/Statement.h"
#include "report/Report.h"

#include <QDate>

namespace departapp {

// "請求書": the bill handed to the guest at check-out. Prints the statement the window worked
// out, as this desk's CheckOutTemp holds it, under the inn's profile, the guest, the dates
// and the amount to be paid (the statement's last line, "請求額"), then the base and tax of
// each rate. Opens its own row set on dbOptionBT.mdb for the lines.
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

    DataReport1(const QString& dirPath, const Bill& bill, const departsvc::Statement& statement,
                const desk::CompanyProfile& profile, QObject* parent = nullptr);

protected:
    void onJobFinished(desk::JobKind kind, bool completed) override;

private:
    void layOut(const QList<departsvc::Statement::RateBlock>& blocks, bool anyReduced);
    void markCheckedOut();

    QString m_dirPath;
    Bill m_bill;
};

} // namespace departapp
