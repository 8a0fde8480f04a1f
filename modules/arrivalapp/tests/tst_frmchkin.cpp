#include "arrivalapp/FrmChkIn.h"
#include "arrivalapp/FrmSpec.h"

#include "arrivalsvc/CheckInClass.h"
#include "arrivalsvc/CheckInDesk.h"
#include "bookingsvc/ReservationClass.h"
#include "calfield/DateTextBox.h"
#include "data/Connection.h"
#include "roomsvc/RoomStore.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace desk::test;
using namespace Qt::StringLiterals;
using arrivalapp::FrmChkIn;
using arrivalapp::FrmSpec;
using Icon = desk::Dialogs::Icon;

namespace {

const QString sixTables[] = {u"CheckInCliants"_s, u"CheckInAdrs"_s,         u"CheckInClasify"_s,
                             u"CheckInGroupe"_s,  u"CheckInCliantDetail"_s, u"CheckInBadget"_s};

std::shared_ptr<desk::Connection> guests(const QString& dir) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::DaySalesCliants));
}

// How many of the six tables hold a row of check-in `number`.
int rowsOf(const QString& dir, const QString& number) {
    const auto c = guests(dir);
    int count = 0;
    for (const QString& table : sixTables)
        count += c->scalar(u"SELECT COUNT(*) FROM %1 WHERE CheckInNO = ?"_s.arg(table), {number}).toInt();
    return count;
}

std::unique_ptr<arrivalsvc::CheckInClass> checkIn(const QString& dir, const QString& number) {
    auto store = std::make_unique<arrivalsvc::CheckInClass>();
    store->setDirPath(dir);
    store->CntDB();
    store->setCheckInNO(number);
    store->EDsearch();
    return store;
}

void addCheckIn(const QString& dir, const QString& number, const QString& choice = u"C2"_s, qint32 guestCount = 3,
                bool checkedOut = false) {
    arrivalsvc::CheckInClass store;
    store.setDirPath(dir);
    store.CntDB();
    store.setCheckInNO(number);
    store.setCheckInDate(QDate(2024, 5, 3));
    store.setCheckInName(u"中村 誠"_s);
    store.setCheckInRoomNo(u"203"_s);
    store.setQuantity(guestCount);
    store.setBadget(12000);
    store.setUserClass(u"U2"_s);
    store.setAgeClass(u"A4"_s);
    store.setPayClass(u"P2"_s);
    store.setGroupeClass(u"G1"_s);
    store.setChoiceClass(choice);
    store.Msave();
    if (checkedOut) {
        store.setCheckInNO2(number);
        store.CheckOut();
    }
}

std::unique_ptr<bookingsvc::ReservationClass> reservations(const QString& dir) {
    auto store = std::make_unique<bookingsvc::ReservationClass>();
    store->setDirPath(dir);
    store->CntDb();
    return store;
}

void book(const QString& dir, qint32 number, const QString& name, bool checkedIn = false) {
    const auto store = reservations(dir);
    store->setReserveNo(number);
    store->setReserveDate(QDate::currentDate());
    store->setRecieveDate(QDate(2024, 1, 5));
    store->setCliantName(name);
    store->setTelNo(u"0263-11-2222"_s);
    store->setAddress1(u"長野県"_s);
    store->setQuantity(2);
    store->setBadget(12000);
    store->setClRemarks(u"夕食は18時半"_s);
    store->Msave();
    if (checkedIn)
        store->ChkIn();
    // The stay the booking window gives every reservation now: two nights, one of the two a child.
    store->connection().exec(u"UPDATE Reserve SET RvNights = 2, RvPlan = '101', RvChildPlan = '104', "
                             u"RvChildren = 1, RvMealNote = 'えび不可' WHERE RvNo = ?"_s,
                             {number});
}

bool reservationCheckedIn(const QString& dir, qint32 number) {
    const auto store = reservations(dir);
    store->setReserveNo(number);
    store->EDsearch();
    return store->CheckInFlg();
}

// Text as an input method commits it: kana and kanji have no keys of their own.
void typeText(const QString& text) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(target, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void tab() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

void setDate(FrmChkIn& w, const QString& y, const QString& m, const QString& d) {
    auto* date = child<calfield::DateTextBox>(&w, u"ChkInDateTextBox"_s);
    date->setYearText(y);
    date->setMonthText(m);
    date->setDayText(d);
}

// A complete walk-in entry.
void fillEntry(FrmChkIn& w, const QString& number = u"2001"_s) {
    typeInto(&w, u"txtCheckInNo"_s, number);
    setDate(w, u"2024"_s, u"5"_s, u"3"_s);
    typeInto(&w, u"txtChkInName"_s, u"佐藤 花子"_s);
    typeInto(&w, u"txtChkInRoomNo"_s, u"105"_s);
    typeInto(&w, u"txtChkInKazu"_s, u"2"_s);
}

QComboBox* list(FrmChkIn& w, const char* name) {
    return child<QComboBox>(w.picker(), QString::fromLatin1(name));
}

// Closed before it goes, as a module's window is: a focused date box sees its last leave
// while the window is still whole.
struct CloseFirst {
    void operator()(FrmChkIn* w) const {
        w->close();
        settle();
        delete w;
    }
};
using Window = std::unique_ptr<FrmChkIn, CloseFirst>;

bool inCallUpState(FrmChkIn& w) {
    return !child<QPushButton>(&w, u"CmdRecord"_s)->isEnabled() && child<QPushButton>(&w, u"CmdEdit"_s)->isEnabled() &&
           child<QPushButton>(&w, u"CmdDelete"_s)->isEnabled();
}

// Rooms 201 and 205 free, 202 held tonight by a guest in the house, 203 under repair, and
// reservation 5 for 204 tonight.
void houseWithRooms(const QString& dir) {
    desk::Connection::open(dir, QLatin1String(desk::DbFile::Option))
        ->exec(u"INSERT INTO Rooms (RoomCode, RoomName, RoomType, Capacity, SortOrder, InService) VALUES "
               u"('201', '桜', '和室', 2, 1, 1), ('202', '楓', '和室', 4, 2, 1), ('203', '椿', '和室', 2, 3, 0), "
               u"('204', '萩', '洋室', 2, 4, 1), ('205', '菊', '洋室', 3, 5, 1)"_s);
    QList<roomsvc::RoomStay> held{roomsvc::RoomStay(), roomsvc::RoomStay()};
    held[0].room = u"202"_s;
    held[0].checkInNo = u"0999"_s;
    held[0].state = roomsvc::RoomStay::InHouse;
    held[1].room = u"204"_s;
    held[1].reservationNo = 5;
    for (roomsvc::RoomStay& stay : held) {
        stay.firstNight = QDate::currentDate();
        stay.guests = 2;
    }
    QCOMPARE(roomsvc::RoomStore(dir).save(held), QString());
}

} // namespace

