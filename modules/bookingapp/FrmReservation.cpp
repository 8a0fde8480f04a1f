#include "FrmReservation.h"

#include "ui_FrmReservation.h"

#include "DRyoyaku.h"
#include "FrmRireki.h"
#include "bookingsvc/Bookings.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/ListFill.h"
#include "ui/OtherDesks.h"
#include "ui/SlotGuard.h"

#include "entry/StayRequest.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QSignalBlocker>

#include <optional>

namespace bookingapp {

namespace {

const QString receivedFormat = QStringLiteral("yyyy/MM/dd");

void refuse(QWidget* parent, const QString& text) {
    desk::dialogs().message(parent, text, QStringLiteral("警告"), desk::Dialogs::Icon::Critical);
}

// The call-up answer as a reservation number: a whole number, full-width digits allowed.
std::optional<qint32> wholeNumber(const QString& answer) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    const QString text = answer.normalized(QString::NormalizationForm_KC);
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint32 number = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(number) : std::nullopt;
}

} // namespace

FrmReservation::FrmReservation(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmReservation>())
    , m_context(context) {
    m_ui->setupUi(this);

    auto* list = m_ui->ListView1;
    list->setColumnWidth(0, 70);
    list->setColumnWidth(1, 150);
    list->setColumnWidth(2, 50);
    list->setColumnWidth(3, 80);
    for (int column : {0, 2, 3})
        list->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);

    desk::onClicked(m_ui->CmdRd, this, &FrmReservation::CmdRd_Click);
    desk::onClicked(m_ui->CmdCall, this, &FrmReservation::CmdCall_Click);
    desk::onClicked(m_ui->CmdEdit, this, &FrmReservation::CmdEdit_Click);
    desk::onClicked(m_ui->CmdDelete, this, &FrmReservation::CmdDelete_Click);
    desk::onClicked(m_ui->CmdPrint, this, &FrmReservation::CmdPrint_Click);
    desk::onClicked(m_ui->CmdRireki, this, &FrmReservation::CmdRireki_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);
    desk::guardedConnect(m_ui->DTPicker1, &QDateEdit::dateChanged, this, &FrmReservation::DTPicker1_Change);

    // Leaving, calling up another reservation over the entry and browsing the list never
    // wait for a date part to be put right.
    for (QWidget* leaveOnly : std::initializer_list<QWidget*>{m_ui->CmdEnd, m_ui->CmdCall, m_ui->DTPicker1})
        calfield::DateTextBox::setLeaveOnly(leaveOnly);
    for (QLineEdit* box : {m_ui->RvtxtPlan, m_ui->RvtxtChildPlan})
        connect(box, &QLineEdit::textChanged, this, &FrmReservation::showPlans);

    // The rooms: picked from the free ones by Enter, the guests of each by F2, one taken off by Delete.
    m_ui->RvListRooms->setColumnWidth(0, 70);
    const int freeWidths[] = {60, 90, 70, 40};
    for (int column = 0; column < 4; ++column)
        m_ui->RvListFree->setColumnWidth(column, freeWidths[column]);
    for (QTreeWidget* rooms : {m_ui->RvListRooms, m_ui->RvListFree})
        rooms->installEventFilter(this);
    connect(m_ui->RvListFree, &QTreeWidget::itemDoubleClicked, this,
            [this] { desk::guarded(this, [this] { pickFreeRoom(); }); });
    // The room of a line stays what was picked: only its guests are typed over.
    connect(m_ui->RvListRooms, &QTreeWidget::itemChanged, this, [](QTreeWidgetItem* item, int column) {
        if (column == 0 && item->text(0) != item->data(0, Qt::UserRole).toString())
            item->setText(0, item->data(0, Qt::UserRole).toString());
    });

    // The clerk starts with the guest's name, never in an empty date box.
    m_ui->RvtxtCliant->setFocus();

    // Load: a failure here goes back to the caller of ShowForm.
    move(0, 0);
    const QDate today = QDate::currentDate();
    {
        const QSignalBlocker blocker(m_ui->DTPicker1);
        m_ui->DTPicker1->setDate(today);
    }
    m_plans = bookingsvc::StayPlans(m_context.DirPath()).all();
    clearEntry();
    proposeNumber();
    m_listedDay = desk::convert::dayText(today);
    fillList();

    // The room rack asks for a reservation, or a new one on the cells the clerk chose.
    connect(&m_context, &desk::ModuleContext::stayHandedOver, this,
            [this] { desk::guarded(this, [this] { takeStay(); }); });
    takeStay();

    // On a server another desk's booking shows up in the list by itself, and a new entry is
    // offered the number after it; what the clerk is typing stays as it is.
    desk::onOtherDesksSaved(this, m_context.DirPath(), QLatin1String(desk::DbFile::Reservation), [this] {
        try {
            if (m_ui->CmdRd->isEnabled())
                proposeNumber();
            fillList();
        } catch (...) {
            showMessage(QStringLiteral("一覧を読み直せませんでした。") + desk::describeError(std::current_exception()));
        }
    });
}

