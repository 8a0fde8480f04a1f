#pragma once

#include "bookingsvc/Reservation.h"
#include "bookingsvc/StayPlan.h"
#include "entry/ModuleContext.h"

#include <QDate>
#include <QWidget>

#include <memory>
#include <optional>

class QCompleter;

namespace Ui {
class FrmChkIn;
}

namespace arrivalsvc {
struct CheckIn;
}

namespace arrivalapp {

class FrmSpec;
class GuestListModel;

// "チェックイン": checks a guest party in, from one of today's reservations (double click
// or Enter on ListView1 copies it onto the screen) or as a walk-in, and calls an earlier
// check-in up by number to correct or delete it. The five classifications come from the
// companion window FrmSpec, loaded with this one. The party's guests are listed for the
// guest register, the representative first.
//
// Browse state: 登録 enabled, 訂正 and 削除 disabled. Call-up state (after a successful
// call-up only): the reverse.
class FrmChkIn : public QWidget {
    Q_OBJECT

public:
    explicit FrmChkIn(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmChkIn() override;

    FrmSpec* picker() const { return m_spec.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Coming back to the window (activated, or raised by another launch from the menu)
    // reads its lists again: another desk or window may have booked meanwhile.
    bool event(QEvent* event) override;

private:
    void CmdRecord_Click();
    void CmdCall_Click();
    void CmdEdit_Click();
    void CmdDelete_Click();
    void CmdClear_Click();
    void CmdCallOp_Click();
    void ListView1_DblClick();

    void fillReservations();
    // The reservation list and the picker's lists read again; what the clerk typed or chose
    // stays. A failure is told in the message line, never in a box (whose closing would
    // activate the window and read again).
    void refreshLists();
    void offerToday();
    // The number of required items left empty (number, the three date parts, name, room, guests).
    int ChkInDataCheck() const;
    // The day the three date boxes name, or a refusal shown and nothing.
    std::optional<QDate> typedDate();
    // The check-in as the boxes give it, for a registration and a correction alike; nothing
    // when its exempt counts do not fit the party, which has been told with the box at fault
    // focused.
    std::optional<arrivalsvc::CheckIn> typedEntry(const QDate& date);
    void ChkInClear();
    // The next free check-in number in the number box, selected so that typing replaces it.
    void proposeNumber();
    // The representative's line of the guest list from the name, address and phone boxes.
    void followRepresentative();
    // The companion box shows the names of the guests after the representative while the list
    // has such lines, and is the clerk's own again when it has none.
    void showCompanions();
    void CmdGuestAdd_Click();
    void CmdGuestRemove_Click();
    // The message line's note on guests from abroad without a passport number, or nothing.
    QString passportNote() const;
    void setCalledUp(bool calledUp);
    // The room box offers the rooms free from the typed date for the typed nights.
    void offerFreeRooms();
    // The plan boxes' labels show the plan the code names, as the sales window shows a commodity.
    void showPlans();
    // Whether the entry's nights, children or plans are refused, told with the box focused.
    bool refusedStay(const arrivalsvc::CheckIn& entry);
    void refuse(const QString& text);
    void showMessage(const QString& text);

    std::unique_ptr<Ui::FrmChkIn> m_ui;
    desk::ModuleContext& m_context;
    std::unique_ptr<FrmSpec> m_spec;
    GuestListModel* m_guests = nullptr;
    bool m_companionsFromList = false;
    // The number the window last proposed: another desk taking it meanwhile is told apart
    // from a number the clerk typed.
    QString m_proposedNo;
    // The day whose reservations the list shows, taken afresh with every reading.
    QDate m_today;
    QCompleter* m_freeRooms = nullptr;
    // The inn's stay plans, read with the lists.
    QList<bookingsvc::StayPlan> m_plans;
    // The reservation taken over from the list, until the entry is registered or cleared.
    std::optional<bookingsvc::Reservation> m_takenOver;
    bool m_loaded = false;
    bool m_refreshQueued = false;
};

} // namespace arrivalapp
