#include "departsvc/CheckOutClass.h"
#include "departsvc/Settlement.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "taxsvc/TaxSettings.h"
#include "testsupport/TempDataDir.h"

#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using departsvc::CheckOutClass;

// quantity, unit price, service charge %, tax %
using Sale = std::array<double, 4>;
using Sales = QList<Sale>;
using Payments = QList<double>;

namespace {

const QString Guest = u"C'1"_s;

std::shared_ptr<desk::Connection> open(const desk::test::TempDataDir& dir, const char* file) {
    return desk::Connection::open(dir.path(), QLatin1String(file));
}

std::unique_ptr<CheckOutClass> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<CheckOutClass>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

// One sales slip (number slip) holding the lines, and one payment slip per amount.
void record(const desk::test::TempDataDir& dir, const QString& checkInNo, int slip, const Sales& sales,
            const Payments& payments) {
    auto salesDb = open(dir, desk::DbFile::Sales);
    salesDb->exec(u"DELETE FROM Commodities WHERE Ccode = 'T1'"_s);
    salesDb->exec(u"INSERT INTO Commodities (Ccode, cname) VALUES ('T1', '夕食')"_s);
    salesDb->exec(
        u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (?, '2002-03-01', ?, 0)"_s,
        {slip, checkInNo});
    for (const Sale& s : sales)
        salesDb->exec(
            u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, BTSalesTax) VALUES (?, 'T1', '', ?, ?, ?, ?)"_s,
            {slip, s[0], s[1], s[2], s[3]});

    auto reciptDb = open(dir, desk::DbFile::Recipt);
    reciptDb->exec(u"DELETE FROM ReciptCode WHERE RptCode = 'P1'"_s);
    reciptDb->exec(u"INSERT INTO ReciptCode (RptCode, RptName) VALUES ('P1', '現金')"_s);
    for (int i = 0; i < payments.size(); ++i) {
        reciptDb->exec(
            u"INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) VALUES (?, '2002-03-02', ?, 0)"_s,
            {slip * 100 + i, checkInNo});
        reciptDb->exec(u"INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) VALUES (?, 'P1', ?, '')"_s,
                       {slip * 100 + i, payments[i]});
    }
}

// Each statement row as "title amount markers".
QStringList statement(const desk::test::TempDataDir& dir) {
    QStringList rows;
    const auto table = desk::openDeskRows(open(dir, desk::DbFile::Option), u"CheckOutTemp"_s);
    for (; !table->eof(); table->moveNext())
        rows << u"%1 %2 %3%4"_s.arg(table->value(u"Slcmname"_s).toString(), table->value(u"SlSubTotal"_s).toString(),
                                    table->value(u"SlSv"_s).toString(), table->value(u"SlTax"_s).toString());
    return rows;
}

// Settled on the slips' day unless told otherwise: the cases below are of the 5 % era.
void build(const desk::test::TempDataDir& dir, const QString& checkInNo, const QVariant& settled = QDate(2002, 3, 2)) {
    connected(dir)->RsTempDelete();
    auto builder = connected(dir);
    builder->setCheckInNO(checkInNo);
    builder->setChkOutDate(settled);
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
    void checkInNumberAsTyped_data();
    void checkInNumberAsTyped();
    void desksKeepTheirOwnStatement();
    void ratesOfTheSettlementDate_data();
    void ratesOfTheSettlementDate();
    void noRateOnTheSettlementDate();
    void levies_data();
    void levies();
    void shownStatementIsTheOneWritten_data();
    void shownStatementIsTheOneWritten();
};

