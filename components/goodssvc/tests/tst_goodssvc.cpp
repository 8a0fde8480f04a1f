#include "goodssvc/ComodityInn.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "testsupport/RefuseWrites.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using goodssvc::ComodityInn;

namespace {

std::shared_ptr<desk::Connection> salesFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Sales));
}

std::unique_ptr<ComodityInn> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<ComodityInn>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

// Empty commodity tables, then B01, S'1 and J01 in this order, and N01 without a price row.
void seed(const desk::test::TempDataDir& dir) {
    salesFile(dir)->exec(u"DELETE FROM Commodities"_s);
    salesFile(dir)->exec(u"DELETE FROM CmPrice"_s);
    const QList<std::pair<QString, qint32>> rows = {{u"B01"_s, 600}, {u"S'1"_s, 800}, {u"J01"_s, 300}};
    for (const auto& [code, price] : rows) {
        auto store = connected(dir);
        store->setMdCode(code);
        store->setMname(u"名"_s + code);
        store->setMclasify(u"01"_s);
        store->setMprice0(price);
        store->setMprice4(price + 4);
        store->Msave();
    }
    salesFile(dir)->exec(u"INSERT INTO Commodities (Ccode, cname) VALUES ('N01', '名N01')"_s);
}

qint64 count(const desk::test::TempDataDir& dir, const QString& where) {
    return salesFile(dir)->scalar(u"SELECT COUNT(*) FROM "_s + where).toLongLong();
}

} // namespace

class TestGoodsSvc : public QObject {
    Q_OBJECT

private slots:
    void lookups_data();
    void lookups();
    void lookupsSearchForwardOnly();
    void renameThroughCode2();
    void searchMissingChangesOnlyTheCode();
    void writesAreAllOrNothing_data();
    void writesAreAllOrNothing();
    void countOfClass_data();
    void countOfClass();
};

void TestGoodsSvc::lookups_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("duplicate");
    QTest::newRow("known") << u"J01"_s << u"名J01"_s << u"300"_s << u"X"_s;
    QTest::newRow("unknown") << u"Z99"_s << u"X"_s << u"X"_s << u"O"_s;
    QTest::newRow("quote in code") << u"S'1"_s << u"名S'1"_s << u"800"_s << u"X"_s;
    QTest::newRow("quote is no wildcard") << u"' OR '1'='1"_s << u"X"_s << u"X"_s << u"O"_s;
    QTest::newRow("price row missing") << u"N01"_s << u"名N01"_s << u"X"_s << u"X"_s;
}

void TestGoodsSvc::lookups() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, price);
    QFETCH(QString, duplicate);
    desk::test::TempDataDir dir;
    seed(dir);
    QCOMPARE(connected(dir)->ComodityName(code), name);
    QCOMPARE(connected(dir)->ComodityPrice(code).toString(), price);
    QCOMPARE(connected(dir)->DuplicateCheck(code), duplicate);
}

void TestGoodsSvc::lookupsSearchForwardOnly() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    QCOMPARE(store->ComodityName(u"J01"_s), u"名J01"_s);
    QCOMPARE(store->ComodityName(u"B01"_s), u"X"_s); // lies before the first hit
    store->CntDb();
    QCOMPARE(store->ComodityName(u"B01"_s), u"名B01"_s);
}

void TestGoodsSvc::renameThroughCode2() {
    desk::test::TempDataDir dir;
    seed(dir);
    salesFile(dir)->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode) VALUES (1, 'B01')"_s);
    auto store = connected(dir);
    store->setMdCode2(u"B01"_s);
    store->setMdCode(u"B02"_s);
    store->setMname(u"地ビール"_s);
    store->setMunite(u"本"_s);
    store->setMprice0(650);
    store->Medit();

    auto reread = connected(dir);
    reread->setMdCode(u"B02"_s);
    reread->EDsearch();
    QCOMPARE(reread->Mname(), u"地ビール"_s);
    QCOMPARE(reread->Munite(), u"本"_s);
    QCOMPARE(reread->Mprice0(), 650);
    QCOMPARE(reread->Mprice4(), 0);
    QCOMPARE(count(dir, u"Commodities WHERE Ccode = 'B01'"_s) + count(dir, u"CmPrice WHERE Ccode = 'B01'"_s), 0);
    QCOMPARE(count(dir, u"BTSalesDetail WHERE BTcmcode = 'B01'"_s), 1); // sales lines keep the old code
}

void TestGoodsSvc::searchMissingChangesOnlyTheCode() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setMname(u"前"_s);
    store->setMprice0(123);
    store->setMdCode(u"Z99"_s);
    store->EDsearch();
    QCOMPARE(store->MdCode(), u"X"_s);
    QCOMPARE(store->Mname(), u"前"_s);
    QCOMPARE(store->Mprice0(), 123);
}

void TestGoodsSvc::writesAreAllOrNothing_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("code2");
    QTest::newRow("edit unknown") << u"edit"_s << u"Z99"_s;
    QTest::newRow("delete unknown") << u"delete"_s << u"Z99"_s;
    QTest::newRow("edit without price row") << u"edit"_s << u"N01"_s;
    QTest::newRow("delete without price row") << u"delete"_s << u"N01"_s;
    QTest::newRow("save with price refused") << u"save"_s << QString();
}

void TestGoodsSvc::writesAreAllOrNothing() {
    QFETCH(QString, operation);
    QFETCH(QString, code2);
    desk::test::TempDataDir dir;
    seed(dir);
    desk::test::refuseWrites(*salesFile(dir), u"INSERT"_s, u"CmPrice"_s);
    auto store = connected(dir);
    store->setMdCode2(code2);
    store->setMdCode(u"NEW"_s);
    if (operation == u"edit"_s)
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Medit());
    else if (operation == u"delete"_s)
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Mdelete());
    else
        QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    QCOMPARE(count(dir, u"Commodities"_s), 4);
    QCOMPARE(count(dir, u"CmPrice"_s), 3);
}

void TestGoodsSvc::countOfClass_data() {
    QTest::addColumn<QString>("classCode");
    QTest::addColumn<int>("count");
    QTest::newRow("class of three") << u"01"_s << 3;
    QTest::newRow("class of one") << u"02"_s << 1;
    QTest::newRow("class of none") << u"09"_s << 0;
    QTest::newRow("quote is no wildcard") << u"' OR '1'='1"_s << 0;
}

void TestGoodsSvc::countOfClass() {
    QFETCH(QString, classCode);
    QFETCH(int, count);
    desk::test::TempDataDir dir;
    seed(dir);
    salesFile(dir)->exec(u"UPDATE Commodities SET Cclasify = '02' WHERE Ccode = 'N01'"_s);
    QCOMPARE(connected(dir)->countOfClass(classCode), count);
}

QTEST_GUILESS_MAIN(TestGoodsSvc)
#include "tst_goodssvc.moc"
