#include "paymentsvc/ReciptSlp.h"

#include "data/Connection.h"
#include "data/Desk.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/RefuseWrites.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using paymentsvc::ReciptSlp;

namespace {

std::shared_ptr<desk::Connection> reciptFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Recipt));
}

std::unique_ptr<ReciptSlp> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<ReciptSlp>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

qint64 count(const desk::test::TempDataDir& dir, const QString& from) {
    return reciptFile(dir)->scalar(u"SELECT COUNT(*) FROM "_s + from).toLongLong();
}

// Empty slip tables, and payment item P1 現金 to name the lines.
void reset(const desk::test::TempDataDir& dir) {
    auto file = reciptFile(dir);
    for (const auto* table : {"BTPaymentNo", "BTPaymentDtl", "BTReciptTemp"})
        file->exec(u"DELETE FROM "_s + QLatin1String(table));
    file->exec(u"DELETE FROM ReciptCode WHERE RptCode = 'P1'"_s);
    file->exec(u"INSERT INTO ReciptCode (RptCode, RptName, RptClass) VALUES ('P1', '現金', 1)"_s);
}

void putWork(const desk::test::TempDataDir& dir, const QList<double>& amounts) {
    for (double amount : amounts)
        reciptFile(dir)->exec(u"INSERT INTO BTReciptTemp (RptCode, ReciptAmount, Desk) VALUES ('P1', ?, ?)"_s,
                              {amount, desk::currentDesk()});
}

void fill(ReciptSlp& store, const QString& number) {
    store.setSlipNo(number);
    store.setSlipDate(QDate(2002, 3, 2));
    store.setSlipCliantCode(u"C'1"_s);
    store.setUrKubun(1);
}

// As the payment screen saves: Msave, MDsave and ClearTemp in one transaction.
void saveSlip(const desk::test::TempDataDir& dir, int number, const QList<double>& amounts) {
    putWork(dir, amounts);
    auto store = connected(dir);
    fill(*store, QString::number(number));
    desk::Transaction transaction(store->connection());
    store->Msave();
    store->MDsave();
    store->ClearTemp();
    transaction.commit();
}

} // namespace

class TestPaymentSvc : public QObject {
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void findByNumber_data();
    void findByNumber();
    void recallLoadsLinesWithNames();
    void recallOfUnknownSlipChangesNothing();
    void correctionReplacesLines_data();
    void correctionReplacesLines();
    void deleteTakesHeaderAndLines();
    void takenNumbersAreRefused();
    void screenSaveIsAllOrNothing();
};

void TestPaymentSvc::numbering_data() {
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty table") << QList<int>{} << u"1"_s;
    QTest::newRow("one to seven") << QList<int>{1, 2, 3, 4, 5, 6, 7} << u"8"_s;
    QTest::newRow("only seven") << QList<int>{7} << u"8"_s;
}

void TestPaymentSvc::numbering() {
    QFETCH(QList<int>, existing);
    QFETCH(QString, expected);
    desk::test::TempDataDir dir;
    reset(dir);
    for (int number : existing)
        saveSlip(dir, number, {});
    auto store = connected(dir);
    store->SendReciptNo();
    QCOMPARE(store->SlipNo(), expected);
}

void TestPaymentSvc::findByNumber_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("disp");
    QTest::addColumn<QString>("duplicate");
    QTest::newRow("existing") << u"5"_s << u"5"_s << u"X"_s;
    QTest::newRow("missing") << u"6"_s << u""_s << u""_s;
    QTest::newRow("quote is no wildcard") << u"5' OR '1'='1"_s << u""_s << u""_s;
}

void TestPaymentSvc::findByNumber() {
    QFETCH(QString, number);
    QFETCH(QString, disp);
    QFETCH(QString, duplicate);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 3, {});
    saveSlip(dir, 5, {});
    QCOMPARE(connected(dir)->DispSlip(number), disp);
    QCOMPARE(connected(dir)->DuplicateCheck(number), duplicate);
}