void TestDepartSvc::summary_data() {
    QTest::addColumn<Sales>("sales");
    QTest::addColumn<Payments>("payments");
    QTest::addColumn<QStringList>("summary"); // service, tax, total, paid, to pay

    const Sales example = {{2, 8000, 10, 5}, {1, 500, 0, 0}};
    QTest::newRow("worked example") << example << Payments{10000}
                                    << QStringList{u"1600"_s, u"880"_s, u"18980"_s, u"10000"_s, u"8980"_s};
    QTest::newRow("no payments") << example << Payments{}
                                 << QStringList{u"1600"_s, u"880"_s, u"18980"_s, u"0"_s, u"18980"_s};
    QTest::newRow("no sales") << Sales{} << Payments{3000, 2000}
                              << QStringList{u"0"_s, u"0"_s, u"0"_s, u"5000"_s, u"-5000"_s};
    QTest::newRow("overpaid") << Sales{{1, 1000, 0, 0}} << Payments{3000}
                              << QStringList{u"0"_s, u"0"_s, u"1000"_s, u"3000"_s, u"-2000"_s};
    // 2.5 then 2.5: the running sum gives 2, then 4.5 gives 4.
    QTest::newRow("two 25-yen lines") << Sales{{1, 25, 10, 0}, {1, 25, 10, 0}} << Payments{}
                                      << QStringList{u"4"_s, u"0"_s, u"54"_s, u"0"_s, u"54"_s};
    // 3 then 2.5: the sum 5.5 rounds to 6, where rounding the line alone would give 5.
    QTest::newRow("rounded sum, not line")
        << Sales{{1, 30, 10, 0}, {1, 25, 10, 0}} << Payments{} << QStringList{u"6"_s, u"0"_s, u"61"_s, u"0"_s, u"61"_s};
    QTest::newRow("service on untaxed line is taxed")
        << Sales{{1, 333, 10, 0}} << Payments{} << QStringList{u"33"_s, u"2"_s, u"368"_s, u"0"_s, u"368"_s};
    QTest::newRow("tax always 5 percent")
        << Sales{{1, 1000, 0, 8}} << Payments{} << QStringList{u"0"_s, u"50"_s, u"1050"_s, u"0"_s, u"1050"_s};
    QTest::newRow("quantity 0") << Sales{{0, 1000, 10, 5}} << Payments{500}
                                << QStringList{u"0"_s, u"0"_s, u"0"_s, u"500"_s, u"-500"_s};
}

void TestDepartSvc::summary() {
    QFETCH(Sales, sales);
    QFETCH(Payments, payments);
    QFETCH(QStringList, summary);
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, sales, payments);
    record(dir, u"OTHER"_s, 2, {{1, 7000, 10, 5}}, {7000});
    build(dir, Guest);

    const QStringList rows = statement(dir);
    QCOMPARE(rows.size(), sales.size() + 3 + payments.size() + 2);
    const QStringList titles = {u"サービス料"_s, u"消費税"_s, u"合計"_s, u"入金額"_s, u"請求額"_s};
    const QStringList summaryRows = rows.mid(sales.size(), 3) + rows.mid(rows.size() - 2);
    for (int i = 0; i < titles.size(); ++i)
        QCOMPARE(summaryRows[i], titles[i] + u' ' + summary[i] + u' ');
}

void TestDepartSvc::rowsOfTheWorkedExample() {
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, {{2, 8000, 10, 5}, {1, 500, 0, 0}}, {10000});
    build(dir, Guest);
    QCOMPARE(statement(dir), (QStringList{u"夕食 16000 **"_s, u"夕食 500 --"_s, u"サービス料 1600 "_s, u"消費税 880 "_s,
                                          u"合計 18980 "_s, u"現金 10000 "_s, u"入金額 10000 "_s, u"請求額 8980 "_s}));

    desk::RowSet table(open(dir, desk::DbFile::Option), u"CheckOutTemp"_s);
    QCOMPARE(table.value(u"SalesNo"_s).toInt(), 1);
    QCOMPARE(table.value(u"SlSv2"_s).toDouble(), 10.0);
    table.moveLast();
    table.movePrevious();
    table.movePrevious();
    QCOMPARE(table.value(u"SalesNo"_s).toInt(), 100);
    QCOMPARE(table.value(u"Slquantity"_s).toInt(), 1);
    QCOMPARE(table.value(u"SalesDate"_s).toDate(), QDate(2002, 3, 2));
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
    QCOMPARE(statement(dir).size(), 6);
    for (int i = 0; i < 2; ++i) { // the second time on an empty table
        connected(dir)->RsTempDelete();
        QVERIFY(statement(dir).isEmpty());
    }
}

void TestDepartSvc::checkInNumberAsTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("total");
    QTest::newRow("ASCII letters in another case") << u"c'1"_s << u"合計 1050 "_s;
    QTest::newRow("a NUL inside the number") << QString(u"C'1"_s).insert(1, QChar(0)) << u"合計 0 "_s;
    QTest::newRow("quotes and a semicolon") << u"C'1'; DELETE FROM CheckOutTemp; --"_s << u"合計 0 "_s;
}