class TestFrmChkIn : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void registerRefusals_data();
    void registerRefusals();
    void guestsAndPrice_data();
    void guestsAndPrice();
    void exemptGuests_data();
    void exemptGuests();
    void walkInWithTheKeyboard();
    void proposedNumber_data();
    void proposedNumber();
    void guestsToAddressByKeys();
    void takeOver_data();
    void takeOver();
    void failedMarkKeepsTheCheckIn();
    void callUp_data();
    void callUp();
    void storedCodeOnCorrection_data();
    void storedCodeOnCorrection();
    void correctionRefusals_data();
    void correctionRefusals();
    void renumberAndDelete();
    void halfTypedYear_data();
    void halfTypedYear();
    void emptyClassificationList();
    void listsFollowWhatOthersDid_data();
    void listsFollowWhatOthersDid();
    void guestListByKeyboard_data();
    void guestListByKeyboard();
    void guestListByTab();
    void roomPick_data();
    void roomPick();

private:
    std::unique_ptr<WindowFixture> m_f;
    ScriptedDialogs* m_dialogs = nullptr;
    QString dir() const { return m_f->dirPath(); }
    // Shown and active, so access keys and focus behave as on a desk.
    Window openWindow();
    // Calls check-in `number` up through the prompt.
    void callUp(FrmChkIn& w, const QString& number);
};

void TestFrmChkIn::init() {
    m_f = std::make_unique<WindowFixture>();
    QVERIFY(m_f->isValid());
    m_dialogs = &m_f->dialogs();
}

void TestFrmChkIn::cleanup() {
    settle();
    m_dialogs = nullptr;
    m_f.reset();
}

Window TestFrmChkIn::openWindow() {
    Window w(new FrmChkIn(m_f->context()));
    if (!showActive(w.get()))
        qWarning("check-in window not active");
    return w;
}

void TestFrmChkIn::callUp(FrmChkIn& w, const QString& number) {
    m_dialogs->pushInput(number);
    QVERIFY(mouseClick(&w, u"CmdCall"_s));
}

void TestFrmChkIn::registerRefusals_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("date");
    QTest::addColumn<QString>("message");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<QString>("numberAfter");
    // A box typed after the entry, and the box focused by the refusal (none: not checked).
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");

    const QStringList may3{u"2024"_s, u"5"_s, u"3"_s};
    QTest::newRow("empty number") << u""_s << may3 << u"チェックイン番号が入力されていません。"_s << Icon::Critical
                                  << u""_s << QString() << QString();
    QTest::newRow("day missing") << u"2001"_s << QStringList{u"2024"_s, u"5"_s, u""_s} << u"未入力の項目があります。"_s
                                 << Icon::Critical << u"2001"_s << QString() << QString();
    QTest::newRow("31 April") << u"2001"_s << QStringList{u"2024"_s, u"4"_s, u"31"_s} << u"日付が正しくありません。"_s
                              << Icon::Critical << u"2001"_s << QString() << QString();
    QTest::newRow("number taken") << u"1001"_s << may3 << u"チェックイン番号が重複しています。"_s << Icon::None << u""_s
                                  << QString() << QString();
    QTest::newRow("no nights") << u"2001"_s << may3 << u"泊数は 1 から 365 までで入力してください。"_s << Icon::Critical
                               << u"2001"_s << u"txtNights"_s << u"0"_s;
    QTest::newRow("more children than guests")
        << u"2001"_s << may3 << u"小人の人数 3 人は、人数 2 人を超えられません。"_s << Icon::Critical << u"2001"_s
        << u"txtChildren"_s << u"3"_s;
    // A drink is a commodity, but no plan to stay on.
    QTest::newRow("plan no stay") << u"2001"_s << may3 << u"「301」は宿泊プランの商品コードではありません。"_s
                                  << Icon::Critical << u"2001"_s << u"txtPlan"_s << u"301"_s;
    QTest::newRow("child plan unknown") << u"2001"_s << may3 << u"「999」は宿泊プランの商品コードではありません。"_s
                                        << Icon::Critical << u"2001"_s << u"txtChildPlan"_s << u"999"_s;
}

void TestFrmChkIn::registerRefusals() {
    QFETCH(QString, number);
    QFETCH(QStringList, date);
    QFETCH(QString, message);
    QFETCH(Icon, icon);
    QFETCH(QString, numberAfter);
    QFETCH(QString, box);
    QFETCH(QString, typed);

    addCheckIn(dir(), u"1001"_s);
    const auto w = openWindow();
    fillEntry(*w, number);
    setDate(*w, date[0], date[1], date[2]);
    if (!box.isEmpty())
        typeInto(w.get(), box, typed);
    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));
    if (!box.isEmpty())
        QCOMPARE(QApplication::focusWidget()->objectName(), box);

    QCOMPARE(m_dialogs->messageTexts(), QStringList{message});
    QCOMPARE(m_dialogs->messages()[0].title, u"警告"_s);
    QCOMPARE(m_dialogs->messages()[0].icon, icon);
    QCOMPARE(textOf(w.get(), u"txtCheckInNo"_s), numberAfter);
    // Nothing written; the rest of the entry stays for the clerk.
    QCOMPARE(guests(dir())->scalar(u"SELECT COUNT(*) FROM CheckInCliants"_s).toInt(), 1);
    QCOMPARE(checkIn(dir(), u"1001"_s)->CheckInName(), u"中村 誠"_s);
    QCOMPARE(textOf(w.get(), u"txtChkInName"_s), u"佐藤 花子"_s);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestFrmChkIn::guestsAndPrice_data() {
    QTest::addColumn<QString>("guestsText");
    QTest::addColumn<QString>("priceText");
    QTest::addColumn<int>("savedGuests"); // -1: refused, nothing saved
    QTest::addColumn<int>("savedPrice");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("halves to even") << u"2.5"_s << u"9800.5"_s << 2 << 9800 << QString();
    QTest::newRow("leading number, full-width") << u"３人"_s << u"１２０００円"_s << 3 << 12000 << QString();
    QTest::newRow("full-width thousands") << u"２"_s << u"１２，０００円"_s << 2 << 12000 << QString();
    QTest::newRow("no number") << u"ニ"_s << u""_s << 0 << 0 << QString();
    QTest::newRow("beyond the guests column") << u"40000"_s << u"1"_s << -1 << 0 << u"人数は 32767 までです。"_s;
    QTest::newRow("beyond the price column")
        << u"2"_s << u"12345678901234567890"_s << -1 << 0 << u"単価は 2147483647 までです。"_s;
    // A comma separates thousands only between groups of three digits; any other is asked about.
    const QString strayComma = u"%1の「%2」は数として読めません。カンマは 3 桁ごとに入れてください。"_s;
    QTest::newRow("thousands in the price") << u"2"_s << u"12,000"_s << 2 << 12000 << QString();
    QTest::newRow("1,5 guests") << u"1,5"_s << u"9800"_s << -1 << 0 << strayComma.arg(u"人数"_s, u"1,5"_s);
    QTest::newRow(",5 guests") << u",5"_s << u"9800"_s << -1 << 0 << strayComma.arg(u"人数"_s, u",5"_s);
    QTest::newRow("1,2345 in the price") << u"2"_s << u"1,2345"_s << -1 << 0 << strayComma.arg(u"単価"_s, u"1,2345"_s);
}

