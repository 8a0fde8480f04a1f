#include "goodsclasssvc/SKubun.h"

#include "data/Connection.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
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

// Empty class table, then 10 飲料 and 2'0 酒類.
void seed(const desk::test::TempDataDir& dir) {
    salesFile(dir)->exec(u"DELETE FROM CommodityClasify"_s);
    for (const auto& [code, name] : QList<std::pair<QString, QString>>{{u"10"_s, u"飲料"_s}, {u"2'0"_s, u"酒類"_s}}) {
        auto store = connected(dir);
        store->setMcCode(code);
        store->setMcName(name);
        store->Mcsave();
    }
}

} // namespace

class TestGoodsClassSvc : public QObject {
    Q_OBJECT

private slots:
    void lookups_data();
    void lookups();
    void searchMissingChangesOnlyTheCode();
    void renameThroughCode2();
};

void TestGoodsClassSvc::lookups_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("duplicate");
    QTest::addColumn<QString>("name");
    QTest::newRow("taken") << u"10"_s << u"x"_s << u"飲料"_s;
    QTest::newRow("free") << u"40"_s << u""_s << u"X"_s;
    QTest::newRow("quote in code") << u"2'0"_s << u"x"_s << u"酒類"_s;
    QTest::newRow("quote is no wildcard") << u"' OR ''='"_s << u""_s << u"X"_s;
}

void TestGoodsClassSvc::lookups() {
    QFETCH(QString, code);
    QFETCH(QString, duplicate);
    QFETCH(QString, name);
    desk::test::TempDataDir dir;
    seed(dir);
    QCOMPARE(connected(dir)->DuplicateCodeCheck(code), duplicate);
    QCOMPARE(connected(dir)->DispName(code), name);
}

void TestGoodsClassSvc::searchMissingChangesOnlyTheCode() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setMcName(u"前"_s);
    store->setMcCode(u"99"_s);
    store->McEDsearch();
    QCOMPARE(store->McCode(), u"X"_s);
    QCOMPARE(store->McName(), u"前"_s);
}

void TestGoodsClassSvc::renameThroughCode2() {
    desk::test::TempDataDir dir;
    seed(dir);
    salesFile(dir)->exec(u"INSERT INTO Commodities (Ccode, Cclasify) VALUES ('ZZ1', '2''0')"_s);
    auto store = connected(dir);
    store->setMcCode2(u"2'0"_s);
    store->setMcCode(u"20"_s);
    store->setMcName(u"日本酒"_s);
    store->Mcedit();

    QStringList rows;
    auto reader = connected(dir);
    for (desk::RowSet* set = reader->RsEd(); !set->eof(); set->moveNext())
        rows << set->value(u"CClassCode"_s).toString() + u':' + set->value(u"CClassName"_s).toString();
    QCOMPARE(rows, (QStringList{u"10:飲料"_s, u"20:日本酒"_s}));
    QCOMPARE(salesFile(dir)->scalar(u"SELECT Cclasify FROM Commodities WHERE Ccode = 'ZZ1'"_s).toString(), u"2'0"_s);
}

QTEST_GUILESS_MAIN(TestGoodsClassSvc)
#include "tst_goodsclasssvc.moc"
