#include "bookingapp/FrmReservation.h"
#include "bookingapp/FrmRireki.h"

#include "bookingsvc/Bookings.h"
#include "bookingsvc/ReservationClass.h"
#include "roomsvc/RoomStore.h"
#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "report/ReportPreview.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QDateEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using namespace desk::test;
using namespace Qt::StringLiterals;
using bookingapp::FrmReservation;
using bookingapp::FrmRireki;
using Icon = desk::Dialogs::Icon;

namespace {

// Text as an input method commits it (QTest types Latin-1 keys only).
void enter(const QObject* root, const QString& name, const QString& text) {
    auto* edit = child<QLineEdit>(root, name);
    QVERIFY2(edit, qPrintable(name));
    edit->setFocus();
    edit->selectAll();
    edit->insert(text);
}

struct Booking {
    qint32 number;
    QDate useDate;
    QString name;
    QString telNo;
};

void book(const QString& dir, const Booking& b, bool checkedIn = false) {
    bookingsvc::ReservationClass store;
    store.setDirPath(dir);
    store.CntDb();
    store.setReserveNo(b.number);
    store.setReserveDate(b.useDate);
    store.setRecieveDate(QDate(2024, 1, 5));
    store.setCliantName(b.name);
    store.setTelNo(b.telNo);
    store.setQuantity(2);
    store.setBadget(12000);
    store.Msave();
    if (checkedIn)
        store.ChkIn();
}

// The stored reservation, or ReserveNo 0.
std::unique_ptr<bookingsvc::ReservationClass> stored(const QString& dir, qint32 number) {
    auto store = std::make_unique<bookingsvc::ReservationClass>();
    store->setDirPath(dir);
    store->CntDb();
    store->setReserveNo(number);
    store->EDsearch();
    return store;
}

int reservationCount(const QString& dir) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::Reservation))
        ->scalar(QStringLiteral("SELECT COUNT(*) FROM Reserve"))
        .toInt();
}

QStringList listedNames(const FrmReservation& w) {
    QStringList names;
    const auto* list = child<QTreeWidget>(&w, QStringLiteral("ListView1"));
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        names << list->topLevelItem(i)->text(1);
    return names;
}

void setUseDate(FrmReservation& w, const QString& y, const QString& m, const QString& d) {
    auto* date = child<calfield::DateTextBox>(&w, QStringLiteral("RvDateTextBox"));
    date->setYearText(y);
    date->setMonthText(m);
    date->setDayText(d);
}

// A complete entry for a new reservation.
void fillEntry(FrmReservation& w) {
    setUseDate(w, QStringLiteral("2024"), QStringLiteral("4"), QStringLiteral("10"));
    enter(&w, QStringLiteral("RvtxtCliant"), QStringLiteral("山田太郎"));
    enter(&w, QStringLiteral("RxtxtTelNo"), QStringLiteral("03-1234-5678"));
    enter(&w, QStringLiteral("RvtxtUser"), QStringLiteral("2"));
    enter(&w, QStringLiteral("RvtxtBadget"), QStringLiteral("15000"));
}

bool inNewEntryState(const FrmReservation& w) {
    return child<QPushButton>(&w, QStringLiteral("CmdRd"))->isEnabled() &&
           !child<QPushButton>(&w, QStringLiteral("CmdEdit"))->isEnabled() &&
           !child<QPushButton>(&w, QStringLiteral("CmdDelete"))->isEnabled();
}

// Three rooms, 203 under repair, and reservation 90 in 202 on the nights of 4/10 and 4/11.
void houseWithRooms(const QString& dir) {
    desk::Connection::open(dir, QLatin1String(desk::DbFile::Option))
        ->exec(u"INSERT INTO Rooms (RoomCode, RoomName, RoomType, Capacity, Floor, SortOrder, InService) VALUES "
               u"('201', '桜', '和室', 2, '2階', 1, 1), ('202', '楓', '和洋室', 4, '2階', 2, 1), "
               u"('203', '椿', '和室', 2, '2階', 3, 0)"_s);
    book(dir, {90, QDate(2024, 4, 10), u"佐藤 花子"_s, u"03-1111-2222"_s});
    QList<roomsvc::RoomStay> held{roomsvc::RoomStay()};
    held[0].room = u"202"_s;
    held[0].firstNight = QDate(2024, 4, 10);
    held[0].nights = 2;
    held[0].guests = 2;
    held[0].reservationNo = 90;
    QCOMPARE(roomsvc::RoomStore(dir).save(held), QString());
}

QStringList listed(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

} // namespace

