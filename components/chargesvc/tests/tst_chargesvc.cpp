#include "chargesvc/SalesClass.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using chargesvc::SalesClass;

namespace {

struct Line {
    QString code;
    double quantity;
    double unitPrice;
    double serviceFee;
    double salesTax;
};

std::shared_ptr<desk::Connection> salesFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Sales));
}

std::unique_ptr<SalesClass> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<SalesClass>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

qint64 count(const desk::test::TempDataDir& dir, const QString& table, const QString& where = QStringLiteral("1 = 1")) {
    return salesFile(dir)->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where)).toLongLong();
}

// Empty slip tables and work table, with two commodities to name the lines.
void reset(const desk::test::TempDataDir& dir) {
    auto file = salesFile(dir);
    for (const auto* table : {"BTSalesNo", "BTSalesDetail", "BTTempSalesDetail"})
        file->exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
    file->exec(QStringLiteral("DELETE FROM Commodities WHERE Ccode IN ('T1', 'T2')"));
    file->exec(QStringLiteral("INSERT INTO Commodities (Ccode, cname) VALUES ('T1', '夕食'), ('T2', 'ビール')"));
}

void putWork(const desk::test::TempDataDir& dir, const QList<Line>& lines) {
    auto file = salesFile(dir);
    for (const Line& line : lines)
        file->exec(QStringLiteral("INSERT INTO BTTempSalesDetail (BTcmcode, BTspec, BTQuantity, BTUnitPrice, "
                                  "BTServiceFee, BTSalesTax) VALUES (?, ?, ?, ?, ?, ?)"),
                   {line.code, QStringLiteral("摘要"), line.quantity, line.unitPrice, line.serviceFee, line.salesTax});
}

void saveSlip(const desk::test::TempDataDir& dir, qint32 number, const QList<Line>& lines,
              const QString& checkInNo = QStringLiteral("C100")) {
    putWork(dir, lines);
    auto store = connected(dir);
    store->setSalesNo(number);
    store->setSalesDate(QDate(2002, 3, 1));
    store->setCheckInNO(checkInNo);
    store->setSSClass(2);
    store->Msave();
    store->ClearTemp();
}

} // namespace

class TestChargeSvc : public QObject {
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void recallComputesAmounts_data();
    void recallComputesAmounts();
    void saveAndRecallRoundTrip();
    void recallOfUnknownSlipChangesNothing();
    void emptyWorkTable_data();
    void emptyWorkTable();
    void correctionSequence();
    void correctionSequenceIsAllOrNothing();
    void deleteTakesTheLines();
    void saveRefusesATakenNumber();
    void saveIsAllOrNothing();
    void writesNeedAnExistingSlip_data();
    void writesNeedAnExistingSlip();
};

void TestChargeSvc::numbering_data() {
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty table") << QList<int>{} << 1;
    QTest::newRow("gaps are not reused") << QList<int>{1, 2, 7} << 8;
    QTest::newRow("highest stored first") << QList<int>{9, 3} << 10;
}

void TestChargeSvc::numbering() {
    QFETCH(QList<int>, existing);
    QFETCH(int, expected);
    desk::test::TempDataDir dir;
    reset(dir);
    for (int number : existing)
        saveSlip(dir, number, {});
    auto store = connected(dir);
    store->SendSalesNo();
    QCOMPARE(store->SalesNo(), expected);
}

void TestChargeSvc::recallComputesAmounts_data() {
    QTest::addColumn<double>("quantity");
    QTest::addColumn<double>("unitPrice");
    QTest::addColumn<double>("serviceFee");
    QTest::addColumn<double>("salesTax");
    QTest::addColumn<double>("subTotal1");
    QTest::addColumn<double>("subTotal2");
    QTest::newRow("service and tax") << 2.0 << 1000.0 << 10.0 << 5.0 << 2000.0 << 2310.0;
    QTest::newRow("service only") << 2.0 << 1000.0 << 10.0 << 0.0 << 2000.0 << 2200.0;
    QTest::newRow("unrounded total") << 1.0 << 10.0 << 0.0 << 5.0 << 10.0 << 10.5;
    QTest::newRow("quantity 0") << 0.0 << 1000.0 << 10.0 << 5.0 << 0.0 << 0.0;
}

