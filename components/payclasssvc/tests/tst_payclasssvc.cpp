#include "payclasssvc/RptKbnCls.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using payclasssvc::RptKbnCls;

namespace {

std::shared_ptr<desk::Connection> reciptFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Recipt));
}

std::unique_ptr<RptKbnCls> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<RptKbnCls>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

// Empty class table, then 1 現金, 2 売掛, 3 前受.
void seed(const desk::test::TempDataDir& dir) {
    reciptFile(dir)->exec(QStringLiteral("DELETE FROM ReciptClass"));
    const QStringList names = {QStringLiteral("現金"), QStringLiteral("売掛"), QStringLiteral("前受")};
    for (int i = 0; i < names.size(); ++i) {
        auto store = connected(dir);
        store->setReciptClassCode(QString::number(i + 1));
        store->setReciptClassName(names[i]);
        store->SaveRs();
    }
}

QStringList classes(const desk::test::TempDataDir& dir) {
    QStringList result;
    auto store = connected(dir);
    desk::RowSet* rows = store->RsClkubunR();
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        result << rows->value(QStringLiteral("RptClassCode")).toString() + QLatin1Char(':') +
                      rows->value(QStringLiteral("RptClassName")).toString();
    return result;
}

} // namespace

class TestPayClassSvc : public QObject {
    Q_OBJECT

private slots:
    void lookups_data();
    void lookups();
    void searchThenEditRewritesOneRow();
    void searchMissingChangesOnlyTheCode();
    void deleteKeepsItems();
    void writesNeedAnExistingCode_data();
    void writesNeedAnExistingCode();
};

void TestPayClassSvc::lookups_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("name");
    QTest::newRow("known") << QStringLiteral("2") << QStringLiteral("X") << QStringLiteral("売掛");
    QTest::newRow("unknown") << QStringLiteral("7") << QString() << QStringLiteral("X");
    QTest::newRow("quote") << QStringLiteral("2' OR '1'='1") << QString() << QStringLiteral("X");
}

void TestPayClassSvc::lookups() {
    QFETCH(QString, code);
    QFETCH(QString, check);
    QFETCH(QString, name);
    desk::test::TempDataDir dir;
    seed(dir);
    QCOMPARE(connected(dir)->ReciptClassCodeCheck(code), check);
    QCOMPARE(connected(dir)->ReciptClassNameDisplay(code), name);
}

void TestPayClassSvc::searchThenEditRewritesOneRow() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptClassCode(QStringLiteral("2"));
    store->SearchRs();
    QCOMPARE(store->ReciptClassCode2(), QStringLiteral("2"));
    QCOMPARE(store->ReciptClassName(), QStringLiteral("売掛"));

    auto editor = connected(dir);
    editor->setReciptClassCode2(store->ReciptClassCode2());
    editor->setReciptClassCode(QStringLiteral("5"));
    editor->setReciptClassName(QStringLiteral("掛入金"));
    editor->EditRs();
    QCOMPARE(classes(dir),
             (QStringList{QStringLiteral("1:現金"), QStringLiteral("5:掛入金"), QStringLiteral("3:前受")}));
}

void TestPayClassSvc::searchMissingChangesOnlyTheCode() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptClassCode2(QStringLiteral("1"));
    store->setReciptClassName(QStringLiteral("前"));
    store->setReciptClassCode(QStringLiteral("8"));
    store->SearchRs();
    QCOMPARE(store->ReciptClassCode(), QStringLiteral("X"));
    QCOMPARE(store->ReciptClassCode2(), QStringLiteral("1"));
    QCOMPARE(store->ReciptClassName(), QStringLiteral("前"));
}

void TestPayClassSvc::deleteKeepsItems() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto file = reciptFile(dir);
    const qint64 items = file->scalar(QStringLiteral("SELECT COUNT(*) FROM ReciptCode")).toLongLong();
    file->exec(QStringLiteral("INSERT INTO ReciptCode (RptCode, RptName, RptClass) VALUES ('T9', '試験', 3)"));
    auto store = connected(dir);
    store->setReciptClassCode2(QStringLiteral("3"));
    store->DeleteRs();
    QCOMPARE(classes(dir), (QStringList{QStringLiteral("1:現金"), QStringLiteral("2:売掛")}));
    QCOMPARE(file->scalar(QStringLiteral("SELECT COUNT(*) FROM ReciptCode")).toLongLong(), items + 1);
}

void TestPayClassSvc::writesNeedAnExistingCode_data() {
    QTest::addColumn<bool>("edit");
    QTest::newRow("edit") << true;
    QTest::newRow("delete") << false;
}

void TestPayClassSvc::writesNeedAnExistingCode() {
    QFETCH(bool, edit);
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptClassCode2(QStringLiteral("9"));
    store->setReciptClassCode(QStringLiteral("6"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, edit ? store->EditRs() : store->DeleteRs());
    QCOMPARE(classes(dir).size(), 3);
}

QTEST_GUILESS_MAIN(TestPayClassSvc)
#include "tst_payclasssvc.moc"