class TestFrmReservation : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void registerReadsTheEntry_data();
    void registerReadsTheEntry();
    void requiredFields_data();
    void requiredFields();
    void takenNumberIsRefused();
    void impossibleDatesAreRefused_data();
    void impossibleDatesAreRefused();
    void refusedDatePartStopsTheButton_data();
    void refusedDatePartStopsTheButton();
    void leavingAndBrowsingNeverWaitForTheDate();
    void callUp_data();
    void callUp();
    void correctKeepsCheckInMark_data();
    void correctKeepsCheckInMark();
    void correctWithMissingInputOnlyBeeps();
    void deleteAsksNothingAndRefreshesList();
    void pickerRefreshesOnlyTheList();
    void historyWindowOption_data();
    void historyWindowOption();
    void printShowsTheSlip();
    void unreadableDataDirFailsTheLoad();
    void stayPlanByKeys_data();
    void stayPlanByKeys();
    void roomsFromTheFreeList_data();
    void roomsFromTheFreeList();

private:
    std::unique_ptr<WindowFixture> m_f;
    QString dir() const { return m_f->dirPath(); }
};

void TestFrmReservation::init() {
    m_f = std::make_unique<WindowFixture>();
    QVERIFY(m_f->isValid());
}

void TestFrmReservation::cleanup() {
    settle();
    m_f.reset();
}

void TestFrmReservation::registerReadsTheEntry_data() {
    QTest::addColumn<QString>("guests");
    QTest::addColumn<QString>("budget");
    QTest::addColumn<QStringList>("dateParts");
    QTest::addColumn<int>("storedGuests");
    QTest::addColumn<int>("storedBudget");
    QTest::addColumn<QDate>("storedDate");

    const QStringList april10{QStringLiteral("2024"), QStringLiteral("4"), QStringLiteral("10")};
    QTest::newRow("2.5 guests round to even 2")
        << u"2.5"_s << u"15000"_s << april10 << 2 << 15000 << QDate(2024, 4, 10);
    QTest::newRow("3.5 guests round to even 4")
        << u"3.5"_s << u"15000"_s << april10 << 4 << 15000 << QDate(2024, 4, 10);
    QTest::newRow("leading number of the text")
        << u"3人"_s << u"12000円"_s << april10 << 3 << 12000 << QDate(2024, 4, 10);
    QTest::newRow("no number counts 0") << u"ニ"_s << u"応相談"_s << april10 << 0 << 0 << QDate(2024, 4, 10);
    QTest::newRow("full-width digits of the input method")
        << u"２人"_s << u"１２０００"_s << QStringList{u"２０２４"_s, u"０４"_s, u"１０"_s} << 2 << 12000
        << QDate(2024, 4, 10);
    QTest::newRow("thousands with the full-width comma")
        << u"２人"_s << u"１２，０００円"_s << april10 << 2 << 12000 << QDate(2024, 4, 10);
    QTest::newRow("29 February of a leap year")
        << u"2"_s << u"9800"_s << QStringList{u"2024"_s, u"2"_s, u"29"_s} << 2 << 9800 << QDate(2024, 2, 29);
}

void TestFrmReservation::registerReadsTheEntry() {
    QFETCH(QString, guests);
    QFETCH(QString, budget);
    QFETCH(QStringList, dateParts);
    QFETCH(int, storedGuests);
    QFETCH(int, storedBudget);
    QFETCH(QDate, storedDate);

    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    QCOMPARE(textOf(&w, QStringLiteral("RvlbReserveNo")), QStringLiteral("1"));
    fillEntry(w);
    setUseDate(w, dateParts[0], dateParts[1], dateParts[2]);
    enter(&w, QStringLiteral("RvtxtUser"), guests);
    enter(&w, QStringLiteral("RvtxtBadget"), budget);
    enter(&w, QStringLiteral("RvtxtGroupeName"), QStringLiteral("大野's 会"));
    QVERIFY(mouseClick(&w, QStringLiteral("CmdRd")));
    QCOMPARE(m_f->dialogs().messages().size(), 0);
    QCOMPARE(textOf(&w, QStringLiteral("lbMessage")), QStringLiteral("予約番号 1 を登録しました。"));

    const auto r = stored(dir(), 1);
    QCOMPARE(r->ReserveNo(), 1);
    QCOMPARE(r->Quantity(), storedGuests);
    QCOMPARE(r->Badget(), storedBudget);
    QCOMPARE(r->ReserveDate(), storedDate);
    QCOMPARE(r->RecieveDate(), QDate::currentDate());
    QCOMPARE(r->CliantName(), QStringLiteral("山田太郎"));
    QCOMPARE(r->ClGroupeName(), QStringLiteral("大野's 会"));
    QVERIFY(!r->CheckInFlg());
    // Back to a new entry under the next number.
    QCOMPARE(textOf(&w, QStringLiteral("RvlbReserveNo")), QStringLiteral("2"));
    QCOMPARE(textOf(&w, QStringLiteral("RvtxtCliant")), QString());
    QVERIFY(inNewEntryState(w));
}

