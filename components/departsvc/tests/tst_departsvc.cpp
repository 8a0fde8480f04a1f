#include "departsvc/CheckOutClass.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using departsvc::CheckOutClass;

struct Sale {
    double quantity;
    double unitPrice;
    double serviceFee;
    double salesTax;
};
using Sales = QList<Sale>;
using Payments = QList<double>;
Q_DECLARE_METATYPE(Sale)

namespace {

const QString Guest = QStringLiteral("C'1");

std::shared_ptr<desk::Connection> open(const desk::test::TempDataDir& dir, const char* file) {
    return desk::Connection::open(dir.path(), QLatin1String(file));
}

std::unique_ptr<CheckOutClass> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<CheckOutClass>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

// One slip per guest holding the given lines, and one payment slip per amount.
void record(const desk::test::TempDataDir& dir, const QString& checkInNo, int slip, const Sales& sales,
            const Payments& payments) {
    auto salesDb = open(dir, desk::DbFile::Sales);
    salesDb->exec(QStringLiteral("INSERT INTO Commodities (Ccode, cname) SELECT 'T1', '夕食' "
                                 "WHERE NOT EXISTS (SELECT 1 FROM Commodities WHERE Ccode = 'T1')"));
    if (!sales.isEmpty())
        salesDb->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) "
                                     "VALUES (?, '2002-03-01', ?, 0)"),
                      {slip, checkInNo});
    for (const Sale& sale : sales)
        salesDb->exec(QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, "
                                     "BTServiceFee, BTSalesTax) VALUES (?, 'T1', '', ?, ?, ?, ?)"),
                      {slip, sale.quantity, sale.unitPrice, sale.serviceFee, sale.salesTax});

    auto reciptDb = open(dir, desk::DbFile::Recipt);
    reciptDb->exec(QStringLiteral("INSERT INTO ReciptCode (RptCode, RptName, RptClass) SELECT 'P1', '現金', 1 "
                                  "WHERE NOT EXISTS (SELECT 1 FROM ReciptCode WHERE RptCode = 'P1')"));
    int number = slip * 100;
    for (double amount : payments) {
        ++number;
        reciptDb->exec(QStringLiteral("INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) "
                                      "VALUES (?, '2002-03-02', ?, 0)"),
                       {number, checkInNo});
        reciptDb->exec(QStringLiteral("INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) "
                                      "VALUES (?, 'P1', ?, '')"),
                       {number, amount});
    }
}

struct Row {
    QString name;
    double amount;
    QString sv;
    QString tax;
};

QList<Row> statement(const desk::test::TempDataDir& dir) {
    QList<Row> rows;
    desk::RowSet table(open(dir, desk::DbFile::Option), QStringLiteral("CheckOutTemp"));
    for (; !table.eof(); table.moveNext())
        rows.append({table.value(QStringLiteral("Slcmname")).toString(),
                     table.value(QStringLiteral("SlSubTotal")).toDouble(),
                     table.value(QStringLiteral("SlSv")).toString(), table.value(QStringLiteral("SlTax")).toString()});
    return rows;
}

double amountOf(const QList<Row>& rows, const QString& title) {
    for (const Row& row : rows)
        if (row.name == title)
            return row.amount;
    return -1e300;
}

void build(const desk::test::TempDataDir& dir, const QString& checkInNo) {
    auto cleaner = connected(dir);
    cleaner->RsTempDelete();
    auto builder = connected(dir);
    builder->setCheckInNO(checkInNo);
    builder->CheckOut();
}

} // namespace

class TestDepartSvc : public QObject {
    Q_OBJECT

private slots:
    void summary_data();
    void summary();
    void rowsOfTheWorkedExample();
    void overflowLeavesNoStatement();
    void emptyingTheStatement();
};

void TestDepartSvc::summary_data() {
    QTest::addColumn<Sales>("sales");
    QTest::addColumn<Payments>("payments");
    QTest::addColumn<int>("service");
    QTest::addColumn<int>("tax");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("paid");
    QTest::addColumn<int>("toPay");

    const Sales example = {{2, 8000, 10, 5}, {1, 500, 0, 0}};
    QTest::newRow("worked example") << example << Payments{10000} << 1600 << 880 << 18980 << 10000 << 8980;
    QTest::newRow("no payments") << example << Payments{} << 1600 << 880 << 18980 << 0 << 18980;
    QTest::newRow("no sales") << Sales{} << Payments{3000, 2000} << 0 << 0 << 0 << 5000 << -5000;
    QTest::newRow("overpaid") << Sales{{1, 1000, 0, 0}} << Payments{3000} << 0 << 0 << 1000 << 3000 << -2000;
    // 2.5 + 2.5: the running sum rounds to 2, then 4.5 rounds to 4.
    QTest::newRow("halves follow the running sum")
        << Sales{{1, 25, 10, 0}, {1, 25, 10, 0}} << Payments{} << 4 << 0 << 54 << 0 << 54;
    // 3 then 2.5: the sum 5.5 rounds to 6, where rounding the line alone would give 5.
    QTest::newRow("rounded sum, not rounded line")
        << Sales{{1, 30, 10, 0}, {1, 25, 10, 0}} << Payments{} << 6 << 0 << 61 << 0 << 61;
    QTest::newRow("333 at 10 percent") << Sales{{1, 333, 10, 0}} << Payments{} << 33 << 2 << 368 << 0 << 368;
    QTest::newRow("service on an untaxed line is taxed")
        << Sales{{1, 1000, 10, 0}} << Payments{} << 100 << 5 << 1105 << 0 << 1105;
    QTest::newRow("tax always at 5 percent") << Sales{{1, 1000, 0, 8}} << Payments{} << 0 << 50 << 1050 << 0 << 1050;
    QTest::newRow("quantity 0") << Sales{{0, 1000, 10, 5}} << Payments{500} << 0 << 0 << 0 << 500 << -500;
}