void TestPaymentSvc::recallLoadsLinesWithNames() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 4, {700});
    saveSlip(dir, 5, {10000, 5000, 250});
    auto store = connected(dir);
    store->setSlipNo(u"5"_s);
    store->EDsearch();
    QCOMPARE(store->SlipDate(), QDate(2002, 3, 2));
    QCOMPARE(store->SlipCliantCode(), u"C'1"_s);
    QCOMPARE(store->UrKubun(), qint16(1));
    QStringList lines;
    for (desk::RowSet work(reciptFile(dir), u"BTReciptTemp"_s); !work.eof(); work.moveNext())
        lines << u"%1 %2 %3"_s.arg(work.value(u"RptNO"_s).toString(), work.value(u"RptName"_s).toString(),
                                   work.value(u"ReciptAmount"_s).toString());
    QCOMPARE(lines, (QStringList{u"5 現金 10000"_s, u"5 現金 5000"_s, u"5 現金 250"_s}));
}

void TestPaymentSvc::recallOfUnknownSlipChangesNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {100});
    putWork(dir, {300});
    auto store = connected(dir);
    store->setSlipCliantCode(u"前"_s);
    store->setSlipNo(u"9"_s);
    store->EDsearch();
    QCOMPARE(store->SlipNo(), u"0"_s);
    QCOMPARE(store->SlipCliantCode(), u"前"_s);
    QCOMPARE(count(dir, u"BTReciptTemp"_s), 1);
}

void TestPaymentSvc::correctionReplacesLines_data() {
    QTest::addColumn<QString>("newNumber");
    QTest::newRow("same number") << u"2"_s;
    QTest::newRow("renumbered") << u"12"_s;
}

void TestPaymentSvc::correctionReplacesLines() {
    QFETCH(QString, newNumber);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {100, 200});
    saveSlip(dir, 3, {300});
    putWork(dir, {999});
    auto store = connected(dir);
    fill(*store, newNumber);
    store->setSlipNo2(u"2"_s);
    desk::Transaction transaction(store->connection());
    store->Medit();
    store->MeditD1();
    store->MDsave();
    transaction.commit();
    QCOMPARE(count(dir, u"BTPaymentNo"_s), 2);
    QCOMPARE(count(dir, u"BTPaymentNo WHERE RptNO = "_s + newNumber), 1);
    QCOMPARE(count(dir, u"BTPaymentDtl WHERE ReciptAmount = 999 AND RptNO = "_s + newNumber), 1);
    QCOMPARE(count(dir, u"BTPaymentDtl"_s), 2);
}

void TestPaymentSvc::deleteTakesHeaderAndLines() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {100, 200});
    saveSlip(dir, 3, {300});
    auto store = connected(dir);
    store->setSlipNo2(u"2"_s);
    store->Mdelete();
    QCOMPARE(count(dir, u"BTPaymentNo"_s), 1);
    QCOMPARE(count(dir, u"BTPaymentDtl WHERE RptNO = 3"_s), count(dir, u"BTPaymentDtl"_s));
    store = connected(dir);
    store->setSlipNo2(u"2"_s);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Mdelete());
}

void TestPaymentSvc::takenNumbersAreRefused() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 4, {100});
    saveSlip(dir, 5, {});
    auto store = connected(dir);
    fill(*store, u"4"_s);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    store->setSlipNo2(u"5"_s); // renumbering slip 5 onto 4
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Medit());
    QCOMPARE(count(dir, u"BTPaymentNo WHERE RptNO = 4"_s) + count(dir, u"BTPaymentNo WHERE RptNO = 5"_s), 2);
}

void TestPaymentSvc::screenSaveIsAllOrNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    putWork(dir, {100, 200});
    desk::test::refuseWrites(*reciptFile(dir), u"INSERT"_s, u"BTPaymentDtl"_s, u"NEW.ReciptAmount = 200"_s);
    auto store = connected(dir);
    fill(*store, u"1"_s);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, {
        desk::Transaction transaction(store->connection());
        store->Msave();
        store->MDsave();
        transaction.commit();
    });
    QCOMPARE(count(dir, u"BTPaymentNo"_s) + count(dir, u"BTPaymentDtl"_s), 0);
    QCOMPARE(count(dir, u"BTReciptTemp"_s), 2);
}

QTEST_GUILESS_MAIN(TestPaymentSvc)
#include "tst_paymentsvc.moc"