void TestFrmChkIn::guestsAndPrice() {
    QFETCH(QString, guestsText);
    QFETCH(QString, priceText);
    QFETCH(int, savedGuests);
    QFETCH(int, savedPrice);
    QFETCH(QString, refusal);

    const auto w = openWindow();
    fillEntry(*w);
    typeInto(w.get(), u"txtChkInKazu"_s, guestsText);
    typeInto(w.get(), u"txtBadet"_s, priceText);
    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));

    if (savedGuests < 0) {
        QCOMPARE(m_dialogs->messageTexts(), QStringList{refusal});
        QCOMPARE(rowsOf(dir(), u"2001"_s), 0);
        QCOMPARE(textOf(w.get(), u"txtChkInKazu"_s), guestsText);
        return;
    }
    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    const auto saved = checkIn(dir(), u"2001"_s);
    QCOMPARE(saved->Quantity(), savedGuests);
    QCOMPARE(saved->Badget(), savedPrice);
}

void TestFrmChkIn::exemptGuests_data() {
    QTest::addColumn<QString>("guestsText");
    QTest::addColumn<QString>("bathText"); // typed after its access key; "-" leaves the box as it opened
    QTest::addColumn<QString>("lodgingText");
    QTest::addColumn<QList<int>>("saved"); // bathing, accommodation; empty: refused
    QTest::newRow("nobody exempt unless typed") << u"2"_s << u"-"_s << u"-"_s << QList<int>{0, 0};
    QTest::newRow("a child exempt from the bathing tax; an emptied box is none")
        << u"3"_s << u"1"_s << u""_s << QList<int>{1, 0};
    QTest::newRow("a school trip: everyone exempt") << u"40"_s << u"40"_s << u"40"_s << QList<int>{40, 40};
    QTest::newRow("more exempt than guests") << u"2"_s << u"0"_s << u"3"_s << QList<int>{};
    QTest::newRow("fewer than none") << u"2"_s << u"-1"_s << u"0"_s << QList<int>{};
}

// The exempt counts are typed beside the party's count, saved with the check-in and shown
// again by a call-up; a count above the party is refused with the box at fault focused.
void TestFrmChkIn::exemptGuests() {
    QFETCH(QString, guestsText);
    QFETCH(QString, bathText);
    QFETCH(QString, lodgingText);
    QFETCH(QList<int>, saved);

    const auto w = openWindow();
    QCOMPARE(textOf(w.get(), u"txtBathExempt"_s), u"0"_s);
    fillEntry(*w);
    typeInto(w.get(), u"txtChkInKazu"_s, guestsText);
    for (const auto& [key, text] : {std::pair{Qt::Key_Y, bathText}, std::pair{Qt::Key_Z, lodgingText}}) {
        if (text == u"-"_s)
            continue;
        pressAccessKey(w.get(), key);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        typeText(text);
    }
    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));

    if (saved.isEmpty()) {
        QCOMPARE(m_dialogs->messageTexts().size(), 1);
        QVERIFY2(m_dialogs->messageTexts().first().contains(u"利用人数（2 人）まで"_s),
                 qPrintable(m_dialogs->messageTexts().first()));
        QCOMPARE(rowsOf(dir(), u"2001"_s), 0);
        const char* atFault = lodgingText == u"3"_s ? "txtLodgingExempt" : "txtBathExempt";
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(atFault));
        return;
    }
    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    const auto stored = checkIn(dir(), u"2001"_s);
    QCOMPARE((QList<int>{stored->BathExempt(), stored->LodgingExempt()}), saved);
    QCOMPARE(textOf(w.get(), u"txtLodgingExempt"_s), u"0"_s);
    callUp(*w, u"2001"_s);
    QCOMPARE(textOf(w.get(), u"txtBathExempt"_s), QString::number(saved[0]));
    QCOMPARE(textOf(w.get(), u"txtLodgingExempt"_s), QString::number(saved[1]));
}