// The number reaches the statement as a value whatever it holds; letters match without
// regard to case, as the check-in number's unique key does.
void TestDepartSvc::checkInNumberAsTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, total);
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, {{1, 1050, 0, 0}}, {});
    build(dir, typed);
    const QStringList rows = statement(dir);
    QCOMPARE(rows.filter(QRegularExpression(u"^合計 "_s)), QStringList{total});
}

void TestDepartSvc::desksKeepTheirOwnStatement() {
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, {{1, 1000, 0, 0}}, {});
    record(dir, u"G2"_s, 2, {{2, 3000, 0, 0}}, {});
    qputenv("TESARO_DESK", "front-1");
    build(dir, Guest);
    qputenv("TESARO_DESK", "front-2");
    build(dir, u"G2"_s); // empties and builds this desk's statement only
    QCOMPARE(statement(dir).value(3), u"合計 6000 "_s);
    qputenv("TESARO_DESK", "front-1");
    QCOMPARE(statement(dir).value(3), u"合計 1000 "_s);
    QCOMPARE(statement(dir).size(), 6);
    qunsetenv("TESARO_DESK");
}

void TestDepartSvc::ratesOfTheSettlementDate_data() {
    QTest::addColumn<QVariant>("settled");
    QTest::addColumn<Sales>("sales");
    QTest::addColumn<QStringList>("rows"); // "title amount markers", then "※" or "" per sales line
    // Room, juice from the fridge, beer, as rung up in December 2026.
    const Sales stay = {{2, 8000, 10, 10}, {1, 500, 0, 8}, {1, 1000, 10, 10}};
    QTest::newRow("two rates") << QVariant(QDate(2026, 12, 7)) << stay
                               << QStringList{u"夕食 16000 ** "_s,    u"夕食 500 -* ※"_s,        u"夕食 1000 ** "_s,
                                              u"サービス料 1700  "_s, u"消費税（10%） 1870  "_s, u"消費税（8%） 40  "_s,
                                              u"合計 21110  "_s,      u"入金額 0  "_s,           u"請求額 21110  "_s};
    QTest::newRow("the same lines settled in the 8 % era")
        << QVariant(u"2015-06-30"_s) << stay
        << QStringList{u"夕食 16000 ** "_s, u"夕食 500 -* "_s, u"夕食 1000 ** "_s, u"サービス料 1700  "_s,
                       u"消費税 1536  "_s,  u"合計 20736  "_s, u"入金額 0  "_s,    u"請求額 20736  "_s};
    QTest::newRow("three reduced lines: tax rounded once")
        << QVariant(QDate(2026, 12, 7)) << Sales{{1, 105, 0, 8}, {1, 105, 0, 8}, {1, 105, 0, 8}}
        << QStringList{u"夕食 105 -* ※"_s,  u"夕食 105 -* ※"_s,     u"夕食 105 -* ※"_s,
                       u"サービス料 0  "_s, u"消費税（10%） 0  "_s, u"消費税（8%） 25  "_s,
                       u"合計 340  "_s,     u"入金額 0  "_s,        u"請求額 340  "_s};
}

// The rates in force on the settlement date decide the tax rows; a reduced-rate line carries
// "※" and each tax row its rate and base.
void TestDepartSvc::ratesOfTheSettlementDate() {
    QFETCH(QVariant, settled);
    QFETCH(Sales, sales);
    QFETCH(QStringList, rows);
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, sales, {});
    build(dir, Guest, settled);

    QStringList got;
    qint64 bases = 0;
    const auto table = desk::openDeskRows(open(dir, desk::DbFile::Option), u"CheckOutTemp"_s);
    for (; !table->eof(); table->moveNext()) {
        got << u"%1 %2 %3%4 %5"_s.arg(table->value(u"Slcmname"_s).toString(), table->value(u"SlSubTotal"_s).toString(),
                                      table->value(u"SlSv"_s).toString(), table->value(u"SlTax"_s).toString(),
                                      table->value(u"SlReduced"_s).toString());
        if (!table->value(u"SlTaxRate"_s).isNull())
            bases += table->value(u"SlTaxBase"_s).toLongLong();
    }
    QCOMPARE(got, rows);
    // The bases of the tax rows are the taxed lines and the service charge.
    if (qstrcmp(QTest::currentDataTag(), "two rates") == 0)
        QCOMPARE(bases, 18700 + 500);
}

