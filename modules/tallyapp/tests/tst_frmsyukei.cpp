#include "TallyFixture.h"
#include "convert/Convert.h"
#include "report/ReportDocument.h"
#include "tallyapp/Aggregation.h"
#include "tallyapp/FrmSyukei.h"
#include "tallyapp/TallyChart.h"
#include "tallyapp/TallyReport.h"
#include "tallysvc/TallyResult.h"
#include "ui/QueryGridModel.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QAbstractBarSeries>
#include <QFile>
#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>
#include <QRegularExpression>
#include <QPushButton>
#include <QTabWidget>
#include <QToolTip>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;
using tallyapp::FrmSyukei;
using tallysvc::TallyResult;

namespace {

const QDate MayFirst(2024, 5, 1);
const QDate MayLast(2024, 5, 31);

QStringList csvLines(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    text.chop(2); // the last line's CRLF
    return text.split(u"\r\n"_s);
}

} // namespace

// The result window's outputs against its grid: the report's totals, the CSV, the chart.
class TestFrmSyukei : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void reportTotalsEqualTheGrid_data();
    void reportTotalsEqualTheGrid();
    void csvReadsBackAsTheGrid_data();
    void csvReadsBackAsTheGrid();
    void chartBarsFollowTheResult();
    void emptyResultChartShowsANote_data();
    void emptyResultChartShowsANote();
    void chartLabelsShortenVisibly_data();
    void chartLabelsShortenVisibly();
    void longNamesAreShortenedOnANarrowChart();
    void printButtonsReachPaper();

private:
    std::unique_ptr<FrmSyukei> show(int kind, const QDate& first = MayFirst, const QDate& last = MayLast);

    std::unique_ptr<tallyapp::test::TallyData> m_tally;
    QTemporaryDir m_out;
};

void TestFrmSyukei::initTestCase() {
    m_tally = std::make_unique<tallyapp::test::TallyData>();
    QVERIFY(m_tally->dir.isValid());
}

void TestFrmSyukei::init() {
    m_tally->dialogs.clear();
}

void TestFrmSyukei::cleanup() {
    settle();
}

std::unique_ptr<FrmSyukei> TestFrmSyukei::show(int kind, const QDate& first, const QDate& last) {
    auto w = std::make_unique<FrmSyukei>(m_tally->context);
    w->showResult(std::make_shared<TallyResult>(m_tally->dir.path(), kind, first, last));
    if (!showActive(w.get()))
        qWarning("the result window did not become active");
    return w;
}

void TestFrmSyukei::reportTotalsEqualTheGrid_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QString>("title");
    for (int kind = 0; kind < tallyapp::Aggregation::KindCount; ++kind)
        QTest::addRow("kind %d", kind) << kind << MayLast << tallyapp::Aggregation::reportTitle(kind);
    QTest::newRow("kind 7 has its own title") << 7 << MayLast << u"利用目的別"_s;
    QTest::newRow("no rows: zero totals") << 1 << QDate(2024, 4, 30) << u"商品区分別集計表"_s;
}