void TestFrmChkIn::walkInWithTheKeyboard() {
    book(dir(), 5, u"鈴木 一郎"_s);
    const auto w = openWindow();
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"txtCheckInNo"_s));
    QCOMPARE(child<calfield::DateTextBox>(w.get(), u"ChkInDateTextBox"_s)->DayText(),
             QString::number(QDate::currentDate().day()));

    // The picker wants the number and the name first.
    pressAccessKey(w.get(), Qt::Key_K);
    QTRY_COMPARE(m_dialogs->messageTexts(), QStringList{u"未入力のデータがあります。"_s});
    QCOMPARE(m_dialogs->messages()[0].icon, Icon::None);
    QVERIFY(!w->picker()->isVisible());
    m_dialogs->clear();

    typeText(u"2001"_s);
    tab();
    typeText(u"2024"_s);
    tab();
    typeText(u"5"_s);
    tab();
    typeText(u"3"_s);
    tab();
    typeText(u"佐藤 花子"_s);
    tab();
    typeText(u"105"_s);
    for (int i = 0; i < 4; ++i)
        tab(); // group, agency, companions
    QCOMPARE(QApplication::focusWidget()->objectName(), u"txtChkInKazu"_s);
    typeText(u"2"_s);

    pressAccessKey(w.get(), Qt::Key_K);
    QTRY_VERIFY(w->picker()->isVisible());
    QCOMPARE(textOf(w->picker(), u"txtCheckInNo"_s), u"2001"_s);
    QCOMPARE(textOf(w->picker(), u"txtChkInName"_s), u"佐藤 花子"_s);
    QTRY_COMPARE(QApplication::focusWidget(), list(*w, "RvcmbSpec"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // G1 : 個人
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!w->picker()->isVisible());
    QTRY_VERIFY(w->isActiveWindow());

    pressAccessKey(w.get(), Qt::Key_T);
    QTRY_COMPARE(rowsOf(dir(), u"2001"_s), 6);
    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    const auto saved = checkIn(dir(), u"2001"_s);
    QCOMPARE(saved->CheckInDate(), QDate(2024, 5, 3));
    QCOMPARE(saved->CheckInName(), u"佐藤 花子"_s);
    QCOMPARE(saved->Quantity(), 2);
    // The picked entry, the first entry of every list left alone, and no reason for
    // choosing the inn when the clerk chose none.
    QCOMPARE(QStringList({saved->GroupeClass(), saved->AgeClass(), saved->UserClass(), saved->PayClass(),
                          saved->ChoiceClass()}),
             QStringList({u"G1"_s, u"A0"_s, u"U0"_s, u"P0"_s, QString()}));
    QVERIFY(!reservationCheckedIn(dir(), 5));
    // Cleared for the next guest, the picker too.
    QCOMPARE(textOf(w.get(), u"txtChkInName"_s), QString());
    QCOMPARE(list(*w, "RvcmbSpec")->currentIndex(), 0);
    QCOMPARE(list(*w, "CmbChkIn")->currentIndex(), -1);
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"txtCheckInNo"_s));
}

void TestFrmChkIn::proposedNumber_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<bool>("takenMeanwhile"); // by another desk, before the clerk registers
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("next");

    QTest::newRow("none yet") << QStringList{} << u"1"_s << false << u"1"_s << u"2"_s;
    QTest::newRow("1001") << QStringList{u"1001"_s} << u"1002"_s << false << u"1002"_s << u"1003"_s;
    // Compared as numbers, the width kept, numbers with letters left out.
    QTest::newRow("0999") << QStringList{u"15"_s, u"0999"_s, u"A2000"_s} << u"1000"_s << false << u"1000"_s
                          << u"1001"_s;
    QTest::newRow("taken meanwhile") << QStringList{u"1001"_s} << u"1002"_s << true << u"1003"_s << u"1004"_s;
}

void TestFrmChkIn::proposedNumber() {
    QFETCH(QStringList, stored);
    QFETCH(QString, proposed);
    QFETCH(bool, takenMeanwhile);
    QFETCH(QString, saved);
    QFETCH(QString, next);

    for (const QString& number : stored)
        addCheckIn(dir(), number);
    const auto w = openWindow();
    QCOMPARE(textOf(w.get(), u"txtCheckInNo"_s), proposed);
    typeInto(w.get(), u"txtChkInName"_s, u"佐藤 花子"_s);
    typeInto(w.get(), u"txtChkInRoomNo"_s, u"105"_s);
    typeInto(w.get(), u"txtChkInKazu"_s, u"2"_s);
    if (takenMeanwhile) {
        addCheckIn(dir(), proposed);
        pressAccessKey(w.get(), Qt::Key_T);
        QTRY_COMPARE(m_dialogs->messageTexts().size(), 1);
        QVERIFY(m_dialogs->messageTexts()[0].startsWith(u"チェックイン番号が重複しています。"_s));
        QVERIFY(m_dialogs->messageTexts()[0].contains(saved));
        // The entry stays under the next free number.
        QCOMPARE(textOf(w.get(), u"txtCheckInNo"_s), saved);
        QCOMPARE(textOf(w.get(), u"txtChkInName"_s), u"佐藤 花子"_s);
        m_dialogs->clear();
    }
    pressAccessKey(w.get(), Qt::Key_T);
    QTRY_COMPARE(rowsOf(dir(), saved), 6);
    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    QCOMPARE(checkIn(dir(), saved)->CheckInName(), u"佐藤 花子"_s);
    QCOMPARE(textOf(w.get(), u"txtCheckInNo"_s), next);
    // Typing replaces the proposal.
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"txtCheckInNo"_s));
    typeText(u"77"_s);
    QCOMPARE(textOf(w.get(), u"txtCheckInNo"_s), u"77"_s);
}

void TestFrmChkIn::guestsToAddressByKeys() {
    const auto w = openWindow();
    typeInto(w.get(), u"txtChkInName"_s, u"佐藤 花子"_s);
    pressAccessKey(w.get(), Qt::Key_N);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"txtChkInKazu"_s);
    QStringList order;
    for (int i = 0; i < 9; ++i) {
        tab();
        order << QApplication::focusWidget()->objectName();
    }
    // The address and phone right after the guests; the levy exemptions and the price, rarely
    // typed at a walk-in, after them.
    QCOMPARE(order,
             QStringList({u"txtChkAdrs1"_s, u"txtChkAdrs2"_s, u"txtChkAdrs3"_s, u"txtChkTelNo"_s, u"txtChkEMadrs"_s,
                          u"txtBathExempt"_s, u"txtLodgingExempt"_s, u"txtBadet"_s, u"CmdCallOp"_s}));
}

void TestFrmChkIn::takeOver_data() {
    QTest::addColumn<bool>("alreadyIn");
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("double click") << false << false;
    QTest::newRow("Enter on the row") << false << true;
    QTest::newRow("already checked in") << true << false;
}