// A settlement date before every rate row is refused with the cause, and writes nothing.
void TestDepartSvc::noRateOnTheSettlementDate() {
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, {{1, 1000, 0, 5}}, {});
    try {
        build(dir, Guest, QDate(1990, 1, 1));
        QFAIL("a statement without a rate in force");
    } catch (const desk::DbError& e) {
        QVERIFY2(e.message().contains(u"1990/01/01 に適用される消費税率がありません"_s), qPrintable(e.message()));
    }
    QVERIFY(statement(dir).isEmpty());
}

void TestDepartSvc::levies_data() {
    QTest::addColumn<QDate>("checkIn");
    QTest::addColumn<QDate>("settled");
    QTest::addColumn<QList<int>>("party"); // guests, exempt from the bathing tax, from the accommodation tax
    QTest::addColumn<bool>("tokyo");
    QTest::addColumn<QStringList>("rows"); // from the tax row to 合計
    const QList<int> two{2, 0, 0};
    QTest::newRow("1泊2食 for two, Kyoto since 2026-03-01")
        << QDate(2026, 3, 1) << QDate(2026, 3, 2) << two << false
        << QStringList{u"消費税（10%） 3300"_s, u"入湯税 150円×2名×1泊 300"_s, u"宿泊税 400円×2名×1泊 800"_s,
                       u"合計 37400"_s};
    QTest::newRow("settled the day before the new bands")
        << QDate(2026, 2, 27) << QDate(2026, 2, 28) << two << false
        << QStringList{u"消費税（10%） 3300"_s, u"入湯税 150円×2名×1泊 300"_s, u"宿泊税 200円×2名×1泊 400"_s,
                       u"合計 37000"_s};
    QTest::newRow("Tokyo: 9,900 a guest-night is exempt, no row")
        << QDate(2026, 3, 1) << QDate(2026, 3, 2) << two << true
        << QStringList{u"消費税（10%） 3300"_s, u"入湯税 150円×2名×1泊 300"_s, u"合計 36600"_s};
    QTest::newRow("three guests, one exempt from the bathing tax, two nights")
        << QDate(2026, 3, 1) << QDate(2026, 3, 3) << QList<int>{3, 1, 3} << true
        << QStringList{u"消費税（10%） 3300"_s, u"入湯税 150円×2名×2泊 600"_s, u"合計 36900"_s};
}

// The levies of the settlement day follow the consumption tax, in the total and in no rate's
// base: a plan of 2 × 15,000 with a room share of 60 % and service 10 %.
void TestDepartSvc::levies() {
    QFETCH(QDate, checkIn);
    QFETCH(QDate, settled);
    QFETCH(QList<int>, party);
    QFETCH(bool, tokyo);
    QFETCH(QStringList, rows);
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, {{2, 15000, 10, 10}}, {});
    open(dir, desk::DbFile::Sales)->exec(u"UPDATE Commodities SET CRoomShare = 60 WHERE Ccode = 'T1'"_s);
    const auto clients = open(dir, desk::DbFile::DaySalesCliants);
    clients->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate) VALUES (?, ?)"_s,
                  {Guest, checkIn.toString(Qt::ISODate)});
    clients->exec(
        u"INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget, BathExempt, LodgingExempt) VALUES (?, ?, 0, ?, ?)"_s,
        {Guest, party[0], party[1], party[2]});
    using namespace taxsvc;
    QList<LevyRule> rules{{LevyKind::Bathing, QDate(2020, 1, 1), LevyMethod::Fixed, 150, 0, {}}};
    if (tokyo)
        rules << LevyRule{LevyKind::LodgingPrefecture, QDate(2002, 10, 1), LevyMethod::Bands, 0, 10000,
                          {{10000, 100}, {15000, 200}}};
    else
        rules << LevyRule{LevyKind::LodgingMunicipality, QDate(2018, 10, 1), LevyMethod::Bands, 0, 0, {{0, 200}}}
              << LevyRule{LevyKind::LodgingMunicipality,         QDate(2026, 3, 1), LevyMethod::Bands, 0, 0,
                          {{0, 200}, {6000, 400}, {20000, 1000}}};
    writeLevies(*open(dir, desk::DbFile::Option), LevyTable(rules));

    build(dir, Guest, settled);
    QStringList got;
    bool inSummary = false;
    qint64 bases = 0;
    const auto table = desk::openDeskRows(open(dir, desk::DbFile::Option), u"CheckOutTemp"_s);
    for (; !table->eof(); table->moveNext()) {
        const QString title = table->value(u"Slcmname"_s).toString();
        inSummary = inSummary || title.startsWith(u"消費税"_s);
        if (inSummary)
            got << title + u' ' + table->value(u"SlSubTotal"_s).toString();
        if (title == u"合計"_s)
            break;
        if (!table->value(u"SlTaxRate"_s).isNull())
            bases += table->value(u"SlTaxBase"_s).toLongLong();
    }
    QCOMPARE(got, rows);
    QCOMPARE(bases, 33000);
}

