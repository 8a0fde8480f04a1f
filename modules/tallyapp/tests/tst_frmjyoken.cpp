#include "TallyFixture.h"
#include "data/Connection.h"
#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "tallyapp/Aggregation.h"
#include "tallyapp/FrmJyoken.h"
#include "tallyapp/FrmSyukei.h"
#include "taxsvc/TaxSettings.h"
#include "ui/QueryGridModel.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;
using tallyapp::FrmJyoken;
using tallyapp::FrmSyukei;

namespace {

// Types a day into a date control the way a clerk does; a part named in `empty` is left blank.
void typeDay(QWidget* window, const QString& control, const QDate& day, const QString& empty = {}) {
    auto* box = child<calfield::DateTextBox>(window, control);
    QVERIFY(box);
    QVERIFY(typeInto(box, u"TextYear"_s, empty == u"year" ? QString() : QString::number(day.year())));
    QVERIFY(typeInto(box, u"TextMonth"_s, empty == u"month" ? QString() : QString::number(day.month())));
    QVERIFY(typeInto(box, u"TextDay"_s, empty == u"day" ? QString() : QString::number(day.day())));
}

void clickButton(QWidget* window, const QString& name) {
    auto* button = child<QAbstractButton>(window, name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList headings(const FrmSyukei* w) {
    QStringList texts;
    for (int c = 0; c < w->model().columnCount(); ++c)
        texts << w->model().headerData(c, Qt::Horizontal).toString();
    return texts;
}

// Each grid line as its shown texts joined with "|".
QStringList lines(const FrmSyukei* w) {
    QStringList rows;
    const auto* grid = child<QTableView>(w, u"DataGrid1"_s);
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            cells << grid->model()->index(r, c).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

class TestFrmJyoken : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void opensOnSalesByClassAndRunsItWithTheAccessKey();
    void everyKindAgainstHandFigures_data();
    void everyKindAgainstHandFigures();
    void refusedPeriodRunsNothing_data();
    void refusedPeriodRunsNothing();
    void emptyPeriodShowsHeadingsOnly();
    void resultWindowFollowsTheLatestRun();
    void guestsWithoutAReasonCountApart();
    void salesPerTaxRate_data();
    void salesPerTaxRate();
    void leviesPerDay();

private:
    std::unique_ptr<tallyapp::test::TallyData> m_tally;
};

void TestFrmJyoken::initTestCase() {
    m_tally = std::make_unique<tallyapp::test::TallyData>();
    QVERIFY(m_tally->dir.isValid());
}

void TestFrmJyoken::init() {
    m_tally->dialogs.clear();
}

void TestFrmJyoken::cleanup() {
    if (FrmSyukei* result = FrmJyoken::resultWindow())
        result->close();
    settle();
    QVERIFY(!FrmJyoken::resultWindow());
}

void TestFrmJyoken::opensOnSalesByClassAndRunsItWithTheAccessKey() {
    FrmJyoken w(m_tally->context);
    QVERIFY(showActive(&w));
    QVERIFY(child<QRadioButton>(&w, u"Option1_0"_s)->isChecked());
    QVERIFY(child<QRadioButton>(&w, u"Option2_0"_s)->isChecked());
    QVERIFY(child<QRadioButton>(&w, u"Option3_0"_s)->isChecked());
    QVERIFY(child<QRadioButton>(&w, u"Option4_0"_s)->isChecked());
    QVERIFY(child<QGroupBox>(&w, u"Frame3"_s)->isVisible());
    QVERIFY(!child<QGroupBox>(&w, u"Frame4"_s)->isVisible());
    QVERIFY(!child<QGroupBox>(&w, u"Frame5"_s)->isVisible());
    // The clerk starts typing the period at once, over this month so far, which is offered.
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(child<QWidget>(&w, u"DateTextBox1"_s), u"TextYear"_s));
    const QDate today = QDate::currentDate();
    const auto shown = [&](const QString& box) {
        const auto* date = child<calfield::DateTextBox>(&w, box);
        return desk::convert::strictDate(date->YearText(), date->MonthText(), date->DayText());
    };
    QCOMPARE(shown(u"DateTextBox1"_s), QDate(today.year(), today.month(), 1));
    QCOMPARE(shown(u"DateTextBox2"_s), today);

    typeDay(&w, u"DateTextBox1"_s, QDate(2024, 5, 1));
    typeDay(&w, u"DateTextBox2"_s, QDate(2024, 5, 31));
    pressAccessKey(&w, Qt::Key_G);
    // An access key presses its button with a short animation.
    QTRY_VERIFY(FrmJyoken::resultWindow());

    FrmSyukei* result = FrmJyoken::resultWindow();
    QVERIFY(result);
    QCOMPARE(result->kind(), 0);
    QCOMPARE(result->windowTitle(), u"集計データ"_s);
    QCOMPARE(textOf(result, u"Text1"_s), u"2024/05/01"_s);
    QCOMPARE(textOf(result, u"Text2"_s), u"2024/05/31"_s);
    QCOMPARE(m_tally->dialogs.shown().size(), 0);
}

void TestFrmJyoken::everyKindAgainstHandFigures_data() {
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("0 sales by class") << u"Option1_0"_s << u"Option2_0"_s << 0
                                      << QStringList{u"日付"_s,       u"区分"_s,   u"正味売上"_s,
                                                     u"サービス料"_s, u"消費税"_s, u"サ込税込売上"_s}
                                      << QStringList{u"2024/05/01|宿泊掛売|25,950|2,400|2,835|31,185"_s,
                                                     u"2024/05/01|現金売|1,000|0|80|1,080"_s,
                                                     u"2024/05/02|宿泊掛売|10,000|1,000|1,100|12,100"_s,
                                                     u"2024/05/03|掛売|1,234,567|0|0|1,234,567"_s};
    QTest::newRow("1 sales by commodity class")
        << u"Option1_0"_s << u"Option2_1"_s << 1
        << QStringList{u"商品区分"_s, u"正味売上"_s, u"サービス料"_s, u"消費税"_s, u"サ込税込売上"_s}
        << QStringList{u"宿泊|24,000|2,400|2,640|29,040"_s, u"料理|10,000|1,000|1,100|12,100"_s,
                       u"飲物|1,236,517|0|195|1,236,712"_s, u"売店|1,000|0|80|1,080"_s};
    QTest::newRow("2 sales by commodity")
        << u"Option1_0"_s << u"Option2_2"_s << 2 << QStringList{u"コード"_s, u"商品名"_s, u"数量"_s, u"サ込税込売上"_s}
        << QStringList{u"101|宿泊料金（1泊2食）|2|29,040"_s, u"201|夕食（会席）|2|12,100"_s,
                       u"301|ビール（中瓶）|3|2,145"_s, u"305|ワイン（ボトル）|1|1,234,567"_s,
                       u"501|温泉まんじゅう|1|1,080"_s};
    QTest::newRow("3 payments by class") << u"Option1_1"_s << u"Option3_0"_s << 3
                                         << QStringList{u"入金区分"_s, u"入金額"_s}
                                         << QStringList{u"現金|18,000"_s, u"カード|20,000"_s};
    QTest::newRow("4 payments by item") << u"Option1_1"_s << u"Option3_1"_s << 4
                                        << QStringList{u"コード"_s, u"入金項目"_s, u"入金合計"_s}
                                        << QStringList{u"01|現金|15,000"_s, u"02|予約金|3,000"_s,
                                                       u"03|クレジットカード|20,000"_s};
    // Guests, not check-ins: parties of 2, 5 and 1.
    const QStringList guestHeadings{u"分類コード"_s, u"分類内容"_s, u"人数計"_s};
    QTest::newRow("5 age") << u"Option1_2"_s << u"Option4_0"_s << 5 << guestHeadings
                           << QStringList{u"A2|20代|7"_s, u"A5|50代|1"_s};
    QTest::newRow("6 group") << u"Option1_2"_s << u"Option4_1"_s << 6 << guestHeadings
                             << QStringList{u"G1|個人|1"_s, u"G2|家族|2"_s, u"G4|団体|5"_s};
    QTest::newRow("7 use") << u"Option1_2"_s << u"Option4_2"_s << 7 << guestHeadings
                           << QStringList{u"U1|観光|7"_s, u"U2|ビジネス|1"_s};
    QTest::newRow("8 payment method") << u"Option1_2"_s << u"Option4_3"_s << 8 << guestHeadings
                                      << QStringList{u"P1|現金|3"_s, u"P2|クレジットカード|5"_s};
    QTest::newRow("9 reason") << u"Option1_2"_s << u"Option4_4"_s << 9 << guestHeadings
                              << QStringList{u"C1|温泉|3"_s, u"C2|料理|5"_s};
}

void TestFrmJyoken::everyKindAgainstHandFigures() {
    QFETCH(QString, subject);
    QFETCH(QString, element);
    QFETCH(int, kind);
    QFETCH(QStringList, headings);
    QFETCH(QStringList, lines);

    FrmJyoken w(m_tally->context);
    QVERIFY(showActive(&w));
    typeDay(&w, u"DateTextBox1"_s, QDate(2024, 5, 1));
    typeDay(&w, u"DateTextBox2"_s, QDate(2024, 5, 31));
    clickButton(&w, subject);
    clickButton(&w, element);
    QCOMPARE(w.selectedKind(), kind);
    clickButton(&w, u"CmdGo"_s);

    FrmSyukei* result = FrmJyoken::resultWindow();
    QVERIFY(result);
    QCOMPARE(result->kind(), kind);
    QCOMPARE(::headings(result), headings);
    QCOMPARE(::lines(result), lines);
    QCOMPARE(m_tally->dialogs.shown().size(), 0);
}

static QString noDateText() {
    return u"日付が入力されていません。やりなおしてください。"_s;
}

void TestFrmJyoken::refusedPeriodRunsNothing_data() {
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QString>("emptyInFirst");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QString>("emptyInLast");
    QTest::addColumn<QString>("message");

    const QString noDate = u"日付が入力されていません。やりなおしてください。"_s;
    QTest::newRow("first day part empty") << QDate(2024, 5, 1) << u"day"_s << QDate(2024, 5, 31) << QString() << noDate;
    QTest::newRow("last day part empty") << QDate(2024, 5, 1) << QString() << QDate(2024, 5, 31) << u"day"_s << noDate;
    // A year left empty is refused by the date control itself when the clerk leaves it, so
    // the button's action never starts and the window has nothing more to say.
    QTest::newRow("last year empty") << QDate(2024, 5, 1) << QString() << QDate(2024, 5, 31) << u"year"_s << QString();
    QTest::newRow("reversed") << QDate(2024, 6, 1) << QString() << QDate(2024, 5, 1) << QString()
                              << u"期間の指定が正しくありません。"_s;
}

void TestFrmJyoken::refusedPeriodRunsNothing() {
    QFETCH(QDate, first);
    QFETCH(QString, emptyInFirst);
    QFETCH(QDate, last);
    QFETCH(QString, emptyInLast);
    QFETCH(QString, message);

    FrmJyoken w(m_tally->context);
    QVERIFY(showActive(&w));
    typeDay(&w, u"DateTextBox1"_s, first, emptyInFirst);
    typeDay(&w, u"DateTextBox2"_s, last, emptyInLast);
    m_tally->dialogs.clear();
    clickButton(&w, u"CmdGo"_s);

    QVERIFY(!FrmJyoken::resultWindow());
    if (message.isEmpty()) {
        QVERIFY(!m_tally->dialogs.messageTexts().contains(noDateText()));
        return;
    }
    QCOMPARE(m_tally->dialogs.messageTexts(), QStringList{message});
    QCOMPARE(m_tally->dialogs.shown().last().title, u"警告"_s);
    QCOMPARE(m_tally->dialogs.shown().last().icon, desk::Dialogs::Icon::Critical);
}

void TestFrmJyoken::emptyPeriodShowsHeadingsOnly() {
    FrmJyoken w(m_tally->context);
    QVERIFY(showActive(&w));
    typeDay(&w, u"DateTextBox1"_s, QDate(2030, 1, 1));
    typeDay(&w, u"DateTextBox2"_s, QDate(2030, 1, 31));
    clickButton(&w, u"Option1_2"_s);
    clickButton(&w, u"Option4_2"_s);
    clickButton(&w, u"CmdGo"_s);

    FrmSyukei* result = FrmJyoken::resultWindow();
    QVERIFY(result);
    QCOMPARE(::lines(result), QStringList());
    QCOMPARE(::headings(result), (QStringList{u"分類コード"_s, u"分類内容"_s, u"人数計"_s}));
}

void TestFrmJyoken::resultWindowFollowsTheLatestRun() {
    FrmJyoken w(m_tally->context);
    QVERIFY(showActive(&w));
    typeDay(&w, u"DateTextBox1"_s, QDate(2024, 5, 1));
    typeDay(&w, u"DateTextBox2"_s, QDate(2024, 5, 31));
    clickButton(&w, u"CmdGo"_s);
    FrmSyukei* first = FrmJyoken::resultWindow();
    QVERIFY(first);

    clickButton(&w, u"Option1_1"_s);
    typeDay(&w, u"DateTextBox1"_s, QDate(2024, 5, 2));
    clickButton(&w, u"CmdGo"_s);
    QCOMPARE(FrmJyoken::resultWindow(), first);
    QCOMPARE(first->kind(), 3);
    QCOMPARE(textOf(first, u"Text1"_s), u"2024/05/02"_s);
    QCOMPARE(::lines(first), (QStringList{u"現金|8,000"_s}));
}

void TestFrmJyoken::guestsWithoutAReasonCountApart() {
    // Walk-ins whose reason nobody asked: an empty code, and none at all.
    tallyapp::test::TallyData data;
    auto guests = desk::Connection::open(data.dir.path(), QString::fromLatin1(desk::DbFile::DaySalesCliants));
    guests->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckInRoomNo) VALUES "
                 "('W1', '2024-08-01', '伊藤', '201'), ('W2', '2024-08-02', '渡辺', '202'), "
                 "('W3', '2024-08-03', '小林', '203')"_s);
    guests->exec(u"INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES "
                 "('W1', 3, 0), ('W2', 2, 0), ('W3', 4, 0)"_s);
    guests->exec(u"INSERT INTO CheckInClasify (CheckInNO, RvUseClass, RvYearOldClass, RvPayment, RvGroupespec, "
                 "ChoiceClass) VALUES ('W1', 'U1', 'A2', 'P1', 'G2', ''), ('W2', 'U1', 'A2', 'P1', 'G2', NULL), "
                 "('W3', 'U1', 'A2', 'P1', 'G2', 'C1')"_s);