FrmReservation::~FrmReservation() = default;

FrmRireki* FrmReservation::historyWindow() const {
    return m_rireki;
}

void FrmReservation::proposeNumber() {
    m_ui->RvlbReserveNo->setText(QString::number(bookingsvc::Bookings(m_context.DirPath()).nextNumber()));
}

void FrmReservation::clearEntry() {
    m_ui->RvlbReserveNo->clear();
    m_ui->RvDateTextBox->setYearText({});
    m_ui->RvDateTextBox->setMonthText({});
    m_ui->RvDateTextBox->setDayText({});
    for (QLineEdit* box : {m_ui->RvtxtCliant, m_ui->RvtxtZipCode, m_ui->RvtxtAddress1, m_ui->RvtxtAddress2,
                           m_ui->RvtxtAddress3, m_ui->RxtxtTelNo, m_ui->RvtxtUser, m_ui->RvtxtBadget,
                           m_ui->RvtxtArvTime, m_ui->RvtxtChkInTime, m_ui->RvtxtExtra, m_ui->RvtxtGroupeName,
                           m_ui->RvtxtTravelAg, m_ui->RvtxtPlan, m_ui->RvtxtChildPlan, m_ui->RvtxtMealNote})
        box->clear();
    m_ui->RvtxtNights->setText(QStringLiteral("1"));
    m_ui->RvtxtChildren->setText(QStringLiteral("0"));
    m_ui->lbRecieve->clear();
    m_ui->RvListRooms->clear();
    m_ui->RvListFree->clear();
    m_calledStays.clear();
}

void FrmReservation::fillList() {
    auto* list = m_ui->ListView1;
    list->clear();
    const std::unique_ptr<desk::RowSet> rows =
        bookingsvc::Bookings(m_context.DirPath()).listFor(desk::convert::dateOfDayText(m_listedDay));
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    desk::fillList(list, *rows,
                   {{QStringLiteral("RvNo"), right},
                    {QStringLiteral("RvName")},
                    {QStringLiteral("RvClNumber"), right},
                    {QStringLiteral("RvBadget"), right, desk::convert::AmountFormat},
                    {QStringLiteral("RvRemarks1")}});
    rows->close();
}

bool FrmReservation::missingInput() const {
    const auto* date = m_ui->RvDateTextBox;
    for (const QString& text : {m_ui->RvtxtCliant->text(), date->YearText(), date->MonthText(), date->DayText(),
                                m_ui->RxtxtTelNo->text(), m_ui->RvtxtUser->text(), m_ui->RvtxtBadget->text()}) {
        if (text.isEmpty())
            return true;
    }
    return false;
}

qint32 FrmReservation::shownNumber() const {
    bool ok = false;
    const qint32 number = m_ui->RvlbReserveNo->text().toInt(&ok);
    if (!ok)
        throw desk::ConversionError(desk::ConversionError::Kind::TypeMismatch,
                                    QStringLiteral("予約番号が表示されていません。"));
    return number;
}

