#include "goodssvc/ComodityInn.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

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

void addCommodity(const desk::test::TempDataDir& dir, const QString& code, const QString& name, qint32 price) {
    auto store = connected(dir);
    store->setMdCode(code);
    store->setMname(name);
    store->setMclasify(QStringLiteral("01"));
    store->setMunite(QStringLiteral("本"));
    store->setMremarks(QStringLiteral("冷"));
    store->setMprice0(price);
    store->setMprice1(price + 1);
    store->setMprice4(price + 4);
    store->Msave();
}

// Starts from empty commodity tables with three commodities, one of them quoted.
void seed(const desk::test::TempDataDir& dir) {
    auto file = salesFile(dir);
    file->exec(QStringLiteral("DELETE FROM Commodities"));
    file->exec(QStringLiteral("DELETE FROM CmPrice"));
    addCommodity(dir, QStringLiteral("B01"), QStringLiteral("ビール"), 600);
    addCommodity(dir, QStringLiteral("S'1"), QStringLiteral("酒"), 800);
    addCommodity(dir, QStringLiteral("J01"), QStringLiteral("ジュース"), 300);
}

qint64 count(const desk::test::TempDataDir& dir, const QString& table, const QString& code) {
    return salesFile(dir)
        ->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE Ccode = ?").arg(table), {code})
        .toLongLong();
}

} // namespace

class TestGoodsSvc : public QObject {
    Q_OBJECT

private slots:
    void lookups_data();
    void lookups();
    void lookupsSearchForwardOnly();
    void searchLoadsEveryField();
    void searchMissingChangesOnlyTheCode();
    void renameMovesBothRows();
    void deleteRemovesBothRows();
    void writesNeedAnExistingCode_data();
    void writesNeedAnExistingCode();
    void saveIsAllOrNothing();
};

void TestGoodsSvc::lookups_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("price");
    QTest::addColumn<QString>("duplicate");
    QTest::newRow("known") << QStringLiteral("J01") << QStringLiteral("ジュース") << QVariant(300)
                           << QStringLiteral("X");
    QTest::newRow("unknown") << QStringLiteral("Z99") << QStringLiteral("X") << QVariant(QStringLiteral("X"))
                             << QStringLiteral("O");
    QTest::newRow("quote in code") << QStringLiteral("S'1") << QStringLiteral("酒") << QVariant(800)
                                   << QStringLiteral("X");
    QTest::newRow("quote is not a wildcard")
        << QStringLiteral("' OR '1'='1") << QStringLiteral("X") << QVariant(QStringLiteral("X")) << QStringLiteral("O");
    QTest::newRow("empty code") << QString() << QStringLiteral("X") << QVariant(QStringLiteral("X"))
                                << QStringLiteral("O");
    QTest::newRow("price row missing") << QStringLiteral("N01") << QStringLiteral("名のみ")
                                       << QVariant(QStringLiteral("X")) << QStringLiteral("X");
}

void TestGoodsSvc::lookups() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QVariant, price);
    QFETCH(QString, duplicate);

    desk::test::TempDataDir dir;
    seed(dir);
    salesFile(dir)->exec(QStringLiteral("INSERT INTO Commodities (Ccode, cname) VALUES ('N01', '名のみ')"));

    QCOMPARE(connected(dir)->ComodityName(code), name);
    const QVariant answer = connected(dir)->ComodityPrice(code);
    if (price.typeId() == QMetaType::QString)
        QCOMPARE(answer.toString(), price.toString());
    else
        QCOMPARE(answer.toInt(), price.toInt());
    QCOMPARE(connected(dir)->DuplicateCheck(code), duplicate);
}

void TestGoodsSvc::lookupsSearchForwardOnly() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    QCOMPARE(store->ComodityName(QStringLiteral("J01")), QStringLiteral("ジュース"));
    // B01 lies before the row the first look-up stopped on.
    QCOMPARE(store->ComodityName(QStringLiteral("B01")), QStringLiteral("X"));
    store->CntDb();
    QCOMPARE(store->ComodityName(QStringLiteral("B01")), QStringLiteral("ビール"));
}

void TestGoodsSvc::searchLoadsEveryField() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setMdCode(QStringLiteral("S'1"));
    store->EDsearch();
    QCOMPARE(store->MdCode(), QStringLiteral("S'1"));
    QCOMPARE(store->Mname(), QStringLiteral("酒"));
    QCOMPARE(store->Mclasify(), QStringLiteral("01"));
    QCOMPARE(store->Munite(), QStringLiteral("本"));
    QCOMPARE(store->Mremarks(), QStringLiteral("冷"));
    QCOMPARE(store->Mprice0(), 800);
    QCOMPARE(store->Mprice1(), 801);
    QCOMPARE(store->Mprice2(), 0);
    QCOMPARE(store->Mprice4(), 804);
    QVERIFY(!store->MbookMark().isEmpty());
}