    FrmJyoken w(data.context);
    QVERIFY(showActive(&w));
    typeDay(&w, u"DateTextBox1"_s, QDate(2024, 8, 1));
    typeDay(&w, u"DateTextBox2"_s, QDate(2024, 8, 31));
    clickButton(&w, u"Option1_2"_s);
    clickButton(&w, u"Option4_4"_s);
    clickButton(&w, u"CmdGo"_s);

    FrmSyukei* result = FrmJyoken::resultWindow();
    QVERIFY(result);
    QCOMPARE(::lines(result), (QStringList{u"|未選択|5"_s, u"C1|温泉|4"_s}));
    QCOMPARE(data.dialogs.shown().size(), 0);
}

namespace {

// Slips on both sides of the change to two rates (none of them in May 2024):
//  9/30 8 % era: 10,000 with 10 % service and 500, both taxed 8 → 8 % on 11,500.
//  10/1 two nights 8,000 with service (10 %), a juice 500 at 8 (reduced), 300 untaxed with
//       service (its 30 goes to 10 %); 10/2 1,000 and 105 at 8 (reduced), 2,000 untaxed;
//  10/3 695 still typed at 5 (taxed at the standard rate).
// 10 %: 17,600 + 30 + 695 = 18,325 on 2 slips; 8 % reduced: 1,605 on 2 slips.
void seedRateChange(const QString& dir) {
    auto sales = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Sales));
    if (sales->scalar(u"SELECT COUNT(*) FROM BTSalesNo WHERE BTSalesNo >= 101"_s).toInt() > 0)
        return;
    desk::Transaction tx(sales);
    sales->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES "
                "(101, '2019-09-30', 'R1', 0), (102, '2019-10-01', 'R2', 0), (103, '2019-10-02', '', 1), "
                "(104, '2019-10-02', '', 1), (105, '2019-10-03', 'R3', 0)"_s);
    sales->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, "
                "BTSalesTax) VALUES (101, '101', '', 1, 10000, 10, 8), (101, '501', '', 1, 500, 0, 8), "
                "(102, '101', '', 2, 8000, 10, 10), (102, '501', '', 1, 500, 0, 8), (102, '305', '', 1, 300, 10, 0), "
                "(103, '501', '', 1, 1000, 0, 8), (103, '501', '', 1, 105, 0, 8), (104, '305', '', 1, 2000, 0, 0), "
                "(105, '201', '', 1, 695, 0, 5)"_s);
    tx.commit();
}

