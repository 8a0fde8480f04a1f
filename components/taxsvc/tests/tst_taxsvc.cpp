#include "taxsvc/TaxRules.h"
#include "taxsvc/TaxSettings.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace taxsvc;

// quantity × unit price, service %, the line's own tax %
using Line = std::array<double, 3>;

Q_DECLARE_METATYPE(Rounding)

namespace {

const RateTable
    Japan({{QDate(1997, 4, 1), 5, std::nullopt}, {QDate(2014, 4, 1), 8, std::nullopt}, {QDate(2019, 10, 1), 10, 8}});

// "title base tax" per rate, then service, subtotal and total.
QStringList taxOf(const QList<Line>& lines, const QDate& day, Rounding rounding = Rounding::HalfEven) {
    StatementTaxer taxer(*Japan.inForce(day), rounding);
    for (const Line& line : lines)
        taxer.add({line[0], line[1], line[2]});
    const StatementTax tax = taxer.result();
    QStringList rows;
    for (const RateTax& rate : tax.rates)
        rows << u"%1 %2 %3"_s.arg(tax.taxTitle(rate)).arg(rate.base).arg(rate.tax);
    rows << u"service %1 subtotal %2 total %3"_s.arg(tax.service).arg(tax.subTotal).arg(tax.total());
    return rows;
}

} // namespace

class TestTaxSvc : public QObject {
    Q_OBJECT

private slots:
    void statement_data();
    void statement();
    void rounding_data();
    void rounding();
    void ratesInForce_data();
    void ratesInForce();
    void invoiceNumber_data();
    void invoiceNumber();
    void rateChanges_data();
    void rateChanges();
    void settingsReadAndMissingRates();
};

void TestTaxSvc::statement_data() {
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QList<Line>>("lines");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("5 % era: service taxed in full, one row")
        << QDate(2013, 5, 1) << QList<Line>{{16000, 10, 5}, {500, 0, 0}}
        << QStringList{u"消費税 17600 880"_s, u"service 1600 subtotal 16500 total 18980"_s};
    QTest::newRow("8 % era: a line typed at 5 is taxed at the rate in force")
        << QDate(2016, 1, 1) << QList<Line>{{1000, 0, 5}, {1000, 10, 8}}
        << QStringList{u"消費税 2100 168"_s, u"service 100 subtotal 2000 total 2268"_s};
    QTest::newRow("two rates: room, fridge juice, beer")
        << QDate(2026, 12, 7) << QList<Line>{{16000, 10, 10}, {500, 0, 8}, {1000, 10, 10}}
        << QStringList{u"消費税（10%） 18700 1870"_s, u"消費税（8%） 500 40"_s,
                       u"service 1700 subtotal 17500 total 21110"_s};
    QTest::newRow("reduced tax rounded once, not per line")
        << QDate(2026, 12, 7) << QList<Line>{{105, 0, 8}, {105, 0, 8}, {105, 0, 8}}
        << QStringList{u"消費税（10%） 0 0"_s, u"消費税（8%） 315 25"_s, u"service 0 subtotal 315 total 340"_s};
    QTest::newRow("service on an untaxed line is taxed at the standard rate")
        << QDate(2026, 12, 7) << QList<Line>{{1000, 10, 0}, {200, 10, 8}}
        << QStringList{u"消費税（10%） 100 10"_s, u"消費税（8%） 220 18"_s, u"service 120 subtotal 1200 total 1348"_s};
    QTest::newRow("no lines: the standard rate with nothing")
        << QDate(2026, 12, 7) << QList<Line>{}
        << QStringList{u"消費税（10%） 0 0"_s, u"service 0 subtotal 0 total 0"_s};
    QTest::newRow("service halves follow the running sum")
        << QDate(2026, 12, 7) << QList<Line>{{25, 10, 10}, {25, 10, 10}}
        << QStringList{u"消費税（10%） 54 5"_s, u"service 4 subtotal 50 total 59"_s};
    QTest::newRow("a refund line taxes back")
        << QDate(2026, 12, 7) << QList<Line>{{2000, 0, 10}, {-1005, 0, 10}}
        << QStringList{u"消費税（10%） 995 100"_s, u"service 0 subtotal 995 total 1095"_s};
}

