#include "FrmRoomRack.h"

#include "ui_FrmRoomRack.h"

#include "RackSheets.h"
#include "arrivalsvc/CheckInDesk.h"
#include "bookingsvc/Bookings.h"
#include "data/DbError.h"
#include "entry/EntryError.h"
#include "entry/EntryRegistry.h"
#include "entry/StayRequest.h"
#include "report/ReportPreview.h"
#include "roomrack/RoomAssignment.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/OtherDesks.h"
#include "ui/SlotGuard.h"

#include <QEvent>
#include <QScopedValueRollback>

namespace rackapp {

namespace {

// The stays are read this many days either side of the period shown, so that a move
// across its edge is checked against them too.
constexpr int readMargin = 31;

const QString WarningTitle = QStringLiteral("警告");

roomrack::RackStay::State rackState(roomsvc::RoomStay::State state) {
    switch (state) {
    case roomsvc::RoomStay::InHouse:
        return roomrack::RackStay::InHouse;
    case roomsvc::RoomStay::CheckedOut:
        return roomrack::RackStay::CheckedOut;
    case roomsvc::RoomStay::Reserved:
        break;
    }
    return roomrack::RackStay::Reserved;
}

roomrack::RackStay rackStay(const roomsvc::RoomStay& stay) {
    return {stay.id,    stay.room,   stay.firstNight, stay.nights,
            stay.guest, stay.guests, stay.plan,       rackState(stay.state)};
}

roomrack::RackRoom rackRoom(const roomsvc::Room& room) {
    return {room.code, room.name, room.type, room.capacity, room.floor, room.inService, room.minGuests};
}

} // namespace

FrmRoomRack::FrmRoomRack(desk::ModuleContext& context, QWidget* parent)
    : FrmRoomRack(context, desk::EntryRegistry::instance(), parent) {}

FrmRoomRack::FrmRoomRack(desk::ModuleContext& context, desk::EntryRegistry& registry, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmRoomRack>())
    , m_context(context)
    , m_registry(registry)
    , m_store(context.DirPath()) {
    m_ui->setupUi(this);
    m_model.setPeriod(QDate::currentDate(), m_ui->SpinDays->value());
    reload();
    m_ui->Rack->setModel(&m_model);
    m_ui->DateTextBox1->showDay(QDate::currentDate());
    showPeriod();

    connect(&m_model, &roomrack::RoomRackModel::changeApplied, this,
            [this](const QList<roomrack::RackStay>& stays) { desk::guarded(this, [&] { saveChange(stays); }); });
    connect(&m_model, &roomrack::RoomRackModel::periodChanged, this, [this] {
        showPeriod();
        refresh();
    });
    connect(m_ui->Rack, &roomrack::RoomRackView::refused, this, &FrmRoomRack::refuse);
    connect(m_ui->Rack, &roomrack::RoomRackView::openRequested, this,
            [this](qint64 id) { desk::guarded(this, [&] { openStay(id); }); });
    connect(m_ui->Rack, &roomrack::RoomRackView::newRequested, this,
            [this](const QString& room, const QDate& first, int nights) {
                desk::guarded(this, [&] { newReservation(room, first, nights); });
            });
    connect(m_ui->Rack, &roomrack::RoomRackView::proposalAccepted, this,
            [this] { desk::guarded(this, [&] { saveProposal(); }); });
    connect(m_ui->SpinDays, &QSpinBox::valueChanged, this,
            [this](int days) { m_model.setPeriod(m_model.firstDay(), days); });
    const auto step = [this](QPushButton* button, int weeks, int months) {
        connect(button, &QPushButton::clicked, this, [this, weeks, months] {
            if (months != 0)
                m_model.stepMonths(months);
            else
                m_model.stepWeeks(weeks);
        });
    };
    step(m_ui->CmdPrevMonth, 0, -1);
    step(m_ui->CmdPrevWeek, -1, 0);
    step(m_ui->CmdNextWeek, 1, 0);
    step(m_ui->CmdNextMonth, 0, 1);
    connect(m_ui->CmdToday, &QPushButton::clicked, this, [this] {
        m_ui->Rack->setCursorCell(m_ui->Rack->cursorRoom(), QDate::currentDate());
        m_model.jumpTo(QDate::currentDate());
        m_ui->Rack->setFocus();
    });
    desk::onClicked(m_ui->CmdJump, this, &FrmRoomRack::CmdJump_Click);
    desk::onClicked(m_ui->CmdNew, this, &FrmRoomRack::CmdNew_Click);
    desk::onClicked(m_ui->CmdAssign, this, &FrmRoomRack::CmdAssign_Click);
    desk::onClicked(m_ui->CmdUndo, this, &FrmRoomRack::CmdUndo_Click);
    desk::onClicked(m_ui->CmdPrint, this, &FrmRoomRack::CmdPrint_Click);
    desk::onClicked(m_ui->CmdDayList, this, &FrmRoomRack::CmdDayList_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);

    // On a server another desk's booking, check-in or move shows by itself; on files the
    // window reads again when it is activated.
    desk::onOtherDesksSaved(this, m_context.DirPath(), {}, [this] { refresh(); });
    m_loaded = true;
    move(0, 0);
    m_ui->Rack->setFocus();
}

FrmRoomRack::~FrmRoomRack() = default;

void FrmRoomRack::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded)
        refresh();
}