bookingsvc::Reservation FrmReservation::typedEntry(const QDate& useDate) const {
    using namespace desk::convert;
    bookingsvc::Reservation entry;
    entry.number = shownNumber();
    entry.useDate = useDate;
    entry.guestName = m_ui->RvtxtCliant->text();
    entry.zipCode = m_ui->RvtxtZipCode->text();
    entry.address1 = m_ui->RvtxtAddress1->text();
    entry.address2 = m_ui->RvtxtAddress2->text();
    entry.address3 = m_ui->RvtxtAddress3->text();
    entry.telNo = m_ui->RxtxtTelNo->text();
    // The party is a count the check-in keeps in 16 bits, so it is refused here already.
    entry.guests = fieldInt16(m_ui->RvtxtUser->text(), QStringLiteral("人数"));
    entry.budget = fieldInt32(m_ui->RvtxtBadget->text(), QStringLiteral("予算"));
    entry.arrivalTime = m_ui->RvtxtArvTime->text();
    entry.checkInTime = m_ui->RvtxtChkInTime->text();
    entry.groupName = m_ui->RvtxtGroupeName->text();
    entry.travelAgent = m_ui->RvtxtTravelAg->text();
    entry.remarks = m_ui->RvtxtExtra->text();
    // An emptied count is the default: one night, no children.
    const QString nights = m_ui->RvtxtNights->text().trimmed();
    const QString children = m_ui->RvtxtChildren->text().trimmed();
    entry.nights = nights.isEmpty() ? 1 : fieldInt16(nights, QStringLiteral("泊数"));
    entry.children = children.isEmpty() ? 0 : fieldInt16(children, QStringLiteral("小人"));
    entry.plan = m_ui->RvtxtPlan->text().trimmed();
    entry.childPlan = m_ui->RvtxtChildPlan->text().trimmed();
    entry.mealNote = m_ui->RvtxtMealNote->text();
    return entry;
}

void FrmReservation::showPlans() {
    for (const auto& [box, label] :
         {std::pair{m_ui->RvtxtPlan, m_ui->RvlbPlan}, std::pair{m_ui->RvtxtChildPlan, m_ui->RvlbChildPlan}})
        label->setText(bookingsvc::planLabel(m_plans, box->text()));
}

QLineEdit* FrmReservation::refusedPlan() {
    for (QLineEdit* box : {m_ui->RvtxtPlan, m_ui->RvtxtChildPlan}) {
        const QString code = box->text();
        if (code.trimmed().isEmpty() || bookingsvc::planIn(m_plans, code))
            continue;
        // A plan the maintenance added since the window was opened is found on a new reading.
        m_plans = bookingsvc::StayPlans(m_context.DirPath()).all();
        showPlans();
        if (bookingsvc::planIn(m_plans, code))
            continue;
        refuse(this, bookingsvc::unknownPlan(code));
        box->setFocus();
        box->selectAll();
        return box;
    }
    return nullptr;
}

bool FrmReservation::refusedStay(const bookingsvc::Reservation& entry) {
    const QString refusal = bookingsvc::stayRefusal(entry.nights, entry.guests, entry.children);
    if (refusal.isEmpty())
        return refusedPlan() != nullptr;
    refuse(this, refusal);
    QLineEdit* box = entry.nights < 1 || entry.nights > 365 ? m_ui->RvtxtNights : m_ui->RvtxtChildren;
    box->setFocus();
    box->selectAll();
    return true;
}

void FrmReservation::setCalledUp(bool calledUp) {
    m_ui->CmdRd->setEnabled(!calledUp);
    m_ui->CmdEdit->setEnabled(calledUp);
    m_ui->CmdDelete->setEnabled(calledUp);
}

std::optional<QDate> FrmReservation::typedUseDate() const {
    const auto* date = m_ui->RvDateTextBox;
    return date->typedDay();
}

