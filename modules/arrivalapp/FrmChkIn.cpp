#include "FrmChkIn.h"

#include "ui_FrmChkIn.h"

#include "FrmSpec.h"
#include "GuestListModel.h"
#include "arrivalsvc/CheckInClass.h"
#include "bookingsvc/ReservationClass.h"
#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GridColumn.h"
#include "ui/GuardedConnect.h"
#include "ui/ListFill.h"
#include "ui/OtherDesks.h"
#include "ui/SlotGuard.h"

#include <QHeaderView>
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
    m_today = desk::convert::dayText(QDate::currentDate());
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
        m_today = desk::convert::dayText(QDate::currentDate());
        fillReservations();
        m_spec->reload(m_context.DirPath());
    } catch (...) {
        showMessage(QStringLiteral("一覧を読み直せませんでした。") + desk::describeError(std::current_exception()));
    }
}

void FrmChkIn::offerToday() {
    if (m_ui->ChkInDateTextBox->IsEmpty())
        m_ui->ChkInDateTextBox->setDateValue(desk::convert::dayText(QDate::currentDate()));
}

std::unique_ptr<arrivalsvc::CheckInClass> FrmChkIn::connectedCheckIns() const {
    auto store = std::make_unique<arrivalsvc::CheckInClass>();
    store->setDirPath(m_context.DirPath());
    store->CntDB();
    return store;
}