void setRounding(const QString& dir, int rounding) {
    auto option = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Option));
    option->exec(
        u"INSERT INTO CompanyProfile (TaxRounding) SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM CompanyProfile)"_s);
    option->exec(u"UPDATE CompanyProfile SET TaxRounding = ?"_s, {rounding});
}

} // namespace

void TestFrmJyoken::salesPerTaxRate_data() {
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<int>("rounding"); // as stored: 0 half to even, 1 down, 2 half up
    QTest::addColumn<QStringList>("lines");

    // 18,325 × 10 % = 1,832.5 over the period; rounded per slip it would be 1,763 + 70.
    QTest::newRow("across the change, half to even")
        << QDate(2019, 9, 1) << QDate(2019, 10, 31) << 0
        << QStringList{u"10%|18,325|1,832|2"_s, u"8%|11,500|920|1"_s, u"8%（軽減）|1,605|128|2"_s};
    QTest::newRow("half up") << QDate(2019, 9, 1) << QDate(2019, 10, 31) << 2
                             << QStringList{u"10%|18,325|1,833|2"_s, u"8%|11,500|920|1"_s, u"8%（軽減）|1,605|128|2"_s};
    QTest::newRow("the last day of one rate")
        << QDate(2019, 9, 30) << QDate(2019, 9, 30) << 0 << QStringList{u"8%|11,500|920|1"_s};
}