void FrmReservation::showMessage(const QString& text) {
    m_ui->lbMessage->setText(text);
}

void FrmReservation::CmdRd_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    showMessage({});
    if (missingInput()) {
        busy.reset();
        desk::dialogs().beep();
        refuse(this, QStringLiteral("未入力の項目があります！"));
        return;
    }
    const std::optional<QDate> useDate = typedUseDate();
    if (!useDate) {
        busy.reset();
        desk::refuseDate(this);
        return;
    }

    const bookingsvc::Reservation entry = typedEntry(*useDate);
    busy.reset();
    if (refusedStay(entry))
        return;
    // The rooms first: a clash is refused before anything is written, and the reservation is
    // saved only once its rooms are held. Should the reservation fail, its rooms go again.
    QList<roomsvc::RoomStay> stays = typedStays(entry);
    if (!saveStays(stays))
        return;
    busy.emplace();
    bookingsvc::Bookings::Registration done;
    try {
        done = bookingsvc::Bookings(m_context.DirPath()).registerReservation(entry);
    } catch (...) {
        removeStays(stays);
        throw;
    }
    if (done.outcome == bookingsvc::Bookings::Registration::Outcome::NumberTaken) {
        removeStays(stays);
        // Another desk saved this number meanwhile: the next free one is offered and the
        // entry stays, so registering again is one key away.
        m_ui->RvlbReserveNo->setText(QString::number(done.nextNumber));
        busy.reset();
        desk::dialogs().beep();
        desk::dialogs().beep();
        refuse(this, QStringLiteral("予約番号の重複！"));
        showMessage(QStringLiteral("予約番号 %1 は使用済みのため、%2 に変更しました。")
                        .arg(entry.number)
                        .arg(m_ui->RvlbReserveNo->text()));
        return;
    }

    const qint32 number = entry.number;
    clearEntry();
    proposeNumber();
    fillList();
    showMessage(QStringLiteral("予約番号 %1 を登録しました。").arg(number));
}

void FrmReservation::CmdCall_Click() {
    const QString answer =
        desk::dialogs().input(this, QStringLiteral("予約番号を入力してください。"), QStringLiteral("予約"));
    if (answer.isEmpty())
        return;

    // An answer that is no whole number can name no reservation.
    const std::optional<qint32> number = wholeNumber(answer);
    if (!number || !showReservation(*number))
        refuse(this, QStringLiteral("見つかりません！"));
}

