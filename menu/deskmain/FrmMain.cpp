#include "FrmMain.h"

#include "ui_FrmMain.h"

#include "DRChkOut.h"
#include "Dryoyaku1.h"
#include "FrmMeibo.h"
#include "arrivalsvc/CheckInClass.h"
#include "bookingsvc/ReservationClass.h"
#include "convert/Convert.h"
#include "data/ChangeNotices.h"
#include "data/DataLocation.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "entry/EntryError.h"
#include "entry/EntryRegistry.h"
#include "firmsvc/InnProfile.h"
#include "report/ShowReport.h"
#include "roomsvc/RoomStore.h"
#include "ui/Dialogs.h"
#include "ui/GuardedConnect.h"
#include "ui/ListFill.h"
#include "ui/OtherDesks.h"
#include "ui/StatusPanel.h"

#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QTimer>

// The toolbar images live in this static library; their resource must be registered by hand.
static void initDeskmainResources() {
    Q_INIT_RESOURCE(deskmain);
}

namespace deskmain {

namespace {

// The text form a list cell shows; a column without a value is an empty cell.
QString cellText(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return desk::convert::shortDateText(value.toDate());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

desk::ListColumns listColumns(const QStringList& fields) {
    desk::ListColumns columns;
    for (const QString& field : fields)
        columns.append({.field = field, .text = cellText});
    return columns;
}

const QString SearchText = QStringLiteral("検索");

// The rooms a party sleeps in tonight, "101・102", from its stays; "未割当" for a stay not
// yet given a room. The stays of the night before count for a guest leaving today.
QString roomsText(const QList<roomsvc::RoomStay>& stays) {
    QStringList rooms;
    for (const QDate& night : {QDate::currentDate(), QDate::currentDate().addDays(-1)}) {
        for (const roomsvc::RoomStay& stay : stays) {
            if (stay.firstNight > night || stay.lastNight() < night)
                continue;
            const QString room = stay.room.isEmpty() ? QStringLiteral("未割当") : stay.room;
            if (!rooms.contains(room))
                rooms << room;
        }
        if (!rooms.isEmpty())
            break;
    }
    // Rooms in the rack's order of codes, the party still waiting for one last.
    const QString none = QStringLiteral("未割当");
    std::sort(rooms.begin(), rooms.end(),
              [&](const QString& a, const QString& b) { return (a == none) != (b == none) ? b == none : a < b; });
    return rooms.join(QStringLiteral("・"));
}

} // namespace

FrmMain::FrmMain(const QString& dataDir, QWidget* parent)
    : FrmMain(dataDir, desk::EntryRegistry::instance(), parent) {}

FrmMain::FrmMain(const QString& dataDir, desk::EntryRegistry& registry, QWidget* parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::FrmMain>())
    , m_registry(registry)
    , m_dataDir(dataDir) {
    initDeskmainResources();
    m_ui->setupUi(this);
    setWindowTitle(titleFor(dataDir));
    // Two empty panels, as the status bar of the design has.
    for (const QString& name : {QStringLiteral("Panel1"), QStringLiteral("Panel2")})
        desk::addStatusPanel(m_ui->StatusBar1, name, 1);
    m_ui->ListView1->setColumnWidth(0, 80);
    m_ui->ListView1->setColumnWidth(1, 180);
    m_ui->ListView1->setColumnWidth(2, 50);
    m_ui->ListView1->setColumnWidth(3, 260);
    m_ui->ListView2->setColumnWidth(0, 100);
    m_ui->ListView2->setColumnWidth(1, 200);
    m_ui->ListView2->setColumnWidth(2, 100);
    setUpSearchButton();

    const std::pair<QAction*, QString> launches[] = {
        {m_ui->CmdY1, QStringLiteral("bookingapp.Class1")},
        {m_ui->CmdRack, QStringLiteral("rackapp.Class1")},
        {m_ui->CmdChkIn, QStringLiteral("arrivalapp.Class1")},
        {m_ui->CmdC1, QStringLiteral("chargeapp.Class1")},
        {m_ui->Cmd2, QStringLiteral("paymentapp.Class1")},
        {m_ui->CmdCkOut2, QStringLiteral("departapp.Class1")},
        {m_ui->CmdTally1, QStringLiteral("tallyapp.Class1")},
        {m_ui->CmdS, QStringLiteral("goodsapp.Class1")},
        {m_ui->CmdMente1, QStringLiteral("goodsclassapp.KbnCls")},
        {m_ui->CmdN, QStringLiteral("payitemapp.Class1")},
        {m_ui->CmdN2, QStringLiteral("payclassapp.Class1")},
        {m_ui->CmdRoom, QStringLiteral("roomapp.Class1")},
        {m_ui->CmdMenteO, QStringLiteral("guestcatapp.Class1")},
        {m_ui->CmdCom, QStringLiteral("firmapp.StartCls")},
    };
    for (const auto& [action, classId] : launches) {
        connect(action, &QAction::triggered, this, [this, id = classId] { launch(id); });
    }
    // The search module has no class of its own: the menu goes the toolbar's way.
    connect(m_ui->CmdFind1, &QAction::triggered, this, [this] { Toolbar1_ButtonClick(SearchText); });
    connect(m_ui->CmdMeibo, &QAction::triggered, this, [this] { desk::guarded(this, [this] { CmdMeibo_Click(); }); });
    connect(m_ui->CmdEnd, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* button) { Toolbar1_ButtonClick(button->text()); });
    desk::onClicked(m_ui->Command1, this, &FrmMain::Command1_Click);
    desk::onClicked(m_ui->Command2, this, &FrmMain::Command2_Click);
    connect(m_ui->ListView2, &QTreeWidget::itemActivated, this, &FrmMain::offerGuestWindows);
}

FrmMain::~FrmMain() = default;

void FrmMain::setUpSearchButton() {
    // The search module comes from outside the suite: offered only when one is registered.
    const bool registered = m_registry.searchClass().has_value();
    m_ui->Button6->setEnabled(registered);
    m_ui->CmdFind1->setEnabled(registered);
    m_ui->Button6->setToolTip(registered ? SearchText
                                         : QStringLiteral("検索モジュールが登録されていないため使用できません。"));
}

void FrmMain::load() {
    move(0, 0);
    fillReservations();
    fillNotCheckedOut();
    readProfile();
    m_loaded = true;
    // On a server the other desks' bookings, check-ins and check-outs show up by themselves;
    // a burst of notices (a check-in writes several databases) is read once.
    desk::onOtherDesksSaved(this, m_dataDir, {}, [this] { refreshLists(); });
    // While the server is away the lists cannot follow the other desks: the status bar says
    // so until it is back (and the lists are read again).
    desk::ChangeNotices& notices = desk::ChangeNotices::of(m_dataDir);
    connect(&notices, &desk::ChangeNotices::listeningChanged, this, &FrmMain::serverListening);
    if (!notices.isListening())
        serverListening(false);
}

QString FrmMain::titleFor(const QString& dataDir) {
    QString title = QStringLiteral("テサロさん - ") + desk::currentDesk();
    const QString where = desk::DataLocation::of(dataDir)->titleNote();
    if (!where.isEmpty())
        title += QStringLiteral("（%1）").arg(where);
    return title;
}

void FrmMain::serverListening(bool listening) {
    auto* panel = m_ui->StatusBar1->findChild<QLabel*>(QStringLiteral("Panel1"));
    if (listening) {
        panel->clear();
        panel->setToolTip({});
        return;
    }
    panel->setText(QStringLiteral("データベースサーバーに接続できません。つながりしだい読み直します。"));
    panel->setToolTip(QStringLiteral("データベースサーバーに接続できません。つながりしだい一覧を読み直します。"));
}

void FrmMain::setBackupNote(const QString& text) {
    auto* panel = m_ui->StatusBar1->findChild<QLabel*>(QStringLiteral("Panel2"));
    panel->setText(text);
    panel->setToolTip(text);
}

QString FrmMain::statusText() const {
    QStringList texts;
    for (const QString& name : {QStringLiteral("Panel1"), QStringLiteral("Panel2")}) {
        const QString text = m_ui->StatusBar1->findChild<QLabel*>(name)->text();
        if (!text.isEmpty())
            texts << text;
    }
    return texts.join(QLatin1Char('\n'));
}

void FrmMain::refreshLists() {
    auto* panel = m_ui->StatusBar1->findChild<QLabel*>(QStringLiteral("Panel1"));
    try {
        fillReservations();
        fillNotCheckedOut();
        panel->clear();
    } catch (...) {
        if (serverAway(std::current_exception())) {
            // The lists shown stay, and they are read again once the server is back.
            serverListening(false);
            return;
        }
        // The clerk's words only: the driver's, under the detail heading, stay out of the bar.
        panel->setText(QStringLiteral("一覧を更新できませんでした。") +
                       desk::describeError(std::current_exception())
                           .section(QStringLiteral("\r\n\r\n") + desk::DbError::detailHeading(), 0, 0)
                           .section(QStringLiteral("\r\n"), 1, -1)
                           .replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        panel->setToolTip(panel->text());
    }
}

bool FrmMain::serverAway(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const desk::DbError& e) {
        return e.cause() == desk::DbError::Cause::Unreachable;
    } catch (...) {
        return false;
    }
}

void FrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Loaded lists only: before load() the data directory has not been checked yet.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded)
        refreshLists();
}