void TestFrmReservation::requiredFields_data() {
    QTest::addColumn<QString>("emptied");
    QTest::addColumn<bool>("refused");
    for (const char* name :
         {"RvtxtCliant", "TextYear", "TextMonth", "TextDay", "RxtxtTelNo", "RvtxtUser", "RvtxtBadget"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    for (const char* name : {"RvtxtZipCode", "RvtxtAddress1", "RvtxtExtra", "RvtxtArvTime", "RvtxtTravelAg"})
        QTest::newRow(name) << QString::fromLatin1(name) << false;
}

void TestFrmReservation::requiredFields() {
    QFETCH(QString, emptied);
    QFETCH(bool, refused);

    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    fillEntry(w);
    for (const char* optional : {"RvtxtZipCode", "RvtxtAddress1", "RvtxtExtra", "RvtxtArvTime", "RvtxtTravelAg"})
        enter(&w, QString::fromLatin1(optional), QStringLiteral("x"));
    child<QLineEdit>(&w, emptied)->clear();
    QVERIFY(mouseClick(&w, QStringLiteral("CmdRd")));

    QCOMPARE(reservationCount(dir()), refused ? 0 : 1);
    if (refused) {
        QCOMPARE(m_f->dialogs().messageTexts(), QStringList{QStringLiteral("未入力の項目があります！")});
        QCOMPARE(m_f->dialogs().messages()[0].title, QStringLiteral("警告"));
        QCOMPARE(m_f->dialogs().messages()[0].icon, Icon::Critical);
        QCOMPARE(m_f->dialogs().beeps(), 1);
        // The entry stays for the clerk to complete.
        QCOMPARE(textOf(&w, QStringLiteral("RvtxtBadget")),
                 emptied == QLatin1String("RvtxtBadget") ? QString() : u"15000"_s);
    }
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestFrmReservation::takenNumberIsRefused() {
    // The refusal is shown only after the transaction is over: another desk saving into
    // the same file at that moment does not wait for the clerk (no busy wait allowed).
    QStringList otherDeskErrors;
    m_f->dialogs().setMessageHook([&](const QString&) {
        try {
            const auto other = desk::Connection::open(dir(), QLatin1String(desk::DbFile::Reservation));
            other->exec(QStringLiteral("PRAGMA busy_timeout = 0"));
            other->exec(QStringLiteral("UPDATE Reserve SET RvRemarks1 = 'other desk' WHERE RvNo = 1"));
        } catch (const desk::DbError& e) {
            otherDeskErrors << e.message();
        }
    });
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    // Another station registers the proposed number first.
    book(dir(), {1, QDate(2024, 4, 10), QStringLiteral("先客"), QStringLiteral("1")});
    fillEntry(w);
    child<QLineEdit>(&w, QStringLiteral("RvtxtCliant"))->setFocus();
    pressAccessKey(&w, Qt::Key_R);
    QTRY_COMPARE(m_f->dialogs().messageTexts(), QStringList{QStringLiteral("予約番号の重複！")});

    QCOMPARE(otherDeskErrors, QStringList());
    QCOMPARE(m_f->dialogs().messages()[0].icon, Icon::Critical);
    QCOMPARE(m_f->dialogs().beeps(), 2);
    QCOMPARE(reservationCount(dir()), 1);
    QCOMPARE(stored(dir(), 1)->CliantName(), QStringLiteral("先客"));
    // The next free number is proposed and the entry is kept: one key registers it.
    QCOMPARE(textOf(&w, QStringLiteral("RvlbReserveNo")), QStringLiteral("2"));
    QCOMPARE(textOf(&w, QStringLiteral("RvtxtCliant")), QStringLiteral("山田太郎"));
    QVERIFY(QApplication::overrideCursor() == nullptr);

    m_f->dialogs().setMessageHook(nullptr);
    pressAccessKey(&w, Qt::Key_R);
    QTRY_COMPARE(reservationCount(dir()), 2);
    QCOMPARE(stored(dir(), 2)->CliantName(), QStringLiteral("山田太郎"));
    QCOMPARE(textOf(&w, QStringLiteral("lbMessage")), QStringLiteral("予約番号 2 を登録しました。"));
    QCOMPARE(m_f->dialogs().messages().size(), 1);
}

void TestFrmReservation::impossibleDatesAreRefused_data() {
    QTest::addColumn<bool>("correcting");
    QTest::addColumn<QStringList>("parts");
    const QList<std::pair<const char*, QStringList>> dates{
        {"30 February", {u"2002"_s, u"2"_s, u"30"_s}},
        {"29 February of a common year", {u"2023"_s, u"2"_s, u"29"_s}},
        {"day 0", {u"2027"_s, u"3"_s, u"0"_s}},
        {"April 31 with the month written 04", {u"2024"_s, u"04"_s, u"31"_s}},
        {"month 13", {u"2024"_s, u"13"_s, u"1"_s}},
    };
    for (const auto& [name, parts] : dates) {
        QTest::addRow("register: %s", name) << false << parts;
        QTest::addRow("correct: %s", name) << true << parts;
    }
}

void TestFrmReservation::impossibleDatesAreRefused() {
    QFETCH(bool, correcting);
    QFETCH(QStringList, parts);

    if (correcting)
        book(dir(), {3, QDate(2024, 5, 3), QStringLiteral("鈴木"), QStringLiteral("1")});
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    if (correcting) {
        m_f->dialogs().pushInput(QStringLiteral("3"));
        pressAccessKey(&w, Qt::Key_C);
        QTRY_COMPARE(textOf(&w, QStringLiteral("RvtxtCliant")), QStringLiteral("鈴木"));
    } else {
        fillEntry(w);
    }
    // Written past the boxes' own checks, as a month typed "04" passes them.
    setUseDate(w, parts[0], parts[1], parts[2]);
    child<QLineEdit>(&w, QStringLiteral("RvtxtCliant"))->setFocus();
    pressAccessKey(&w, correcting ? Qt::Key_T : Qt::Key_R);
    QTRY_COMPARE(m_f->dialogs().messageTexts(), QStringList{QStringLiteral("日付が正しくありません。")});

    QCOMPARE(m_f->dialogs().messages()[0].title, QStringLiteral("警告"));
    QCOMPARE(m_f->dialogs().messages()[0].icon, Icon::Critical);
    QCOMPARE(reservationCount(dir()), correcting ? 1 : 0);
    if (correcting)
        QCOMPARE(stored(dir(), 3)->ReserveDate(), QDate(2024, 5, 3));
    // The entry stays as typed.
    QCOMPARE(child<calfield::DateTextBox>(&w, QStringLiteral("RvDateTextBox"))->DayText(), parts[2]);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestFrmReservation::refusedDatePartStopsTheButton_data() {
    QTest::addColumn<QString>("typed"); // year, month, day as the clerk types them
    QTest::addColumn<QString>("leaving");
    QTest::addColumn<bool>("byMouse");
    QTest::addColumn<QString>("message");
    QTest::newRow("April 31, mouse") << u"2024 4 31"_s << u"TextDay"_s << true << u"30までの数を入力してください。"_s;
    QTest::newRow("April 31, access key")
        << u"2024 4 31"_s << u"TextDay"_s << false << u"30までの数を入力してください。"_s;
    QTest::newRow("year 202, mouse") << u"202"_s << u"TextYear"_s << true << u"4桁で年号を入力してください。"_s;
    QTest::newRow("year 202, access key") << u"202"_s << u"TextYear"_s << false << u"4桁で年号を入力してください。"_s;
}

void TestFrmReservation::refusedDatePartStopsTheButton() {
    QFETCH(QString, typed);
    QFETCH(QString, leaving);
    QFETCH(bool, byMouse);
    QFETCH(QString, message);

    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    fillEntry(w);
    setUseDate(w, {}, {}, {});
    // The clerk types the date part by part, tabbing on.
    const QStringList parts = typed.split(u' ');
    const QStringList boxes{u"TextYear"_s, u"TextMonth"_s, u"TextDay"_s};
    auto* date = child<calfield::DateTextBox>(&w, QStringLiteral("RvDateTextBox"));
    child<QLineEdit>(date, boxes[0])->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < parts.size(); ++i) {
        QTest::keyClicks(QApplication::focusWidget(), parts[i]);
        if (i + 1 < parts.size())
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(date, leaving));

    if (byMouse)
        QTest::mouseClick(child<QPushButton>(&w, QStringLiteral("CmdRd")), Qt::LeftButton);
    else
        pressAccessKey(&w, Qt::Key_R);
    QTest::qWait(250);

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{message});
    QCOMPARE(reservationCount(dir()), 0);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(date, leaving));
    QCOMPARE(textOf(&w, QStringLiteral("RvtxtCliant")), QStringLiteral("山田太郎"));
}

void TestFrmReservation::leavingAndBrowsingNeverWaitForTheDate() {
    const QDate today = QDate::currentDate();
    book(dir(), {1, today, QStringLiteral("今日の客"), QStringLiteral("1")});
    book(dir(), {2, today.addDays(1), QStringLiteral("明日の客"), QStringLiteral("2")});
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    // The window opens in the name box, never in an empty date box; lists show amounts as reports do.
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, QStringLiteral("RvtxtCliant")));
    auto* list = child<QTreeWidget>(&w, QStringLiteral("ListView1"));
    QCOMPARE(list->topLevelItem(0)->text(3), QStringLiteral("12,000"));
    QVERIFY(list->topLevelItem(0)->textAlignment(3) & Qt::AlignRight);

    // The day picker is used with the year box left at "202".
    auto* year = child<QLineEdit>(&w, QStringLiteral("TextYear"));
    year->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(year, QStringLiteral("202"));
    auto* picker = child<QDateEdit>(&w, QStringLiteral("DTPicker1"));
    QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(10, picker->height() / 2));
    QCOMPARE(QApplication::focusWidget(), picker);
    QTest::keyClick(picker, Qt::Key_Up);
    QTest::keyClick(picker, Qt::Key_Up);
    QCoreApplication::processEvents();
    QVERIFY(m_f->dialogs().messages().isEmpty());
    QVERIFY(picker->date() != today);
    QCOMPARE(w.listedDay(), desk::convert::dayText(picker->date()));

    // 終わり closes whatever the date boxes hold.
    year->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(child<QPushButton>(&w, QStringLiteral("CmdEnd")), Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY(m_f->dialogs().messages().isEmpty());
    QVERIFY(!w.isVisible());
}

