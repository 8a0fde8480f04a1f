#include "ReportFixture.h"

#include "report/ColumnReport.h"
#include "report/TextFit.h"

#include <QTest>

using namespace Qt::StringLiterals;

using desk::ColumnReport;
using desk::ColumnReportFrame;
using desk::ReportColumn;
using desk::ReportColumns;
using desk::ReportDocument;

namespace {

QStringList textsOf(const ReportDocument& doc, const QString& control) {
    QStringList texts;
    for (const auto& item : doc.byControl(control))
        texts << item.text;
    return texts;
}

ReportColumns lineColumns() {
    return {{u"コード"_s, u"Code"_s, 20},
            {u"品名"_s, u"Name"_s, 0},
            {u"金額"_s, u"Amount"_s, 30, u"#,##0"_s, true},
            {u"日付"_s, u"Day"_s, 25}};
}

} // namespace

class TestColumnReport : public QObject {
    Q_OBJECT

private slots:
    void totals_data();
    void totals();
    void orientation_data();
    void orientation();
    void longTextIsNeverCutSilently_data();
    void longTextIsNeverCutSilently();
    void frameLabels();
    void headingsOnEveryPageTotalsOnce();
};

void TestColumnReport::totals_data() {
    QTest::addColumn<QList<QVariant>>("amounts");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("total");

    QTest::newRow("no rows: zero total") << QList<QVariant>{} << QStringList{} << u"0"_s;
    QTest::newRow("two rows") << QList<QVariant>{1200, 3400} << QStringList{u"1,200"_s, u"3,400"_s} << u"4,600"_s;
    QTest::newRow("empty amount counts 0")
        << QList<QVariant>{QVariant(), 1000000} << QStringList{QString(), u"1,000,000"_s} << u"1,000,000"_s;
    QTest::newRow("negative correction") << QList<QVariant>{500, -800} << QStringList{u"500"_s, u"-800"_s} << u"-300"_s;
}

void TestColumnReport::totals() {
    QFETCH(QList<QVariant>, amounts);
    QFETCH(QStringList, lines);
    QFETCH(QString, total);

    fixture::LineTable table(amounts);
    ColumnReport report(u"明細一覧"_s, lineColumns());
    report.setDataSource(table.rows());
    const ReportDocument doc = report.compose();
    QCOMPARE(textsOf(doc, u"Text3"_s), lines);
    QCOMPARE(textsOf(doc, u"Function3"_s), QStringList{total});
    // Only the summed column has a sum; the caption takes the first column.
    QVERIFY(doc.byControl(u"Function1"_s).isEmpty());
    QCOMPARE(textsOf(doc, u"LabelTotal"_s), QStringList{u"合計"_s});
    QCOMPARE(doc.byControl(u"Text4"_s).size(), amounts.size());
    if (!amounts.isEmpty())
        QCOMPARE(doc.byControl(u"Text4"_s).first().text, u"2024/04/01"_s);
}

void TestColumnReport::orientation_data() {
    QTest::addColumn<QList<double>>("widths");
    QTest::addColumn<bool>("landscape");

    QTest::newRow("fits portrait") << QList<double>{40, 40, 40, 40, 30} << false;
    QTest::newRow("shared columns fit portrait") << QList<double>{60, 0, 0, 0} << false;
    QTest::newRow("wider than portrait") << QList<double>{60, 60, 60, 20} << true;
    QTest::newRow("shared columns need the room") << QList<double>{160, 0, 0} << true;
    QTest::newRow("wider than landscape: squeezed") << QList<double>{100, 100, 100, 50} << true;
}

// The columns always stay on the sheet, and the sheet turns only when they need it.
void TestColumnReport::orientation() {
    QFETCH(QList<double>, widths);
    QFETCH(bool, landscape);

    ReportColumns columns;
    for (const double w : widths)
        columns.append({u"列"_s, u"Name"_s, w});
    ColumnReport report(u"一覧"_s, columns);
    QCOMPARE(report.pageLayout().orientation() == QPageLayout::Landscape, landscape);
    const auto spans = report.spans();
    QCOMPARE(spans.size(), widths.size());
    const double right = spans.last().left + spans.last().width;
    QVERIFY2(right <= report.printableWidth() + 0.01, qPrintable(QString::number(right)));
    for (const auto& span : spans)
        QVERIFY(span.width >= 15.0);
}

