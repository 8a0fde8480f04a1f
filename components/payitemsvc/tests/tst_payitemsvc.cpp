#include "payitemsvc/ReciptCode.h"

#include "data/Connection.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using payitemsvc::ReciptCode;

namespace {

std::shared_ptr<desk::Connection> reciptFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Recipt));
}

std::unique_ptr<ReciptCode> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<ReciptCode>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

// Empty item table, then 01 現金, X 未定 (an item whose code is the miss marker) and O'1 カード.
void seed(const desk::test::TempDataDir& dir) {
    reciptFile(dir)->exec(u"DELETE FROM ReciptCode"_s);
    const QList<std::pair<QString, QString>> items = {
        {u"01"_s, u"現金"_s}, {u"X"_s, u"未定"_s}, {u"O'1"_s, u"カード"_s}};
    for (const auto& [code, name] : items) {
        auto store = connected(dir);
        store->setReciptCode(code);
        store->setReciptName(name);
        store->setRkubunCode(3);
        store->setReciptRemarks1(u"備考"_s);
        store->SaveRs();
    }
}

} // namespace

class TestPayItemSvc : public QObject {
    Q_OBJECT

private slots:
    void lookups_data();
    void lookups();
    void search_data();
    void search();
    void editMovesTheSameRow();
};

void TestPayItemSvc::lookups_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("name");
    QTest::newRow("used") << u"01"_s << u"X"_s << u"現金"_s;
    QTest::newRow("unused") << u"02"_s << u""_s << u"X"_s;
    QTest::newRow("quote in code") << u"O'1"_s << u"X"_s << u"カード"_s;
    QTest::newRow("code X is taken and named") << u"X"_s << u"X"_s << u"未定"_s;
}

void TestPayItemSvc::lookups() {
    QFETCH(QString, code);
    QFETCH(QString, check);
    QFETCH(QString, name);
    desk::test::TempDataDir dir;
    seed(dir);
    QCOMPARE(connected(dir)->ReciptCodeCheck(code), check);
    QCOMPARE(connected(dir)->ReciptNameDisplay(code), name);
}

void TestPayItemSvc::search_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("classCode");
    QTest::newRow("found") << u"O'1"_s << u"カード"_s << 3;
    QTest::newRow("missing leaves the rest") << u"09"_s << u"前"_s << 9;
    // Found, yet the code reads "X" like a miss: only the loaded name tells them apart.
    QTest::newRow("found code X") << u"X"_s << u"未定"_s << 3;
}

void TestPayItemSvc::search() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(int, classCode);
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptName(u"前"_s);
    store->setRkubunCode(9);
    store->setReciptCode(code);
    store->SearchRs();
    QCOMPARE(store->getReciptCode(), code == u"09"_s ? u"X"_s : code);
    QCOMPARE(store->ReciptName(), name);
    QCOMPARE(int(store->RkubunCode()), classCode);
}

void TestPayItemSvc::editMovesTheSameRow() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptCode2(u"01"_s);
    store->setReciptCode(u"05"_s);
    store->setRkubunCode(4);
    store->EditRs();

    auto file = reciptFile(dir);
    QCOMPARE(file->scalar(u"SELECT COUNT(*) FROM ReciptCode"_s).toInt(), 3);
    // Every column is written, unset texts as empty texts rather than null.
    QCOMPARE(file->scalar(u"SELECT COUNT(*) FROM ReciptCode WHERE RptCode = '05' AND RptName = '' "
                          "AND RptClass = 4 AND RptRemarks1 = '' AND RptRemarks2 = ''"_s)
                 .toInt(),
             1);
}

QTEST_GUILESS_MAIN(TestPayItemSvc)
#include "tst_payitemsvc.moc"