void TestDepartSvc::shownStatementIsTheOneWritten_data() {
    QTest::addColumn<Sales>("sales");
    QTest::addColumn<Payments>("payments");
    QTest::addColumn<QDate>("settled");

    QTest::newRow("two rates, a reduced line, paid in part")
        << Sales{{2, 8000, 10, 10}, {1, 500, 0, 8}, {1, 1000, 10, 10}} << Payments{10000, 2500} << QDate(2026, 12, 7);
    QTest::newRow("one rate, overpaid") << Sales{{1, 1000, 0, 5}} << Payments{3000} << QDate(2002, 3, 2);
    QTest::newRow("payments alone") << Sales{} << Payments{500} << QDate(2026, 12, 7);
}

// The grid and the bill's amounts take the statement as worked out, the bill's lines the rows
// written for it: line for line and column for column they are the same, and the amount due
// is the last row's.
void TestDepartSvc::shownStatementIsTheOneWritten() {
    QFETCH(Sales, sales);
    QFETCH(Payments, payments);
    QFETCH(QDate, settled);
    desk::test::TempDataDir dir;
    record(dir, Guest, 1, sales, payments);
    build(dir, Guest, settled); // an older statement of this desk, replaced whole

    const departsvc::Settlement settlement(dir.path());
    const departsvc::Statement shown = settlement.showStatement(Guest, settled);
    QCOMPARE(shown.settledOn, settled);
    const QStringList columns{u"SalesNo"_s,    u"SalesDate"_s, u"Slcmcode"_s,   u"Slcmname"_s,  u"Slcmspec"_s,
                              u"Slquantity"_s, u"Slunitp"_s,   u"SlSubTotal"_s, u"SlSv"_s,      u"SlSv2"_s,
                              u"SlTax"_s,      u"SlTax2"_s,    u"SlReduced"_s,  u"SlTaxRate"_s, u"SlTaxBase"_s};
    const auto rows = settlement.statementRows();
    qsizetype line = 0;
    double lastAmount = 0;
    for (; !rows->eof(); rows->moveNext(), ++line) {
        QVERIFY2(line < shown.lines.size(), "more rows written than lines worked out");
        for (const QString& column : columns) {
            const QVariant written = rows->value(column);
            const QVariant held = shown.lines.at(line).value(column);
            QVERIFY2(written.isNull() == held.isNull() && written.toString() == held.toString(),
                     qPrintable(u"line %1, %2: %3 written, %4 held"_s.arg(line).arg(column, written.toString(),
                                                                                    held.toString())));
        }
        lastAmount = rows->value(u"SlSubTotal"_s).toDouble();
    }
    QCOMPARE(line, shown.lines.size());
    QCOMPARE(shown.due(), lastAmount);
    QCOMPARE(shown.lines.constLast().name, u"請求額"_s);

    // Worked out without showing, it is the same statement and nothing is written.
    settlement.clearStatement();
    QCOMPARE(settlement.statementOf(Guest, settled), shown);
    QVERIFY(settlement.statementRows()->isEmpty());
}

QTEST_GUILESS_MAIN(TestDepartSvc)
#include "tst_departsvc.moc"