void TestColumnReport::longTextIsNeverCutSilently_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("shrunk");
    QTest::addColumn<bool>("elided");

    QTest::newRow("fits as it is") << u"湯豆腐"_s << false << false;
    QTest::newRow("a little long: smaller type") << u"季節の会席料理膳"_s << true << false;
    QTest::newRow("far too long: ends in an ellipsis")
        << u"特別室露天風呂付き和洋室ご夕食ご朝食お部屋食プラン(記念日特典付き)"_s << true << true;
}

void TestColumnReport::longTextIsNeverCutSilently() {
    QFETCH(QString, name);
    QFETCH(bool, shrunk);
    QFETCH(bool, elided);

    fixture::LineTable table({100});
    table.connection()->exec(u"UPDATE Lines SET Name = ?"_s, {name});
    ColumnReport report(u"一覧"_s, {{u"品名"_s, u"Name"_s, 25}, {u"金額"_s, u"Amount"_s, 30, u"#,##0"_s, true}});
    report.setDataSource(table.rows());
    const auto item = report.compose().byControl(u"Text1"_s).value(0);
    QCOMPARE(item.fontSize < 9.0, shrunk);
    QVERIFY(item.fontSize >= desk::readableMinimum(9.0));
    QCOMPARE(item.text.endsWith(u"…"_s), elided);
    if (elided)
        QVERIFY(name.startsWith(item.text.chopped(1)));
    else
        QCOMPARE(item.text, name);
}

void TestColumnReport::frameLabels() {
    ColumnReportFrame frame;
    frame.company = ColumnReportFrame::Company::NameOnly;
    frame.subTitle = ColumnReportFrame::SubTitle::Period;
    frame.titleName = u"Label1"_s;
    frame.pageNumberName.clear();
    ColumnReport report(u"入金区分別集計表"_s, {{u"入金区分名"_s, u"Name"_s}}, frame);
    desk::CompanyProfile profile;
    profile.MyCompanyName = u"湯の宿 はなれ"_s;
    report.setCompany(profile);
    report.setPeriod(QDate(2024, 4, 1), QDate(2024, 4, 30));
    fixture::LineTable table;
    report.setDataSource(table.rows());
    const ReportDocument doc = report.compose();

    QCOMPARE(textsOf(doc, u"Label16"_s), QStringList{u"湯の宿 はなれ"_s});
    QVERIFY(doc.byControl(u"Label17"_s).isEmpty());
    QCOMPARE(textsOf(doc, u"Label1"_s), QStringList{u"入金区分別集計表"_s});
    QCOMPARE(textsOf(doc, u"Label2"_s), QStringList{u"集計開始日"_s});
    QCOMPARE(textsOf(doc, u"Label3"_s), QStringList{u"2024/04/01"_s});
    QCOMPARE(textsOf(doc, u"Label5"_s), QStringList{u"2024/04/30"_s});
    QVERIFY(doc.byControl(u"PageNo"_s).isEmpty());
    // Nothing summed: no totals line at all.
    QVERIFY(doc.byControl(u"LabelTotal"_s).isEmpty());
    QVERIFY_THROWS_EXCEPTION(std::logic_error, report.setSubTitle(u"x"_s));
}

void TestColumnReport::headingsOnEveryPageTotalsOnce() {
    fixture::LineTable table(fixture::LineTable::count(80));
    ColumnReport report(u"明細一覧"_s, lineColumns());
    report.setDataSource(table.rows());
    const ReportDocument doc = report.compose();
    QVERIFY(doc.pageCount >= 2);
    QCOMPARE(doc.byControl(u"Head2"_s).size(), doc.pageCount);
    QCOMPARE(textsOf(doc, u"PageNo"_s).last(), QString::number(doc.pageCount));
    const auto total = doc.byControl(u"Function3"_s);
    QCOMPARE(total.size(), 1);
    QCOMPARE(total.first().page, doc.pageCount);
    QCOMPARE(total.first().text, u"3,240"_s);
    QCOMPARE(doc.byControl(u"Text1"_s).size(), 80);
}

QTEST_MAIN(TestColumnReport)
#include "tst_columnreport.moc"
