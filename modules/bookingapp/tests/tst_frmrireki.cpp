#include "bookingapp/FrmRireki.h"

#include "arrivalsvc/CheckInClass.h"
#include "calfield/DateTextBox.h"
#include "report/ReportPreview.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

using namespace desk::test;
using namespace Qt::StringLiterals;
using bookingapp::FrmRireki;

namespace {

struct Stay {
    const char* number;
    QDate date;
    QString name;
    QString telNo;
    QString room;
};

void checkIn(const QString& dir, const Stay& s) {
    arrivalsvc::CheckInClass store;
    store.setDirPath(dir);
    store.CntDB();
    store.setCheckInNO(QString::fromLatin1(s.number));
    store.setCheckInDate(s.date);
    store.setCheckInName(s.name);
    store.setCheckInTelNo(s.telNo);
    store.setCheckInRoomNo(s.room);
    store.setQuantity(2);
    store.setBadget(18000);
    store.Msave();
}

void setPeriodBox(FrmRireki& w, const QString& name, const QDate& date, const QString& emptyPart = {}) {
    auto* box = child<calfield::DateTextBox>(&w, name);
    box->setYearText(emptyPart == u"year" ? QString() : QString::number(date.year()));
    box->setMonthText(emptyPart == u"month" ? QString() : QString::number(date.month()));
    box->setDayText(emptyPart == u"day" ? QString() : QString::number(date.day()));
}

// Room numbers of the stays listed, in list order.
QStringList listedRooms(const FrmRireki& w) {
    QStringList rooms;
    const auto* list = child<QTreeWidget>(&w, u"ListView1"_s);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rooms << list->topLevelItem(i)->text(2);
    return rooms;
}

QString statusText(const FrmRireki& w) {
    return child<QStatusBar>(&w, u"StatusBar1"_s)->findChild<QLabel*>(u"Panel2"_s)->text();
}

} // namespace

class TestFrmRireki : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void search_data();
    void search();
    void periodFrameFollowsCheck1();
    void unformedPeriodDate_data();
    void unformedPeriodDate();
    void clearAndEndIgnoreThePeriodBoxes();
    void printNeedsASearch();
    void printAfterClearPrintsLastSearch();

private:
    // One data directory for the whole program: the tests only read the stays.
    std::unique_ptr<WindowFixture> m_f;
};

void TestFrmRireki::initTestCase() {
    m_f = std::make_unique<WindowFixture>();
    QVERIFY(m_f->isValid());
    const QString dir = m_f->dirPath();
    checkIn(dir, {"101", QDate(2023, 8, 10), u"山田太郎"_s, u"03-1111-2222"_s, u"201"_s});
    checkIn(dir, {"102", QDate(2024, 1, 3), u"山田太郎"_s, u"03-1111-2222"_s, u"202"_s});
    checkIn(dir, {"103", QDate(2024, 3, 20), u"山田花子"_s, u"03-1111-2222"_s, u"203"_s});
    checkIn(dir, {"104", QDate(2024, 2, 11), u"O'Brien"_s, u"090-0000-0000"_s, u"204"_s});
    checkIn(dir, {"105", QDate(2024, 2, 12), u"大野's"_s, u"'"_s, u"205"_s});
}

void TestFrmRireki::init() {
    m_f->dialogs().clear();
}

void TestFrmRireki::cleanup() {
    settle();
}