bool FrmReservation::showReservation(qint32 number) {
    const std::optional<bookingsvc::Reservation> found = bookingsvc::Bookings(m_context.DirPath()).callUp(number);
    if (!found)
        return false;

    const bookingsvc::Reservation& booked = *found;
    clearEntry();
    m_calledStays = roomsvc::RoomStore(m_context.DirPath()).staysOfReservation(booked.number);
    QDate useDate = booked.useDate;
    qint32 nights = booked.nights;
    // The rooms' nights are the ones kept (the rack may have moved them): shown when they agree.
    if (!m_calledStays.isEmpty() && std::all_of(m_calledStays.cbegin(), m_calledStays.cend(), [&](const auto& stay) {
            return stay.firstNight == m_calledStays.first().firstNight && stay.nights == m_calledStays.first().nights;
        })) {
        useDate = m_calledStays.first().firstNight;
        nights = m_calledStays.first().nights;
    }
    m_ui->RvlbReserveNo->setText(QString::number(booked.number));
    m_ui->RvDateTextBox->setYearText(useDate.isValid() ? QString::number(useDate.year()) : QString());
    m_ui->RvDateTextBox->setMonthText(useDate.isValid() ? QString::number(useDate.month()) : QString());
    m_ui->RvDateTextBox->setDayText(useDate.isValid() ? QString::number(useDate.day()) : QString());
    m_ui->lbRecieve->setText(booked.receivedOn.toString(receivedFormat));
    m_ui->RvtxtCliant->setText(booked.guestName);
    m_ui->RvtxtZipCode->setText(booked.zipCode);
    m_ui->RvtxtAddress1->setText(booked.address1);
    m_ui->RvtxtAddress2->setText(booked.address2);
    m_ui->RvtxtAddress3->setText(booked.address3);
    m_ui->RxtxtTelNo->setText(booked.telNo);
    m_ui->RvtxtUser->setText(QString::number(booked.guests));
    m_ui->RvtxtBadget->setText(QString::number(booked.budget));
    m_ui->RvtxtArvTime->setText(booked.arrivalTime);
    m_ui->RvtxtChkInTime->setText(booked.checkInTime);
    m_ui->RvtxtExtra->setText(booked.remarks);
    m_ui->RvtxtGroupeName->setText(booked.groupName);
    m_ui->RvtxtTravelAg->setText(booked.travelAgent);
    m_ui->RvtxtNights->setText(QString::number(nights));
    m_ui->RvtxtPlan->setText(booked.plan);
    m_ui->RvtxtChildren->setText(QString::number(booked.children));
    m_ui->RvtxtChildPlan->setText(booked.childPlan);
    m_ui->RvtxtMealNote->setText(booked.mealNote);
    for (const roomsvc::RoomStay& stay : std::as_const(m_calledStays)) {
        if (!stay.room.isEmpty())
            addRoom(stay.room, stay.guests);
    }
    setCalledUp(true);
    return true;
}

void FrmReservation::takeStay() {
    const std::optional<desk::StayRequest> request = m_context.takeStay();
    if (!request || request->kind == desk::StayRequest::Kind::CheckIn)
        return;
    if (request->kind == desk::StayRequest::Kind::Reservation) {
        const std::optional<qint32> number = wholeNumber(request->number);
        if (!number || !showReservation(*number))
            refuse(this, QStringLiteral("予約番号 %1 が見つかりません。").arg(request->number));
        return;
    }
    // A new reservation on the rack's cells: the clerk goes on with the guest's name.
    setCalledUp(false);
    clearEntry();
    proposeNumber();
    const QDate arrival = request->arrival;
    m_ui->RvDateTextBox->setYearText(QString::number(arrival.year()));
    m_ui->RvDateTextBox->setMonthText(QString::number(arrival.month()));
    m_ui->RvDateTextBox->setDayText(QString::number(arrival.day()));
    m_ui->RvtxtNights->setText(QString::number(request->nights));
    if (!request->room.isEmpty())
        addRoom(request->room, 0);
    showMessage({});
    m_ui->RvtxtCliant->setFocus();
}

