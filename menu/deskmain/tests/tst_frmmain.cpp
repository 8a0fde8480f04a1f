#include "MainFixture.h"

#include "arrivalsvc/CheckInClass.h"
#include "deskmain/FrmMain.h"
#include "deskmain/FrmMeibo.h"
#include "convert/Csv.h"
#include "entry/EntryError.h"
#include "entry/EntryRegistry.h"
#include "report/ReportPreview.h"
#include "roomsvc/RoomStore.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TempDataDir.h"
#include "testsupport/Widgets.h"

#include <QAction>
#include <QFile>
#include <QApplication>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

using desk::test::ScriptedDialogs;
using namespace Qt::StringLiterals;
using desk::test::TempDataDir;

namespace {

// What one entry object went through.
struct Launch {
    QString classId;
    QStringList calls; // "DirPath=…", …, "ShowForm"
    bool released = false;
    std::function<void()> closeWindow; // the module's window closes
};

class RecordingEntry : public desk::ModuleEntry {
public:
    RecordingEntry(std::shared_ptr<Launch> launch, bool failShow)
        : m_launch(std::move(launch))
        , m_failShow(failShow) {}
    ~RecordingEntry() override { m_launch->released = true; }
    QString classId() const override { return m_launch->classId; }
    void setValue(const QString& name, const QString& value) override { m_launch->calls << name + u'=' + value; }
    void ShowForm() override {
        m_launch->calls << QStringLiteral("ShowForm");
        if (m_failShow)
            throw desk::EntryError(QStringLiteral("プログラム「x」が見つかりません。"));
        m_launch->closeWindow = [this] {
            windowClosed();
        };
    }

private:
    std::shared_ptr<Launch> m_launch;
    bool m_failShow;
};

QStringList rowsOf(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        rows << cells.join(u'|');
    }
    return rows;
}

QToolButton* toolButton(const QMainWindow& window, const QString& text) {
    auto* bar = window.findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    for (QAction* action : bar->actions()) {
        if (action->text() == text)
            return qobject_cast<QToolButton*>(bar->widgetForAction(action));
    }
    return nullptr;
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

private slots:
    void init();
    void lists_data();
    void lists();
    void launchCommands_data();
    void launchCommands();
    void guestWindowsFromTheInHouseList_data();
    void guestWindowsFromTheInHouseList();
    void relaunchReplacesTheSlot();
    void failedLaunchIsExplained();
    void searchButton();
    void everyButtonHasAMenuEntry_data();
    void everyButtonHasAMenuEntry();
    void listButtonsOpenOnePreviewEach();
    void listsFollowWhatModulesDid_data();
    void listsFollowWhatModulesDid();
    void guestRegisterOfTheMonth();

private:
    std::unique_ptr<deskmain::FrmMain> loadedWindow(const QString& dir);

    desk::EntryRegistry m_registry;
    std::vector<std::shared_ptr<Launch>> m_launches;
    bool m_failShow = false;
};

void TestFrmMain::init() {
    m_registry = desk::EntryRegistry();
    m_launches.clear();
    m_failShow = false;
    m_registry.setFactory([this](const desk::EntryClass& c, const QString&) -> std::unique_ptr<desk::ModuleEntry> {
        auto launch = std::make_shared<Launch>();
        launch->classId = c.classId;
        m_launches.push_back(launch);
        return std::make_unique<RecordingEntry>(launch, m_failShow);
    });
}

std::unique_ptr<deskmain::FrmMain> TestFrmMain::loadedWindow(const QString& dir) {
    auto window = std::make_unique<deskmain::FrmMain>(dir, m_registry);
    window->load();
    return window;
}