void FrmMain::fillReservations() {
    m_todayText = desk::convert::dayText(QDate::currentDate());
    bookingsvc::ReservationClass store;
    store.setDirPath(m_dataDir);
    store.CntDb();
    store.setReserveDate(m_todayText);
    const std::unique_ptr<desk::RowSet> rows = store.RsResv();
    // Read before the list is emptied: a failed read leaves what it showed.
    const bool none = rows->isEmpty();
    QHash<int, QList<roomsvc::RoomStay>> byReservation;
    const QDate today = QDate::currentDate();
    for (const roomsvc::RoomStay& stay : roomsvc::RoomStore(m_dataDir).staysBetween(today, today)) {
        if (stay.reservationNo != 0)
            byReservation[stay.reservationNo] << stay;
    }
    m_ui->ListView1->clear();
    if (none)
        return;
    desk::fillList(m_ui->ListView1, *rows,
                   listColumns({QStringLiteral("RvNo"), QStringLiteral("RvName"), QStringLiteral("RvClNumber"),
                                QStringLiteral("RvRemarks1"), QStringLiteral("RvTelNo")}));
    rows->close();
    for (int i = 0; i < m_ui->ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_ui->ListView1->topLevelItem(i);
        item->setText(RoomColumn, roomsText(byReservation.value(item->text(0).toInt())));
    }
}