void TestFrmReservation::callUp_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("notFoundMessage");

    QTest::newRow("known number") << u"7"_s << true << false;
    QTest::newRow("blanks around it") << u" 7 "_s << true << false;
    QTest::newRow("full-width digits") << u"７"_s << true << false;
    QTest::newRow("unknown number") << u"8"_s << false << true;
    QTest::newRow("not a number") << u"abc"_s << false << true;
    QTest::newRow("fraction") << u"7.5"_s << false << true;
    QTest::newRow("beyond 32 bits") << u"99999999999"_s << false << true;
    QTest::newRow("cancelled") << u""_s << false << false;
}

void TestFrmReservation::callUp() {
    QFETCH(QString, answer);
    QFETCH(bool, found);
    QFETCH(bool, notFoundMessage);

    book(dir(), {7, QDate(2024, 5, 3), QStringLiteral("O'Brien"), QStringLiteral("090-1111-2222")});
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    m_f->dialogs().pushInput(answer);
    QVERIFY(mouseClick(&w, QStringLiteral("CmdCall")));

    QCOMPARE(m_f->dialogs().shown()[0].text, QStringLiteral("予約番号を入力してください。"));
    QCOMPARE(m_f->dialogs().shown()[0].title, QStringLiteral("予約"));
    QCOMPARE(m_f->dialogs().messageTexts(),
             notFoundMessage ? QStringList{QStringLiteral("見つかりません！")} : QStringList{});
    QCOMPARE(inNewEntryState(w), !found);
    if (found) {
        QCOMPARE(textOf(&w, QStringLiteral("RvlbReserveNo")), QStringLiteral("7"));
        QCOMPARE(textOf(&w, QStringLiteral("RvtxtCliant")), QStringLiteral("O'Brien"));
        QCOMPARE(textOf(&w, QStringLiteral("RxtxtTelNo")), QStringLiteral("090-1111-2222"));
        QCOMPARE(textOf(&w, QStringLiteral("RvtxtUser")), QStringLiteral("2"));
        QCOMPARE(textOf(&w, QStringLiteral("lbRecieve")), QStringLiteral("2024/01/05"));
        const auto* date = child<calfield::DateTextBox>(&w, QStringLiteral("RvDateTextBox"));
        QCOMPARE(QStringList({date->YearText(), date->MonthText(), date->DayText()}),
                 QStringList({u"2024"_s, u"5"_s, u"3"_s}));
        QVERIFY(!mouseClick(&w, QStringLiteral("CmdRd"))); // register is off while a reservation is shown
    } else {
        QCOMPARE(textOf(&w, QStringLiteral("RvlbReserveNo")), QStringLiteral("8"));
        QCOMPARE(textOf(&w, QStringLiteral("RvtxtCliant")), QString());
    }
}