void TestFrmSyukei::reportTotalsEqualTheGrid() {
    QFETCH(int, kind);
    QFETCH(QDate, last);
    QFETCH(QString, title);
    const QDate first = last < MayFirst ? QDate(2024, 4, 1) : MayFirst;
    const auto result = std::make_shared<TallyResult>(m_tally->dir.path(), kind, first, last);
    FrmSyukei w(m_tally->context);
    w.showResult(result);
    const desk::QueryGridModel& grid = w.model();

    const auto report = tallyapp::createReport(*result, m_tally->context);
    const desk::ReportDocument doc = report->compose();
    QCOMPARE(doc.byControl(u"Label1"_s).value(0).text, title);
    QCOMPARE(doc.byControl(u"Label16"_s).value(0).text, u"湯の宿テサロ"_s);
    QVERIFY(doc.texts(1).contains(desk::convert::shortDateText(first)));
    QVERIFY(doc.texts(1).contains(desk::convert::shortDateText(last)));
    QCOMPARE(doc.byControl(u"Text1"_s).size(), grid.rowCount());

    int function = 1;
    for (int c = 0; c < grid.columnCount(); ++c) {
        if (!tallyapp::Aggregation::summedFields(kind).contains(grid.column(c).field, Qt::CaseInsensitive))
            continue;
        const auto sums = doc.byControl(u"Function%1"_s.arg(function++));
        QCOMPARE(sums.size(), 1);
        QCOMPARE(sums.first().text, desk::convert::formatValue(grid.columnSum(c), u"#,##0"_s));
    }
    QCOMPARE(function - 1, tallyapp::Aggregation::summedFields(kind).size());

    // Every text stays on the sheet and clear of every other.
    const double width = report->printableWidth();
    const QList<desk::ReportItem> items = doc.itemsOnPage(1);
    for (qsizetype i = 0; i < items.size(); ++i) {
        const desk::ReportItem& a = items.at(i);
        if (a.kind != desk::ReportItem::Kind::Text)
            continue;
        QVERIFY2(a.rect.left() >= 0.0 && a.rect.right() <= width + 0.01, qPrintable(a.control));
        for (qsizetype j = i + 1; j < items.size(); ++j) {
            const desk::ReportItem& b = items.at(j);
            const QRectF both = a.rect.intersected(b.rect);
            QVERIFY2(b.kind != desk::ReportItem::Kind::Text || both.width() * both.height() < 0.01,
                     qPrintable(a.control + u" / "_s + b.control));
        }
    }
}

void TestFrmSyukei::csvReadsBackAsTheGrid_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("totals");
    QTest::newRow("0 dates and four sums") << 0 << u"合計,,1271517,3400,4015,1278932"_s;
    QTest::newRow("2 quantity not summed") << 2 << u"合計,,,1278932"_s;
    QTest::newRow("7 guests") << 7 << u"合計,,8"_s;
    // The occupancy carries its period line itself: no totals line under it.
    QTest::newRow("12 occupancy") << 12 << QString();
}

void TestFrmSyukei::csvReadsBackAsTheGrid() {
    QFETCH(int, kind);
    QFETCH(QString, totals);
    const auto w = show(kind);
    const QString fileName = m_out.filePath(u"kind%1"_s.arg(kind)); // the extension is added
    m_tally->dialogs.pushFileName(fileName);
    QTest::mouseClick(child<QPushButton>(w.get(), u"CmdCsv"_s), Qt::LeftButton);

    QFile file(fileName + u".csv"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = csvLines(bytes.mid(3));
    const desk::QueryGridModel& grid = w->model();
    QCOMPARE(lines.size(), grid.rowCount() + (totals.isEmpty() ? 1 : 2));

    QStringList headings;
    for (int c = 0; c < grid.columnCount(); ++c)
        headings << grid.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(lines.first(), headings.join(u','));
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList shown;
        for (int c = 0; c < grid.columnCount(); ++c)
            shown << grid.index(r, c).data().toString().remove(u',');
        QCOMPARE(lines.at(r + 1), shown.join(u','));
    }
    if (!totals.isEmpty())
        QCOMPARE(lines.last(), totals);
    QVERIFY(m_tally->dialogs.messageTexts().isEmpty());
}

