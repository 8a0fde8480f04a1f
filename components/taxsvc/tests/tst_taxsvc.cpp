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

// The two worked settings of the guide: Tokyo's bands (none below 10,000) and Kyoto's from
// 2026-03-01 (200 before them), with a bathing tax of 150.
const LevyTable Levies({
    {LevyKind::Bathing, QDate(2020, 1, 1), LevyMethod::Fixed, 150, 0, {}},
    {LevyKind::LodgingMunicipality, QDate(2018, 10, 1), LevyMethod::Bands, 0, 0, {{0, 200}, {20000, 500}}},
    {LevyKind::LodgingMunicipality,
     QDate(2026, 3, 1),
     LevyMethod::Bands,
     0,
     0,
     {{0, 200}, {6000, 400}, {20000, 1000}, {50000, 4000}, {100000, 10000}}},
});
const LevyTable Tokyo(
    {{LevyKind::LodgingPrefecture, QDate(2002, 10, 1), LevyMethod::Bands, 0, 10000, {{10000, 100}, {15000, 200}}}});

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
    void levyChanges_data();
    void levyChanges();
    void settingsReadAndMissingRates();
    void levies_data();
    void levies();
    void levyInput_data();
    void levyInput();
    void leviesStored();
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
    sales->exec(
        u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (1, '2026-12-01', 'C1', 0)"_s);
    sales->exec(
        u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (2, '2001-05-01', 'C0', 0)"_s);
    const QString said = rateChangeRefusal(Japan, RateTable(changed), QDate(2026, 12, 7), *sales);
    if (refusal.isEmpty())
        QVERIFY2(said.isEmpty(), qPrintable(said));
    else
        QVERIFY2(said.contains(refusal), qPrintable(said));
}

void TestTaxSvc::levyChanges_data() {
    QTest::addColumn<QList<LevyRule>>("changed");
    QTest::addColumn<QString>("refusal");
    const QList<LevyRule> saved = Levies.rules();
    QList<LevyRule> future = saved;
    future << LevyRule{LevyKind::Bathing, QDate(2027, 4, 1), LevyMethod::Fixed, 200, 0, {}};
    QTest::newRow("a rule for a day to come") << future << QString();
    QList<LevyRule> bandChanged = saved;
    bandChanged.last().bands.last().yen = 9000;
    QTest::newRow("the rule in force, with a stay checked out under it")
        << bandChanged
        << u"2026/03/01 からの宿泊税（市町村）では、チェックアウト済みの宿泊（1 件、最後は 2026/12/01）"_s;
    QList<LevyRule> pastChanged = saved;
    pastChanged[1].bands.last().yen = 600; // 2018–2026: only a guest still in the house
    QTest::newRow("a past period without a stay checked out") << pastChanged << QString();
    QList<LevyRule> dropped = saved;
    dropped.removeFirst();
    QTest::newRow("a levy removed") << dropped << u"2020/01/01 からの入湯税"_s;
}

// A bill printed again comes out as it did: a levy's rule that stays were checked out under
// is kept; a rule for a day to come may be added.
void TestTaxSvc::levyChanges() {
    QFETCH(QList<LevyRule>, changed);
    QFETCH(QString, refusal);
    desk::test::TempDataDir dir;
    const auto clients = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::DaySalesCliants));
    clients->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckOutFlag, CheckOutDate) "
                  "VALUES ('L1', '2026-11-30', 'A', 1, '2026-12-01'), ('L2', '2025-01-05', 'B', 0, NULL)"_s);
    const QString said = levyChangeRefusal(Levies, LevyTable(changed), QDate(2026, 12, 7), *clients);
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
    sales->exec(
        u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (7, '2018-02-03', 'C1', 0)"_s);
    QCOMPARE(missingRates(fromFile, QDate(2026, 12, 7), *sales),
             QStringList{u"2018/02/03 からの伝票 1 件に適用される消費税率がありません。"_s});
    QCOMPARE(missingRates(RateTable(), QDate(2026, 12, 7), *sales).size(), 2);
}

using LevyCase = std::array<qint32, 5>; // guests, bath exempt, lodging exempt, nights, room charge

