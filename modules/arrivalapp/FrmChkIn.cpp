#include "FrmChkIn.h"

#include "ui_FrmChkIn.h"

#include "FrmSpec.h"
#include "GuestListModel.h"
#include "arrivalsvc/CheckInDesk.h"
#include "bookingsvc/Bookings.h"
#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "roomsvc/RoomStore.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GridColumn.h"
#include "ui/GuardedConnect.h"
#include "ui/ListFill.h"
#include "ui/OtherDesks.h"
#include "ui/SlotGuard.h"

#include <QCompleter>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

namespace arrivalapp {

namespace {

const QString warningTitle = QStringLiteral("警告");
const QString takenNumber = QStringLiteral("チェックイン番号が重複しています。");
const QString noNumber = QStringLiteral("チェックイン番号が入力されていません。");

} // namespace

FrmChkIn::FrmChkIn(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmChkIn>())
    , m_context(context) {
    m_ui->setupUi(this);

    auto* list = m_ui->ListView1;
    // The design's column widths, in pixels.
    const int widths[] = {118, 235, 65, 212, 94};
    for (int column = 0; column < 5; ++column)
        list->setColumnWidth(column, widths[column]);
    for (int column : {0, 2})
        list->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    list->headerItem()->setTextAlignment(4, Qt::AlignCenter);
    list->installEventFilter(this);

    m_guests = new GuestListModel(this);
    auto* grid = m_ui->GridGuests;
    grid->setModel(m_guests);
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    desk::applyGridColumns(grid, {{QStringLiteral("氏名"), {}, 150, left, {}, true},
                                  {QStringLiteral("住所"), {}, 250, left, {}, true},
                                  {QStringLiteral("電話番号"), {}, 120, left, {}, true},
                                  {QStringLiteral("海外"), {}, 44, left, {}, true},
                                  {QStringLiteral("国籍"), {}, 90, left, {}, true},
                                  {QStringLiteral("旅券番号"), {}, 110, left, {}, true}});
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->installEventFilter(this);
    for (QLineEdit* box :
         {m_ui->txtChkInName, m_ui->txtChkAdrs1, m_ui->txtChkAdrs2, m_ui->txtChkAdrs3, m_ui->txtChkTelNo})
        connect(box, &QLineEdit::textChanged, this, &FrmChkIn::followRepresentative);
    connect(m_guests, &GuestListModel::edited, this, &FrmChkIn::showCompanions);
    for (QLineEdit* box : {m_ui->txtPlan, m_ui->txtChildPlan})
        connect(box, &QLineEdit::textChanged, this, &FrmChkIn::showPlans);
    // The room box offers the free rooms (Down shows them all); the code is what goes in.
    m_freeRooms = new QCompleter(new QStandardItemModel(this), this);
    m_freeRooms->setCompletionRole(Qt::UserRole);
    m_freeRooms->setCaseSensitivity(Qt::CaseInsensitive);
    m_ui->txtChkInRoomNo->setCompleter(m_freeRooms);
    m_ui->txtChkInRoomNo->installEventFilter(this);
    desk::onClicked(m_ui->CmdGuestAdd, this, &FrmChkIn::CmdGuestAdd_Click);
    desk::onClicked(m_ui->CmdGuestRemove, this, &FrmChkIn::CmdGuestRemove_Click);

    desk::onClicked(m_ui->CmdRecord, this, &FrmChkIn::CmdRecord_Click);
    desk::onClicked(m_ui->CmdCall, this, &FrmChkIn::CmdCall_Click);
    desk::onClicked(m_ui->CmdEdit, this, &FrmChkIn::CmdEdit_Click);
    desk::onClicked(m_ui->CmdDelete, this, &FrmChkIn::CmdDelete_Click);
    desk::onClicked(m_ui->CmdClear, this, &FrmChkIn::CmdClear_Click);
    desk::onClicked(m_ui->CmdCallOp, this, &FrmChkIn::CmdCallOp_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->CmdEnd);
    desk::guardedConnect(list, &QTreeWidget::itemDoubleClicked, this, &FrmChkIn::ListView1_DblClick);

    // Leaving, clearing, calling up over the entry, the picker and the reservation list
    // never wait for a date part to be put right: none of them reads the date.
    for (QWidget* leaveOnly :
         std::initializer_list<QWidget*>{m_ui->CmdEnd, m_ui->CmdClear, m_ui->CmdCall, m_ui->CmdCallOp, m_ui->ListView1})
        calfield::DateTextBox::setLeaveOnly(leaveOnly);

    // Load: a failure here goes back to the caller of ShowForm.
    move(0, 0);
    m_spec = std::make_unique<FrmSpec>(m_context.DirPath());
    // Back to the check-in screen when the picker is put away, ready for the next key.
    connect(m_spec.get(), &QDialog::finished, this, [this] {
        activateWindow();
        raise();
    });
    m_today = QDate::currentDate();
    m_plans = bookingsvc::StayPlans(m_context.DirPath()).all();
    fillReservations();
    setCalledUp(false);
    offerToday();
    proposeNumber();
    m_ui->txtCheckInNo->setFocus();
    m_loaded = true;
    // On a server a booking another desk makes or takes in shows up in the list by itself;
    // what the clerk is typing stays as it is.
    desk::onOtherDesksSaved(this, m_context.DirPath(), QLatin1String(desk::DbFile::Reservation),
                            [this] { refreshLists(); });

    // A classification list with no entries leaves its guests unclassified; the clerk is told
    // once the window is up, and check-ins still go on.
    const QStringList empty = m_spec->emptyLists();
    if (!empty.isEmpty()) {
        QTimer::singleShot(0, this, [this, empty] {
            desk::dialogs().message(this,
                                    QStringLiteral("お客様の特性の「%1」に区分が登録されていません。\r\n"
                                                   "メンテナンスの「選択項目のメインテナンス」で登録してください。")
                                        .arg(empty.join(QStringLiteral("」「"))),
                                    warningTitle, desk::Dialogs::Icon::Exclamation);
        });
    }
}

FrmChkIn::~FrmChkIn() = default;

bool FrmChkIn::eventFilter(QObject* watched, QEvent* event) {
    // Enter on the selected reservation takes it over, as a double click does.
    if (watched == m_ui->ListView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            desk::guarded(this, [this] { ListView1_DblClick(); });
            return true;
        }
    }
    if (watched == m_ui->txtChkInRoomNo) {
        if (event->type() == QEvent::FocusIn)
            desk::guarded(this, [this] { offerFreeRooms(); });
        // Down on the room box lists every free room, whatever is typed.
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down &&
            !m_freeRooms->popup()->isVisible()) {
            m_freeRooms->setCompletionPrefix({});
            m_freeRooms->complete();
            return true;
        }
    }
    // Insert in the guest list adds a companion's line, as the button does.
    if (watched == m_ui->GridGuests && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert) {
        desk::guarded(this, [this] { CmdGuestAdd_Click(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmChkIn::followRepresentative() {
    m_guests->followRepresentative(
        m_ui->txtChkInName->text(),
        arrivalsvc::joinedAddress(m_ui->txtChkAdrs1->text(), m_ui->txtChkAdrs2->text(), m_ui->txtChkAdrs3->text()),
        m_ui->txtChkTelNo->text());
}

void FrmChkIn::showCompanions() {
    const bool fromList = m_guests->rowCount() > 1;
    if (fromList)
        m_ui->txtChkInMembers->setText(m_guests->companionNames());
    else if (m_companionsFromList)
        m_ui->txtChkInMembers->clear(); // the last companion's line went: no names left
    m_ui->txtChkInMembers->setReadOnly(fromList);
    m_companionsFromList = fromList;
}

void FrmChkIn::CmdGuestAdd_Click() {
    int row = -1;
    // Names typed in the companion box become lines of their own, so none of them is lost.
    if (m_guests->rowCount() == 1) {
        static const QRegularExpression separators(QStringLiteral("[、，,\\n]"));
        for (const QString& name : m_ui->txtChkInMembers->text().split(separators, Qt::SkipEmptyParts)) {
            if (!name.trimmed().isEmpty()) {
                const int added = m_guests->appendCompanion(name.trimmed());
                if (row < 0)
                    row = added;
            }
        }
    }
    if (row < 0)
        row = m_guests->appendCompanion();
    showCompanions();
    auto* grid = m_ui->GridGuests;
    grid->setFocus();
    grid->setCurrentIndex(m_guests->index(row, GuestListModel::Name));
}

void FrmChkIn::CmdGuestRemove_Click() {
    auto* grid = m_ui->GridGuests;
    const int row = grid->currentIndex().isValid() ? grid->currentIndex().row() : -1;
    // What was typed on the line goes only when the clerk says so.
    if (row > 0 && !m_guests->isBlank(row)) {
        const QString name = m_guests->index(row, GuestListModel::Name).data().toString();
        if (desk::dialogs().message(this, QStringLiteral("%1行目（%2）を名簿から除きますか？").arg(row + 1).arg(name),
                                    QStringLiteral("行削除"), desk::Dialogs::Icon::Question,
                                    desk::Dialogs::Buttons::YesNoDefaultNo) != desk::Dialogs::Answer::Yes) {
            grid->setFocus();
            return;
        }
    }
    if (!m_guests->removeCompanion(row)) {
        desk::dialogs().beep();
        showMessage(QStringLiteral("代表者の行は除けません。同行のお客様の行を選んでください。"));
        return;
    }
    showCompanions();
    grid->setFocus();
    grid->setCurrentIndex(m_guests->index(std::min(row, m_guests->rowCount() - 1), GuestListModel::Name));
}

QString FrmChkIn::passportNote() const {
    const QStringList names = m_guests->abroadWithoutPassport();
    if (names.isEmpty())
        return {};
    return QStringLiteral("　海外からのお客様（%1）の旅券番号が入力されていません。")
        .arg(names.join(QStringLiteral("、")));
}

bool FrmChkIn::event(QEvent* event) {
    const QEvent::Type type = event->type();
    // Both come together when the menu opens the window again: one reading serves them.
    if (m_loaded && (type == QEvent::WindowActivate || type == QEvent::ZOrderChange) && !m_refreshQueued) {
        m_refreshQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_refreshQueued = false;
            refreshLists();
        });
    }
    return QWidget::event(event);
}

void FrmChkIn::refreshLists() {
    try {
        m_today = QDate::currentDate();
        fillReservations();
        m_spec->reload(m_context.DirPath());
        m_plans = bookingsvc::StayPlans(m_context.DirPath()).all();
        showPlans();
    } catch (...) {
        showMessage(QStringLiteral("一覧を読み直せませんでした。") + desk::describeError(std::current_exception()));
    }
}

void FrmChkIn::offerToday() {
    if (m_ui->ChkInDateTextBox->IsEmpty())
        m_ui->ChkInDateTextBox->setDateValue(desk::convert::dayText(QDate::currentDate()));
}

void FrmChkIn::refuse(const QString& text) {
    desk::dialogs().message(this, text, warningTitle, desk::Dialogs::Icon::Critical);
}

namespace {

// An emptied box counts as nobody exempt.
qint16 exemptCount(const QLineEdit* box, const QString& field) {
    const QString text = box->text().trimmed();
    return text.isEmpty() ? qint16(0) : desk::convert::fieldInt16(text, field);
}

} // namespace

void FrmChkIn::showMessage(const QString& text) {
    m_ui->lbMessage->setText(text);
}

void FrmChkIn::fillReservations() {
    auto* list = m_ui->ListView1;
    // The reservation the clerk stands on stays current through a new reading.
    const QString current = list->currentItem() ? list->currentItem()->text(0) : QString();
    list->clear();
    QList<QTreeWidgetItem*> items;
    {
        const std::unique_ptr<desk::RowSet> rows = bookingsvc::Bookings(m_context.DirPath()).listFor(m_today);
        const auto right = Qt::AlignRight | Qt::AlignVCenter;
        const auto checkedIn = [](const QVariant& flag) {
            return flag.toBool() ? QStringLiteral("済み") : QString();
        };
        items = desk::fillList(list, *rows,
                               {{QStringLiteral("RvNo"), right},
                                {QStringLiteral("RvName")},
                                {QStringLiteral("RvClNumber"), right, desk::convert::AmountFormat},
                                {QStringLiteral("RvTelNo")},
                                {QStringLiteral("Rvchkflg"), Qt::AlignCenter, {}, checkedIn}});
        rows->close();
    }
    const auto same = std::find_if(items.begin(), items.end(), [&](auto* item) { return item->text(0) == current; });
    if (same != items.end())
        list->setCurrentItem(*same);
    else if (!items.isEmpty())
        list->setCurrentItem(items.first());
}

void FrmChkIn::setCalledUp(bool calledUp) {
    m_ui->CmdRecord->setEnabled(!calledUp);
    m_ui->CmdEdit->setEnabled(calledUp);
    m_ui->CmdDelete->setEnabled(calledUp);
}

int FrmChkIn::ChkInDataCheck() const {
    const auto* date = m_ui->ChkInDateTextBox;
    int missing = 0;
    for (const QString& text : {m_ui->txtCheckInNo->text(), date->YearText(), date->MonthText(), date->DayText(),
                                m_ui->txtChkInName->text(), m_ui->txtChkInRoomNo->text(), m_ui->txtChkInKazu->text()}) {
        if (text.isEmpty())
            ++missing;
    }
    return missing;
}

std::optional<QDate> FrmChkIn::typedDate() {
    const auto* date = m_ui->ChkInDateTextBox;
    const std::optional<QDate> day = date->typedDay();
    if (!day)
        desk::refuseDate(this);
    return day;
}

std::optional<arrivalsvc::CheckIn> FrmChkIn::typedEntry(const QDate& date) {
    arrivalsvc::CheckIn entry;
    // The counts first: exempt guests beyond the party are refused before anything else is read.
    entry.guests = desk::convert::fieldInt16(m_ui->txtChkInKazu->text(), QStringLiteral("人数"));
    entry.bathExempt = exemptCount(m_ui->txtBathExempt, QStringLiteral("入湯税免除"));
    if (const auto refusal = entry.exemptRefusal(); refusal && refusal->levy == arrivalsvc::CheckIn::Levy::Bathing) {
        refuse(refusal->message);
        m_ui->txtBathExempt->setFocus();
        m_ui->txtBathExempt->selectAll();
        return std::nullopt;
    }
    entry.lodgingExempt = exemptCount(m_ui->txtLodgingExempt, QStringLiteral("宿泊税免除"));
    if (const auto refusal = entry.exemptRefusal()) {
        refuse(refusal->message);
        m_ui->txtLodgingExempt->setFocus();
        m_ui->txtLodgingExempt->selectAll();
        return std::nullopt;
    }
    entry.number = m_ui->txtCheckInNo->text();
    entry.date = date;
    entry.name = m_ui->txtChkInName->text();
    entry.roomNo = m_ui->txtChkInRoomNo->text();
    entry.price = desk::convert::fieldInt32(m_ui->txtBadet->text(), QStringLiteral("単価"));
    entry.companions = m_guests->rowCount() > 1 ? m_guests->companionNames() : m_ui->txtChkInMembers->text();
    entry.party = m_guests->filledGuests();
    entry.groupName = m_ui->txtChkInGroupe->text();
    entry.travelAgent = m_ui->txtChkInAgent->text();
    entry.remarks = m_ui->txtChkInRemarks->toPlainText();
    entry.address1 = m_ui->txtChkAdrs1->text();
    entry.address2 = m_ui->txtChkAdrs2->text();
    entry.address3 = m_ui->txtChkAdrs3->text();
    entry.telNo = m_ui->txtChkTelNo->text();
    entry.email = m_ui->txtChkEMadrs->text();
    entry.choiceClass = m_spec->ChoiceClass();
    entry.ageClass = m_spec->AgeClass();
    entry.groupeClass = m_spec->GroupeClass();
    entry.userClass = m_spec->UserClass();
    entry.payClass = m_spec->PayClass();
    // An emptied count is the default: one night, no children.
    const QString nights = m_ui->txtNights->text().trimmed();
    const QString children = m_ui->txtChildren->text().trimmed();
    entry.nights = nights.isEmpty() ? qint16(1) : desk::convert::fieldInt16(nights, QStringLiteral("泊数"));
    entry.children = children.isEmpty() ? qint16(0) : desk::convert::fieldInt16(children, QStringLiteral("小人"));
    entry.plan = m_ui->txtPlan->text().trimmed();
    entry.childPlan = m_ui->txtChildPlan->text().trimmed();
    entry.mealNote = m_ui->txtMealNote->text();
    // A check-in taken from a reservation keeps its link: the number, the day it was taken and the times.
    if (m_takenOver) {
        entry.reserveNo = m_takenOver->number;
        entry.receivedOn = m_takenOver->receivedOn;
        entry.arrivalTime = m_takenOver->arrivalTime;
        entry.checkInTime = m_takenOver->checkInTime;
    }
    if (refusedStay(entry))
        return std::nullopt;
    return entry;
}

void FrmChkIn::offerFreeRooms() {
    auto* model = static_cast<QStandardItemModel*>(m_freeRooms->model());
    model->clear();
    const std::optional<QDate> date = m_ui->ChkInDateTextBox->typedDay();
    bool ok = true;
    const QString nightsText = m_ui->txtNights->text().trimmed();
    const int nights = nightsText.isEmpty() ? 1 : nightsText.toInt(&ok);
    if (!date || !ok || nights < 1 || nights > 365)
        return;
    for (const roomsvc::Room& room : roomsvc::RoomStore(m_context.DirPath()).freeRooms(*date, nights)) {
        auto* item = new QStandardItem(
            QStringLiteral("%1　%2　%3　定員%4").arg(room.code, room.name, room.type).arg(room.capacity));
        item->setData(room.code, Qt::UserRole);
        model->appendRow(item);
    }
}

void FrmChkIn::showPlans() {
    for (const auto& [box, label] :
         {std::pair{m_ui->txtPlan, m_ui->lbPlan}, std::pair{m_ui->txtChildPlan, m_ui->lbChildPlan}})
        label->setText(bookingsvc::planLabel(m_plans, box->text()));
}

bool FrmChkIn::refusedStay(const arrivalsvc::CheckIn& entry) {
    const QString refusal = bookingsvc::stayRefusal(entry.nights, entry.guests, entry.children);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        QLineEdit* box = entry.nights < 1 || entry.nights > 365 ? m_ui->txtNights : m_ui->txtChildren;
        box->setFocus();
        box->selectAll();
        return true;
    }
    for (QLineEdit* box : {m_ui->txtPlan, m_ui->txtChildPlan}) {
        const QString code = box->text();
        if (code.trimmed().isEmpty() || bookingsvc::planIn(m_plans, code))
            continue;
        // A plan the maintenance added since the lists were read is found on a new reading.
        m_plans = bookingsvc::StayPlans(m_context.DirPath()).all();
        showPlans();
        if (bookingsvc::planIn(m_plans, code))
            continue;
        refuse(bookingsvc::unknownPlan(code));
        box->setFocus();
        box->selectAll();
        return true;
    }
    return false;
}

void FrmChkIn::proposeNumber() {
    try {
        m_proposedNo = arrivalsvc::CheckInDesk(m_context.DirPath()).nextNumber();
    } catch (...) {
        // Whatever was saved stays saved: the clerk types the number.
        m_proposedNo.clear();
        showMessage(QStringLiteral("次のチェックイン番号を求められませんでした。") +
                    desk::describeError(std::current_exception()));
    }
    m_ui->txtCheckInNo->setText(m_proposedNo);
    m_ui->txtCheckInNo->selectAll();
}

void FrmChkIn::ChkInClear() {
    m_ui->txtCheckInNo->clear();
    m_ui->ChkInDateTextBox->setDateValue({});
    offerToday();
    for (QLineEdit* box :
         {m_ui->txtChkInName, m_ui->txtChkInRoomNo, m_ui->txtChkInKazu, m_ui->txtBadet, m_ui->txtChkInMembers,
          m_ui->txtChkInGroupe, m_ui->txtChkInAgent, m_ui->txtChkAdrs1, m_ui->txtChkAdrs2, m_ui->txtChkAdrs3,
          m_ui->txtChkTelNo, m_ui->txtChkEMadrs, m_ui->txtPlan, m_ui->txtChildPlan, m_ui->txtMealNote})
        box->clear();
    m_ui->txtNights->setText(QStringLiteral("1"));
    m_ui->txtChildren->setText(QStringLiteral("0"));
    m_takenOver.reset();
    m_ui->txtChkInRemarks->clear();
    m_ui->txtBathExempt->setText(QStringLiteral("0"));
    m_ui->txtLodgingExempt->setText(QStringLiteral("0"));
    m_guests->setGuests({}, true);
    showCompanions();
    m_ui->lbChkInRvNo->clear();
    m_ui->LBFlag->clear();
    m_spec->clearEntries();
    m_ui->CmdDelete->setEnabled(false);
    m_ui->CmdEdit->setEnabled(false);
    proposeNumber();
}

void FrmChkIn::CmdRecord_Click() {
    std::optional<desk::BusyCursor> busy(std::in_place);
    const QString number = m_ui->txtCheckInNo->text();
    if (number.isEmpty()) {
        busy.reset();
        desk::dialogs().beep();
        refuse(noNumber);
        m_ui->txtCheckInNo->setFocus();
        return;
    }
    if (ChkInDataCheck() != 0) {
        busy.reset();
        refuse(QStringLiteral("未入力の項目があります。"));
        desk::dialogs().beep();
        return;
    }
    busy.reset();
    const std::optional<QDate> date = typedDate();
    if (!date)
        return;
    const std::optional<arrivalsvc::CheckIn> entry = typedEntry(*date);
    if (!entry)
        return;
    busy.emplace();

    const QString reservation = m_ui->lbChkInRvNo->text();
    using Outcome = arrivalsvc::CheckInDesk::Registration::Outcome;
    const arrivalsvc::CheckInDesk::Registration done =
        arrivalsvc::CheckInDesk(m_context.DirPath())
            .registerCheckIn(*entry, m_proposedNo,
                             reservation.isEmpty() ? std::nullopt : std::optional(reservation.toInt()));
    if (done.outcome == Outcome::TakenByAnotherDesk) {
        // The entry stays, a free number is proposed.
        busy.reset();
        m_proposedNo = done.nextNumber;
        m_ui->txtCheckInNo->setText(m_proposedNo);
        m_ui->txtCheckInNo->selectAll();
        desk::dialogs().message(this,
                                takenNumber + QStringLiteral("\r\n他の端末で登録されました。新しいチェックイン番号 %1 "
                                                             "で登録しなおしてください。")
                                                  .arg(m_proposedNo),
                                warningTitle);
        m_ui->txtCheckInNo->setFocus();
        return;
    }
    if (done.outcome == Outcome::RoomRefused) {
        busy.reset();
        desk::dialogs().beep();
        refuse(done.refusal);
        m_ui->txtChkInRoomNo->setFocus();
        m_ui->txtChkInRoomNo->selectAll();
        return;
    }
    if (done.outcome == Outcome::NumberTaken) {
        busy.reset();
        desk::dialogs().message(this, takenNumber, warningTitle);
        m_ui->txtCheckInNo->clear();
        m_ui->txtCheckInNo->setFocus();
        return;
    }

    // Told, never refused: the passport may be shown only later at the desk.
    const QString note = passportNote();
    const QString markFailure = done.reservationFailure ? desk::describeError(done.reservationFailure) : QString();

    ChkInClear();
    setCalledUp(false);
    fillReservations();
    showMessage(QStringLiteral("チェックイン番号 %1 を登録しました。").arg(entry->number) + note);
    m_ui->txtCheckInNo->setFocus();
    m_ui->txtCheckInNo->selectAll();
    busy.reset();
    if (!markFailure.isEmpty()) {
        desk::dialogs().message(this,
                                QStringLiteral("チェックイン番号 %1 は登録しましたが、予約番号 %2 を「済み」に"
                                               "できませんでした。\r\n")
                                        .arg(entry->number, reservation) +
                                    markFailure,
                                warningTitle, desk::Dialogs::Icon::Exclamation);
    }
    // The check-in stands; the reservation's rooms could not be taken over.
    if (!done.refusal.isEmpty()) {
        desk::dialogs().message(
            this,
            QStringLiteral("チェックイン番号 %1 は登録しましたが、予約の部屋を引き継げませんでした。\r\n")
                    .arg(entry->number) +
                done.refusal,
            warningTitle, desk::Dialogs::Icon::Exclamation);
    }
}

void FrmChkIn::CmdCall_Click() {
    const QString answer = desk::dialogs().input(
        this, QStringLiteral("訂正、削除するチェックイン番号を入力してください。"), QStringLiteral("チェックイン"));
    if (answer.isEmpty())
        return;

    std::optional<desk::BusyCursor> busy(std::in_place);
    const std::optional<arrivalsvc::CheckIn> found = arrivalsvc::CheckInDesk(m_context.DirPath()).callUp(answer);
    busy.reset();
    if (!found) {
        desk::dialogs().beep();
        refuse(QStringLiteral("番号が見つかりません。"));
        return;
    }

    const arrivalsvc::CheckIn& stay = *found;
    const QDate date = stay.date;
    m_ui->LbChkInDs->setText(stay.number);
    m_ui->txtCheckInNo->setText(stay.number);
    m_ui->ChkInDateTextBox->setYearText(date.isValid() ? QString::number(date.year()) : QString());
    m_ui->ChkInDateTextBox->setMonthText(date.isValid() ? QString::number(date.month()) : QString());
    m_ui->ChkInDateTextBox->setDayText(date.isValid() ? QString::number(date.day()) : QString());
    m_ui->txtChkInName->setText(stay.name);
    m_ui->txtChkInRoomNo->setText(stay.roomNo);
    m_ui->txtChkInKazu->setText(stay.guests >= 0 ? QStringLiteral(" %1").arg(stay.guests)
                                                 : QString::number(stay.guests));
    m_ui->txtBadet->setText(QString::number(stay.price));
    m_ui->txtBathExempt->setText(QString::number(stay.bathExempt));
    m_ui->txtLodgingExempt->setText(QString::number(stay.lodgingExempt));
    // A representative's line that differs from the boxes was typed by a clerk: it stays as it is.
    m_guests->setGuests(stay.party, stay.partyFollowsRepresentative());
    m_companionsFromList = false;
    m_ui->txtChkInMembers->setText(stay.companions);
    showCompanions();
    m_ui->txtChkInGroupe->setText(stay.groupName);
    m_ui->txtChkInAgent->setText(stay.travelAgent);
    m_ui->txtChkInRemarks->setPlainText(stay.remarks);
    m_ui->txtChkAdrs1->setText(stay.address1);
    m_ui->txtChkAdrs2->setText(stay.address2);
    m_ui->txtChkAdrs3->setText(stay.address3);
    m_ui->txtChkTelNo->setText(stay.telNo);
    m_ui->txtChkEMadrs->setText(stay.email);
    m_ui->txtNights->setText(QString::number(stay.nights));
    m_ui->txtPlan->setText(stay.plan);
    m_ui->txtChildren->setText(QString::number(stay.children));
    m_ui->txtChildPlan->setText(stay.childPlan);
    m_ui->txtMealNote->setText(stay.mealNote);
    m_ui->LBFlag->setText(stay.checkedOut ? QStringLiteral("済") : QStringLiteral("未"));
    // A call-up is no take-over: registering is off, and a correction never marks a reservation.
    m_ui->lbChkInRvNo->clear();
    m_takenOver.reset();
    m_spec->showCodes(stay.choiceClass, stay.ageClass, stay.groupeClass, stay.userClass, stay.payClass);
    setCalledUp(true);
    showMessage({});
    m_ui->txtCheckInNo->setFocus();
}

void FrmChkIn::CmdEdit_Click() {
    const QString stored = m_ui->LbChkInDs->text();
    if (stored.isEmpty()) {
        desk::dialogs().beep();
        return;
    }
    // An empty number would leave the check-in where no call-up can reach it.
    const QString number = m_ui->txtCheckInNo->text();
    if (number.isEmpty()) {
        desk::dialogs().beep();
        refuse(noNumber);
        m_ui->txtCheckInNo->setFocus();
        return;
    }
    const std::optional<QDate> date = typedDate();
    if (!date)
        return;
    const std::optional<arrivalsvc::CheckIn> entry = typedEntry(*date);
    if (!entry)
        return;

    std::optional<desk::BusyCursor> busy(std::in_place);
    // The correction refuses, as a whole, a number that another check-in has, and rooms taken.
    QString roomRefusal;
    const arrivalsvc::CheckInDesk::Correction corrected =
        arrivalsvc::CheckInDesk(m_context.DirPath()).correct(stored, *entry, &roomRefusal);
    if (corrected == arrivalsvc::CheckInDesk::Correction::RoomRefused) {
        busy.reset();
        desk::dialogs().beep();
        refuse(roomRefusal);
        m_ui->txtChkInRoomNo->setFocus();
        return;
    }
    if (corrected == arrivalsvc::CheckInDesk::Correction::NumberTaken) {
        busy.reset();
        desk::dialogs().message(this, takenNumber, warningTitle);
        m_ui->txtCheckInNo->setFocus();
        return;
    }
    busy.reset();
    const QString note = passportNote();

    ChkInClear();
    setCalledUp(false);
    showMessage(desk::convert::sameCode(number, stored)
                    ? QStringLiteral("チェックイン番号 %1 を訂正しました。").arg(number) + note
                    : QStringLiteral("チェックイン番号 %1 を %2 に訂正しました。").arg(stored, number) + note);
    m_ui->txtCheckInNo->setFocus();
}

void FrmChkIn::CmdDelete_Click() {
    const QString stored = m_ui->LbChkInDs->text();
    if (stored.isEmpty()) {
        desk::dialogs().beep();
        return;
    }
    {
        desk::BusyCursor busy;
        arrivalsvc::CheckInDesk(m_context.DirPath()).remove(stored);
    }
    ChkInClear();
    setCalledUp(false);
    showMessage(QStringLiteral("チェックイン番号 %1 を削除しました。").arg(stored));
    m_ui->txtCheckInNo->setFocus();
}

void FrmChkIn::CmdClear_Click() {
    ChkInClear();
    setCalledUp(false);
    showMessage({});
    m_ui->txtCheckInNo->setFocus();
}

void FrmChkIn::CmdCallOp_Click() {
    const QString number = m_ui->txtCheckInNo->text();
    const QString name = m_ui->txtChkInName->text();
    if (number.isEmpty() || name.isEmpty()) {
        desk::dialogs().message(this, QStringLiteral("未入力のデータがあります。"), warningTitle);
        return;
    }
    m_spec->setGuest(number, name);
    m_spec->showBeside(this);
}

void FrmChkIn::ListView1_DblClick() {
    const QTreeWidgetItem* item = m_ui->ListView1->currentItem();
    if (!item || item->text(0).isEmpty())
        return;
    bool ok = false;
    const qint32 number = item->text(0).toInt(&ok);
    if (!ok)
        return;

    const std::optional<bookingsvc::Reservation> found = bookingsvc::Bookings(m_context.DirPath()).callUp(number);
    if (!found) {
        // Cancelled at another desk since the list was read.
        desk::dialogs().beep();
        refuse(QStringLiteral("予約番号 %1 が見つかりません。").arg(number));
        fillReservations();
        return;
    }

    const bookingsvc::Reservation& booked = *found;
    m_ui->LBFlag->setText(booked.checkedIn ? QStringLiteral("済") : QStringLiteral("未"));
    m_ui->lbChkInRvNo->setText(QString::number(booked.number));
    m_ui->txtChkInName->setText(booked.guestName);
    m_ui->txtChkInGroupe->setText(booked.groupName);
    m_ui->txtChkInAgent->setText(booked.travelAgent);
    m_ui->txtChkInKazu->setText(QString::number(booked.guests));
    m_ui->txtBadet->setText(QString::number(booked.budget));
    m_ui->txtChkInRemarks->setPlainText(booked.remarks);
    m_ui->txtChkAdrs1->setText(booked.address1);
    m_ui->txtChkAdrs2->setText(booked.address2);
    m_ui->txtChkAdrs3->setText(booked.address3);
    m_ui->txtChkTelNo->setText(booked.telNo);
    m_ui->txtNights->setText(QString::number(booked.nights));
    m_ui->txtPlan->setText(booked.plan);
    m_ui->txtChildren->setText(QString::number(booked.children));
    m_ui->txtChildPlan->setText(booked.childPlan);
    m_ui->txtMealNote->setText(booked.mealNote);
    m_takenOver = booked;
    // The rooms the reservation holds go in the room box.
    QStringList rooms;
    for (const roomsvc::RoomStay& stay : roomsvc::RoomStore(m_context.DirPath()).staysOfReservation(booked.number)) {
        if (!stay.room.isEmpty() && stay.state == roomsvc::RoomStay::Reserved)
            rooms << stay.room;
    }
    if (!rooms.isEmpty())
        m_ui->txtChkInRoomNo->setText(arrivalsvc::joinedRooms(rooms));
    m_ui->txtCheckInNo->setFocus();
    if (booked.checkedIn)
        refuse(QStringLiteral("チェックインが終了しています。"));
}

} // namespace arrivalapp