void TestFrmRireki::search_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("telNo");
    QTest::addColumn<QDate>("from"); // null: no period
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("rooms");

    const int byName = FrmRireki::ByName;
    const int byTel = FrmRireki::ByTelNo;
    QTest::newRow("name, all dates") << byName << u"山田太郎"_s << u"03-1111-2222"_s << QDate() << QDate()
                                     << QStringList{u"201"_s, u"202"_s};
    QTest::newRow("telephone, every name, all dates") << byTel << u"山田太郎"_s << u"03-1111-2222"_s << QDate()
                                                      << QDate() << QStringList{u"201"_s, u"202"_s, u"203"_s};
    QTest::newRow("name with an apostrophe")
        << byName << u"O'Brien"_s << QString() << QDate() << QDate() << QStringList{u"204"_s};
    QTest::newRow("apostrophe after kanji")
        << byName << u"大野's"_s << QString() << QDate() << QDate() << QStringList{u"205"_s};
    QTest::newRow("telephone that is a quote")
        << byTel << QString() << u"'"_s << QDate() << QDate() << QStringList{u"205"_s};
    QTest::newRow("period takes both ends") << byTel << QString() << u"03-1111-2222"_s << QDate(2024, 1, 3)
                                            << QDate(2024, 3, 20) << QStringList{u"202"_s, u"203"_s};
    QTest::newRow("start after end finds nothing")
        << byTel << QString() << u"03-1111-2222"_s << QDate(2024, 3, 20) << QDate(2024, 1, 3) << QStringList{};
    QTest::newRow("unknown guest") << byName << u"山田"_s << QString() << QDate() << QDate() << QStringList{};
}

void TestFrmRireki::search() {
    QFETCH(int, option);
    QFETCH(QString, name);
    QFETCH(QString, telNo);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, rooms);

    FrmRireki w(m_f->context());
    QVERIFY(showActive(&w));
    w.setSearchTexts(name, telNo);
    w.setSearchBy(FrmRireki::SearchBy(option));
    if (from.isValid()) {
        QVERIFY(mouseClick(&w, u"Check1"_s));
        setPeriodBox(w, u"DateTextBox1"_s, from);
        setPeriodBox(w, u"DateTextBox2"_s, to);
    }
    QVERIFY(mouseClick(&w, u"CmdSearch"_s));

    QCOMPARE(m_f->dialogs().messages().size(), 0);
    QCOMPARE(listedRooms(w), rooms);
    QCOMPARE(statusText(w), rooms.isEmpty() ? u"利用履歴はありません。"_s : QString());
    if (!rooms.isEmpty()) {
        const auto* first = child<QTreeWidget>(&w, u"ListView1"_s)->topLevelItem(0);
        QCOMPARE(first->text(3), u"2"_s);
        QCOMPARE(first->text(4), u"18,000"_s);
        QVERIFY(first->textAlignment(4) & Qt::AlignRight);
    }
}

void TestFrmRireki::periodFrameFollowsCheck1() {
    FrmRireki w(m_f->context());
    QVERIFY(showActive(&w));
    auto* frame = child<QGroupBox>(&w, u"Frame5"_s);
    QVERIFY(frame->isHidden());
    QVERIFY(mouseClick(&w, u"Check1"_s));
    QVERIFY(!frame->isHidden());
    QVERIFY(mouseClick(&w, u"Check1"_s));
    QVERIFY(frame->isHidden());

    // A hidden period does not limit the search, whatever its boxes hold.
    setPeriodBox(w, u"DateTextBox1"_s, QDate(2030, 1, 1));
    setPeriodBox(w, u"DateTextBox2"_s, QDate(2030, 1, 2));
    w.setSearchTexts(u"山田太郎"_s, QString());
    QVERIFY(mouseClick(&w, u"CmdSearch"_s));
    QCOMPARE(listedRooms(w).size(), 2);
}

void TestFrmRireki::unformedPeriodDate_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("start without year") << u"DateTextBox1"_s << QStringList{QString(), u"6"_s, u"30"_s};
    QTest::newRow("start without day") << u"DateTextBox1"_s << QStringList{u"2024"_s, u"6"_s, QString()};
    QTest::newRow("end without month") << u"DateTextBox2"_s << QStringList{u"2024"_s, QString(), u"30"_s};
    // Parts that name no real day are no date either: nothing rolls into the next month.
    QTest::newRow("end 30 February") << u"DateTextBox2"_s << QStringList{u"2024"_s, u"2"_s, u"30"_s};
    QTest::newRow("start day 0") << u"DateTextBox1"_s << QStringList{u"2024"_s, u"3"_s, u"0"_s};
}