std::unique_ptr<bookingsvc::ReservationClass> FrmChkIn::connectedReservations() const {
    auto store = std::make_unique<bookingsvc::ReservationClass>();
    store->setDirPath(m_context.DirPath());
    store->CntDb();
    return store;
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

bool FrmChkIn::exemptCountsTaken() {
    const qint16 guests = desk::convert::fieldInt16(m_ui->txtChkInKazu->text(), QStringLiteral("人数"));
    for (const auto& [box, tax] : {std::pair{m_ui->txtBathExempt, QStringLiteral("入湯税")},
                                   std::pair{m_ui->txtLodgingExempt, QStringLiteral("宿泊税")}}) {
        const qint16 exempt = exemptCount(box, tax + QStringLiteral("免除"));
        if (exempt < 0 || exempt > guests) {
            refuse(QStringLiteral("%1を免除する人数は 0 から利用人数（%2 人）までで入力してください。")
                       .arg(tax)
                       .arg(guests));
            box->setFocus();
            box->selectAll();
            return false;
        }
    }
    return true;
}

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
        const auto store = connectedReservations();
        store->setReserveDate(m_today);
        const std::unique_ptr<desk::RowSet> rows = store->RsResv();
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

void FrmChkIn::readEntry(arrivalsvc::CheckInClass& store, const QDate& date) const {
    store.setCheckInDate(date);
    store.setCheckInName(m_ui->txtChkInName->text());
    store.setCheckInRoomNo(m_ui->txtChkInRoomNo->text());
    store.setQuantity(desk::convert::fieldInt16(m_ui->txtChkInKazu->text(), QStringLiteral("人数")));
    store.setBathExempt(exemptCount(m_ui->txtBathExempt, QStringLiteral("入湯税免除")));
    store.setLodgingExempt(exemptCount(m_ui->txtLodgingExempt, QStringLiteral("宿泊税免除")));
    store.setBadget(desk::convert::fieldInt32(m_ui->txtBadet->text(), QStringLiteral("単価")));
    store.setCheckInCName(m_guests->rowCount() > 1 ? m_guests->companionNames() : m_ui->txtChkInMembers->text());
    store.setCheckInGuests(m_guests->filledGuests());
    store.setCheckInGroupe(m_ui->txtChkInGroupe->text());
    store.setCheckInTravelAg(m_ui->txtChkInAgent->text());
    store.setCheckInRemarks(m_ui->txtChkInRemarks->toPlainText());
    store.setCheckInAdrs1(m_ui->txtChkAdrs1->text());
    store.setCheckInAdrs2(m_ui->txtChkAdrs2->text());
    store.setCheckInAdrs3(m_ui->txtChkAdrs3->text());
    store.setCheckInTelNo(m_ui->txtChkTelNo->text());
    store.setCheckInEMAdrs(m_ui->txtChkEMadrs->text());
    store.setChoiceClass(m_spec->ChoiceClass());
    store.setAgeClass(m_spec->AgeClass());
    store.setGroupeClass(m_spec->GroupeClass());
    store.setUserClass(m_spec->UserClass());
    store.setPayClass(m_spec->PayClass());
}

void FrmChkIn::proposeNumber() {
    try {
        const auto store = connectedCheckIns();
        m_proposedNo = store->NextCheckInNo();
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
    for (QLineEdit* box : {m_ui->txtChkInName, m_ui->txtChkInRoomNo, m_ui->txtChkInKazu, m_ui->txtBadet,
                           m_ui->txtChkInMembers, m_ui->txtChkInGroupe, m_ui->txtChkInAgent, m_ui->txtChkAdrs1,
                           m_ui->txtChkAdrs2, m_ui->txtChkAdrs3, m_ui->txtChkTelNo, m_ui->txtChkEMadrs})
        box->clear();
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
    if (!date || !exemptCountsTaken())
        return;
    busy.emplace();

    bool taken = false;
    {
        const auto store = connectedCheckIns();
        store->setCheckInNO(number);
        readEntry(*store, *date);
        store->setCheckOutFlag(false);
        // The duplicate test and the six rows in one transaction, so no other desk slips in between.
        desk::Transaction transaction(store->connection());
        taken = store->CheckInNoCheck(number) == QStringLiteral("x");
        if (!taken) {
            store->Msave();
            transaction.commit();
        }
    }
    if (taken) {
        busy.reset();
        if (number == m_proposedNo) {
            // Another desk took the proposed number meanwhile: the entry stays, a free one is proposed.
            proposeNumber();
            desk::dialogs().message(this,
                                    takenNumber +
                                        QStringLiteral("\r\n他の端末で登録されました。新しいチェックイン番号 %1 "
                                                       "で登録しなおしてください。")
                                            .arg(m_proposedNo),
                                    warningTitle);
        } else {
            desk::dialogs().message(this, takenNumber, warningTitle);
            m_ui->txtCheckInNo->clear();
        }
        m_ui->txtCheckInNo->setFocus();
        return;
    }

    // Told, never refused: the passport may be shown only later at the desk.
    const QString note = passportNote();

    // The check-in stands on its own; a reservation that cannot be marked is reported, not undone.
    QString markFailure;
    const QString reservation = m_ui->lbChkInRvNo->text();
    if (!reservation.isEmpty()) {
        try {
            const auto store = connectedReservations();
            store->setReserveNo(reservation.toInt());
            store->ChkIn();
        } catch (...) {
            markFailure = desk::describeError(std::current_exception());
        }
    }

    ChkInClear();
    setCalledUp(false);
    fillReservations();
    showMessage(QStringLiteral("チェックイン番号 %1 を登録しました。").arg(number) + note);
    m_ui->txtCheckInNo->setFocus();
    m_ui->txtCheckInNo->selectAll();
    busy.reset();
    if (!markFailure.isEmpty()) {
        desk::dialogs().message(this,
                                QStringLiteral("チェックイン番号 %1 は登録しましたが、予約番号 %2 を「済み」に"
                                               "できませんでした。\r\n")
                                        .arg(number, reservation) +
                                    markFailure,
                                warningTitle, desk::Dialogs::Icon::Exclamation);
    }
}

void FrmChkIn::CmdCall_Click() {
    const QString answer = desk::dialogs().input(
        this, QStringLiteral("訂正、削除するチェックイン番号を入力してください。"), QStringLiteral("チェックイン"));
    if (answer.isEmpty())
        return;

    std::optional<desk::BusyCursor> busy(std::in_place);
    const auto store = connectedCheckIns();
    store->setCheckInNO(answer);
    store->EDsearch();
    busy.reset();
    if (store->CheckInNO() == QStringLiteral("X")) {
        desk::dialogs().beep();
        refuse(QStringLiteral("番号が見つかりません。"));
        return;
    }

    const QString number = store->CheckInNO();
    const QDate date = store->CheckInDate();
    m_ui->LbChkInDs->setText(number);
    m_ui->txtCheckInNo->setText(number);
    m_ui->ChkInDateTextBox->setYearText(date.isValid() ? QString::number(date.year()) : QString());
    m_ui->ChkInDateTextBox->setMonthText(date.isValid() ? QString::number(date.month()) : QString());
    m_ui->ChkInDateTextBox->setDayText(date.isValid() ? QString::number(date.day()) : QString());
    m_ui->txtChkInName->setText(store->CheckInName());
    m_ui->txtChkInRoomNo->setText(store->CheckInRoomNo());
    const qint16 guests = store->Quantity();
    m_ui->txtChkInKazu->setText(guests >= 0 ? QStringLiteral(" %1").arg(guests) : QString::number(guests));
    m_ui->txtBadet->setText(QString::number(store->Badget()));
    m_ui->txtBathExempt->setText(QString::number(store->BathExempt()));
    m_ui->txtLodgingExempt->setText(QString::number(store->LodgingExempt()));
    const QList<arrivalsvc::CheckInGuest> party = store->CheckInGuests();
    const arrivalsvc::CheckInGuest first = party.value(0);
    // A representative's line that differs from the boxes was typed by a clerk: it stays as it is.
    m_guests->setGuests(party,
                        first.name == store->CheckInName() &&
                            first.address == arrivalsvc::joinedAddress(store->CheckInAdrs1(), store->CheckInAdrs2(),
                                                                       store->CheckInAdrs3()) &&
                            first.telNo == store->CheckInTelNo());
    m_companionsFromList = false;
    m_ui->txtChkInMembers->setText(store->CheckInCName());
    showCompanions();
    m_ui->txtChkInGroupe->setText(store->CheckInGroupe());
    m_ui->txtChkInAgent->setText(store->CheckInTravelAg());
    m_ui->txtChkInRemarks->setPlainText(store->CheckInRemarks());
    m_ui->txtChkAdrs1->setText(store->CheckInAdrs1());
    m_ui->txtChkAdrs2->setText(store->CheckInAdrs2());
    m_ui->txtChkAdrs3->setText(store->CheckInAdrs3());
    m_ui->txtChkTelNo->setText(store->CheckInTelNo());
    m_ui->txtChkEMadrs->setText(store->CheckInEMAdrs());
    m_ui->LBFlag->setText(store->CheckOutFlag() ? QStringLiteral("済") : QStringLiteral("未"));
    // A call-up is no take-over: registering is off, and a correction never marks a reservation.
    m_ui->lbChkInRvNo->clear();
    m_spec->showCodes(store->ChoiceClass(), store->AgeClass(), store->GroupeClass(), store->UserClass(),
                      store->PayClass());
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
    if (!date || !exemptCountsTaken())
        return;

    std::optional<desk::BusyCursor> busy(std::in_place);
    // Looked up on a store of its own: a search leaves the row sets where it stopped, and the
    // correction must find the stored rows from the start. The correction itself refuses a
    // number that another desk takes in between.
    if (!desk::convert::sameCode(number, stored) &&
        connectedCheckIns()->CheckInNoCheck(number) == QStringLiteral("x")) {
        busy.reset();
        desk::dialogs().message(this, takenNumber, warningTitle);
        m_ui->txtCheckInNo->setFocus();
        return;
    }
    {
        const auto store = connectedCheckIns();
        store->setCheckInNO2(stored);
        store->setCheckInNO(number);
        readEntry(*store, *date);
        store->Medit();
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
        const auto store = connectedCheckIns();
        store->setCheckInNO2(stored);
        store->Mdelete();
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

    const auto store = connectedReservations();
    store->setReserveNo(number);
    store->EDsearch();
    if (store->ReserveNo() == 0) {
        // Cancelled at another desk since the list was read.
        desk::dialogs().beep();
        refuse(QStringLiteral("予約番号 %1 が見つかりません。").arg(number));
        fillReservations();
        return;
    }

    const bool checkedIn = store->CheckInFlg();
    m_ui->LBFlag->setText(checkedIn ? QStringLiteral("済") : QStringLiteral("未"));
    m_ui->lbChkInRvNo->setText(QString::number(store->ReserveNo()));
    m_ui->txtChkInName->setText(store->CliantName());
    m_ui->txtChkInGroupe->setText(store->ClGroupeName());
    m_ui->txtChkInAgent->setText(store->ClTravelAg());
    m_ui->txtChkInKazu->setText(QString::number(store->Quantity()));
    m_ui->txtBadet->setText(QString::number(store->Badget()));
    m_ui->txtChkInRemarks->setPlainText(store->ClRemarks());
    m_ui->txtChkAdrs1->setText(store->Address1());
    m_ui->txtChkAdrs2->setText(store->Address2());
    m_ui->txtChkAdrs3->setText(store->Address3());
    m_ui->txtChkTelNo->setText(store->TelNo());
    m_ui->txtCheckInNo->setFocus();
    if (checkedIn)
        refuse(QStringLiteral("チェックインが終了しています。"));
}

} // namespace arrivalapp