void TestTaxSvc::levies_data() {
    QTest::addColumn<LevyTable>("table");
    QTest::addColumn<QDate>("settled");
    QTest::addColumn<LevyCase>("stay");
    QTest::addColumn<QStringList>("expected"); // "title price perGuestNight taxed×nights = amount"

    // 2 × 15,000 at a room share of 60 % with service 10 %: (18,000 + 1,800) ÷ 2 = 9,900.
    const qint32 plan = qint32(2 * roomChargeOf(15000, 10, 60));
    QTest::newRow("1泊2食 for two, Kyoto 2026 and bathing tax")
        << Levies << QDate(2026, 3, 2) << LevyCase{2, 0, 0, 1, plan}
        << QStringList{u"入湯税 9900 150 2x1 = 300"_s, u"宿泊税 9900 400 2x1 = 800"_s};
    QTest::newRow("the day before the new bands: the old rule")
        << Levies << QDate(2026, 2, 28) << LevyCase{2, 0, 0, 1, plan}
        << QStringList{u"入湯税 9900 150 2x1 = 300"_s, u"宿泊税 9900 200 2x1 = 400"_s};
    QTest::newRow("Tokyo: below the exempt point")
        << Tokyo << QDate(2026, 3, 2) << LevyCase{2, 0, 0, 1, plan} << QStringList{u"宿泊税 9900 0 2x1 = 0"_s};
    QTest::newRow("Tokyo: on a band's lower bound")
        << Tokyo << QDate(2026, 3, 2) << LevyCase{1, 0, 0, 2, 30000} << QStringList{u"宿泊税 15000 200 1x2 = 400"_s};
    QTest::newRow("three guests, one exempt, two nights")
        << Levies << QDate(2026, 4, 1) << LevyCase{3, 1, 0, 2, 120000}
        << QStringList{u"入湯税 20000 150 2x2 = 600"_s, u"宿泊税 20000 1000 3x2 = 6000"_s};
    QTest::newRow("a fraction of a yen does not lift the band")
        << Levies << QDate(2026, 4, 1) << LevyCase{3, 0, 3, 1, 59999}
        << QStringList{u"入湯税 19999 150 3x1 = 450"_s, u"宿泊税 19999 400 0x1 = 0"_s};

    LevyTable stacked({{LevyKind::LodgingPrefecture, QDate(2020, 4, 1), LevyMethod::Fixed, 50, 0, {}},
                       {LevyKind::LodgingMunicipality, QDate(2020, 4, 1), LevyMethod::Percent, 3, 5000, {}},
                       {LevyKind::LodgingMunicipality, QDate(2026, 1, 1), LevyMethod::None, 0, 0, {}}});
    QTest::newRow("stacked levies: named by level; a percent, fractions dropped")
        << stacked << QDate(2025, 12, 31) << LevyCase{2, 0, 0, 1, 13333}
        << QStringList{u"宿泊税（都道府県） 6666 50 2x1 = 100"_s, u"宿泊税（市町村） 6666 199 2x1 = 398"_s};
    QTest::newRow("a levy ended: the other one is plain 宿泊税")
        << stacked << QDate(2026, 1, 1) << LevyCase{2, 0, 0, 1, 13333} << QStringList{u"宿泊税 6666 50 2x1 = 100"_s};
    QTest::newRow("no accommodation line: no levy")
        << Levies << QDate(2026, 4, 1) << LevyCase{2, 0, 0, 1, -1} << QStringList{};
}

void TestTaxSvc::levies() {
    QFETCH(LevyTable, table);
    QFETCH(QDate, settled);
    QFETCH(LevyCase, stay);
    QFETCH(QStringList, expected);
    LevyStay levyStay{stay[4] >= 0, double(std::max(0, stay[4])), stay[0], stay[1], stay[2], stay[3]};
    QStringList got;
    for (const LevyCharge& c : levyCharges(table, settled, levyStay))
        got << u"%1 %2 %3 %4x%5 = %6"_s.arg(c.title)
                   .arg(c.price)
                   .arg(c.perGuestNight)
                   .arg(c.taxedGuests())
                   .arg(c.nights)
                   .arg(c.amount);
    QCOMPARE(got, expected);
}