void FrmMain::fillNotCheckedOut() {
    arrivalsvc::CheckInClass store;
    store.setDirPath(m_dataDir);
    store.CntDB();
    const std::unique_ptr<desk::RowSet> rows = store.RsNotChkOut();
    const bool none = rows->isEmpty();
    // The rooms from the stays; a check-in without any keeps the room text it was given.
    QHash<QString, QList<roomsvc::RoomStay>> byCheckIn;
    const QDate today = QDate::currentDate();
    for (const roomsvc::RoomStay& stay : roomsvc::RoomStore(m_dataDir).staysBetween(today.addDays(-1), today)) {
        if (!stay.checkInNo.isEmpty())
            byCheckIn[stay.checkInNo.toUpper()] << stay;
    }
    // The guest chosen stays chosen when the list is read again (coming back from a window
    // opened for the guest), so that Enter reaches the same guest's next window.
    auto* list = m_ui->ListView2;
    const QString chosen = list->currentItem() ? list->currentItem()->text(0) : QString();
    list->clear();
    if (none)
        return;
    desk::fillList(list, *rows,
                   listColumns({QStringLiteral("CheckInNO"), QStringLiteral("CheckInName"),
                                QStringLiteral("CheckInRoomNo"), QStringLiteral("CheckInDate")}));
    rows->close();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (const QString rooms = roomsText(byCheckIn.value(item->text(0).toUpper())); !rooms.isEmpty())
            item->setText(2, rooms);
    }
    if (!chosen.isEmpty()) {
        if (const QList<QTreeWidgetItem*> found = list->findItems(chosen, Qt::MatchExactly, 0); !found.isEmpty())
            list->setCurrentItem(found.constFirst());
    }
}