void TestFrmChkIn::takeOver() {
    QFETCH(bool, alreadyIn);
    QFETCH(bool, byEnter);

    book(dir(), 1, u"山田 太郎"_s);
    book(dir(), 2, u"佐藤 花子"_s, alreadyIn);
    const auto w = openWindow();
    auto* rv = child<QTreeWidget>(w.get(), u"ListView1"_s);
    QCOMPARE(rv->topLevelItemCount(), 2);
    QTreeWidgetItem* row = rv->topLevelItem(1);
    QCOMPARE(row->text(4), alreadyIn ? u"済み"_s : QString());
    if (byEnter) {
        rv->setFocus();
        QTest::keyClick(rv, Qt::Key_Down);
        QCOMPARE(rv->currentItem(), row);
        QTest::keyClick(rv, Qt::Key_Return);
    } else {
        const QPoint at = rv->visualItemRect(row).center();
        QTest::mouseClick(rv->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(rv->viewport(), Qt::LeftButton, {}, at);
    }

    QCOMPARE(m_dialogs->messageTexts(), alreadyIn ? QStringList{u"チェックインが終了しています。"_s} : QStringList{});
    QCOMPARE(textOf(w.get(), u"lbChkInRvNo"_s), u"2"_s);
    QCOMPARE(textOf(w.get(), u"LBFlag"_s), alreadyIn ? u"済"_s : u"未"_s);
    QCOMPARE(textOf(w.get(), u"txtChkInName"_s), u"佐藤 花子"_s);
    QCOMPARE(textOf(w.get(), u"txtChkInKazu"_s), u"2"_s);
    QCOMPARE(textOf(w.get(), u"txtChkInRemarks"_s), u"夕食は18時半"_s);
    QCOMPARE(textOf(w.get(), u"txtCheckInNo"_s), u"1"_s); // the proposal, untouched
    // The stay comes with it, each plan shown by name and price.
    QCOMPARE(textOf(w.get(), u"txtNights"_s), u"2"_s);
    QCOMPARE(textOf(w.get(), u"txtChildren"_s), u"1"_s);
    QCOMPARE(textOf(w.get(), u"lbPlan"_s), u"宿泊料金（1泊2食）　@12,000"_s);
    QCOMPARE(textOf(w.get(), u"lbChildPlan"_s), u"宿泊料金（小人）　@7,000"_s);
    QCOMPARE(textOf(w.get(), u"txtMealNote"_s), u"えび不可"_s);

    m_dialogs->clear();
    typeInto(w.get(), u"txtCheckInNo"_s, u"2002"_s);
    setDate(*w, u"2024"_s, u"5"_s, u"3"_s);
    typeInto(w.get(), u"txtChkInRoomNo"_s, u"201"_s);
    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));

    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    QCOMPARE(rowsOf(dir(), u"2002"_s), 6);
    QVERIFY(reservationCheckedIn(dir(), 2));
    QVERIFY(!reservationCheckedIn(dir(), 1));
    QCOMPARE(rv->topLevelItem(1)->text(4), u"済み"_s);
    QCOMPARE(textOf(w.get(), u"lbChkInRvNo"_s), QString());
    const std::optional<arrivalsvc::CheckIn> stored = arrivalsvc::CheckInDesk(dir()).callUp(u"2002"_s);
    QVERIFY(stored);
    QCOMPARE(stored->reserveNo, 2);
    QCOMPARE(stored->nights, 2);
    QCOMPARE(stored->plan, u"101"_s);
    QCOMPARE(stored->childPlan, u"104"_s);
    QCOMPARE(stored->children, 1);
    QCOMPARE(stored->mealNote, u"えび不可"_s);
    QCOMPARE(guests(dir())->scalar(u"SELECT RvNo FROM CheckInCliantDetail WHERE CheckInNO = '2002'"_s).toInt(), 2);
    // The next entry starts afresh.
    QCOMPARE(textOf(w.get(), u"txtNights"_s), u"1"_s);
    QCOMPARE(textOf(w.get(), u"txtPlan"_s), QString());
    QCOMPARE(textOf(w.get(), u"lbPlan"_s), QString());
}

void TestFrmChkIn::failedMarkKeepsTheCheckIn() {
    book(dir(), 4, u"高橋 美咲"_s);
    const auto w = openWindow();
    auto* rv = child<QTreeWidget>(w.get(), u"ListView1"_s);
    rv->setFocus();
    QTest::keyClick(rv, Qt::Key_Return);
    QCOMPARE(textOf(w.get(), u"lbChkInRvNo"_s), u"4"_s);
    // Cancelled at another desk meanwhile.
    const auto other = reservations(dir());
    other->setReserveNo(4);
    other->Mdelete();

    typeInto(w.get(), u"txtCheckInNo"_s, u"2003"_s);
    setDate(*w, u"2024"_s, u"5"_s, u"3"_s);
    typeInto(w.get(), u"txtChkInRoomNo"_s, u"102"_s);
    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));

    QCOMPARE(rowsOf(dir(), u"2003"_s), 6);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QVERIFY2(m_dialogs->messages()[0].text.startsWith(
                 u"チェックイン番号 2003 は登録しましたが、予約番号 4 を「済み」にできませんでした。"_s),
             qPrintable(m_dialogs->messages()[0].text));
    QVERIFY(m_dialogs->messages()[0].text.contains(u"予約番号 4 の予約がありません。"_s));
    // Cleared, so a second press cannot register the guest twice.
    QCOMPARE(textOf(w.get(), u"txtChkInName"_s), QString());
    QCOMPARE(textOf(w.get(), u"txtCheckInNo"_s), u"2004"_s);
    QCOMPARE(rv->topLevelItemCount(), 0);
}

void TestFrmChkIn::callUp_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("checkedOut");
    QTest::addColumn<QString>("message");
    QTest::newRow("in the house") << u"1001"_s << false << QString();
    QTest::newRow("checked out") << u"1001"_s << true << QString();
    QTest::newRow("unknown") << u"1002"_s << false << u"番号が見つかりません。"_s;
    QTest::newRow("cancelled") << u""_s << false << QString();
}

void TestFrmChkIn::callUp() {
    QFETCH(QString, answer);
    QFETCH(bool, checkedOut);
    QFETCH(QString, message);

    addCheckIn(dir(), u"1001"_s, u"C2"_s, 3, checkedOut);
    const auto w = openWindow();
    callUp(*w, answer);

    QCOMPARE(m_dialogs->shown()[0].text, u"訂正、削除するチェックイン番号を入力してください。"_s);
    QCOMPARE(m_dialogs->shown()[0].title, u"チェックイン"_s);
    QCOMPARE(m_dialogs->messageTexts(), message.isEmpty() ? QStringList{} : QStringList{message});
    const bool found = answer == u"1001"_s;
    QCOMPARE(inCallUpState(*w), found);
    if (!found)
        return;
    QCOMPARE(textOf(w.get(), u"LbChkInDs"_s), u"1001"_s);
    QCOMPARE(textOf(w.get(), u"txtChkInKazu"_s), u" 3"_s);
    QCOMPARE(textOf(w.get(), u"LBFlag"_s), checkedOut ? u"済"_s : u"未"_s);
    const auto* date = child<calfield::DateTextBox>(w.get(), u"ChkInDateTextBox"_s);
    QCOMPARE(QStringList({date->YearText(), date->MonthText(), date->DayText()}),
             QStringList({u"2024"_s, u"5"_s, u"3"_s}));
    QCOMPARE(list(*w, "CmbChkIn")->currentText(), u"C2 : 料理"_s);

    // Saved back untouched: the guests read with their leading blank stay 3.
    pressAccessKey(w.get(), Qt::Key_T);
    QTRY_VERIFY(!inCallUpState(*w));
    const auto saved = checkIn(dir(), u"1001"_s);
    QCOMPARE(saved->Quantity(), 3);
    QCOMPARE(saved->CheckOutFlag(), checkedOut);
    QCOMPARE(saved->ChoiceClass(), u"C2"_s);
}

