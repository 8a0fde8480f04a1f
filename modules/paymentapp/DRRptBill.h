#pragma once

#include "report/Report.h"

namespace paymentapp {

// What the payment window hands to the receipt when 領収書 is pressed.
struct ReceiptValues {
    QString kind;      // "当日利用入金", "掛入金" or "現金売"
    QString number;    // payment number as shown
    QString dateText;  // year/month/day as typed, not zero-filled
    QString checkInNo; // check-in number as typed
    QString guestName;
    QString roomNo;
    double total = 0; // the window's last running total
    QDate day;        // the slip's date, for the file name; none when not a day
};

// "領収書": the receipt of the payment on screen. Lists this desk's lines of the work table
// as they stand when the report is made, under the inn's profile, the payment's header
// values and the total received. Each report opens its own connection, so every showing
// reads the table afresh.
class DRRptBill : public desk::Report {
    Q_OBJECT

public:
    DRRptBill(const QString& dirPath, const ReceiptValues& values, const desk::CompanyProfile& profile,
              QObject* parent = nullptr);

private:
    void layOut();
};

} // namespace paymentapp