void TestChargeSvc::recallComputesAmounts() {
    QFETCH(double, quantity);
    QFETCH(double, unitPrice);
    QFETCH(double, serviceFee);
    QFETCH(double, salesTax);
    QFETCH(double, subTotal1);
    QFETCH(double, subTotal2);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 4, {{QStringLiteral("T1"), quantity, unitPrice, serviceFee, salesTax}});

    auto store = connected(dir);
    store->setSalesNo(4);
    store->EDsearch();
    desk::RowSet work(salesFile(dir), QStringLiteral("BTTempSalesDetail"));
    QCOMPARE(work.recordCount(), 1);
    QCOMPARE(work.value(QStringLiteral("BTCMname")).toString(), QStringLiteral("夕食"));
    QCOMPARE(work.value(QStringLiteral("BTSubTotal1")).toDouble(), subTotal1);
    QVERIFY(qFuzzyCompare(1 + work.value(QStringLiteral("BTSubTotal2")).toDouble(), 1 + subTotal2));
}

void TestChargeSvc::saveAndRecallRoundTrip() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 3, {{QStringLiteral("T2"), 1, 600, 0, 0}}, QStringLiteral("C200"));
    saveSlip(dir, 5,
             {{QStringLiteral("T1"), 2, 8000, 10, 5},
              {QStringLiteral("T2"), 3, 600, 0, 5},
              {QStringLiteral("T1"), 1, 500, 0, 0}},
             QStringLiteral("C'300"));
    QCOMPARE(count(dir, QStringLiteral("BTTempSalesDetail")), 0);

    auto store = connected(dir);
    store->setSalesNo(5);
    store->EDsearch();
    QCOMPARE(store->SalesNo(), 5);
    QCOMPARE(store->SalesDate(), QStringLiteral("2002/03/01"));
    QCOMPARE(store->CheckInNO(), QStringLiteral("C'300"));
    QCOMPARE(store->SSClass(), qint16(2));

    desk::RowSet work(salesFile(dir), QStringLiteral("BTTempSalesDetail"));
    QStringList lines;
    for (; !work.eof(); work.moveNext())
        lines << work.value(QStringLiteral("BTcmcode")).toString() + QLatin1Char('x') +
                     QString::number(work.value(QStringLiteral("BTQuantity")).toDouble());
    QCOMPARE(lines, (QStringList{QStringLiteral("T1x2"), QStringLiteral("T2x3"), QStringLiteral("T1x1")}));
}

void TestChargeSvc::recallOfUnknownSlipChangesNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {{QStringLiteral("T1"), 1, 100, 0, 0}});
    putWork(dir, {{QStringLiteral("T2"), 1, 600, 0, 0}});

    auto store = connected(dir);
    store->setSalesNo(42);
    store->setCheckInNO(QStringLiteral("前"));
    store->setSSClass(1);
    store->setSalesDate(QDate(2001, 1, 2));
    store->EDsearch();
    QCOMPARE(store->SalesNo(), 0);
    QCOMPARE(store->CheckInNO(), QStringLiteral("前"));
    QCOMPARE(store->SSClass(), qint16(1));
    QCOMPARE(store->SalesDate(), QStringLiteral("2001/01/02"));
    QCOMPARE(count(dir, QStringLiteral("BTTempSalesDetail")), 1);
}

void TestChargeSvc::emptyWorkTable_data() {
    QTest::addColumn<bool>("clear");
    QTest::newRow("MDsave writes no line") << false;
    QTest::newRow("ClearTemp does nothing") << true;
}

void TestChargeSvc::emptyWorkTable() {
    QFETCH(bool, clear);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {{QStringLiteral("T1"), 1, 100, 0, 0}});
    auto store = connected(dir);
    store->setSalesNo(1);
    if (clear)
        store->ClearTemp();
    else
        store->MDsave();
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTTempSalesDetail")), 0);
}