void TestFrmMain::lists_data() {
    QTest::addColumn<bool>("bookings");
    QTest::addColumn<bool>("everyoneLeft");
    QTest::addColumn<bool>("rooms");
    QTest::addColumn<QStringList>("reservations");
    QTest::addColumn<QStringList>("inHouse");

    const QString yesterday = QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy/MM/dd"));
    QTest::newRow("today, tomorrow and guests in")
        << true << false << false << QStringList{QStringLiteral("7|山田 太郎|3|禁煙室希望|090-1111|")}
        << QStringList{QStringLiteral("A-12|佐藤 花子|201|") + yesterday};
    QTest::newRow("every guest checked out")
        << true << true << false << QStringList{QStringLiteral("7|山田 太郎|3|禁煙室希望|090-1111|")} << QStringList{};
    QTest::newRow("nothing at all") << false << true << false << QStringList{} << QStringList{};
    // The rooms come from the stays, over the room text typed at check-in.
    QTest::newRow("rooms from the stays")
        << true << false << true << QStringList{QStringLiteral("7|山田 太郎|3|禁煙室希望|090-1111|101・未割当")}
        << QStringList{QStringLiteral("A-12|佐藤 花子|203|") + yesterday};
}

void TestFrmMain::lists() {
    QFETCH(bool, bookings);
    QFETCH(bool, everyoneLeft);
    QFETCH(bool, rooms);
    QFETCH(QStringList, reservations);
    QFETCH(QStringList, inHouse);

    TempDataDir data;
    const QDate today = QDate::currentDate();
    if (bookings) {
        fixture::addReservation(data.path(), 8, today.addDays(1), QStringLiteral("明日 次郎"));
        fixture::addReservation(data.path(), 7, today, QStringLiteral("山田 太郎"), QStringLiteral("090-1111"), 3,
                                20000, QStringLiteral("禁煙室希望"));
    }
    fixture::addStay(data.path(), QStringLiteral("A-11"), today.addDays(-3), QStringLiteral("鈴木 一郎"),
                     QStringLiteral("105"), true);
    if (!everyoneLeft)
        fixture::addStay(data.path(), QStringLiteral("A-12"), today.addDays(-1), QStringLiteral("佐藤 花子"),
                         QStringLiteral("201"), false);
    if (rooms) {
        for (const QString& code : {QStringLiteral("101"), QStringLiteral("203")})
            fixture::addRoom(data.path(), code);
        QList<roomsvc::RoomStay> stays(3);
        stays[0].room = QStringLiteral("101");
        stays[0].firstNight = today;
        stays[0].reservationNo = 7;
        stays[1].firstNight = today;
        stays[1].reservationNo = 7;
        stays[2].room = QStringLiteral("203");
        stays[2].firstNight = today.addDays(-1);
        stays[2].nights = 2;
        stays[2].checkInNo = QStringLiteral("a-12");
        stays[2].state = roomsvc::RoomStay::InHouse;
        QCOMPARE(roomsvc::RoomStore(data.path()).save(stays), QString());
    }

    const auto window = loadedWindow(data.path());
    QCOMPARE(rowsOf(window->findChild<QTreeWidget*>(QStringLiteral("ListView1"))), reservations);
    QCOMPARE(rowsOf(window->findChild<QTreeWidget*>(QStringLiteral("ListView2"))), inHouse);
    QCOMPARE(window->todayText(), QStringLiteral("%1/%2/%3").arg(today.year()).arg(today.month()).arg(today.day()));
    QCOMPARE(window->pos(), QPoint(0, 0));
}

void TestFrmMain::launchCommands_data() {
    QTest::addColumn<QString>("menuItem"); // empty: the toolbar button below
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("classId");
    QTest::addColumn<bool>("allValues");

    const auto row = [](const char* name, const char* item, const char* button, const char* id, bool all = true) {
        QTest::newRow(name) << QString::fromUtf8(item) << QString::fromUtf8(button) << QString::fromUtf8(id) << all;
    };
    row("CmdY1", "CmdY1", "", "bookingapp.Class1");
    row("CmdRack", "CmdRack", "", "rackapp.Class1");
    row("CmdChkIn", "CmdChkIn", "", "arrivalapp.Class1");
    row("CmdC1", "CmdC1", "", "chargeapp.Class1");
    row("Cmd2", "Cmd2", "", "paymentapp.Class1");
    row("CmdCkOut2", "CmdCkOut2", "", "departapp.Class1");
    row("CmdS", "CmdS", "", "goodsapp.Class1");
    row("CmdMente1", "CmdMente1", "", "goodsclassapp.KbnCls");
    row("CmdN", "CmdN", "", "payitemapp.Class1");
    row("CmdN2", "CmdN2", "", "payclassapp.Class1");
    row("CmdRoom", "CmdRoom", "", "roomapp.Class1");
    row("CmdMenteO", "CmdMenteO", "", "guestcatapp.Class1");
    row("CmdCom", "CmdCom", "", "firmapp.StartCls", false);
    row("予約", "", "予約", "bookingapp.Class1");
    row("チェックイン", "", "チェックイン", "arrivalapp.Class1");
    row("売上", "", "売上", "chargeapp.Class1");
    row("入金", "", "入金", "paymentapp.Class1");
    row("チェックアウト", "", "チェックアウト", "departapp.Class1");
    row("集計", "", "集計", "tallyapp.Class1");
}

