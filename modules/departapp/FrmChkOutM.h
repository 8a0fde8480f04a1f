#pragma once

#include "CheckOutGuest.h"

#include "entry/ModuleContext.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;

namespace Ui {
class FrmChkOutM;
}

namespace departapp {

class FrmChkOut;

// "チェックアウト": the check-out module's main window. The clerk types a check-in number
// and leaves the box to find the guest (guests already checked out are found too), then
// runs the settlement (FrmChkOut) for that guest. This window hides while the settlement
// window is open and comes back when it closes, for the next guest.
class FrmChkOutM : public QWidget {
    Q_OBJECT

public:
    explicit FrmChkOutM(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmChkOutM() override;

    // The settlement window while it is open.
    FrmChkOut* checkOutWindow() const;
    // The guest of number settled in one step: looked up (an unknown number is told) and
    // the settlement window opened with the statement worked out for the date it offers.
    void settle(const QString& number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ChkOutGuestFind();
    void CmdRun_Click();
    void settlementClosed();
    void forgetGuest();
    void setGuidance(const QString& text);

    std::unique_ptr<Ui::FrmChkOutM> m_ui;
    desk::ModuleContext& m_context;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    CheckOutGuest m_guest;
    QPointer<FrmChkOut> m_chkOut;
};

} // namespace departapp