void TestTaxSvc::statement() {
    QFETCH(QDate, day);
    QFETCH(QList<Line>, lines);
    QFETCH(QStringList, expected);
    QCOMPARE(taxOf(lines, day), expected);
}

void TestTaxSvc::rounding_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<Rounding>("rounding");
    QTest::addColumn<qint64>("expected");
    const double tenth1006 = 1006 * 10.0 / 100;
    const double tenth1005 = 1005 * 10.0 / 100;
    QTest::newRow("100.6 halves to even") << tenth1006 << Rounding::HalfEven << qint64(101);
    QTest::newRow("100.6 down") << tenth1006 << Rounding::Down << qint64(100);
    QTest::newRow("100.6 half up") << tenth1006 << Rounding::HalfUp << qint64(101);
    QTest::newRow("100.5 halves to even") << tenth1005 << Rounding::HalfEven << qint64(100);
    QTest::newRow("100.5 down") << tenth1005 << Rounding::Down << qint64(100);
    QTest::newRow("100.5 half up") << tenth1005 << Rounding::HalfUp << qint64(101);
    QTest::newRow("8 % of 1,150 is 92 exactly, down") << 1150 * 8.0 / 100 << Rounding::Down << qint64(92);
    QTest::newRow("a refund's half up mirrors a charge's") << -100.5 << Rounding::HalfUp << qint64(-101);
    QTest::newRow("a refund's down mirrors a charge's") << -100.6 << Rounding::Down << qint64(-100);
}

void TestTaxSvc::rounding() {
    QFETCH(double, amount);
    QFETCH(Rounding, rounding);
    QFETCH(qint64, expected);
    QCOMPARE(roundTax(amount, rounding), expected);
}

void TestTaxSvc::ratesInForce_data() {
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("taxClass");
    QTest::addColumn<double>("expected"); // -1: none
    QTest::newRow("before the first row") << QDate(1997, 3, 31) << int(TaxClass::Standard) << -1.0;
    QTest::newRow("first day of 5 %") << QDate(1997, 4, 1) << int(TaxClass::Standard) << 5.0;
    QTest::newRow("last day of 8 %") << QDate(2019, 9, 30) << int(TaxClass::Standard) << 8.0;
    QTest::newRow("reduced before it existed") << QDate(2019, 9, 30) << int(TaxClass::Reduced) << 8.0;
    QTest::newRow("first day of 10 %") << QDate(2019, 10, 1) << int(TaxClass::Standard) << 10.0;
    QTest::newRow("reduced") << QDate(2026, 12, 7) << int(TaxClass::Reduced) << 8.0;
    QTest::newRow("not taxed") << QDate(2026, 12, 7) << int(TaxClass::Exempt) << 0.0;
}

void TestTaxSvc::ratesInForce() {
    QFETCH(QDate, day);
    QFETCH(int, taxClass);
    QFETCH(double, expected);
    const std::optional<double> rate = Japan.rateFor(taxClassOf(taxClass), day);
    QCOMPARE(rate.value_or(-1), expected);
    if (rate)
        QVERIFY(Japan.isInForce(*rate, day));
    QVERIFY(!Japan.isInForce(5, QDate(2026, 12, 7)));
}

void TestTaxSvc::invoiceNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("checkDigit");
    QTest::newRow("empty: no invoices") << u""_s << u""_s << false << false;
    QTest::newRow("a corporate number") << u"T7000012050002"_s << u"T7000012050002"_s << false << true;
    QTest::newRow("full-width, lower t, hyphens")
        << u"ｔ７０００－０１２０－５０００２"_s << u"T7000012050002"_s << false << true;
    QTest::newRow("check digit off: warned, taken") << u"T1000012050002"_s << u"T1000012050002"_s << false << false;
    QTest::newRow("no T") << u"7000012050002"_s << u"7000012050002"_s << true << false;
    QTest::newRow("12 digits") << u"T700001205000"_s << u"T700001205000"_s << true << false;
    QTest::newRow("a letter among the digits") << u"T70000120500O2"_s << u"T70000120500O2"_s << true << false;
}