void TestFrmReservation::correctKeepsCheckInMark_data() {
    QTest::addColumn<bool>("checkedIn");
    QTest::newRow("guest already checked in") << true;
    QTest::newRow("guest not yet arrived") << false;
}

void TestFrmReservation::correctKeepsCheckInMark() {
    QFETCH(bool, checkedIn);
    book(dir(), {3, QDate(2024, 5, 3), QStringLiteral("鈴木"), QStringLiteral("1")}, checkedIn);
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    m_f->dialogs().pushInput(QStringLiteral("3"));
    QVERIFY(mouseClick(&w, QStringLiteral("CmdCall")));
    enter(&w, QStringLiteral("RvtxtCliant"), QStringLiteral("鈴木一郎"));
    enter(&w, QStringLiteral("RvtxtUser"), QStringLiteral("5"));
    setUseDate(w, QStringLiteral("2024"), QStringLiteral("5"), QStringLiteral("4"));
    QVERIFY(mouseClick(&w, QStringLiteral("CmdEdit")));

    QCOMPARE(m_f->dialogs().messages().size(), 0);
    const auto r = stored(dir(), 3);
    QCOMPARE(r->CliantName(), QStringLiteral("鈴木一郎"));
    QCOMPARE(r->Quantity(), 5);
    QCOMPARE(r->ReserveDate(), QDate(2024, 5, 4));
    QCOMPARE(r->RecieveDate(), QDate(2024, 1, 5));
    QCOMPARE(r->CheckInFlg(), checkedIn);
    QCOMPARE(reservationCount(dir()), 1);
    QVERIFY(inNewEntryState(w));
    QCOMPARE(textOf(&w, QStringLiteral("RvlbReserveNo")), QStringLiteral("4"));
    QCOMPARE(textOf(&w, QStringLiteral("lbMessage")), QStringLiteral("予約番号 3 を訂正しました。"));
}