void TestFrmMain::launchCommands() {
    QFETCH(QString, menuItem);
    QFETCH(QString, button);
    QFETCH(QString, classId);
    QFETCH(bool, allValues);

    TempDataDir data;
    fixture::setFax(data.path(), QStringLiteral("0263-99-0000"));
    ScriptedDialogs dialogs;
    const auto window = loadedWindow(data.path());
    const desk::CompanyProfile& p = window->profile();
    QCOMPARE(p.MyFaxNo, QStringLiteral("0263-99-0000"));

    if (menuItem.isEmpty()) {
        QToolButton* tool = toolButton(*window, button);
        QVERIFY(tool);
        QTest::mouseClick(tool, Qt::LeftButton);
    } else {
        auto* action = window->findChild<QAction*>(menuItem);
        QVERIFY(action);
        action->trigger();
    }

    QCOMPARE(m_launches.size(), size_t(1));
    QCOMPARE(m_launches[0]->classId, classId);
    QStringList expected{QStringLiteral("DirPath=") + data.path()};
    if (allValues) {
        expected << QStringLiteral("MyAddress=") + p.MyAddress << QStringLiteral("MyComment=") + p.MyComment
                 << QStringLiteral("MyCompanyName=") + p.MyCompanyName << QStringLiteral("MyEmail=") + p.MyEmail
                 << QStringLiteral("MyFaxNo=") + p.MyFaxNo << QStringLiteral("MyTelNo=") + p.MyTelNo
                 << QStringLiteral("MyURL=") + p.MyURL << QStringLiteral("MyZipCode=") + p.MyZipCode;
    }
    expected << QStringLiteral("ShowForm");
    QCOMPARE(m_launches[0]->calls, expected);
    QVERIFY(!m_launches[0]->released);
    QCOMPARE(dialogs.shown().size(), 0);
}

void TestFrmMain::guestWindowsFromTheInHouseList_data() {
    QTest::addColumn<int>("key"); // the access key in the guest's menu
    QTest::addColumn<QString>("classId");

    QTest::newRow("売上") << int(Qt::Key_U) << u"chargeapp.Class1"_s;
    QTest::newRow("入金") << int(Qt::Key_N) << u"paymentapp.Class1"_s;
    QTest::newRow("チェックアウト") << int(Qt::Key_C) << u"departapp.Class1"_s;
}

// Enter on a guest in the house offers that guest's windows; the one chosen by its access
// key opens with the guest's check-in number, handed over last.
void TestFrmMain::guestWindowsFromTheInHouseList() {
    QFETCH(int, key);
    QFETCH(QString, classId);

    TempDataDir data;
    const QDate today = QDate::currentDate();
    fixture::addStay(data.path(), u"A-11"_s, today.addDays(-2), u"鈴木 一郎"_s, u"105"_s, false);
    fixture::addStay(data.path(), u"A-12"_s, today.addDays(-1), u"佐藤 花子"_s, u"201"_s, false);
    ScriptedDialogs dialogs;
    const auto window = loadedWindow(data.path());
    QVERIFY(desk::test::showActive(window.get()));
    auto* list = window->findChild<QTreeWidget*>(u"ListView2"_s);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    const QString chosen = list->currentItem()->text(0);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->objectName(), u"GuestMenu"_s);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(key));

    QTRY_COMPARE(m_launches.size(), size_t(1));
    QCOMPARE(m_launches[0]->classId, classId);
    const QStringList calls = m_launches[0]->calls;
    QCOMPARE(calls.mid(calls.size() - 2), (QStringList{u"CheckInNo="_s + chosen, u"ShowForm"_s}));
    QCOMPARE(calls.first(), u"DirPath="_s + data.path());
    QCOMPARE(dialogs.shown().size(), 0);

    // Back from the window, the list read again keeps the guest chosen for the next one.
    window->refreshLists();
    QVERIFY(list->currentItem());
    QCOMPARE(list->currentItem()->text(0), chosen);
}