void TestFrmSyukei::chartBarsFollowTheResult() {
    // Sales by class: one bar per day, the classes stacked in it.
    auto w = show(0);
    auto* series = qobject_cast<QAbstractBarSeries*>(w->chartView()->chart()->series().value(0));
    QVERIFY(series);
    QCOMPARE(series->count(), 3); // 宿泊掛売, 現金売, 掛売
    auto* days = qobject_cast<QBarCategoryAxis*>(w->chartView()->chart()->axes(Qt::Horizontal).value(0));
    QVERIFY(days);
    QCOMPARE(days->categories(), (QStringList{u"5/1"_s, u"5/2"_s, u"5/3"_s}));

    // Guests by group: one bar per class, the first row on top.
    w = show(6);
    series = qobject_cast<QAbstractBarSeries*>(w->chartView()->chart()->series().value(0));
    QVERIFY(series);
    QCOMPARE(series->count(), 1);
    const QBarSet* guests = series->barSets().first();
    QCOMPARE(guests->count(), 3);
    QCOMPARE(guests->at(0), 5.0);
    QCOMPARE(guests->at(2), 1.0);
    auto* classes = qobject_cast<QBarCategoryAxis*>(w->chartView()->chart()->axes(Qt::Vertical).value(0));
    QVERIFY(classes);
    QCOMPARE(classes->categories().last(), u"G1 個人"_s);

    // Occupancy: one bar a night of the period, its own line none.
    w = show(12);
    days = qobject_cast<QBarCategoryAxis*>(w->chartView()->chart()->axes(Qt::Horizontal).value(0));
    QVERIFY(days);
    QCOMPARE(days->categories().size(), MayFirst.daysTo(MayLast) + 1);
    QCOMPARE(days->categories().first(), u"5/1"_s);
    QCOMPARE(days->categories().last(), u"5/31"_s);
}

void TestFrmSyukei::emptyResultChartShowsANote_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("sales by day") << 0;
    QTest::newRow("guests by class") << 6;
}

void TestFrmSyukei::emptyResultChartShowsANote() {
    QFETCH(int, kind);
    // Axes scaled by nothing warn of NaN values and an invalid range.
    QTest::failOnWarning(QRegularExpression(u"NaN|invalid range"_s));
    const QDate year2030(2030, 1, 1);
    auto w = show(kind, year2030, year2030.addDays(30));
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QChart* chart = w->chartView()->chart();
    QVERIFY(chart->series().isEmpty());
    QStringList notes;
    for (QGraphicsItem* item : chart->childItems()) {
        if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item))
            notes << text->text();
    }
    QCOMPARE(notes, QStringList{tallyapp::emptyChartNote()});
    w->chartView()->grab();
    QVERIFY(!tallyapp::chartImage(w->model(), kind, QSize(800, 600)).isNull());
}

void TestFrmSyukei::chartLabelsShortenVisibly_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<double>("room"); // in widths of "商"
    const QString plan = u"305 特別室露天風呂付き和洋室ご夕食ご朝食お部屋食プラン"_s;
    QTest::newRow("fits whole") << QStringList{u"101 一泊二食"_s, u"301 ビール"_s} << 10.0;
    QTest::newRow("too long: ends in …") << QStringList{u"101 一泊二食"_s, plan} << 10.0;
    QTest::newRow("shortened alike stay apart") << QStringList{plan + u"A"_s, plan + u"B"_s, plan + u"C"_s} << 10.0;
    QTest::newRow("a name like the rest bar") << QStringList{u"その他"_s, u"その他"_s} << 10.0;
    QTest::newRow("hardly any room") << QStringList{plan} << 0.5;
}

void TestFrmSyukei::chartLabelsShortenVisibly() {
    QFETCH(QStringList, names);
    QFETCH(double, room);
    const QFont font;
    const QFontMetricsF metrics(font);
    const double width = room * metrics.horizontalAdvance(u"商"_s);
    const QStringList labels = tallyapp::chartLabels(names, font, width);
    QCOMPARE(labels.size(), names.size());
    QCOMPARE(QSet<QString>(labels.cbegin(), labels.cend()).size(), labels.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& label = labels.at(i);
        if (names.indexOf(names.at(i)) == i && metrics.horizontalAdvance(names.at(i)) <= width) {
            QCOMPARE(label, names.at(i));
            continue;
        }
        // Shortened: what shows is the start of the name, and the reader sees it is cut.
        QVERIFY2(label.contains(u'…') || label.endsWith(u')'), qPrintable(label));
        QVERIFY2(names.at(i).startsWith(label.section(u'…', 0, 0).section(u'(', 0, 0)), qPrintable(label));
        if (room >= 1.0)
            QVERIFY2(metrics.horizontalAdvance(label) <= width, qPrintable(label));
    }
}