void TestFrmChkIn::storedCodeOnCorrection_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("savedCode");
    QTest::newRow("eleventh entry") << u"D1"_s << -1 << u"D1 : 紅葉"_s << u"D1"_s;
    QTest::newRow("class deleted, kept") << u"X9"_s << -1 << QString() << u"X9"_s;
    QTest::newRow("class deleted, clerk picks") << u"X9"_s << 2 << u"C3 : 立地・交通"_s << u"C3"_s;
}

void TestFrmChkIn::storedCodeOnCorrection() {
    QFETCH(QString, code);
    QFETCH(int, pick);
    QFETCH(QString, shown);
    QFETCH(QString, savedCode);

    // The six entries of a new installation, and six more.
    const auto c = guests(dir());
    int n = 0;
    for (const QString& name : {u"雪見"_s, u"花見"_s, u"祭り"_s, u"釣り"_s, u"紅葉"_s, u"登山"_s})
        c->exec(u"INSERT INTO ChoiceClass (ChCode, ChoiceName) VALUES (?, ?)"_s, {u"D%1"_s.arg((n++ + 7) % 10), name});
    addCheckIn(dir(), u"1001"_s, code);
    const auto w = openWindow();
    callUp(*w, u"1001"_s);
    QComboBox* choice = list(*w, "CmbChkIn");
    if (pick >= 0) {
        choice->setFocus();
        for (int i = 0; i <= pick; ++i)
            QTest::keyClick(choice, Qt::Key_Down);
    }
    QCOMPARE(choice->currentText(), shown);
    if (shown.isEmpty()) // the stored code is still named
        QVERIFY(choice->placeholderText().startsWith(code));
    QVERIFY(mouseClick(w.get(), u"CmdEdit"_s));

    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    QCOMPARE(checkIn(dir(), u"1001"_s)->ChoiceClass(), savedCode);
}

void TestFrmChkIn::correctionRefusals_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("date");
    QTest::addColumn<QString>("message");

    const QStringList may3{u"2024"_s, u"5"_s, u"3"_s};
    QTest::newRow("empty day") << u"1001"_s << QStringList{u"2024"_s, u"5"_s, u""_s} << u"日付が正しくありません。"_s;
    QTest::newRow("29 February of a common year")
        << u"1001"_s << QStringList{u"2023"_s, u"2"_s, u"29"_s} << u"日付が正しくありません。"_s;
    QTest::newRow("number of another check-in") << u"1002"_s << may3 << u"チェックイン番号が重複しています。"_s;
    QTest::newRow("no number") << u""_s << may3 << u"チェックイン番号が入力されていません。"_s;
}

void TestFrmChkIn::correctionRefusals() {
    QFETCH(QString, number);
    QFETCH(QStringList, date);
    QFETCH(QString, message);

    addCheckIn(dir(), u"1001"_s);
    addCheckIn(dir(), u"1002"_s);
    const auto w = openWindow();
    callUp(*w, u"1001"_s);
    typeInto(w.get(), u"txtChkInName"_s, u"別人"_s);
    typeInto(w.get(), u"txtCheckInNo"_s, number);
    setDate(*w, date[0], date[1], date[2]);
    QVERIFY(mouseClick(w.get(), u"CmdEdit"_s));

    QCOMPARE(m_dialogs->messageTexts(), QStringList{message});
    QCOMPARE(checkIn(dir(), u"1001"_s)->CheckInName(), u"中村 誠"_s);
    QCOMPARE(checkIn(dir(), u"1002"_s)->CheckInName(), u"中村 誠"_s);
    QCOMPARE(rowsOf(dir(), u"1001"_s), 6);
    // Still called up, so the clerk can put it right.
    QVERIFY(inCallUpState(*w));
}

void TestFrmChkIn::renumberAndDelete() {
    addCheckIn(dir(), u"1001"_s);
    const auto w = openWindow();
    callUp(*w, u"1001"_s);
    typeInto(w.get(), u"txtCheckInNo"_s, u"3001"_s);
    pressAccessKey(w.get(), Qt::Key_T);
    QTRY_COMPARE(rowsOf(dir(), u"3001"_s), 6);
    QCOMPARE(rowsOf(dir(), u"1001"_s), 0);
    QCOMPARE(textOf(w.get(), u"txtCheckInNo"_s), u"3002"_s);
    QVERIFY(!inCallUpState(*w));

    callUp(*w, u"3001"_s);
    QVERIFY(inCallUpState(*w));
    pressAccessKey(w.get(), Qt::Key_S);
    QTRY_COMPARE(rowsOf(dir(), u"3001"_s), 0);
    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    QVERIFY(!inCallUpState(*w));
}

void TestFrmChkIn::halfTypedYear_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("waits");
    QTest::newRow("register waits for the year") << u"CmdRecord"_s << true;
    QTest::newRow("clear does not") << u"CmdClear"_s << false;
    QTest::newRow("call-up does not") << u"CmdCall"_s << false;
}

void TestFrmChkIn::halfTypedYear() {
    QFETCH(QString, button);
    QFETCH(bool, waits);

    const auto w = openWindow();
    fillEntry(*w);
    auto* year = child<QLineEdit>(w.get(), u"TextYear"_s);
    year->setFocus();
    year->selectAll();
    QTest::keyClicks(year, u"202"_s);
    QVERIFY(mouseClick(w.get(), button));

    if (waits) {
        QTRY_COMPARE(m_dialogs->messageTexts(), QStringList{u"4桁で年号を入力してください。"_s});
        QCOMPARE(rowsOf(dir(), u"2001"_s), 0);
        return;
    }
    settle();
    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    if (button == u"CmdClear"_s)
        QCOMPARE(textOf(w.get(), u"txtChkInName"_s), QString());
    else
        QCOMPARE(m_dialogs->shown().value(0).kind, ScriptedDialogs::Shown::Kind::Input);
}