// The rates of each slip's day decide a line's row; the tax is rounded once per rate.
void TestFrmJyoken::salesPerTaxRate() {
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(int, rounding);
    QFETCH(QStringList, lines);
    seedRateChange(m_tally->dir.path());
    setRounding(m_tally->dir.path(), rounding);

    FrmJyoken w(m_tally->context);
    QVERIFY(showActive(&w));
    typeDay(&w, u"DateTextBox1"_s, first);
    typeDay(&w, u"DateTextBox2"_s, last);
    // By keys alone: onto the sales elements, then down to the last one.
    auto* byClass = child<QRadioButton>(&w, u"Option2_0"_s);
    byClass->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QVERIFY(child<QRadioButton>(&w, u"Option2_3"_s)->isChecked());
    QCOMPARE(w.selectedKind(), tallyapp::Aggregation::TaxRateKind);
    pressAccessKey(&w, Qt::Key_G);
    QTRY_VERIFY(FrmJyoken::resultWindow());

    FrmSyukei* result = FrmJyoken::resultWindow();
    QCOMPARE(::headings(result), (QStringList{u"税率"_s, u"対象額"_s, u"消費税"_s, u"伝票数"_s}));
    QCOMPARE(::lines(result), lines);
    QCOMPARE(result->windowTitle(), u"集計データ"_s);
    QCOMPARE(m_tally->dialogs.shown().size(), 0);
    setRounding(m_tally->dir.path(), 0);
}