// Reading again by itself says a failure on the message line, not in a box: the box would
// take the activation, and closing it would read (and fail) again.
void FrmRoomRack::refresh() {
    const QString failed = QStringLiteral("部屋割表を読み直せませんでした。");
    try {
        reload();
        if (m_ui->LblMessage->text().startsWith(failed))
            m_ui->LblMessage->clear();
    } catch (...) {
        m_ui->LblMessage->setText(failed +
                                  desk::describeError(std::current_exception())
                                      .section(QStringLiteral("\r\n\r\n") + desk::DbError::detailHeading(), 0, 0)
                                      .section(QStringLiteral("\r\n"), 1, -1)
                                      .replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    }
}

void FrmRoomRack::readRooms() {
    QList<roomrack::RackRoom> rooms;
    for (const roomsvc::Room& room : m_store.rooms())
        rooms << rackRoom(room);
    // The same rooms keep the moves undoable; replacing them would drop that.
    if (rooms != m_model.rooms())
        m_model.setRooms(rooms);
}

void FrmRoomRack::reload() {
    readRooms();
    const QList<roomsvc::RoomStay> read =
        m_store.staysBetween(m_model.firstDay().addDays(-readMargin), m_model.lastDay().addDays(readMargin));
    m_read.clear();
    QList<roomrack::RackStay> stays;
    for (const roomsvc::RoomStay& stay : read) {
        m_read.insert(stay.id, stay);
        stays << rackStay(stay);
    }
    m_model.refreshStays(stays);
}

void FrmRoomRack::showPeriod() {
    m_ui->LblPeriod->setText(QStringLiteral("%1 〜 %2")
                                 .arg(m_model.firstDay().toString(QStringLiteral("yyyy/M/d")),
                                      m_model.lastDay().toString(QStringLiteral("yyyy/M/d"))));
    if (m_ui->SpinDays->value() != m_model.days())
        m_ui->SpinDays->setValue(m_model.days());
}

// Each change on the rack is saved as it is made: the stays it touched, as read before and
// now in their new rooms and nights. A refusal takes it back on the rack.
void FrmRoomRack::saveChange(const QList<roomrack::RackStay>& stays) {
    if (m_takingBack)
        return;
    const bool undoing = m_model.isUndoing();
    QList<roomsvc::RoomStay> changed;
    for (const roomrack::RackStay& stay : stays) {
        roomsvc::RoomStay saved = m_read.value(stay.id);
        saved.id = stay.id;
        saved.room = stay.room;
        saved.firstNight = stay.firstNight;
        saved.nights = stay.nights;
        changed << saved;
    }
    QString refusal;
    try {
        refusal = freshen(changed);
        if (refusal.isEmpty())
            refusal = m_store.save(changed);
    } catch (...) {
        // Nothing was saved: the rack shows what the store holds, then the error is said.
        if (undoing)
            reload();
        else {
            const QScopedValueRollback<bool> takingBack(m_takingBack, true);
            m_model.undo();
        }
        throw;
    }
    if (refusal.isEmpty()) {
        for (const roomsvc::RoomStay& stay : std::as_const(changed))
            m_read.insert(stay.id, stay);
        m_ui->LblMessage->clear();
        return;
    }
    if (!undoing) {
        const QScopedValueRollback<bool> takingBack(m_takingBack, true);
        m_model.undo();
    }
    // The store has answered and holds no transaction: the box may show. Afterwards the
    // rack shows what the other desk saved.
    refuse(refusal);
    reload();
}

// The store rewrites a stay whole: what the rack does not change (guests, state, the
// check-in) is taken as the store holds it now, not as it was read, so that a check-in
// another desk made meanwhile is never written back to a reservation. A stay gone or
// checked out since is refused.
QString FrmRoomRack::freshen(QList<roomsvc::RoomStay>& stays) const {
    QDate first;
    QDate last;
    for (const roomsvc::RoomStay& stay : std::as_const(stays)) {
        const roomsvc::RoomStay& before = m_read.value(stay.id, stay);
        for (const QDate& night : {stay.firstNight, before.firstNight})
            first = first.isValid() ? std::min(first, night) : night;
        for (const QDate& night : {stay.lastNight(), before.lastNight()})
            last = last.isValid() ? std::max(last, night) : night;
    }
    QHash<qint64, roomsvc::RoomStay> now;
    for (const roomsvc::RoomStay& stay : m_store.staysBetween(first, last))
        now.insert(stay.id, stay);
    for (roomsvc::RoomStay& stay : stays) {
        if (stay.id <= 0)
            continue;
        const auto found = now.constFind(stay.id);
        if (found == now.cend())
            return QStringLiteral("この滞在は他の端末で変更されたか、取り消されました。");
        if (found->state == roomsvc::RoomStay::CheckedOut)
            return QStringLiteral("%1様はチェックアウト済みです。変更できません。").arg(found->guest);
        roomsvc::RoomStay fresh = *found;
        fresh.room = stay.room;
        fresh.firstNight = stay.firstNight;
        fresh.nights = stay.nights;
        stay = fresh;
    }
    return {};
}

void FrmRoomRack::refuse(const QString& text) {
    m_ui->LblMessage->setText(text);
    desk::dialogs().beep();
    desk::dialogs().message(this, text, WarningTitle, desk::Dialogs::Icon::Exclamation);
}

void FrmRoomRack::openStay(qint64 id) {
    const auto found = m_read.constFind(id);
    if (found == m_read.cend())
        return;
    if (!found->checkInNo.isEmpty())
        launch(QStringLiteral("arrivalapp.Class1"), desk::StayRequest::checkIn(found->checkInNo));
    else if (found->reservationNo != 0)
        launch(QStringLiteral("bookingapp.Class1"),
               desk::StayRequest::reservation(QString::number(found->reservationNo)));
    else
        refuse(QStringLiteral("この滞在には予約もチェックインもありません。"));
}

void FrmRoomRack::newReservation(const QString& room, const QDate& firstNight, int nights) {
    launch(QStringLiteral("bookingapp.Class1"), desk::StayRequest::newReservation(room, firstNight, nights));
}

void FrmRoomRack::launch(const QString& classId, const desk::StayRequest& request) {
    try {
        std::unique_ptr<desk::ModuleEntry>& entry = m_entries[classId];
        entry = m_registry.create(classId);
        // The rack is read again when the window opened from here closes.
        entry->setOnWindowClosed([this] { refresh(); });
        entry->setDirPath(m_context.DirPath());
        entry->setProfile(m_context.profile());
        entry->setStay(request);
        entry->ShowForm();
    } catch (const desk::EntryError& e) {
        desk::dialogs().beep();
        desk::dialogs().message(this, e.message(), WarningTitle, desk::Dialogs::Icon::Critical);
    }
}

void FrmRoomRack::CmdJump_Click() {
    const std::optional<QDate> day = m_ui->DateTextBox1->typedDay();
    if (!day) {
        desk::refuseDate(this);
        m_ui->DateTextBox1->setFocus();
        return;
    }
    m_ui->Rack->setCursorCell(m_ui->Rack->cursorRoom(), *day);
    m_model.jumpTo(*day);
    m_ui->Rack->setFocus();
}

void FrmRoomRack::CmdNew_Click() {
    m_ui->Rack->setFocus();
    newReservation(m_ui->Rack->cursorRoom(), m_ui->Rack->selectionStart(), m_ui->Rack->selectionNights());
}

void FrmRoomRack::CmdAssign_Click() {
    m_ui->Rack->setFocus();
    reload();
    // The parties waiting in the lane as shown; every stay in a room keeps its nights taken.
    QList<roomrack::RackStay> stays;
    for (const roomrack::RackStay& stay : m_model.stays()) {
        if (!stay.room.isEmpty() || (stay.lastNight() >= m_model.firstDay() && stay.firstNight <= m_model.lastDay()))
            stays << stay;
    }
    const roomrack::Assignment assignment = roomrack::assignRooms(m_model.rooms(), stays);
    if (assignment.placed == 0) {
        const QString text =
            assignment.unplaced == 0
                ? QStringLiteral("未割当の予約はありません。")
                : QStringLiteral("空いている部屋がないため、%1組とも割り当てられません。").arg(assignment.unplaced);
        m_ui->LblMessage->setText(text);
        desk::dialogs().message(this, text, QStringLiteral("自動割当"), desk::Dialogs::Icon::Information);
        return;
    }
    m_model.setProposal(assignment.stays);
    QString text =
        QStringLiteral("%1組に部屋を割り当てる案です。Enterで確定、Escで取り消します。").arg(assignment.placed);
    if (assignment.unplaced > 0)
        text += QStringLiteral("（%1組は空いている部屋がなく未割当のままです）").arg(assignment.unplaced);
    m_ui->LblMessage->setText(text);
}

// The assignment shown is saved whole or not at all; a part after the first of a party
// split over rooms is a new stay of the same party.
void FrmRoomRack::saveProposal() {
    QList<roomsvc::RoomStay> stays;
    roomsvc::RoomStay party;
    for (const roomrack::RackStay& part : m_model.proposal()) {
        if (part.id > 0)
            party = m_read.value(part.id);
        roomsvc::RoomStay saved = party;
        saved.id = part.id > 0 ? part.id : 0;
        saved.room = part.room;
        saved.firstNight = part.firstNight;
        saved.nights = part.nights;
        stays << saved;
    }
    m_model.clearProposal();
    QString refusal = freshen(stays);
    // A further part is the party as it is now, in its own room and nights.
    for (qsizetype i = 1; refusal.isEmpty() && i < stays.size(); ++i) {
        if (stays.at(i).id != 0)
            continue;
        roomsvc::RoomStay part = stays.at(i - 1);
        part.id = 0;
        part.room = stays.at(i).room;
        part.firstNight = stays.at(i).firstNight;
        part.nights = stays.at(i).nights;
        stays[i] = part;
    }
    if (refusal.isEmpty())
        refusal = m_store.save(stays);
    if (refusal.isEmpty())
        m_ui->LblMessage->setText(QStringLiteral("自動割当を保存しました。"));
    else
        refuse(refusal);
    reload();
}

void FrmRoomRack::CmdUndo_Click() {
    m_ui->Rack->setFocus();
    if (!m_model.canUndo()) {
        m_ui->LblMessage->setText(QStringLiteral("元に戻す変更はありません。"));
        return;
    }
    if (const QString text = m_model.undo(); !text.isEmpty())
        refuse(text);
}

void FrmRoomRack::CmdPrint_Click() {
    reload();
    auto* preview = new desk::ReportPreview(rackSheet(m_model.rooms(), m_model.stays(), m_model.firstDay(),
                                                      m_model.days(), m_context.MyCompanyName(), QDate::currentDate()),
                                            nullptr, this);
    preview->show();
}

void FrmRoomRack::CmdDayList_Click() {
    reload();
    const QDate today = QDate::currentDate();
    QList<roomrack::RackStay> stays;
    QHash<qint64, StayNotes> notes;
    const bookingsvc::Bookings bookings(m_context.DirPath());
    const arrivalsvc::CheckInDesk checkIns(m_context.DirPath());
    for (const roomsvc::RoomStay& stay : m_store.staysBetween(today, today)) {
        stays << rackStay(stay);
        StayNotes note;
        if (stay.reservationNo != 0) {
            if (const auto reservation = bookings.callUp(stay.reservationNo)) {
                note.arrivalTime = reservation->arrivalTime;
                note.remarks = reservation->remarks;
            }
        }
        if (!stay.checkInNo.isEmpty()) {
            if (const auto checkIn = checkIns.callUp(stay.checkInNo); checkIn && !checkIn->remarks.isEmpty())
                note.remarks = checkIn->remarks;
        }
        notes.insert(stay.id, note);
    }
    auto* preview = new desk::ReportPreview(
        dayList(m_model.rooms(), stays, notes, today, m_context.MyCompanyName(), today), nullptr, this);
    preview->show();
}

} // namespace rackapp