void TestFrmChkIn::emptyClassificationList() {
    guests(dir())->exec(u"DELETE FROM AgeClass"_s);
    const auto w = openWindow();
    QTRY_COMPARE(m_dialogs->messages().size(), 1);
    const QString text = m_dialogs->messages()[0].text;
    QVERIFY2(text.contains(u"「年齢層」"_s) && text.contains(u"「選択項目のメインテナンス」"_s), qPrintable(text));
    QVERIFY(!text.contains(u"支払方法"_s));

    m_dialogs->clear();
    fillEntry(*w);
    QVERIFY(mouseClick(w.get(), u"CmdRecord"_s));
    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    QCOMPARE(checkIn(dir(), u"2001"_s)->AgeClass(), u"A0"_s);
}

void TestFrmChkIn::listsFollowWhatOthersDid_data() {
    QTest::addColumn<bool>("raised"); // by another launch from the menu; else activated again
    QTest::newRow("activated again") << false;
    QTest::newRow("raised by the menu") << true;
}

void TestFrmChkIn::listsFollowWhatOthersDid() {
    QFETCH(bool, raised);
    book(dir(), 5, u"鈴木 一郎"_s);
    const auto w = openWindow();
    QVERIFY(typeInto(w.get(), u"txtChkInName"_s, u"佐藤"_s));
    // Meanwhile another window books a guest for today and adds a reason to the list.
    book(dir(), 6, u"高橋 次郎"_s);
    guests(dir())->exec(u"INSERT INTO ChoiceClass (ChCode, ChoiceName) VALUES ('C9', '露天風呂')"_s);

    if (raised) {
        w->raise();
    } else {
        QWidget other;
        QVERIFY(showActive(&other));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    auto* reservations = child<QTreeWidget>(w.get(), u"ListView1"_s);
    QTRY_COMPARE(reservations->topLevelItemCount(), 2);
    QCOMPARE(reservations->topLevelItem(1)->text(1), u"高橋 次郎"_s);
    QComboBox* reasons = list(*w, "CmbChkIn");
    QVERIFY(reasons->findText(u"C9 : 露天風呂"_s) >= 0);
    // What the clerk typed and chose stays.
    QCOMPARE(textOf(w.get(), u"txtChkInName"_s), u"佐藤"_s);
    QCOMPARE(reasons->currentIndex(), -1);
    QCOMPARE(list(*w, "RvcmbSpec")->currentIndex(), 0);
    QCOMPARE(m_dialogs->messageTexts(), QStringList());
}

void TestFrmChkIn::guestListByKeyboard_data() {
    QTest::addColumn<QString>("passport");
    QTest::addColumn<QString>("note"); // after the registration message
    QTest::newRow("from abroad, no passport number")
        << QString() << u"　海外からのお客様（Ann）の旅券番号が入力されていません。"_s;
    QTest::newRow("from abroad with a passport number") << u"X1234567"_s << QString();
}

// The party's list is typed with the keyboard alone: the representative's line follows the
// boxes, a companion already typed in the companion box becomes a line, a typed line goes
// only after a question, and a guest from abroad without a passport number is saved with a
// note in the message line, never a box.
void TestFrmChkIn::guestListByKeyboard() {
    QFETCH(QString, passport);
    QFETCH(QString, note);
    const auto w = openWindow();
    fillEntry(*w);
    typeInto(w.get(), u"txtChkAdrs1"_s, u"長野県"_s);
    typeInto(w.get(), u"txtChkTelNo"_s, u"0263-11-2222"_s);
    typeInto(w.get(), u"txtChkInMembers"_s, u"Ann"_s);
    auto* grid = child<QTableView>(w.get(), u"GridGuests"_s);
    const auto cell = [grid](int row, int column) {
        return grid->model()->index(row, column).data().toString();
    };
    QCOMPARE(cell(0, 0), u"佐藤 花子"_s);
    QCOMPARE(cell(0, 1), u"長野県"_s);

    pressAccessKey(w.get(), Qt::Key_A);
    QTRY_COMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(cell(1, 0), u"Ann"_s);
    QCOMPARE(cell(1, 1), u"同上"_s);
    QTRY_COMPARE(QApplication::focusWidget(), grid);
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, 0));
    const auto key = [](int k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k));
    };
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Right);
    key(Qt::Key_Space); // from abroad
    key(Qt::Key_Right);
    for (const QChar c : u"USA"_s)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    key(Qt::Key_Return);
    QTRY_COMPARE(cell(1, 4), u"USA"_s);
    key(Qt::Key_Right);
    for (const QChar c : passport)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    key(Qt::Key_Return);
    QTRY_COMPARE(cell(1, 5), passport);

    // A line typed by mistake goes again, after a question.
    pressAccessKey(w.get(), Qt::Key_A);
    QTRY_COMPARE(grid->model()->rowCount(), 3);
    for (const char c : {'B', 'o', 'b'})
        QTest::keyClick(QApplication::focusWidget(), c);
    key(Qt::Key_Return);
    QTRY_COMPARE(textOf(w.get(), u"txtChkInMembers"_s), u"Ann、Bob"_s);
    m_dialogs->pushAnswer(desk::Dialogs::Answer::No);
    pressAccessKey(w.get(), Qt::Key_R);
    QTRY_COMPARE(m_dialogs->messageTexts(), QStringList{u"3行目（Bob）を名簿から除きますか？"_s});
    QCOMPARE(grid->model()->rowCount(), 3);
    m_dialogs->pushAnswer(desk::Dialogs::Answer::Yes);
    pressAccessKey(w.get(), Qt::Key_R);
    QTRY_COMPARE(grid->model()->rowCount(), 2);
    m_dialogs->clear();
    QCOMPARE(textOf(w.get(), u"txtChkInMembers"_s), u"Ann"_s);

    pressAccessKey(w.get(), Qt::Key_T);
    QTRY_COMPARE(rowsOf(dir(), u"2001"_s), 6);
    QCOMPARE(m_dialogs->messageTexts(), QStringList{});
    QCOMPARE(textOf(w.get(), u"lbMessage"_s), u"チェックイン番号 2001 を登録しました。"_s + note);
    const auto saved = checkIn(dir(), u"2001"_s);
    QCOMPARE(saved->CheckInCName(), u"Ann"_s);
    QCOMPARE(saved->CheckInGuests(),
             (QList<arrivalsvc::CheckInGuest>{{u"佐藤 花子"_s, u"長野県"_s, u"0263-11-2222"_s},
                                              {u"Ann"_s, u"同上"_s, QString(), true, u"USA"_s, passport}}));
    // Cleared for the next party.
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(cell(0, 0), QString());
}