// Stays settled around Kyoto's change of 2026-03-01, with a bathing tax of 150: each counted
// on its day of check-out under its levy and band, as its bill worked it out.
void TestFrmJyoken::leviesPerDay() {
    const QString dir = m_tally->dir.path();
    using namespace taxsvc;
    writeLevies(
        *desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Option)),
        LevyTable(
            {{LevyKind::Bathing, QDate(2020, 1, 1), LevyMethod::Fixed, 150, 0, {}},
             {LevyKind::LodgingMunicipality, QDate(2018, 10, 1), LevyMethod::Bands, 0, 0, {{0, 200}, {20000, 500}}},
             {LevyKind::LodgingMunicipality,
              QDate(2026, 3, 1),
              LevyMethod::Bands,
              0,
              0,
              {{0, 200}, {6000, 400}, {20000, 1000}}}}));
    {
        auto sales = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Sales));
        sales->exec(u"UPDATE Commodities SET CRoomShare = 60 WHERE Ccode = '101'"_s);
        sales->exec(u"UPDATE Commodities SET CRoomShare = 100 WHERE Ccode = '103'"_s);
        sales->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (11, '2026-02-27', "
                    u"'K1', 0), (12, '2026-03-01', 'K2', 0), "
                    "(13, '2026-03-01', 'K3', 0), (14, '2026-03-01', 'K4', 0)"_s);
        // K3 also had dinner: not a stay's line, so not in its price.
        sales->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, "
                    u"BTSalesTax) VALUES (11, '101', '', 2, 15000, 10, 10), "
                    "(12, '101', '', 2, 15000, 10, 10), (13, '103', '', 1, 25000, 10, 10), "
                    "(13, '201', '', 1, 5000, 10, 10), (14, '101', '', 2, 15000, 10, 10)"_s);
        auto guests = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::DaySalesCliants));
        guests->exec(u"INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckOutFlag, CheckOutDate) VALUES "
                     "('K1', '2026-02-27', 1, '2026-02-28'), ('K2', '2026-03-01', 1, '2026-03-02'), "
                     "('K3', '2026-03-01', 1, '2026-03-02'), ('K4', '2026-03-01', 0, NULL)"_s);
        guests->exec(u"INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget, BathExempt, LodgingExempt) VALUES "
                     u"('K1', 2, 0, 1, 0), ('K2', 2, 0, 0, 0), "
                     "('K3', 1, 0, 0, 0), ('K4', 2, 0, 0, 0)"_s);
    }

    FrmJyoken w(m_tally->context);
    QVERIFY(showActive(&w));
    typeDay(&w, u"DateTextBox1"_s, QDate(2026, 2, 1));
    typeDay(&w, u"DateTextBox2"_s, QDate(2026, 3, 31));
    child<QRadioButton>(&w, u"Option2_0"_s)->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(w.selectedKind(), tallyapp::Aggregation::LevyKind);
    pressAccessKey(&w, Qt::Key_G);
    QTRY_VERIFY(FrmJyoken::resultWindow());

    FrmSyukei* result = FrmJyoken::resultWindow();
    QCOMPARE(::headings(result), (QStringList{u"日付"_s, u"税目"_s, u"区分"_s, u"人数"_s, u"免除"_s, u"延べ泊数"_s,
                                              u"課税泊数"_s, u"税額"_s}));
    QCOMPARE(::lines(result), (QStringList{u"2026/02/28|入湯税|定額 150円|2|1|2|1|150"_s,
                                           u"2026/02/28|宿泊税（市町村）|0円以上 200円|2|0|2|2|400"_s,
                                           u"2026/03/02|入湯税|定額 150円|3|0|3|3|450"_s,
                                           u"2026/03/02|宿泊税（市町村）|6,000円以上 400円|2|0|2|2|800"_s,
                                           u"2026/03/02|宿泊税（市町村）|20,000円以上 1,000円|1|0|1|1|1,000"_s}));
    QCOMPARE(m_tally->dialogs.shown().size(), 0);
}

QTEST_MAIN(TestFrmJyoken)
#include "tst_frmjyoken.moc"
