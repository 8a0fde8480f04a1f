#pragma once

#include "bookingsvc/StayPlan.h"
#include "entry/ModuleContext.h"
#include "roomsvc/RoomStore.h"

#include <QDate>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class FrmReservation;
}

namespace bookingsvc {
struct Reservation;
}

class QLineEdit;

namespace bookingapp {

class FrmRireki;

// "予約一覧表": the reservation module's main window. Registers a reservation under the
// proposed number, calls one up by number to correct or cancel it, lists the reservations
// of a chosen day, prints the confirmation slip and opens the guest's usage history.
//
// New-entry state: number proposed, fields empty, register enabled, correct and cancel
// disabled. Called-up state: fields hold the reservation, register disabled.
class FrmReservation : public QWidget {
    Q_OBJECT

public:
    explicit FrmReservation(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmReservation() override;

    // The day ListView1 shows, as a day text "2002/3/1".
    QString listedDay() const { return m_listedDay; }
    // The history window opened by CmdRireki while it is open.
    FrmRireki* historyWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CmdRd_Click();
    void CmdCall_Click();
    void CmdEdit_Click();
    void CmdDelete_Click();
    void CmdPrint_Click();
    void CmdRireki_Click();
    void DTPicker1_Change(const QDate& date);

    void proposeNumber();
    void clearEntry();
    void fillList();
    bool missingInput() const;
    // The reservation as the boxes give it.
    bookingsvc::Reservation typedEntry(const QDate& useDate) const;
    // The use date the clerk typed, or nothing when the parts name no real day.
    std::optional<QDate> typedUseDate() const;
    // A confirmation in the window's message line; needs no answer.
    void showMessage(const QString& text);
    // The number shown in RvlbReserveNo.
    qint32 shownNumber() const;
    void setCalledUp(bool calledUp);
    // Shows reservation `number` for correcting or cancelling; false when there is none.
    bool showReservation(qint32 number);
    // What a caller asked the window to open on (the room rack): a reservation, or a new one
    // for a room, arrival and nights.
    void takeStay();

    // The rooms free on the typed nights for the party, less those already chosen; nothing
    // is listed while the arrival or the nights cannot be read.
    void fillFreeRooms();
    // The room under the cursor of the free list joins the reservation's rooms, with the
    // guests not yet placed (within its capacity).
    void pickFreeRoom();
    void addRoom(const QString& code, int guests);
    // The reservation's stays as the rooms list gives them: one per room, or one unassigned.
    QList<roomsvc::RoomStay> typedStays(const bookingsvc::Reservation& entry) const;
    // Saves the stays; a refusal (a clash, a room out of service) is told with the rooms list
    // focused and false returned.
    bool saveStays(QList<roomsvc::RoomStay>& stays);
    void removeStays(const QList<roomsvc::RoomStay>& stays) const;
    // The plan boxes' labels show the plan the code names, as the sales window shows a
    // commodity; a code that names none says so.
    void showPlans();
    // The first plan box whose code names no plan, with the clerk told; null when both do.
    QLineEdit* refusedPlan();
    // Whether the entry's nights, children or plans are refused, told with the box focused.
    bool refusedStay(const bookingsvc::Reservation& entry);

    std::unique_ptr<Ui::FrmReservation> m_ui;
    desk::ModuleContext& m_context;
    QString m_listedDay;
    QPointer<FrmRireki> m_rireki;
    // The inn's stay plans, read at load and again when a code is not among them.
    QList<bookingsvc::StayPlan> m_plans;
    // The stays of the reservation called up, as stored.
    QList<roomsvc::RoomStay> m_calledStays;
};

} // namespace bookingapp
