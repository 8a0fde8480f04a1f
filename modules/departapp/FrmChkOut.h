#pragma once

#include "CheckOutGuest.h"

#include "departsvc/NightsOffer.h"
#include "entry/ModuleContext.h"
#include "report/JobKind.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;

namespace Ui {
class FrmChkOut;
}

namespace departsvc {
struct Statement;
}

namespace departapp {

class DataReport1;
class StatementModel;

// The settlement of one guest: the settlement date, the statement worked out once and handed
// to the grid and the bill (this desk's CheckOutTemp holds it meanwhile), and the bill.
// Printing the bill from its preview records the check-out. Closing the window empties the
// statement.
class FrmChkOut : public QWidget {
    Q_OBJECT

public:
    FrmChkOut(desk::ModuleContext& context, const CheckOutGuest& guest, QWidget* parent = nullptr);
    ~FrmChkOut() override;

    // 計算実行: the statement for the date typed, shown in the grid; a date refused is told.
    void computeStatement();

    // The bill last issued, while its preview is open.
    DataReport1* billReport() const;

signals:
    // The window has been closed and its statement emptied.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // True when the three date parts are typed and name a real day; otherwise the clerk
    // has been told and the focus is back in the date.
    bool ChkOutDateCheck();
    // The settlement date as typed; only called once ChkOutDateCheck has taken it.
    QDate settlementDate() const;
    // The statement worked out for the settlement date and shown in the grid.
    departsvc::Statement CheckOutDetailCall();
    void ClearData();
    void CmdRecord_Click();
    void CmdBill_Click();
    // Saves the offered nights as a sales slip and works the statement out again.
    void CmdNights_Click();
    // The offer's lines rung up; false when nights were rung up meanwhile, which has been
    // told and the statement worked out afresh.
    bool ringUpOffer();
    void showOffer();
    void setGuidance(const QString& text);
    // Tells, after a print or an export of the bill, whether the guest is now checked out.
    void billJobFinished(desk::JobKind kind, bool completed);

    std::unique_ptr<Ui::FrmChkOut> m_ui;
    desk::ModuleContext& m_context;
    const CheckOutGuest m_guest;
    StatementModel* m_grid = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    QPointer<DataReport1> m_bill;
    // The nights the statement on screen offers, not saved yet.
    departsvc::NightsOffer m_offer;
};

} // namespace departapp