void TestDepartSvc::summary() {
    QFETCH(Sales, sales);
    QFETCH(Payments, payments);
    QFETCH(int, service);
    QFETCH(int, tax);
    QFETCH(int, total);
    QFETCH(int, paid);
    QFETCH(int, toPay);

    desk::test::TempDataDir dir;
    record(dir, Guest, 1, sales, payments);
    record(dir, QStringLiteral("OTHER"), 2, {{1, 7000, 10, 5}}, {7000});
    build(dir, Guest);

    const QList<Row> rows = statement(dir);
    QCOMPARE(rows.size(), sales.size() + 3 + payments.size() + 2);
    QCOMPARE(amountOf(rows, QStringLiteral("サービス料")), double(service));
    QCOMPARE(amountOf(rows, QStringLiteral("消費税")), double(tax));
    QCOMPARE(amountOf(rows, QStringLiteral("合計")), double(total));
    QCOMPARE(amountOf(rows, QStringLiteral("入金額")), double(paid));
    QCOMPARE(rows.last().name, QStringLiteral("請求額"));
    QCOMPARE(rows.last().amount, double(toPay));
}

void TestDepartSvc::rowsOfTheWorkedExample() {
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, {{2, 8000, 10, 5}, {1, 500, 0, 0}}, {10000});
    build(dir, Guest);

    const QList<Row> rows = statement(dir);
    QStringList shape;
    for (const Row& row : rows)
        shape << QStringLiteral("%1 %2 %3%4").arg(row.name).arg(row.amount).arg(row.sv, row.tax);
    QCOMPARE(shape, (QStringList{QStringLiteral("夕食 16000 **"), QStringLiteral("夕食 500 --"),
                                 QStringLiteral("サービス料 1600 "), QStringLiteral("消費税 880 "),
                                 QStringLiteral("合計 18980 "), QStringLiteral("現金 10000 "),
                                 QStringLiteral("入金額 10000 "), QStringLiteral("請求額 8980 ")}));

    desk::RowSet table(open(dir, desk::DbFile::Option), QStringLiteral("CheckOutTemp"));
    QCOMPARE(table.value(QStringLiteral("SalesNo")).toInt(), 1);
    QCOMPARE(table.value(QStringLiteral("SlSv2")).toDouble(), 10.0);
    QCOMPARE(table.value(QStringLiteral("SlTax2")).toDouble(), 5.0);
    table.moveNext();
    QCOMPARE(table.value(QStringLiteral("SlSv2")).toDouble(), 0.0);
    table.moveLast();
    table.movePrevious();
    table.movePrevious();
    QCOMPARE(table.value(QStringLiteral("SalesNo")).toInt(), 101);
    QCOMPARE(table.value(QStringLiteral("Slcmcode")).toString(), QStringLiteral("P1"));
    QCOMPARE(table.value(QStringLiteral("Slquantity")).toInt(), 1);
    QCOMPARE(table.value(QStringLiteral("SalesDate")).toDate(), QDate(2002, 3, 2));
}

void TestDepartSvc::overflowLeavesNoStatement() {
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, {{100000, 30000, 0, 0}}, {});
    QVERIFY_THROWS_EXCEPTION(desk::ConversionError, build(dir, Guest));
    QVERIFY(statement(dir).isEmpty());
}

void TestDepartSvc::emptyingTheStatement() {
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, {{1, 1000, 0, 0}}, {});
    build(dir, Guest);
    QVERIFY(!statement(dir).isEmpty());
    connected(dir)->RsTempDelete();
    QVERIFY(statement(dir).isEmpty());
    connected(dir)->RsTempDelete();
    QVERIFY(statement(dir).isEmpty());
}

QTEST_GUILESS_MAIN(TestDepartSvc)
#include "tst_departsvc.moc"