void TestFrmMain::relaunchReplacesTheSlot() {
    TempDataDir data;
    const auto window = loadedWindow(data.path());
    window->findChild<QAction*>(QStringLiteral("CmdY1"))->trigger();
    window->Toolbar1_ButtonClick(QStringLiteral("売上"));
    window->Toolbar1_ButtonClick(QStringLiteral("予約"));
    QCOMPARE(m_launches.size(), size_t(3));
    QVERIFY(m_launches[0]->released);  // replaced by the second 予約
    QVERIFY(!m_launches[1]->released); // another command's slot
    QVERIFY(!m_launches[2]->released);
    window->Toolbar1_ButtonClick(QStringLiteral("予約 "));
    window->Toolbar1_ButtonClick(QStringLiteral("会社情報"));
    QCOMPARE(m_launches.size(), size_t(3));
}

void TestFrmMain::failedLaunchIsExplained() {
    TempDataDir data;
    ScriptedDialogs dialogs;
    const auto window = loadedWindow(data.path());
    m_failShow = true;
    window->findChild<QAction*>(QStringLiteral("CmdChkIn"))->trigger();
    QCOMPARE(dialogs.messages().size(), 1);
    QCOMPARE(dialogs.messages().first().text, QStringLiteral("プログラム「x」が見つかりません。"));
    QCOMPARE(dialogs.messages().first().title, QStringLiteral("警告"));
    QCOMPARE(dialogs.messages().first().icon, desk::Dialogs::Icon::Critical);
    // The main menu goes on working.
    m_failShow = false;
    window->findChild<QAction*>(QStringLiteral("CmdChkIn"))->trigger();
    QCOMPARE(m_launches.size(), size_t(2));
    QCOMPARE(dialogs.messages().size(), 1);
}

void TestFrmMain::searchButton() {
    TempDataDir data;
    {
        const auto window = loadedWindow(data.path());
        QToolButton* search = toolButton(*window, QStringLiteral("検索"));
        QVERIFY(search);
        QVERIFY(!search->isEnabled());
        QVERIFY(search->toolTip().contains(QStringLiteral("登録されていない")));
        QTest::mouseClick(search, Qt::LeftButton);
        window->Toolbar1_ButtonClick(QStringLiteral("検索"));
        QCOMPARE(m_launches.size(), size_t(0));
    }
    m_registry.registerClass(
        {QStringLiteral("kensaku.Class1"), QStringLiteral("kensaku"), desk::EntryClass::Show::Modeless, true, true});
    const auto window = loadedWindow(data.path());
    QToolButton* search = toolButton(*window, QStringLiteral("検索"));
    QVERIFY(search->isEnabled());
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(m_launches.size(), size_t(1));
    QCOMPARE(m_launches[0]->classId, QStringLiteral("kensaku.Class1"));
    QCOMPARE(m_launches[0]->calls.size(), 10);
}

void TestFrmMain::everyButtonHasAMenuEntry_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("menuKey"); // with Alt, on the menu bar
    QTest::addColumn<int>("itemKey"); // in the opened menu
    QTest::addColumn<QString>("classId");

    const auto row = [](const char* button, Qt::Key menu, Qt::Key item, const char* id) {
        QTest::newRow(button) << QString::fromUtf8(button) << int(menu) << int(item) << QString::fromUtf8(id);
    };
    row("予約", Qt::Key_Q, Qt::Key_A, "bookingapp.Class1");
    row("チェックイン", Qt::Key_W, Qt::Key_S, "arrivalapp.Class1");
    row("売上", Qt::Key_X, Qt::Key_E, "chargeapp.Class1");
    row("入金", Qt::Key_D, Qt::Key_C, "paymentapp.Class1");
    row("チェックアウト", Qt::Key_R, Qt::Key_F, "departapp.Class1");
    row("検索", Qt::Key_M, Qt::Key_L, "kensaku.Class1");
    row("集計", Qt::Key_U, Qt::Key_K, "tallyapp.Class1");
}