void TestFrmRireki::unformedPeriodDate() {
    QFETCH(QString, box);
    QFETCH(QStringList, parts);

    FrmRireki w(m_f->context());
    QVERIFY(showActive(&w));
    w.setSearchTexts(u"山田太郎"_s, QString());
    QVERIFY(mouseClick(&w, u"CmdSearch"_s));
    QCOMPARE(listedRooms(w).size(), 2);

    QVERIFY(mouseClick(&w, u"Check1"_s));
    setPeriodBox(w, u"DateTextBox1"_s, QDate(2023, 1, 1));
    setPeriodBox(w, u"DateTextBox2"_s, QDate(2024, 12, 31));
    auto* date = child<calfield::DateTextBox>(&w, box);
    date->setYearText(parts[0]);
    date->setMonthText(parts[1]);
    date->setDayText(parts[2]);
    QVERIFY(mouseClick(&w, u"CmdSearch"_s));

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"日付が入力されていません。やりなおしてください。"_s});
    QCOMPARE(m_f->dialogs().messages()[0].title, u"警告"_s);
    QCOMPARE(m_f->dialogs().messages()[0].icon, desk::Dialogs::Icon::Exclamation);
    QCOMPARE(listedRooms(w), QStringList());
    // The last search that ran stays the one to print.
    QCOMPARE(w.searchCondition(), u"CheckInName = '山田太郎'"_s);
}

void TestFrmRireki::clearAndEndIgnoreThePeriodBoxes() {
    FrmRireki w(m_f->context());
    QVERIFY(showActive(&w));
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, u"RvtxtCliant"_s));
    QTest::mouseClick(child<QCheckBox>(&w, u"Check1"_s), Qt::LeftButton, {}, QPoint(5, 5));
    auto* year = child<QLineEdit>(child<calfield::DateTextBox>(&w, u"DateTextBox1"_s), u"TextYear"_s);
    year->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(year, u"20"_s);

    pressAccessKey(&w, Qt::Key_D); // 表示消去
    QTest::qWait(200);
    QVERIFY(m_f->dialogs().messages().isEmpty());
    year->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(child<QPushButton>(&w, u"CmdEnd"_s), Qt::LeftButton);
    QCoreApplication::processEvents();
    QVERIFY(m_f->dialogs().messages().isEmpty());
    QVERIFY(!w.isVisible());
}

void TestFrmRireki::printNeedsASearch() {
    FrmRireki w(m_f->context());
    QVERIFY(showActive(&w));
    w.setSearchTexts(u"山田太郎"_s, QString());
    QVERIFY(mouseClick(&w, u"CmdPrint"_s));
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"一度検索を実行してください。"_s});
    QCOMPARE(m_f->dialogs().messages()[0].icon, desk::Dialogs::Icon::Critical);
    QVERIFY(!w.findChild<desk::ReportPreview*>());
}

void TestFrmRireki::printAfterClearPrintsLastSearch() {
    FrmRireki w(m_f->context());
    QVERIFY(showActive(&w));
    w.setSearchTexts(u"O'Brien"_s, QString());
    QVERIFY(mouseClick(&w, u"CmdSearch"_s));
    QVERIFY(mouseClick(&w, u"CmdClear"_s));
    QCOMPARE(listedRooms(w), QStringList());
    QCOMPARE(textOf(&w, u"RvtxtCliant"_s), u"O'Brien"_s);
    // A changed name without a new search does not change what is printed.
    w.setSearchTexts(u"山田太郎"_s, QString());
    QVERIFY(mouseClick(&w, u"CmdPrint"_s));

    QCOMPARE(m_f->dialogs().messages().size(), 0);
    auto* preview = w.findChild<desk::ReportPreview*>();
    QVERIFY(preview);
    QStringList numbers;
    for (const auto& item : preview->document().byControl(u"Text1"_s))
        numbers << item.text;
    QCOMPARE(numbers, QStringList{u"104"_s});
    preview->close();
}

QTEST_MAIN(TestFrmRireki)
#include "tst_frmrireki.moc"