// Tab walks a companion's line cell by cell, past the from-abroad box that has no editor, and
// leaves the list after its last cell; Shift+Tab leaves it before its first.
void TestFrmChkIn::guestListByTab() {
    const auto w = openWindow();
    fillEntry(*w);
    auto* grid = child<QTableView>(w.get(), u"GridGuests"_s);
    const auto cell = [grid](int row, int column) {
        return grid->model()->index(row, column).data().toString();
    };
    const auto type = [](const QString& text) {
        for (const QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    };
    pressAccessKey(w.get(), Qt::Key_A);
    QTRY_COMPARE(QApplication::focusWidget(), grid);
    type(u"Ann"_s);
    key(Qt::Key_Tab);
    type(u"London"_s);
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, 3));
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    type(u"UK"_s);
    key(Qt::Key_Tab);
    type(u"X1"_s);
    key(Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), child<QWidget>(w.get(), u"CmdGuestAdd"_s));
    QCOMPARE((QStringList{cell(1, 0), cell(1, 1), cell(1, 4), cell(1, 5)}),
             (QStringList{u"Ann"_s, u"London"_s, u"UK"_s, u"X1"_s}));
    QCOMPARE(grid->model()->index(1, 3).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(grid->model()->rowCount(), 2);

    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(QApplication::focusWidget() != grid);
}

void TestFrmChkIn::roomPick_data() {
    QTest::addColumn<bool>("fromReservation"); // Enter on reservation 5 first
    QTest::addColumn<int>("downs");            // Down presses in the room box; -1: the code typed
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal");   // empty: registered
    QTest::addColumn<QStringList>("rooms"); // the check-in's stays: room:guests

    QTest::newRow("first free room by Down, Down, Enter")
        << false << 2 << QString() << QString() << QStringList{u"201:2"_s};
    QTest::newRow("second free room") << false << 3 << QString() << QString() << QStringList{u"205:2"_s};
    QTest::newRow("two rooms typed") << false << -1 << u"201、205"_s << QString()
                                     << QStringList{u"201:1"_s, u"205:1"_s};
    QTest::newRow("a taken room typed") << false << -1 << u"202"_s << u"202号室の%1の夜は"_s << QStringList();
    QTest::newRow("a room under repair") << false << -1 << u"203"_s << u"203号室は修理中です。"_s << QStringList();
    QTest::newRow("no such room") << false << -1 << u"999"_s
                                  << u"「999」という部屋はありません。客室マスターの部屋番号を入力してください。"_s
                                  << QStringList();
    QTest::newRow("the reservation's room") << true << -1 << QString() << QString() << QStringList{u"204:2"_s};
}

// A walk-in's room offered from the rooms free tonight, or typed and checked; a reservation's
// room taken over. The check-in holds its rooms from today; a refusal saves nothing.
void TestFrmChkIn::roomPick() {
    QFETCH(bool, fromReservation);
    QFETCH(int, downs);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    QFETCH(QStringList, rooms);
    houseWithRooms(m_f->dirPath());
    book(m_f->dirPath(), 5, u"高橋 美咲"_s);
    const auto w = openWindow();
    auto* roomBox = child<QLineEdit>(w.get(), u"txtChkInRoomNo"_s);
    if (fromReservation) {
        auto* rv = child<QTreeWidget>(w.get(), u"ListView1"_s);
        rv->setFocus();
        QTest::keyClick(rv, Qt::Key_Return);
        QCOMPARE(roomBox->text(), u"204"_s);
        // One guest of the reservation is a child: two in all.
        typeInto(w.get(), u"txtChkInKazu"_s, u"2"_s);
    } else {
        typeInto(w.get(), u"txtChkInName"_s, u"佐藤 花子"_s);
        typeInto(w.get(), u"txtChkInKazu"_s, u"2"_s);
        child<QLineEdit>(w.get(), u"txtNights"_s)->setText(u"1"_s);
        roomBox->setFocus();
        if (downs >= 0) {
            // The free rooms tonight: 201 and 205; not 202 and 204, taken, nor 203 under repair.
            QTest::keyClick(roomBox, Qt::Key_Down);
            QAbstractItemView* popup = roomBox->completer()->popup();
            QTRY_VERIFY(popup->isVisible());
            QCOMPARE(popup->model()->rowCount(), 2);
            QVERIFY(popup->model()->index(0, 0).data().toString().startsWith(u"201　桜　和室　定員2"_s));
            for (int i = 1; i < downs; ++i)
                QTest::keyClick(popup, Qt::Key_Down);
            QTest::keyClick(popup, Qt::Key_Return);
            QTRY_VERIFY(!popup->isVisible());
            QCOMPARE(roomBox->text(), rooms.first().section(u':', 0, 0));
        } else {
            typeText(typed);
        }
    }
    const QString number = textOf(w.get(), u"txtCheckInNo"_s);
    pressAccessKey(w.get(), Qt::Key_T);

    const QList<roomsvc::RoomStay> stays = roomsvc::RoomStore(m_f->dirPath()).staysOfCheckIn(number);
    if (!refusal.isEmpty()) {
        QCOMPARE(m_dialogs->messageTexts().size(), 1);
        QVERIFY2(m_dialogs->messageTexts().first().startsWith(refusal.arg(QDate::currentDate().toString(u"M/d"_s))),
                 qPrintable(m_dialogs->messageTexts().first()));
        QCOMPARE(rowsOf(m_f->dirPath(), number), 0);
        QVERIFY(stays.isEmpty());
        QCOMPARE(QApplication::focusWidget(), roomBox);
        return;
    }
    QCOMPARE(m_dialogs->messageTexts(), QStringList());
    QCOMPARE(rowsOf(m_f->dirPath(), number), 6);
    QStringList held;
    for (const roomsvc::RoomStay& stay : stays) {
        held << stay.room + u':' + QString::number(stay.guests);
        QCOMPARE(stay.state, roomsvc::RoomStay::InHouse);
        QCOMPARE(stay.firstNight, QDate::currentDate());
        QCOMPARE(stay.reservationNo, fromReservation ? 5 : 0);
    }
    QCOMPARE(held, rooms);
    // The reservation's own room became the check-in's: no second stay in it.
    QCOMPARE(roomsvc::RoomStore(m_f->dirPath()).staysOfReservation(5).size(), 1);
}

QTEST_MAIN(TestFrmChkIn)
#include "tst_frmchkin.moc"
