#include "payitemsvc/ReciptCode.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

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

void addItem(const desk::test::TempDataDir& dir, const QString& code, const QString& name, qint16 classCode) {
    auto store = connected(dir);
    store->setReciptCode(code);
    store->setReciptName(name);
    store->setRkubunCode(classCode);
    store->setReciptRemarks1(QStringLiteral("備考") + code);
    store->SaveRs();
}

// Empty item table, then 01 現金, X 未定 (an item whose code is the miss marker), O'1 カード.
void seed(const desk::test::TempDataDir& dir) {
    reciptFile(dir)->exec(QStringLiteral("DELETE FROM ReciptCode"));
    addItem(dir, QStringLiteral("01"), QStringLiteral("現金"), 1);
    addItem(dir, QStringLiteral("X"), QStringLiteral("未定"), 2);
    addItem(dir, QStringLiteral("O'1"), QStringLiteral("カード"), 3);
}

qint64 rows(const desk::test::TempDataDir& dir, const QString& where = QStringLiteral("1 = 1")) {
    return reciptFile(dir)->scalar(QStringLiteral("SELECT COUNT(*) FROM ReciptCode WHERE ") + where).toLongLong();
}

} // namespace

class TestPayItemSvc : public QObject {
    Q_OBJECT

private slots:
    void lookups_data();
    void lookups();
    void search_data();
    void search();
    void saveWritesNoNulls();
    void editMovesTheSameRow();
    void writesNeedAnExistingCode_data();
    void writesNeedAnExistingCode();
};

void TestPayItemSvc::lookups_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("name");
    QTest::newRow("used") << QStringLiteral("01") << QStringLiteral("X") << QStringLiteral("現金");
    QTest::newRow("unused") << QStringLiteral("02") << QString() << QStringLiteral("X");
    QTest::newRow("quote in code") << QStringLiteral("O'1") << QStringLiteral("X") << QStringLiteral("カード");
    // The code "X" itself: the check says taken, the name is its own.
    QTest::newRow("code X") << QStringLiteral("X") << QStringLiteral("X") << QStringLiteral("未定");
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
    QTest::addColumn<QString>("codeAfter");
    QTest::addColumn<QString>("nameAfter");
    QTest::addColumn<int>("classAfter");
    QTest::addColumn<QString>("remarksAfter");
    QTest::newRow("found") << QStringLiteral("O'1") << QStringLiteral("O'1") << QStringLiteral("カード") << 3
                           << QStringLiteral("備考O'1");
    QTest::newRow("missing leaves the rest")
        << QStringLiteral("09") << QStringLiteral("X") << QStringLiteral("前") << 9 << QStringLiteral("前備考");
    // A found item whose code is "X" reads like a miss through the code alone; its name loads.
    QTest::newRow("found code X") << QStringLiteral("X") << QStringLiteral("X") << QStringLiteral("未定") << 2
                                  << QStringLiteral("備考X");
}

void TestPayItemSvc::search() {
    QFETCH(QString, code);
    QFETCH(QString, codeAfter);
    QFETCH(QString, nameAfter);
    QFETCH(int, classAfter);
    QFETCH(QString, remarksAfter);
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptName(QStringLiteral("前"));
    store->setRkubunCode(9);
    store->setReciptRemarks1(QStringLiteral("前備考"));
    store->setReciptCode(code);
    store->SearchRs();
    QCOMPARE(store->getReciptCode(), codeAfter);
    QCOMPARE(store->ReciptName(), nameAfter);
    QCOMPARE(int(store->RkubunCode()), classAfter);
    QCOMPARE(store->ReciptRemarks1(), remarksAfter);
}

void TestPayItemSvc::saveWritesNoNulls() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptCode(QStringLiteral("05"));
    store->SaveRs();
    QCOMPARE(rows(dir, QStringLiteral("RptCode = '05' AND RptName = '' AND RptRemarks1 = '' AND RptRemarks2 = '' "
                                      "AND RptClass = 0")),
             1);
}

void TestPayItemSvc::editMovesTheSameRow() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptCode2(QStringLiteral("01"));
    store->setReciptCode(QStringLiteral("05"));
    store->setReciptName(QStringLiteral("現金払い"));
    store->setRkubunCode(4);
    store->EditRs();

    QCOMPARE(rows(dir), 3);
    QCOMPARE(rows(dir, QStringLiteral("RptCode = '01'")), 0);
    QCOMPARE(rows(dir, QStringLiteral("RptCode = '05' AND RptName = '現金払い' AND RptClass = 4")), 1);
}

void TestPayItemSvc::writesNeedAnExistingCode_data() {
    QTest::addColumn<bool>("edit");
    QTest::newRow("edit") << true;
    QTest::newRow("delete") << false;
}

void TestPayItemSvc::writesNeedAnExistingCode() {
    QFETCH(bool, edit);
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptCode2(QStringLiteral("' OR ''='"));
    store->setReciptCode(QStringLiteral("07"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, edit ? store->EditRs() : store->DeleteRs());
    QCOMPARE(rows(dir), 3);
    QCOMPARE(rows(dir, QStringLiteral("RptCode = '07'")), 0);
}

QTEST_GUILESS_MAIN(TestPayItemSvc)
#include "tst_payitemsvc.moc"