bool FrmReservation::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->RvListFree && event->type() == QEvent::FocusIn)
        desk::guarded(this, [this] { fillFreeRooms(); });
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_ui->RvListFree && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            desk::guarded(this, [this] { pickFreeRoom(); });
            return true;
        }
        auto* rooms = m_ui->RvListRooms;
        if (watched == rooms && key == Qt::Key_Delete) {
            if (QTreeWidgetItem* item = rooms->currentItem())
                delete item;
            else
                desk::dialogs().beep();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmReservation::fillFreeRooms() {
    auto* list = m_ui->RvListFree;
    const QString current = list->currentItem() ? list->currentItem()->text(0) : QString();
    list->clear();
    const std::optional<QDate> arrival = typedUseDate();
    const QString nightsText = m_ui->RvtxtNights->text().trimmed();
    bool ok = true;
    const int nights = nightsText.isEmpty() ? 1 : nightsText.toInt(&ok);
    if (!arrival || !ok || nights < 1 || nights > 365) {
        showMessage(QStringLiteral("利用日と泊数を入れると、空いている部屋が出ます。"));
        return;
    }
    QStringList chosen;
    for (int i = 0; i < m_ui->RvListRooms->topLevelItemCount(); ++i)
        chosen << m_ui->RvListRooms->topLevelItem(i)->text(0);
    QTreeWidgetItem* again = nullptr;
    for (const roomsvc::Room& room : roomsvc::RoomStore(m_context.DirPath()).freeRooms(*arrival, nights)) {
        if (chosen.contains(room.code, Qt::CaseInsensitive))
            continue;
        auto* item = new QTreeWidgetItem(list, {room.code, room.name, room.type, QString::number(room.capacity)});
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        if (room.code == current)
            again = item;
    }
    if (again || list->topLevelItemCount() > 0)
        list->setCurrentItem(again ? again : list->topLevelItem(0));
    showMessage(list->topLevelItemCount() == 0 ? QStringLiteral("空いている部屋がありません。") : QString());
}

void FrmReservation::addRoom(const QString& code, int guests) {
    auto* item = new QTreeWidgetItem(m_ui->RvListRooms, {code, guests > 0 ? QString::number(guests) : QString()});
    item->setData(0, Qt::UserRole, code);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    m_ui->RvListRooms->setCurrentItem(item, 1);
}

void FrmReservation::pickFreeRoom() {
    auto* list = m_ui->RvListFree;
    QTreeWidgetItem* item = list->currentItem();
    if (!item) {
        desk::dialogs().beep();
        return;
    }
    qint32 party = 0;
    try {
        party = desk::convert::fieldInt16(m_ui->RvtxtUser->text(), QStringLiteral("人数"));
    } catch (const desk::ConversionError&) {
        party = 0; // told when the reservation is saved
    }
    qint32 placed = 0;
    for (int i = 0; i < m_ui->RvListRooms->topLevelItemCount(); ++i)
        placed += m_ui->RvListRooms->topLevelItem(i)->text(1).toInt();
    const qint32 left = std::max(party - placed, 0);
    const qint32 capacity = item->text(3).toInt();
    addRoom(item->text(0), capacity > 0 ? std::min(left, capacity) : left);
    delete item;
    if (list->topLevelItemCount() > 0 && !list->currentItem())
        list->setCurrentItem(list->topLevelItem(0));
}

QList<roomsvc::RoomStay> FrmReservation::typedStays(const bookingsvc::Reservation& entry) const {
    QList<roomsvc::RoomStay> stays;
    const auto* rooms = m_ui->RvListRooms;
    for (int i = 0; i < rooms->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = rooms->topLevelItem(i);
        roomsvc::RoomStay stay;
        stay.room = item->data(0, Qt::UserRole).toString();
        const QString guests = item->text(1).trimmed();
        stay.guests =
            guests.isEmpty() ? 0 : desk::convert::fieldInt16(guests, stay.room + QStringLiteral("号室の人数"));
        stays << stay;
    }
    // No room yet: the party waits unassigned (未割当).
    if (stays.isEmpty())
        stays << roomsvc::RoomStay();
    // One room with no count holds the whole party.
    if (stays.size() == 1 && stays.first().guests <= 0)
        stays.first().guests = entry.guests;
    for (roomsvc::RoomStay& stay : stays) {
        stay.firstNight = entry.useDate;
        stay.nights = entry.nights;
        stay.reservationNo = entry.number;
    }
    return stays;
}

bool FrmReservation::saveStays(QList<roomsvc::RoomStay>& stays) {
    const QString refusal = roomsvc::RoomStore(m_context.DirPath()).save(stays);
    if (refusal.isEmpty())
        return true;
    desk::dialogs().beep();
    refuse(this, refusal);
    m_ui->RvListRooms->setFocus();
    return false;
}

void FrmReservation::removeStays(const QList<roomsvc::RoomStay>& stays) const {
    QList<qint64> ids;
    for (const roomsvc::RoomStay& stay : stays) {
        if (stay.id != 0)
            ids << stay.id;
    }
    if (ids.isEmpty())
        return;
    // Undoing what this window just saved: a failure here must not hide the one being told.
    try {
        roomsvc::RoomStore(m_context.DirPath()).remove(ids);
    } catch (...) {
    }
}

void FrmReservation::CmdEdit_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    showMessage({});
    if (missingInput()) {
        busy.reset();
        desk::dialogs().beep();
        return;
    }
    const std::optional<QDate> useDate = typedUseDate();
    if (!useDate) {
        busy.reset();
        desk::refuseDate(this);
        return;
    }

    bookingsvc::Reservation entry = typedEntry(*useDate);
    entry.receivedOn = QDate::fromString(m_ui->lbRecieve->text(), receivedFormat);
    busy.reset();
    if (refusedStay(entry))
        return;
    // The rooms of a reservation not yet taken in are rewritten first, as at registration;
    // once checked in, its rooms are the check-in's.
    const bool ownRooms = std::all_of(m_calledStays.cbegin(), m_calledStays.cend(),
                                      [](const auto& stay) { return stay.state == roomsvc::RoomStay::Reserved; });
    QList<roomsvc::RoomStay> stays;
    QList<roomsvc::RoomStay> leftOver;
    if (ownRooms) {
        stays = typedStays(entry);
        for (qsizetype i = 0; i < m_calledStays.size(); ++i) {
            if (i < stays.size())
                stays[i].id = m_calledStays[i].id;
            else
                leftOver << m_calledStays[i];
        }
        if (!saveStays(stays))
            return;
    }
    busy.emplace();
    const qint32 number = entry.number;
    const bool found =
        bookingsvc::Bookings(m_context.DirPath()).correct(entry) == bookingsvc::Bookings::Correction::Corrected;
    if (!found) {
        // Cancelled at another desk meanwhile: its rooms are free again.
        removeStays(stays + leftOver);
        busy.reset();
        refuse(this, QStringLiteral("見つかりません！"));
        return;
    }
    removeStays(leftOver);

    setCalledUp(false);
    fillList();
    clearEntry();
    proposeNumber();
    showMessage(QStringLiteral("予約番号 %1 を訂正しました。").arg(number));
}