void TestTaxSvc::levyInput_data() {
    QTest::addColumn<QString>("bands");
    QTest::addColumn<QString>("plain"); // empty: refused
    QTest::addColumn<int>("method");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("refusal"); // a part of the rule's refusal; empty: taken
    QTest::newRow("Kyoto's bands, full-width, out of order")
        << u"６０００：４００、0:200,20000:1000"_s << u"0:200, 6000:400, 20000:1000"_s << int(LevyMethod::Bands) << 0.0
        << QString();
    QTest::newRow("a bound twice") << u"0:200, 0:300"_s << QString() << int(LevyMethod::Bands) << 0.0
                                   << u"段階を入力"_s;
    QTest::newRow("a thousands comma is no band")
        << u"0:200, 20,000:1000"_s << QString() << int(LevyMethod::Bands) << 0.0 << u"段階を入力"_s;
    QTest::newRow("not a band") << u"6000-400"_s << QString() << int(LevyMethod::Bands) << 0.0 << u"段階を入力"_s;
    QTest::newRow("fixed 150") << QString() << QString() << int(LevyMethod::Fixed) << 150.0 << QString();
    QTest::newRow("fixed 0") << QString() << QString() << int(LevyMethod::Fixed) << 0.0 << u"金額"_s;
    QTest::newRow("fixed with a fraction") << QString() << QString() << int(LevyMethod::Fixed) << 1.5 << u"整数"_s;
    QTest::newRow("percent 100") << QString() << QString() << int(LevyMethod::Percent) << 100.0 << u"税率"_s;
    QTest::newRow("not levied") << QString() << QString() << int(LevyMethod::None) << 0.0 << QString();
}

void TestTaxSvc::levyInput() {
    QFETCH(QString, bands);
    QFETCH(QString, plain);
    QFETCH(int, method);
    QFETCH(double, amount);
    QFETCH(QString, refusal);
    QString why;
    const std::optional<QList<LevyBand>> typed = bands.isEmpty() ? std::nullopt : typedBands(bands, &why);
    QCOMPARE(typed ? bandsText(*typed) : QString(), plain);
    if (!bands.isEmpty())
        QCOMPARE(why.isEmpty(), typed.has_value());
    LevyRule rule{
        LevyKind::Bathing, QDate(2026, 3, 1), levyMethodOf(method), amount, 0, typed.value_or(QList<LevyBand>{})};
    const QString said = levyRefusal(LevyTable({rule}));
    if (refusal.isEmpty())
        QVERIFY2(said.isEmpty(), qPrintable(said));
    else
        QVERIFY2(said.contains(refusal) && said.contains(u"2026/03/01 からの入湯税"_s), qPrintable(said));
    QVERIFY(levyRefusal(LevyTable({rule, rule})).contains(u"二つ"_s));
}

// The rules and their bands come back as written; a new inn has none.
void TestTaxSvc::leviesStored() {
    desk::test::TempDataDir dir;
    const auto option = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Option));
    QVERIFY(TaxSettings::read(option).levies.rules().isEmpty());
    writeLevies(*option, Levies);
    QCOMPARE(TaxSettings::read(option).levies.rules(), Levies.rules());
    writeLevies(*option, Tokyo);
    QCOMPARE(TaxSettings::read(option).levies.rules(), Tokyo.rules());
    QCOMPARE(option->scalar(u"SELECT COUNT(*) FROM LevyBands"_s).toInt(), 2);

    // A new inn's stays have their room shares; an upgraded one's have none until set.
    const auto sales = desk::Connection::open(dir.path(), QString::fromLatin1(desk::DbFile::Sales));
    QVERIFY(missingRoomShares(Tokyo, *sales).isEmpty());
    sales->exec(u"UPDATE Commodities SET CRoomShare = 0"_s);
    QCOMPARE(missingRoomShares(Tokyo, *sales).size(), 1);
    QVERIFY(missingRoomShares(LevyTable(), *sales).isEmpty());
}

QTEST_GUILESS_MAIN(TestTaxSvc)
#include "tst_taxsvc.moc"
