#pragma once

#include "chargesvc/SalesSlip.h"
#include "entry/ModuleContext.h"
#include "goodssvc/ComodityInn.h"
#include "slipkit/SlipSession.h"
#include "ui/GridColumn.h"

#include <QDate>
#include <QWidget>

#include <memory>
#include <optional>
#include <utility>

namespace Ui {
class FrmSales;
}

namespace desk {
class DataGridModel;
}

namespace chargeapp {

// "売上": the front desk's till. The clerk rings up commodities for a checked-in guest as a
// sales slip in the grid (this desk's lines of the work table BTTempSalesDetail), saves it,
// recalls a saved slip to correct or delete it, and prints it.
//
// The slip on screen is a slipkit::SlipSession over the sales use cases (chargesvc::
// SalesSlipBook); its figures and limits are the rules of chargesvc::SalesSlip.
// New-slip mode: register enabled, correct and delete disabled, no recalled number.
// Recalled mode: register disabled, correct and delete enabled, the recalled number shown.
class FrmSales : public QWidget {
    Q_OBJECT

public:
    explicit FrmSales(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmSales() override;

    // The grid's columns, in the order the line computation numbers them.
    static desk::GridColumns gridColumns();
    // The slip total as last computed (the label shows it "##,###,###").
    qint32 slipTotal() const { return m_total; }
    // A slip for the guest of a check-in number (handed over by the main menu or another
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
    void CmdClear_Click();
    void CmdBill_Click();
    void CmdEnd_Click();
    void DbGridSales_AfterColEdit(int row, int column);
    void DbGridSales_BeforeDelete(int row, const QVariantList& values);
    void DbGridSales_KeyPress(int& key, int column);

    // The procedures of the window.
    void SalesNo();
    // Guest look-up; askCheckedOut asks before taking a guest who has checked out. True when
    // the labels now show the guest of the number typed.
    bool SalesCkInNo(bool askCheckedOut);
    // True when a slip was recalled.
    bool SalesEDmessage();
    // True when the slip was saved.
    bool SalesDataRecorde();
    bool SalesEdit();
    void SalesDelete();
    // What the header boxes hold before a new slip is saved.
    enum class EntryCheck { Complete, MissingField, UnknownGuest };
    EntryCheck SalesDataInputCheck() const;
    void ClearSalesData();
    void SalesTotalCalc();
    void SalesButtonsCalled();
    void SalesButtonsNew();
    void SalesGridOpen();

    // The lines of the slip on screen; lineOnScreen reads one from the grid.
    chargesvc::SalesSlip slipOnScreen() const;
    chargesvc::SalesSlipLine lineOnScreen(int row) const;
    // The header as typed; nothing (and the clerk told) while the date names no real day.
    std::optional<slipkit::SlipHeader> typedHeader();
    void showTotal();
    // Shows a total, or "―" for none (beyond the bill's range).
    void showTotal(std::optional<qint32> total);
    // A short confirmation beside the total that needs no answer; empty clears it.
    void confirm(const QString& text);
    // Today's date offered and the focus in its year, selected: the first box a clerk types into.
    void startNewSlip();
    // Lines on screen that no register or correction has written yet.
    bool hasUnsavedLines() const;
    // Anything on screen a clearing would take away: lines, a guest's number, a recalled
    // slip, a day other than today's offer.
    bool showsAnything() const;
    void lookUpCommodity(int row);
    // The day the date boxes name; nothing while they name no real day.
    std::optional<QDate> slipDate() const;
    // The service and tax rates a new line of the commodity takes; the message line says
    // when the day or a rate in force is missing.
    std::pair<double, double> newLineRates(const goodssvc::ComodityInn::Taxing& taxing);
    // The message line notes a typed tax rate that is not in force on the slip's day.
    void noteRateNotInForce(int row);
    void computeLine(int row, bool withSubtotal);
    // Every line and the slip's total fit; the clerk is told when not.
    bool linesFitTheBill(const chargesvc::SalesSlip& slip);

    std::unique_ptr<Ui::FrmSales> m_ui;
    desk::ModuleContext& m_context;
    slipkit::SlipSession m_session;
    desk::DataGridModel* m_lines = nullptr;
    qint32 m_total = 0;
    // The label shows "―": the lines add up beyond the bill's range.
    bool m_totalBeyond = false;
    bool m_lookingUp = false;
};

} // namespace chargeapp
