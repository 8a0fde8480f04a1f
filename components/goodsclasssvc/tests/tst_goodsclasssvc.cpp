#include "goodsclasssvc/SKubun.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using goodsclasssvc::SKubun;

namespace {

std::shared_ptr<desk::Connection> salesFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Sales));
}

std::unique_ptr<SKubun> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<SKubun>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

// Empty class table, then 10 飲料, 2'0 酒類, 30 食事 in this order.
void seed(const desk::test::TempDataDir& dir) {
    salesFile(dir)->exec(QStringLiteral("DELETE FROM CommodityClasify"));
    const QList<QPair<QString, QString>> classes = {{QStringLiteral("10"), QStringLiteral("飲料")},
                                                    {QStringLiteral("2'0"), QStringLiteral("酒類")},
                                                    {QStringLiteral("30"), QStringLiteral("食事")}};
    for (const auto& [code, name] : classes) {
        auto store = connected(dir);
        store->setMcCode(code);
        store->setMcName(name);
        store->Mcsave();
    }
}

QStringList codes(const desk::test::TempDataDir& dir) {
    QStringList result;
    auto store = connected(dir);
    desk::RowSet* rows = store->RsEd();
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        result << rows->value(QStringLiteral("CClassCode")).toString();
    return result;
}

} // namespace

class TestGoodsClassSvc : public QObject {
    Q_OBJECT

private slots:
    void lookups_data();
    void lookups();
    void lookupsSearchForwardOnly();
    void searchMissingChangesOnlyTheCode();
    void renameKeepsCommodities();
    void deleteRemovesOneClass();
    void writesNeedAnExistingCode_data();
    void writesNeedAnExistingCode();
};

void TestGoodsClassSvc::lookups_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("duplicate");
    QTest::addColumn<QString>("name");
    QTest::newRow("taken") << QStringLiteral("30") << QStringLiteral("x") << QStringLiteral("食事");
    QTest::newRow("free") << QStringLiteral("40") << QString() << QStringLiteral("X");
    QTest::newRow("quote in code") << QStringLiteral("2'0") << QStringLiteral("x") << QStringLiteral("酒類");
    QTest::newRow("quote is not a wildcard") << QStringLiteral("' OR ''='") << QString() << QStringLiteral("X");
}

void TestGoodsClassSvc::lookups() {
    QFETCH(QString, code);
    QFETCH(QString, duplicate);
    QFETCH(QString, name);
    desk::test::TempDataDir dir;
    seed(dir);
    const QString answer = connected(dir)->DuplicateCodeCheck(code);
    QCOMPARE(answer, duplicate);
    QVERIFY(!answer.isNull());
    QCOMPARE(connected(dir)->DispName(code), name);
}

void TestGoodsClassSvc::lookupsSearchForwardOnly() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    QCOMPARE(store->DispName(QStringLiteral("30")), QStringLiteral("食事"));
    QCOMPARE(store->DispName(QStringLiteral("10")), QStringLiteral("X"));
    // The miss left the row set at its end: nothing further is found until it is reopened.
    QCOMPARE(store->DispName(QStringLiteral("30")), QStringLiteral("X"));
    store->CntDb();
    QCOMPARE(store->DispName(QStringLiteral("10")), QStringLiteral("飲料"));
}

void TestGoodsClassSvc::searchMissingChangesOnlyTheCode() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setMcCode(QStringLiteral("2'0"));
    store->McEDsearch();
    QCOMPARE(store->McName(), QStringLiteral("酒類"));
    store->CntDb();
    store->setMcCode(QStringLiteral("99"));
    store->McEDsearch();
    QCOMPARE(store->McCode(), QStringLiteral("X"));
    QCOMPARE(store->McName(), QStringLiteral("酒類"));
}

void TestGoodsClassSvc::renameKeepsCommodities() {
    desk::test::TempDataDir dir;
    seed(dir);
    salesFile(dir)->exec(
        QStringLiteral("INSERT INTO Commodities (Ccode, cname, Cclasify) VALUES ('B01', 'ビール', '10')"));
    auto store = connected(dir);
    store->setMcCode2(QStringLiteral("10"));
    store->setMcCode(QStringLiteral("15"));
    store->setMcName(QStringLiteral("ソフトドリンク"));
    store->Mcedit();

    QCOMPARE(codes(dir), (QStringList{QStringLiteral("15"), QStringLiteral("2'0"), QStringLiteral("30")}));
    QCOMPARE(connected(dir)->DispName(QStringLiteral("15")), QStringLiteral("ソフトドリンク"));
    QCOMPARE(salesFile(dir)->scalar(QStringLiteral("SELECT Cclasify FROM Commodities WHERE Ccode = 'B01'")).toString(),
             QStringLiteral("10"));
}

void TestGoodsClassSvc::deleteRemovesOneClass() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setMcCode2(QStringLiteral("2'0"));
    store->Mcdelete();
    QCOMPARE(codes(dir), (QStringList{QStringLiteral("10"), QStringLiteral("30")}));
}

void TestGoodsClassSvc::writesNeedAnExistingCode_data() {
    QTest::addColumn<bool>("edit");
    QTest::newRow("edit") << true;
    QTest::newRow("delete") << false;
}

void TestGoodsClassSvc::writesNeedAnExistingCode() {
    QFETCH(bool, edit);
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setMcCode2(QStringLiteral("99"));
    store->setMcCode(QStringLiteral("98"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, edit ? store->Mcedit() : store->Mcdelete());
    QCOMPARE(codes(dir), (QStringList{QStringLiteral("10"), QStringLiteral("2'0"), QStringLiteral("30")}));
}

QTEST_GUILESS_MAIN(TestGoodsClassSvc)
#include "tst_goodsclasssvc.moc"