void TestFrmReservation::correctWithMissingInputOnlyBeeps() {
    book(dir(), {3, QDate(2024, 5, 3), QStringLiteral("鈴木"), QStringLiteral("1")});
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    m_f->dialogs().pushInput(QStringLiteral("3"));
    QVERIFY(mouseClick(&w, QStringLiteral("CmdCall")));
    enter(&w, QStringLiteral("RvtxtCliant"), QStringLiteral("別人"));
    child<QLineEdit>(&w, QStringLiteral("RxtxtTelNo"))->clear();
    QVERIFY(mouseClick(&w, QStringLiteral("CmdEdit")));

    QCOMPARE(m_f->dialogs().messages().size(), 0);
    QCOMPARE(m_f->dialogs().beeps(), 1);
    QCOMPARE(stored(dir(), 3)->CliantName(), QStringLiteral("鈴木"));
    QVERIFY(!inNewEntryState(w));
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestFrmReservation::deleteAsksNothingAndRefreshesList() {
    const QDate today = QDate::currentDate();
    book(dir(), {1, today, QStringLiteral("残る客"), QStringLiteral("1")});
    book(dir(), {2, today, QStringLiteral("取消客"), QStringLiteral("2")});
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    QCOMPARE(listedNames(w), QStringList({QStringLiteral("残る客"), QStringLiteral("取消客")}));

    m_f->dialogs().pushInput(QStringLiteral("2"));
    QVERIFY(mouseClick(&w, QStringLiteral("CmdCall")));
    QVERIFY(mouseClick(&w, QStringLiteral("CmdDelete")));

    QCOMPARE(m_f->dialogs().messages().size(), 0);
    QCOMPARE(stored(dir(), 2)->ReserveNo(), 0);
    QCOMPARE(listedNames(w), QStringList{QStringLiteral("残る客")});
    QVERIFY(inNewEntryState(w));
    QCOMPARE(textOf(&w, QStringLiteral("lbRecieve")), QString());
    QCOMPARE(textOf(&w, QStringLiteral("RvlbReserveNo")), QStringLiteral("2"));
    QCOMPARE(textOf(&w, QStringLiteral("lbMessage")), QStringLiteral("予約番号 2 を取り消しました。"));
}

void TestFrmReservation::pickerRefreshesOnlyTheList() {
    book(dir(), {1, QDate(2024, 8, 13), QStringLiteral("盆の客"), QStringLiteral("1")});
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    QCOMPARE(w.listedDay(), desk::convert::dayText(QDate::currentDate()));
    QCOMPARE(listedNames(w), QStringList());
    fillEntry(w);

    child<QDateEdit>(&w, QStringLiteral("DTPicker1"))->setDate(QDate(2024, 8, 13));
    QCOMPARE(w.listedDay(), QStringLiteral("2024/8/13"));
    QCOMPARE(listedNames(w), QStringList{QStringLiteral("盆の客")});
    QCOMPARE(textOf(&w, QStringLiteral("RvtxtCliant")), QStringLiteral("山田太郎"));
    QCOMPARE(textOf(&w, QStringLiteral("RvlbReserveNo")), QStringLiteral("2"));
}

void TestFrmReservation::historyWindowOption_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("telNo");
    QTest::addColumn<int>("option"); // -1: no window

    QTest::newRow("name only") << u"山田"_s << u""_s << int(FrmRireki::ByName);
    QTest::newRow("telephone only") << u""_s << u"03-1234-5678"_s << int(FrmRireki::ByTelNo);
    QTest::newRow("both: by name") << u"山田"_s << u"03-1234-5678"_s << int(FrmRireki::ByName);
    QTest::newRow("neither") << u""_s << u""_s << -1;
}