void TestFrmMain::everyButtonHasAMenuEntry() {
    QFETCH(QString, button);
    QFETCH(int, menuKey);
    QFETCH(int, itemKey);
    QFETCH(QString, classId);

    m_registry.registerClass(
        {QStringLiteral("kensaku.Class1"), QStringLiteral("kensaku"), desk::EntryClass::Show::Modeless, true, true});
    TempDataDir data;
    ScriptedDialogs dialogs;
    const auto window = loadedWindow(data.path());
    QVERIFY(desk::test::showActive(window.get()));
    // The row covers a button of the toolbar.
    QVERIFY(toolButton(*window, button));

    QTest::keyClick(window.get(), Qt::Key(menuKey), Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(itemKey));
    QTRY_COMPARE(m_launches.size(), size_t(1));
    QCOMPARE(m_launches[0]->classId, classId);
    QCOMPARE(dialogs.shown().size(), 0);
}

void TestFrmMain::listButtonsOpenOnePreviewEach() {
    TempDataDir data;
    fixture::addReservation(data.path(), 1, QDate::currentDate(), QStringLiteral("山田 太郎"));
    const auto window = loadedWindow(data.path());
    QVERIFY(desk::test::showActive(window.get()));

    QVERIFY(desk::test::mouseClick(window.get(), QStringLiteral("Command1")));
    const auto previews = [&] {
        return window->findChildren<desk::ReportPreview*>();
    };
    QCOMPARE(previews().size(), 1);
    QPointer<desk::ReportPreview> first = previews().first();
    QCOMPARE(first->document().byControl(QStringLiteral("Text1")).size(), 1);

    // A booking made meanwhile does not show: the open report is not read again.
    fixture::addReservation(data.path(), 2, QDate::currentDate(), QStringLiteral("田中 次郎"));
    QVERIFY(desk::test::mouseClick(window.get(), QStringLiteral("Command1")));
    QCOMPARE(previews().size(), 1);
    QCOMPARE(first->document().byControl(QStringLiteral("Text1")).size(), 1);

    QVERIFY(desk::test::mouseClick(window.get(), QStringLiteral("Command2")));
    QCOMPARE(previews().size(), 2);

    // Closed, the next click reads the rows afresh.
    first->close();
    desk::test::settle();
    QVERIFY(first.isNull());
    QVERIFY(desk::test::mouseClick(window.get(), QStringLiteral("Command1")));
    QCOMPARE(previews().size(), 2);
    bool found = false;
    for (desk::ReportPreview* p : previews())
        found |= p->document().byControl(QStringLiteral("Text1")).size() == 2;
    QVERIFY(found);
}

void TestFrmMain::listsFollowWhatModulesDid_data() {
    QTest::addColumn<bool>("byActivation"); // else: the module window opened from here closes
    QTest::newRow("main window active again") << true;
    QTest::newRow("module window closed") << false;
}

void TestFrmMain::listsFollowWhatModulesDid() {
    QFETCH(bool, byActivation);

    TempDataDir data;
    const auto window = loadedWindow(data.path());
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseClick(toolButton(*window, QStringLiteral("予約")), Qt::LeftButton);
    QCOMPARE(m_launches.size(), size_t(1));

    // Meanwhile the modules book a guest for today and check another in.
    QWidget moduleWindow;
    if (byActivation) {
        moduleWindow.show();
        moduleWindow.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&moduleWindow));
    }
    const QDate today = QDate::currentDate();
    fixture::addReservation(data.path(), 3, today, QStringLiteral("新規 予約"), QStringLiteral("03-1"));
    fixture::addStay(data.path(), QStringLiteral("B-1"), today, QStringLiteral("到着 花子"), QStringLiteral("301"),
                     false);
    auto* reservations = window->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    auto* inHouse = window->findChild<QTreeWidget*>(QStringLiteral("ListView2"));
    QCOMPARE(reservations->topLevelItemCount(), 0);

    if (byActivation) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    } else {
        m_launches.front()->closeWindow();
        QCoreApplication::processEvents();
    }
    QCOMPARE(rowsOf(reservations), QStringList{QStringLiteral("3|新規 予約|2||03-1|")});
    QCOMPARE(inHouse->topLevelItemCount(), 1);
    QCOMPARE(inHouse->topLevelItem(0)->text(1), QStringLiteral("到着 花子"));
}

