// Text a clerk types, with backslashes and quotes, through every search and condition a window
// or store builds. On the test server of a run, whose standard_conforming_strings is off (a
// backslash escapes a quote in a literal there), as on files: nothing but the search runs,
// every row stays, and the search finds exactly the stays of that text.

#include "arrivalsvc/CheckInClass.h"
#include "bookingapp/FrmRireki.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "tallyapp/Aggregation.h"
#include "tallysvc/TallyResult.h"
#include "testsupport/WindowFixture.h"

#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

using namespace desk::test;
using namespace Qt::StringLiterals;
using bookingapp::FrmRireki;

namespace {

const QDate Day(2024, 5, 1);

// The texts: each is also a guest's name, telephone number and guest-class name of the data.
const QStringList typedTexts = {
    u"\\'; DELETE FROM CheckInCliants; --"_s, // ended the literal early and emptied the inn
    u"\\' OR 1=1 --"_s,                       // a condition every row meets
    u"山田\\"_s,                              // a backslash before the closing quote
    u"a\\\\''b\\'"_s,                         // backslashes and doubled quotes together
};

void checkIn(const QString& dir, const QString& number, const QString& name, const QString& room,
             const QString& ageClass = {}) {
    arrivalsvc::CheckInClass store;
    store.setDirPath(dir);
    store.CntDB();
    store.setCheckInNO(number);
    store.setCheckInDate(Day);
    store.setCheckInName(name);
    store.setCheckInTelNo(name);
    store.setCheckInRoomNo(room);
    store.setAgeClass(ageClass);
    store.setQuantity(2);
    store.setBadget(18000);
    store.Msave();
}

qint64 count(const QString& dir, const QString& table) {
    auto c = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    return c->scalar(u"SELECT Count(*) FROM "_s + table).toLongLong();
}

QStringList listedRooms(const FrmRireki& w) {
    QStringList rooms;
    const auto* list = child<QTreeWidget>(&w, u"ListView1"_s);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rooms << list->topLevelItem(i)->text(2);
    return rooms;
}

} // namespace

class TestTypedText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void historySearch_data();
    void historySearch();
    void checkInRenumbered_data();
    void checkInRenumbered();
    void guestClassTally();

private:
    // Stays: each text twice (rooms 1x0, 1x1), the plain 山田 once (room 900) and one stay
    // whose name is only the text's last character, a quote or backslash alike.
    std::unique_ptr<WindowFixture> m_f;
    qint64 m_stays = 0;
    qint64 m_guests = 0;
};

void TestTypedText::initTestCase() {
    m_f = std::make_unique<WindowFixture>();
    QVERIFY(m_f->isValid());
    const QString dir = m_f->dirPath();
    for (int i = 0; i < typedTexts.size(); ++i) {
        checkIn(dir, u"T%1a"_s.arg(i), typedTexts.at(i), u"1%10"_s.arg(i), u"Y%1"_s.arg(i));
        checkIn(dir, u"T%1b"_s.arg(i), typedTexts.at(i), u"1%11"_s.arg(i), u"Y%1"_s.arg(i));
    }
    checkIn(dir, u"P1"_s, u"山田"_s, u"900"_s);
    checkIn(dir, u"P2"_s, u"'"_s, u"901"_s);
    m_stays = count(dir, u"CheckInCliants"_s);
    m_guests = count(dir, u"CheckInBadget"_s);
    QCOMPARE(m_stays, typedTexts.size() * 2 + 2);
}

void TestTypedText::init() {
    m_f->dialogs().clear();
}

void TestTypedText::historySearch_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("option"); // the radio button the search is by
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("rooms");
    for (int i = 0; i < typedTexts.size(); ++i) {
        const QStringList rooms{u"1%10"_s.arg(i), u"1%11"_s.arg(i)};
        QTest::addRow("name %d", i) << typedTexts.at(i) << u"Option1_0"_s << u"RvtxtCliant"_s << rooms;
        QTest::addRow("telephone %d", i) << typedTexts.at(i) << u"Option1_1"_s << u"RxtxtTelNo"_s << rooms;
    }
}