// A commodity with a long name on a chart in a small window: the label ends in "…", the
// chart still knows the full name, and the printed page carries it.
void TestFrmSyukei::longNamesAreShortenedOnANarrowChart() {
    tallyapp::test::TallyData data;
    QVERIFY(data.dir.isValid());
    const QString longName = u"特別室露天風呂付き和洋室ご夕食ご朝食お部屋食プラン(記念日特典付き)"_s;
    {
        auto sales = desk::Connection::open(data.dir.path(), QString::fromLatin1(desk::DbFile::Sales));
        sales->exec(u"DELETE FROM Commodities WHERE Ccode = '305'"_s);
        sales->exec(u"INSERT INTO Commodities (Ccode, cname) VALUES ('305', ?)"_s, {longName});
    }
    FrmSyukei w(m_tally->context);
    w.showResult(std::make_shared<TallyResult>(data.dir.path(), 2, MayFirst, MayLast));
    w.resize(640, 480);
    QVERIFY(showActive(&w));
    QChart* chart = w.chartView()->chart();
    chart->resize(600, 400);
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Vertical).value(0));
    QVERIFY(axis);
    const QStringList labels = axis->categories();
    const auto found =
        std::find_if(labels.cbegin(), labels.cend(), [](const QString& l) { return l.startsWith(u"305"_s); });
    QVERIFY(found != labels.cend());
    const QString shown = *found;
    QVERIFY2(shown.endsWith(u'…'), qPrintable(shown));
    QVERIFY(QFontMetricsF(axis->labelsFont()).horizontalAdvance(shown) <= 600 * 0.3);
    const auto shortened = tallyapp::shortenedLabels(chart);
    QCOMPARE(shortened.size(), 1);
    QCOMPARE(shortened.first().shown, shown);
    QCOMPARE(shortened.first().name, u"305 "_s + longName);

    // The mouse on the bar: its tooltip names the commodity in full.
    child<QTabWidget>(&w, u"TabView"_s)->setCurrentWidget(child<QWidget>(&w, u"PageChart"_s));
    QChartView* view = w.chartView();
    chart->resize(view->viewport()->size());
    auto* series = qobject_cast<QAbstractBarSeries*>(chart->series().value(0));
    const qsizetype bar = labels.indexOf(shown);
    const QPointF onBar = chart->mapToPosition(QPointF(series->barSets().first()->at(bar) / 2, qreal(bar)), series);
    const QPoint at = view->mapFromScene(chart->mapToScene(onBar));
    QTest::mouseMove(view->viewport(), at + QPoint(0, 3));
    QTest::mouseMove(view->viewport(), at);
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY2(QToolTip::text().startsWith(u"305 "_s + longName), qPrintable(QToolTip::text()));

    // Wide again: the whole name.
    chart->resize(3000, 400);
    QVERIFY(axis->categories().contains(u"305 "_s + longName));
    QVERIFY(tallyapp::shortenedLabels(chart).isEmpty());
}

void TestFrmSyukei::printButtonsReachPaper() {
    const auto w = show(2);
    QTest::mouseClick(child<QPushButton>(w.get(), u"CmdPrint"_s), Qt::LeftButton);
    QWidget* preview = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->inherits("desk::ReportPreview"))
            preview = top;
    }
    QVERIFY(preview);
    preview->close();

    m_tally->dialogs.pushPrinterChoice(true);
    QTest::mouseClick(child<QPushButton>(w.get(), u"CmdChartPrint"_s), Qt::LeftButton);
    QCOMPARE(m_tally->dialogs.printFiles().size(), 1);
    QVERIFY(QFileInfo(m_tally->dialogs.printFiles().first()).size() > 1000);
    QVERIFY(m_tally->dialogs.messageTexts().isEmpty());
}

QTEST_MAIN(TestFrmSyukei)
#include "tst_frmsyukei.moc"