void FrmMain::readProfile() {
    firmsvc::OptionDataClass option;
    option.setDirPath(m_dataDir);
    option.ConnectDb();
    option.DisplyData();
    m_profile = option.companyProfile();
}

void FrmMain::Toolbar1_ButtonClick(const QString& text) {
    if (text == QStringLiteral("予約"))
        launch(QStringLiteral("bookingapp.Class1"));
    else if (text == QStringLiteral("チェックイン"))
        launch(QStringLiteral("arrivalapp.Class1"));
    else if (text == QStringLiteral("売上"))
        launch(QStringLiteral("chargeapp.Class1"));
    else if (text == QStringLiteral("入金"))
        launch(QStringLiteral("paymentapp.Class1"));
    else if (text == QStringLiteral("チェックアウト"))
        launch(QStringLiteral("departapp.Class1"));
    else if (text == SearchText) {
        if (const auto search = m_registry.searchClass())
            launch(search->classId);
    } else if (text == QStringLiteral("集計"))
        launch(QStringLiteral("tallyapp.Class1"));
}

void FrmMain::offerGuestWindows(QTreeWidgetItem* item) {
    const QString number = item ? item->text(0) : QString();
    if (number.isEmpty())
        return;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("GuestMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const std::pair<QString, QString> windows[] = {
        {QStringLiteral("売上(&U)"), QStringLiteral("chargeapp.Class1")},
        {QStringLiteral("入金(&N)"), QStringLiteral("paymentapp.Class1")},
        {QStringLiteral("チェックアウト(&C)"), QStringLiteral("departapp.Class1")},
    };
    for (const auto& [text, classId] : windows)
        connect(menu->addAction(text), &QAction::triggered, this, [this, id = classId, number] { launch(id, number); });
    auto* list = m_ui->ListView2;
    menu->popup(list->viewport()->mapToGlobal(list->visualItemRect(item).bottomLeft()));
}

void FrmMain::launch(const QString& classId, const QString& checkInNo) {
    desk::guarded(this, [&] {
        try {
            const std::optional<desk::EntryClass> entryClass = m_registry.find(classId);
            // The new object takes the command's slot; the one it replaces is released
            // (its window, if open, stays with its module).
            std::unique_ptr<desk::ModuleEntry>& slot = m_slots[classId];
            slot = m_registry.create(classId);
            slot->setOnWindowClosed([this] { refreshLists(); });
            slot->setDirPath(m_dataDir);
            if (!entryClass || entryClass->profileValues)
                slot->setProfile(m_profile);
            if (!checkInNo.isEmpty())
                slot->setCheckInNo(checkInNo);
            slot->ShowForm();
        } catch (const desk::EntryError& e) {
            desk::dialogs().beep();
            desk::dialogs().message(this, e.message(), QStringLiteral("警告"), desk::Dialogs::Icon::Critical);
        }
    });
}

void FrmMain::Command1_Click() {
    if (!m_reservationList) {
        // The report lives as long as its preview: closing it lets the next click read afresh.
        m_reservationList = desk::showReport(std::make_unique<Dryoyaku1>(m_dataDir, m_profile, m_todayText), this);
    }
    m_reservationList->show();
    m_reservationList->raise();
    m_reservationList->activateWindow();
}

void FrmMain::Command2_Click() {
    if (!m_notCheckedOutList) {
        m_notCheckedOutList = desk::showReport(std::make_unique<DRChkOut>(m_dataDir, m_profile), this);
    }
    m_notCheckedOutList->show();
    m_notCheckedOutList->raise();
    m_notCheckedOutList->activateWindow();
}

void FrmMain::CmdMeibo_Click() {
    if (!m_meibo) {
        m_meibo = new FrmMeibo(m_dataDir, m_profile, this);
        m_meibo->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_meibo->show();
    m_meibo->raise();
    m_meibo->activateWindow();
}

} // namespace deskmain