void TestGoodsSvc::searchMissingChangesOnlyTheCode() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setMname(QStringLiteral("前の名前"));
    store->setMprice0(123);
    store->setMdCode(QStringLiteral("Z99"));
    store->EDsearch();
    QCOMPARE(store->MdCode(), QStringLiteral("X"));
    QCOMPARE(store->Mname(), QStringLiteral("前の名前"));
    QCOMPARE(store->Mprice0(), 123);
    QVERIFY(store->MbookMark().isEmpty());
}

void TestGoodsSvc::renameMovesBothRows() {
    desk::test::TempDataDir dir;
    seed(dir);
    salesFile(dir)->exec(QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTQuantity, BTUnitPrice) "
                                        "VALUES (1, 'B01', 1, 600)"));
    auto store = connected(dir);
    store->setMdCode2(QStringLiteral("B01"));
    store->setMdCode(QStringLiteral("B02"));
    store->setMname(QStringLiteral("地ビール"));
    store->setMprice0(650);
    store->Medit();

    QCOMPARE(count(dir, QStringLiteral("Commodities"), QStringLiteral("B01")), 0);
    QCOMPARE(count(dir, QStringLiteral("CmPrice"), QStringLiteral("B01")), 0);
    QCOMPARE(connected(dir)->ComodityName(QStringLiteral("B02")), QStringLiteral("地ビール"));
    QCOMPARE(connected(dir)->ComodityPrice(QStringLiteral("B02")).toInt(), 650);
    QCOMPARE(salesFile(dir)->scalar(QStringLiteral("SELECT BTcmcode FROM BTSalesDetail")).toString(),
             QStringLiteral("B01"));
}

void TestGoodsSvc::deleteRemovesBothRows() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setMdCode2(QStringLiteral("S'1"));
    store->Mdelete();
    QCOMPARE(count(dir, QStringLiteral("Commodities"), QStringLiteral("S'1")), 0);
    QCOMPARE(count(dir, QStringLiteral("CmPrice"), QStringLiteral("S'1")), 0);
    QCOMPARE(count(dir, QStringLiteral("Commodities"), QStringLiteral("J01")), 1);
}

void TestGoodsSvc::writesNeedAnExistingCode_data() {
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QString>("code2");
    QTest::newRow("edit unknown") << true << QStringLiteral("Z99");
    QTest::newRow("delete unknown") << false << QStringLiteral("Z99");
    QTest::newRow("edit without price row") << true << QStringLiteral("N01");
    QTest::newRow("delete without price row") << false << QStringLiteral("N01");
}

void TestGoodsSvc::writesNeedAnExistingCode() {
    QFETCH(bool, edit);
    QFETCH(QString, code2);
    desk::test::TempDataDir dir;
    seed(dir);
    salesFile(dir)->exec(QStringLiteral("INSERT INTO Commodities (Ccode, cname) VALUES ('N01', '名のみ')"));
    const qint64 before = salesFile(dir)->scalar(QStringLiteral("SELECT COUNT(*) FROM Commodities")).toLongLong();

    auto store = connected(dir);
    store->setMdCode2(code2);
    store->setMdCode(QStringLiteral("NEW"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, edit ? store->Medit() : store->Mdelete());

    QCOMPARE(salesFile(dir)->scalar(QStringLiteral("SELECT COUNT(*) FROM Commodities")).toLongLong(), before);
    QCOMPARE(count(dir, QStringLiteral("Commodities"), QStringLiteral("NEW")), 0);
}

void TestGoodsSvc::saveIsAllOrNothing() {
    desk::test::TempDataDir dir;
    seed(dir);
    salesFile(dir)->exec(QStringLiteral(
        "CREATE TRIGGER refusePrice BEFORE INSERT ON CmPrice BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    auto store = connected(dir);
    store->setMdCode(QStringLiteral("W01"));
    store->setMname(QStringLiteral("ワイン"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    QCOMPARE(count(dir, QStringLiteral("Commodities"), QStringLiteral("W01")), 0);
}

QTEST_GUILESS_MAIN(TestGoodsSvc)
#include "tst_goodssvc.moc"