// The register of this month from the menu, by the keyboard alone: one line per guest, to the
// preview and to a CSV file that reads back as written.
void TestFrmMain::guestRegisterOfTheMonth() {
    TempDataDir data;
    const QDate today = QDate::currentDate();
    const QDate first(today.year(), today.month(), 1);
    const auto save = [&](const QString& number, const QDate& date, const QList<arrivalsvc::CheckInGuest>& guests) {
        arrivalsvc::CheckInClass store;
        store.setDirPath(data.path());
        store.CntDB();
        store.setCheckInNO(number);
        store.setCheckInDate(date);
        store.setCheckInName(guests.value(0).name);
        store.setCheckInRoomNo(QStringLiteral("201"));
        store.setQuantity(qint32(guests.size()));
        store.setCheckInGuests(guests);
        store.Msave();
    };
    save(QStringLiteral("1"), first,
         {{QStringLiteral("山田 太郎"), QStringLiteral("長野県 松本市"), QStringLiteral("0263-00-1234")},
          {QStringLiteral("=山田 花子"), QStringLiteral("同上"), {}},
          {QStringLiteral("Smith, \"Jr\""),
           {},
           QStringLiteral("+1-555-0100"),
           true,
           QStringLiteral("USA"),
           QStringLiteral("X1234567")}});
    save(QStringLiteral("2"), first.addDays(-1), {{QStringLiteral("先月の客"), {}, {}}});

    ScriptedDialogs dialogs;
    const auto window = loadedWindow(data.path());
    QVERIFY(desk::test::showActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_U, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_G);
    deskmain::FrmMeibo* meibo = nullptr;
    QTRY_VERIFY((meibo = window->findChild<deskmain::FrmMeibo*>()) && meibo->isVisible());
    QVERIFY(desk::test::showActive(meibo));

    desk::test::pressAccessKey(meibo, Qt::Key_P);
    QTRY_VERIFY(meibo->preview());
    QStringList names;
    for (const desk::ReportItem& item : meibo->preview()->document().byControl(QStringLiteral("Text4")))
        names << item.text;
    QCOMPARE(names,
             (QStringList{QStringLiteral("山田 太郎"), QStringLiteral("=山田 花子"), QStringLiteral("Smith, \"Jr\"")}));
    // Its PDF is named for the days it covers, as its CSV file is.
    QCOMPARE(meibo->preview()->document().fileName,
             u"宿泊者名簿_"_s + first.toString(u"yyyyMMdd"_s) + u"_"_s +
                 QDate(today.year(), today.month(), today.daysInMonth()).toString(u"yyyyMMdd"_s));

    const QString file = data.path() + QStringLiteral("meibo.csv");
    dialogs.pushFileName(file);
    QVERIFY(desk::test::showActive(meibo));
    desk::test::pressAccessKey(meibo, Qt::Key_S);
    QTRY_VERIFY(QFile::exists(file));
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    // A spreadsheet must not take a typed name or number for a formula.
    QVERIFY(bytes.contains("'=山田") && bytes.contains("'+1-555"));
    const QString day = first.toString(QStringLiteral("yyyy/MM/dd"));
    const QString address = QStringLiteral("長野県 松本市");
    QCOMPARE(
        desk::csv::read(bytes),
        (QList<QStringList>{
            {u"チェックイン日"_s, u"泊数"_s, u"部屋"_s, u"氏名"_s, u"住所"_s, u"電話番号"_s, u"国籍"_s, u"旅券番号"_s},
            {day, {}, u"201"_s, u"山田 太郎"_s, address, u"0263-00-1234"_s, {}, {}},
            {day, {}, u"201"_s, u"=山田 花子"_s, address, {}, {}, {}},
            {day, {}, u"201"_s, u"Smith, \"Jr\""_s, {}, u"+1-555-0100"_s, u"USA"_s, u"X1234567"_s}}));
    QCOMPARE(dialogs.messageTexts(), QStringList{});
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