void FrmReservation::CmdDelete_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    showMessage({});
    if (m_ui->lbRecieve->text().isEmpty()) {
        busy.reset();
        desk::dialogs().beep();
        return;
    }

    const qint32 number = shownNumber();
    bookingsvc::Bookings(m_context.DirPath()).cancel(number);
    // Its rooms are free again; those of a guest in the house stay the check-in's.
    QList<roomsvc::RoomStay> reserved = roomsvc::RoomStore(m_context.DirPath()).staysOfReservation(number);
    reserved.removeIf([](const auto& stay) { return stay.state != roomsvc::RoomStay::Reserved; });
    removeStays(reserved);
    setCalledUp(false);

    clearEntry();
    fillList();
    proposeNumber();
    showMessage(QStringLiteral("予約番号 %1 を取り消しました。").arg(number));
}

void FrmReservation::CmdPrint_Click() {
    desk::BusyCursor busy;
    desk::showReport(std::make_unique<DRyoyaku>(m_context.DirPath(), shownNumber(), m_context.profile()), this);
}

void FrmReservation::CmdRireki_Click() {
    const QString name = m_ui->RvtxtCliant->text();
    const QString telNo = m_ui->RxtxtTelNo->text();
    if (name.isEmpty() && telNo.isEmpty()) {
        refuse(this, QStringLiteral("お客様名が入力されていません。"));
        return;
    }
    if (!m_rireki) {
        m_rireki = new FrmRireki(m_context, this);
        m_rireki->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_rireki->setSearchTexts(name, telNo);
    m_rireki->setSearchBy(name.isEmpty() ? FrmRireki::ByTelNo : FrmRireki::ByName);
    m_rireki->show();
    m_rireki->raise();
    m_rireki->activateWindow();
}

void FrmReservation::DTPicker1_Change(const QDate& date) {
    m_listedDay = desk::convert::dayText(date);
    fillList();
}

} // namespace bookingapp