void TestFrmReservation::historyWindowOption() {
    QFETCH(QString, name);
    QFETCH(QString, telNo);
    QFETCH(int, option);

    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    enter(&w, QStringLiteral("RvtxtCliant"), name);
    enter(&w, QStringLiteral("RxtxtTelNo"), telNo);
    QVERIFY(mouseClick(&w, QStringLiteral("CmdRireki")));

    FrmRireki* history = w.historyWindow();
    if (option < 0) {
        QVERIFY(!history);
        QCOMPARE(m_f->dialogs().messageTexts(), QStringList{QStringLiteral("お客様名が入力されていません。")});
        return;
    }
    QVERIFY(history && history->isVisible());
    QCOMPARE(int(history->searchBy()), option);
    QCOMPARE(textOf(history, QStringLiteral("RvtxtCliant")), name);
    QCOMPARE(textOf(history, QStringLiteral("RxtxtTelNo")), telNo);
    history->close();
}

void TestFrmReservation::printShowsTheSlip() {
    book(dir(), {4, QDate(2024, 5, 3), QStringLiteral("印刷される客"), QStringLiteral("1")});
    m_f->context().setMyCompanyName(QStringLiteral("湯の宿"));
    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    m_f->dialogs().pushInput(QStringLiteral("4"));
    QVERIFY(mouseClick(&w, QStringLiteral("CmdCall")));
    QVERIFY(mouseClick(&w, QStringLiteral("CmdPrint")));

    auto* preview = w.findChild<desk::ReportPreview*>();
    QVERIFY(preview);
    const QStringList texts = preview->document().texts();
    QVERIFY(texts.contains(QStringLiteral("印刷される客")));
    QVERIFY(texts.contains(QStringLiteral("湯の宿")));
    preview->close();
}

void TestFrmReservation::unreadableDataDirFailsTheLoad() {
    m_f->context().setDirPath(dir() + QStringLiteral("nowhere/"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, FrmReservation w(m_f->context()));
}

void TestFrmReservation::stayPlanByKeys_data() {
    QTest::addColumn<QStringList>("typed"); // nights, plan, children, child plan, meal note
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("nights");
    QTest::addColumn<int>("children");

    QTest::newRow("a family on two plans")
        << QStringList{u"2"_s, u"102"_s, u"1"_s, u"104"_s, u"卵アレルギー"_s}
        << QStringList{u"宿泊料金（1泊朝食）　@8,500"_s, u"宿泊料金（小人）　@7,000"_s} << 2 << 1;
    // Left as offered: one night, no plan, no children.
    QTest::newRow("as offered") << QStringList{QString(), QString(), QString(), QString(), QString()}
                                << QStringList{QString(), QString()} << 1 << 0;
}

void TestFrmReservation::stayPlanByKeys() {
    QFETCH(QStringList, typed);
    QFETCH(QStringList, labels);
    QFETCH(int, nights);
    QFETCH(int, children);

    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    fillEntry(w);
    // The stay follows the remarks in the tab order; the meal note has its access key.
    enter(&w, u"RvtxtExtra"_s, u"記念日"_s);
    const char* const boxes[] = {"RvtxtNights", "RvtxtPlan", "RvtxtChildren", "RvtxtChildPlan"};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(boxes[i]));
        if (!typed[i].isEmpty()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), typed[i]);
        }
    }
    pressAccessKey(&w, Qt::Key_M);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"RvtxtMealNote"_s);
    if (!typed[4].isEmpty())
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, typed[4], Qt::NoModifier);
    QCOMPARE(textOf(&w, u"RvlbPlan"_s), labels[0]);
    QCOMPARE(textOf(&w, u"RvlbChildPlan"_s), labels[1]);
    pressAccessKey(&w, Qt::Key_R);
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{});

    const std::optional<bookingsvc::Reservation> saved = bookingsvc::Bookings(dir()).callUp(1);
    QVERIFY(saved);
    QCOMPARE(saved->nights, nights);
    QCOMPARE(saved->plan, typed[1]);
    QCOMPARE(saved->children, children);
    QCOMPARE(saved->childPlan, typed[3]);
    QCOMPARE(saved->mealNote, typed[4]);
    // A new entry starts on one night without a plan; a call-up shows the stay again.
    QCOMPARE(textOf(&w, u"RvtxtNights"_s), u"1"_s);
    QCOMPARE(textOf(&w, u"RvlbPlan"_s), QString());
    m_f->dialogs().pushInput(u"1"_s);
    pressAccessKey(&w, Qt::Key_C);
    QCOMPARE(textOf(&w, u"RvtxtNights"_s), QString::number(nights));
    QCOMPARE(textOf(&w, u"RvlbPlan"_s), labels[0]);
    QCOMPARE(textOf(&w, u"RvtxtMealNote"_s), typed[4]);
}

