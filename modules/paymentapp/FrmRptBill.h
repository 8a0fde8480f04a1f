#pragma once

#include "DRRptBill.h"
#include "entry/ModuleContext.h"
#include "paymentsvc/PaymentSlip.h"
#include "slipkit/SlipSession.h"

#include <QDate>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class FrmRptBill;
}

namespace desk {
class Connection;
class DataGridModel;
} // namespace desk

namespace paymentapp {

// "入金": the payment module's window. The clerk types a payment slip — check-in number,
// date, kind of payment and lines of payment items in the grid over this desk's work
// lines — and registers it under the proposed number; calls an earlier slip up to correct
// or delete it; prints the receipt of what is on screen.
//
// The slip on screen is a slipkit::SlipSession over the payment use cases (paymentsvc::
// PaymentSlipBook); its total and what a save needs are the rules of paymentsvc::PaymentSlip.
// New-entry state: 登録 on, 訂正 and 削除 off. Called-up state (after a successful call-up
// only): 登録 off, 訂正 and 削除 on. Lines not yet written are never closed away without a
// question; lines a crashed window left come back when the window is next opened on this
// desk, and the clerk is told so.
class FrmRptBill : public QWidget {
    Q_OBJECT

public:
    explicit FrmRptBill(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmRptBill() override;

    // The sum of the work lines as last computed; the receipt prints it.
    double runningTotal() const { return m_total; }
    // What 領収書 hands to the receipt, as the screen stands now.
    ReceiptValues receiptValues() const;
    // A payment for the guest of a check-in number (handed over by the main menu or another
    // window): the number filled and looked up, the keys in the first line's code. A slip
    // on screen for another guest, or called up, stays as it is and the message line says so.
    void openForGuest(const QString& number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CmdRecord_Click();
    void CmdCall_Click();
    void CmdModify_Click();
    void CmdDelete_Click();
    void CmdBill_Click();
    void CmdClear_Click();
    void CmdEnd_Click();

    // Shows the guest of the typed check-in number; false when the number is unknown.
    bool ReciptCkInNo();
    void ReciptEDmessage();
    // Calls the slip of number up onto the screen; false when there is none.
    bool showSlip(qint32 number);
    void ClearReciptData();
    void ReciptTotalCalc();
    void ReciptButtonsCalled();
    void ReciptButtonsNew();
    void ReciptNoNext();

    // The lines of the slip on screen: this desk's work lines, as a save takes them.
    paymentsvc::PaymentSlip slipOnScreen() const;
    // The header the clerk typed, after the checks of a save or a correction; nothing (and
    // the clerk told why) when it cannot be written.
    std::optional<slipkit::SlipHeader> checkedEntry();
    void warn(const QString& text);
    void confirm(const QString& text);
    void ReciptGridOpen();
    void refreshGrid();
    void DataGrid1_AfterColEdit(int row, int column);
    void DataGrid1_KeyPress(int& key, int column);
    void DataGrid1_BeforeDelete(const QVariantList& values);
    void showTotal();
    void offerToday();
    // Lines on screen that no register or correction has written yet.
    bool hasUnsavedLines() const;
    // Anything on screen a clearing would take away: lines, a guest's number, a called-up
    // slip, a day other than today's offer.
    bool showsAnything() const;

    std::unique_ptr<Ui::FrmRptBill> m_ui;
    desk::ModuleContext& m_context;
    slipkit::SlipSession m_session;
    desk::DataGridModel* m_lines = nullptr;
    std::shared_ptr<desk::Connection> m_gridConnection;
    double m_total = 0;
    // The slip registered last, while the screen is still the empty one that followed.
    std::optional<qint32> m_registered;
};

} // namespace paymentapp