void TestTypedText::historySearch() {
    QFETCH(QString, text);
    QFETCH(QString, option);
    QFETCH(QString, box);
    QFETCH(QStringList, rooms);

    FrmRireki w(m_f->context());
    QVERIFY(showActive(&w));
    QVERIFY(mouseClick(&w, option));
    QVERIFY(typeInto(&w, box, text));
    QCOMPARE(textOf(&w, box), text);
    pressAccessKey(&w, Qt::Key_K); // 検索(&K)

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    QStringList listed = listedRooms(w);
    listed.sort();
    QCOMPARE(listed, rooms);
    QCOMPARE(count(m_f->dirPath(), u"CheckInCliants"_s), m_stays);
    QCOMPARE(count(m_f->dirPath(), u"CheckInBadget"_s), m_guests);
}

void TestTypedText::checkInRenumbered_data() {
    QTest::addColumn<QString>("text");
    for (int i = 0; i < typedTexts.size(); ++i)
        QTest::addRow("%d", i) << typedTexts.at(i);
}

void TestTypedText::checkInRenumbered() {
    // The check-in window looks the typed number up, and a stay renumbered onto it is first
    // asked whether the number is taken. A look-up leaves its row sets where it stopped: each
    // step on a store of its own, as the window does.
    QFETCH(QString, text);
    const QString dir = m_f->dirPath();
    const auto connected = [&] {
        auto store = std::make_unique<arrivalsvc::CheckInClass>();
        store->setDirPath(dir);
        store->CntDB();
        return store;
    };
    checkIn(dir, u"R1"_s, u"改番"_s, u"800"_s);
    checkIn(dir, u"R2"_s, u"改番"_s, u"801"_s);
    QCOMPARE(connected()->CheckInNoCheck(text), QString());
    QCOMPARE(connected()->DispCheckInName(text), u"x"_s);

    for (const QString& number : {u"R1"_s, u"R2"_s}) {
        const auto store = connected();
        store->setCheckInNO(number);
        store->EDsearch();
        QCOMPARE(store->CheckInNO(), number);
        store->setCheckInNO2(number);
        store->setCheckInNO(text);
        if (number == u"R1"_s)
            store->Medit();
        else // the number is R1's now
            QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Medit());
    }
    QCOMPARE(connected()->CheckInNoCheck(text), u"x"_s);
    QCOMPARE(connected()->DispCheckInName(text), u"改番"_s);
    QCOMPARE(connected()->CheckInNoCheck(u"R1"_s), QString());
    QCOMPARE(count(dir, u"CheckInCliants"_s), m_stays + 2);
    QCOMPARE(count(dir, u"CheckInBadget"_s), m_guests + 2);

    for (const QString& number : {text, u"R2"_s}) {
        const auto store = connected();
        store->setCheckInNO2(number);
        store->Mdelete();
    }
    QCOMPARE(count(dir, u"CheckInCliants"_s), m_stays);
}

void TestTypedText::guestClassTally() {
    // The guest-class names (typed in the options window) come back as the tally's rows; the
    // tally groups by an expression holding a literal. Every kind of tally runs on the engine.
    const QString dir = m_f->dirPath();
    {
        auto c = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::DaySalesCliants));
        desk::Transaction tx(c);
        for (int i = 0; i < typedTexts.size(); ++i)
            c->exec(u"INSERT INTO AgeClass (YCode, yearclass) VALUES (?, ?)"_s, {u"Y%1"_s.arg(i), typedTexts.at(i)});
        tx.commit();
    }
    QMap<QString, qint64> byName;
    tallysvc::TallyResult ages(dir, tallyapp::Aggregation::kindOf(2, 0), Day, Day);
    for (desk::RowSet& rows = ages.rows(); !rows.eof(); rows.moveNext())
        byName[rows.value(u"FL2"_s).toString()] += rows.value(u"合計"_s).toLongLong();
    for (const QString& text : typedTexts)
        QCOMPARE(byName.value(text), 4); // two stays of two guests each

    for (int kind = 0; kind < tallyapp::Aggregation::KindCount; ++kind) {
        try {
            tallysvc::TallyResult result(dir, kind, Day, Day);
        } catch (const desk::DbError& e) {
            QFAIL(qPrintable(u"kind %1: %2"_s.arg(kind).arg(e.message())));
        }
    }
    QCOMPARE(count(dir, u"CheckInCliants"_s), m_stays);
}

QTEST_MAIN(TestTypedText)
#include "tst_typedtext.moc"