void TestTaxSvc::invoiceNumber() {
    QFETCH(QString, typed);
    QFETCH(QString, plain);
    QFETCH(bool, refused);
    QFETCH(bool, checkDigit);
    QCOMPARE(plainInvoiceNumber(typed), plain);
    QCOMPARE(!invoiceNumberRefusal(plain).isEmpty(), refused);
    QCOMPARE(invoiceCheckDigitHolds(plain), checkDigit);
}

void TestTaxSvc::rateChanges_data() {
    QTest::addColumn<QList<RateRow>>("changed");
    QTest::addColumn<QString>("refusal"); // a part of it; empty: taken
    const QList<RateRow> shipped = Japan.rows();
    QList<RateRow> future = shipped;
    future << RateRow{QDate(2027, 4, 1), 12, 8};
    QTest::newRow("a row for a day to come") << future << QString();
    QList<RateRow> changedToday = shipped;
    changedToday.last().reduced = 7;
    QTest::newRow("the rates in force, with slips under them") << changedToday << u"2019/10/01 からの税率"_s;
    QList<RateRow> emptyPeriod = shipped;
    emptyPeriod[1].standard = 9; // 2014–2019: no slips in the test's files
    QTest::newRow("a past period without slips") << emptyPeriod << QString();
    QList<RateRow> dropped = shipped;
    dropped.removeLast();
    QTest::newRow("a row removed") << dropped << u"2019/10/01 からの税率"_s;
    QList<RateRow> twice = shipped;
    twice << RateRow{QDate(2019, 10, 1), 10, 8};
    QTest::newRow("two rows of one day") << twice << u"二つ"_s;
    QList<RateRow> reducedAbove = future;
    reducedAbove.last().reduced = 12;
    QTest::newRow("reduced not below standard") << reducedAbove << u"軽減税率"_s;
}

void TestTaxSvc::rateChanges() {
    QFETCH(QList<RateRow>, changed);
    QFETCH(QString, refusal);
    desk::test::TempDataDir dir;
    const auto sales = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Sales));
    sales->exec(u"INSERT INTO BTSalesNo VALUES (1, '2026-12-01', 'C1', 0)"_s);
    sales->exec(u"INSERT INTO BTSalesNo VALUES (2, '2001-05-01', 'C0', 0)"_s);
    const QString said = rateChangeRefusal(Japan, RateTable(changed), QDate(2026, 12, 7), *sales);
    if (refusal.isEmpty())
        QVERIFY2(said.isEmpty(), qPrintable(said));
    else
        QVERIFY2(said.contains(refusal), qPrintable(said));
}

// A new installation reads the shipped rates and the sample inn's service charge; check
// names slips no rate covers.
void TestTaxSvc::settingsReadAndMissingRates() {
    desk::test::TempDataDir dir;
    const TaxSettings settings = TaxSettings::readFrom(dir.path());
    QCOMPARE(settings.rates.rows(), Japan.rows());
    QCOMPARE(settings.rounding, Rounding::HalfEven);
    QVERIFY(settings.invoiceNo.isEmpty());

    const auto option = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Option));
    writeRates(*option, RateTable({{QDate(2019, 10, 1), 10, 8}}));
    QCOMPARE(TaxSettings::read(option).rates.rows().size(), 1);

    const auto sales = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Sales));
    const RateTable fromFile = TaxSettings::read(option).rates;
    QVERIFY(missingRates(fromFile, QDate(2026, 12, 7), *sales).isEmpty());
    sales->exec(u"INSERT INTO BTSalesNo VALUES (7, '2018-02-03', 'C1', 0)"_s);
    QCOMPARE(missingRates(fromFile, QDate(2026, 12, 7), *sales),
             QStringList{u"2018/02/03 からの伝票 1 件に適用される消費税率がありません。"_s});
    QCOMPARE(missingRates(RateTable(), QDate(2026, 12, 7), *sales).size(), 2);
}

QTEST_GUILESS_MAIN(TestTaxSvc)
#include "tst_taxsvc.moc"