void TestChargeSvc::correctionSequence() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {{QStringLiteral("T1"), 1, 100, 0, 0}, {QStringLiteral("T1"), 2, 100, 0, 0}});
    saveSlip(dir, 3, {{QStringLiteral("T2"), 1, 600, 0, 0}});
    putWork(dir, {{QStringLiteral("T2"), 4, 600, 10, 5}});

    auto store = connected(dir);
    store->setSalesNo(2);
    store->setSalesDate(QDate(2002, 3, 4));
    store->setCheckInNO(QStringLiteral("C900"));
    store->setSSClass(1);
    {
        desk::Transaction transaction(store->connection());
        store->Medit();
        store->MeditD1();
        store->MDsave();
        transaction.commit();
    }
    QCOMPARE(count(dir, QStringLiteral("BTSalesNo")), 2);
    QCOMPARE(count(dir, QStringLiteral("BTSalesNo"),
                   QStringLiteral("BTSalesNo = 2 AND BTCheckInNo = 'C900' AND BTKubun = 1")),
             1);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail"), QStringLiteral("BTSalesNo = 2")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail"), QStringLiteral("BTSalesNo = 2 AND BTQuantity = 4")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail"), QStringLiteral("BTSalesNo = 3")), 1);
}

void TestChargeSvc::correctionSequenceIsAllOrNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {{QStringLiteral("T1"), 1, 100, 0, 0}, {QStringLiteral("T1"), 2, 100, 0, 0}});
    putWork(dir, {{QStringLiteral("T2"), 4, 600, 10, 5}});
    salesFile(dir)->exec(QStringLiteral(
        "CREATE TRIGGER refuseLine BEFORE INSERT ON BTSalesDetail BEGIN SELECT RAISE(ABORT, 'refused'); END"));

    auto store = connected(dir);
    store->setSalesNo(2);
    store->setCheckInNO(QStringLiteral("C900"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, {
        desk::Transaction transaction(store->connection());
        store->Medit();
        store->MeditD1();
        store->MDsave();
        transaction.commit();
    });
    QCOMPARE(count(dir, QStringLiteral("BTSalesNo"), QStringLiteral("BTCheckInNo = 'C100'")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail"), QStringLiteral("BTSalesNo = 2")), 2);
}

void TestChargeSvc::deleteTakesTheLines() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {{QStringLiteral("T1"), 1, 100, 0, 0}});
    saveSlip(dir, 2, {{QStringLiteral("T1"), 1, 100, 0, 0}, {QStringLiteral("T2"), 2, 600, 0, 0}});
    auto store = connected(dir);
    store->setSalesNo(2);
    store->Mdelete();
    store->MeditD1();
    QCOMPARE(count(dir, QStringLiteral("BTSalesNo")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail"), QStringLiteral("BTSalesNo = 2")), 0);
}

void TestChargeSvc::saveRefusesATakenNumber() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 6, {{QStringLiteral("T1"), 1, 100, 0, 0}});
    putWork(dir, {{QStringLiteral("T2"), 2, 600, 0, 0}});
    auto store = connected(dir);
    store->setSalesNo(6);
    store->setCheckInNO(QStringLiteral("C999"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    QCOMPARE(count(dir, QStringLiteral("BTSalesNo")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail")), 1);
    // The lines stay on screen for another try.
    QCOMPARE(count(dir, QStringLiteral("BTTempSalesDetail")), 1);
}

void TestChargeSvc::saveIsAllOrNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    putWork(dir, {{QStringLiteral("T1"), 1, 100, 0, 0}, {QStringLiteral("T2"), 1, 600, 0, 0}});
    // The second line is refused.
    salesFile(dir)->exec(QStringLiteral("CREATE TRIGGER refuseLine BEFORE INSERT ON BTSalesDetail "
                                        "WHEN NEW.BTcmcode = 'T2' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    auto store = connected(dir);
    store->setSalesNo(1);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    QCOMPARE(count(dir, QStringLiteral("BTSalesNo")), 0);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail")), 0);
}

void TestChargeSvc::writesNeedAnExistingSlip_data() {
    QTest::addColumn<bool>("edit");
    QTest::newRow("edit") << true;
    QTest::newRow("delete") << false;
}

void TestChargeSvc::writesNeedAnExistingSlip() {
    QFETCH(bool, edit);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {{QStringLiteral("T1"), 1, 100, 0, 0}});
    auto store = connected(dir);
    store->setSalesNo(9);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, edit ? store->Medit() : store->Mdelete());
    QCOMPARE(count(dir, QStringLiteral("BTSalesNo")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTSalesDetail")), 1);
}

QTEST_GUILESS_MAIN(TestChargeSvc)
#include "tst_chargesvc.moc"