void TestFrmReservation::roomsFromTheFreeList_data() {
    QTest::addColumn<QString>("day"); // the arrival in April 2024
    QTest::addColumn<QString>("nights");
    QTest::addColumn<QString>("guests");
    QTest::addColumn<QStringList>("free");    // listed when the list is reached
    QTest::addColumn<int>("picks");           // Enter presses in the free list
    QTest::addColumn<bool>("takenMeanwhile"); // another desk books 201 before 登録
    QTest::addColumn<QStringList>("stored");  // room:guests of the reservation's stays; empty: refused

    QTest::newRow("one room") << u"11"_s << u"1"_s << u"2"_s << QStringList{u"201"_s} << 1 << false
                              << QStringList{u"201:2"_s};
    QTest::newRow("a group in two rooms") << u"12"_s << u"2"_s << u"5"_s << QStringList{u"201"_s, u"202"_s} << 2
                                          << false << QStringList{u"201:2"_s, u"202:3"_s};
    QTest::newRow("unassigned") << u"11"_s << u"1"_s << u"2"_s << QStringList{u"201"_s} << 0 << false
                                << QStringList{u":2"_s};
    QTest::newRow("taken at another desk")
        << u"11"_s << u"1"_s << u"2"_s << QStringList{u"201"_s} << 1 << true << QStringList();
}

void TestFrmReservation::roomsFromTheFreeList() {
    QFETCH(QString, day);
    QFETCH(QString, nights);
    QFETCH(QString, guests);
    QFETCH(QStringList, free);
    QFETCH(int, picks);
    QFETCH(bool, takenMeanwhile);
    QFETCH(QStringList, stored);
    houseWithRooms(dir());

    FrmReservation w(m_f->context());
    QVERIFY(showActive(&w));
    fillEntry(w);
    setUseDate(w, u"2024"_s, u"4"_s, day);
    enter(&w, u"RvtxtUser"_s, guests);
    enter(&w, u"RvtxtNights"_s, nights);
    QCOMPARE(textOf(&w, u"RvlbReserveNo"_s), u"91"_s);
    // The free rooms for those nights, with their type and capacity, reached by the access key.
    pressAccessKey(&w, Qt::Key_K);
    auto* freeList = child<QTreeWidget>(&w, u"RvListFree"_s);
    QCOMPARE(QApplication::focusWidget(), freeList);
    QCOMPARE(listed(freeList, 0), free);
    QCOMPARE(listed(freeList, 2).first(), u"和室"_s);
    QCOMPARE(listed(freeList, 3).first(), u"2"_s);
    for (int i = 0; i < picks; ++i)
        QTest::keyClick(freeList, Qt::Key_Return);
    QCOMPARE(listed(child<QTreeWidget>(&w, u"RvListRooms"_s), 0), free.mid(0, picks));
    QCOMPARE(freeList->topLevelItemCount(), free.size() - picks);

    if (takenMeanwhile) {
        QList<roomsvc::RoomStay> other{roomsvc::RoomStay()};
        other[0].room = u"201"_s;
        other[0].firstNight = QDate(2024, 4, 11);
        other[0].guests = 1;
        QCOMPARE(roomsvc::RoomStore(dir()).save(other), QString());
    }
    pressAccessKey(&w, Qt::Key_R);

    const QList<roomsvc::RoomStay> stays = roomsvc::RoomStore(dir()).staysOfReservation(91);
    if (stored.isEmpty()) {
        // Refused in the rack's words; neither the reservation nor a room of it is saved.
        QCOMPARE(m_f->dialogs().messageTexts().size(), 1);
        QVERIFY2(m_f->dialogs().messageTexts().first().startsWith(u"201号室の4/11の夜は"_s),
                 qPrintable(m_f->dialogs().messageTexts().first()));
        QVERIFY(!bookingsvc::Bookings(dir()).callUp(91));
        QVERIFY(stays.isEmpty());
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(&w, u"RvListRooms"_s));
        return;
    }
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    QStringList saved;
    for (const roomsvc::RoomStay& stay : stays) {
        saved << stay.room + u':' + QString::number(stay.guests);
        QCOMPARE(stay.firstNight, QDate(2024, 4, day.toInt()));
        QCOMPARE(stay.nights, nights.toInt());
    }
    QCOMPARE(saved, stored);
    // Called up, the reservation shows its rooms again; cancelled, its rooms are free.
    m_f->dialogs().pushInput(u"91"_s);
    pressAccessKey(&w, Qt::Key_C);
    QStringList shownRooms;
    for (const QString& line : stored) {
        if (!line.startsWith(u':'))
            shownRooms << line.section(u':', 0, 0);
    }
    QCOMPARE(listed(child<QTreeWidget>(&w, u"RvListRooms"_s), 0), shownRooms);
    pressAccessKey(&w, Qt::Key_D);
    QVERIFY(roomsvc::RoomStore(dir()).staysOfReservation(91).isEmpty());
}

QTEST_MAIN(TestFrmReservation)
#include "tst_frmreservation.moc"
