#include "ReportFixture.h"

#include "data/DbError.h"
#include "report/ListReport.h"
#include "report/Report.h"
#include "report/PdfText.h"
#include "report/ReportPainter.h"
#include "testsupport/TempDataDir.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

using desk::ReportDocument;
using desk::SectionKind;

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void pagination_data();
    void pagination();
    void fieldFormats_data();
    void fieldFormats();
    void sums_data();
    void sums();
    void captions_data();
    void captions();
    void companyLabels_data();
    void companyLabels();
    void unknownLabelIsRefused();
    void duplicateControlNameIsRefused();
    void handedOverRowSetKeepsItsRow();
    void failedJobIsReportedAsFailed();
    void pdfHasEveryPage();
    void pdfTextIsWhatThePageShows_data();
    void pdfTextIsWhatThePageShows();
    void radicalsInTheTextMapBecomeIdeographs();
    void textFitsItsField_data();
    void textFitsItsField();
    void composedTextIsPaintedAsComposed_data();
    void composedTextIsPaintedAsComposed();
    void listReportOverAnySource();
    void listReportOverDataDirectory_data();
    void listReportOverDataDirectory();
};

// LinesReport on A4 with 10 mm margins: 277 mm of printable height, page footer from 267;
// the first page holds 23 detail bands of 10 mm, the next ones 24.
void TestReport::pagination_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("detailHeight");
    QTest::addColumn<QList<int>>("detailsPerPage");
    QTest::addColumn<int>("footerPage");

    QTest::newRow("no rows: headers and footer only") << 0 << 10.0 << QList<int>{0} << 1;
    QTest::newRow("one row") << 1 << 10.0 << QList<int>{1} << 1;
    QTest::newRow("report footer just fits") << 22 << 10.0 << QList<int>{22} << 1;
    QTest::newRow("first page full, footer moves on") << 23 << 10.0 << QList<int>{23, 0} << 2;
    QTest::newRow("one row over") << 24 << 10.0 << QList<int>{23, 1} << 2;
    QTest::newRow("two pages, footer fits") << 46 << 10.0 << QList<int>{23, 23} << 2;
    QTest::newRow("second page full") << 47 << 10.0 << QList<int>{23, 24, 0} << 3;
    QTest::newRow("band taller than a page still prints") << 2 << 300.0 << QList<int>{1, 1, 0} << 3;
}

void TestReport::pagination() {
    QFETCH(int, rows);
    QFETCH(double, detailHeight);
    QFETCH(QList<int>, detailsPerPage);
    QFETCH(int, footerPage);

    fixture::LineTable table(fixture::LineTable::count(rows));
    fixture::LinesReport report(detailHeight);
    auto rowSet = table.rows();
    report.setDataSource(rowSet.get());
    const ReportDocument doc = report.compose();

    const int pages = int(detailsPerPage.size());
    QCOMPARE(doc.pageCount, pages);
    const double footerTop = 277.0 - 10.0;
    int nextRow = 0;
    for (int page = 1; page <= pages; ++page) {
        const QList<SectionKind> bands = doc.bands(page);
        QVERIFY(bands.size() >= 2);
        // Report header only at the very top; page header at the top of every page.
        if (page == 1) {
            QCOMPARE(bands[0], SectionKind::ReportHeader);
            QCOMPARE(bands[1], SectionKind::PageHeader);
        } else {
            QCOMPARE(bands[0], SectionKind::PageHeader);
        }
        QCOMPARE(bands.last(), SectionKind::PageFooter);
        QCOMPARE(bands.count(SectionKind::PageFooter), 1);
        QCOMPARE(bands.count(SectionKind::Detail), detailsPerPage[page - 1]);
        QCOMPARE(bands.count(SectionKind::ReportFooter), page == footerPage ? 1 : 0);
        if (page == footerPage)
            QCOMPARE(bands[bands.size() - 2], SectionKind::ReportFooter);

        for (const auto& band : doc.bandList) {
            if (band.page != page)
                continue;
            if (band.section == SectionKind::PageFooter)
                QCOMPARE(band.top, footerTop);
            if (band.section == SectionKind::Detail) {
                QCOMPARE(band.row, nextRow++); // every row once, in the source's order
                if (detailHeight < footerTop)
                    QVERIFY2(band.top + band.height <= footerTop + 1e-6, "detail band runs into the page footer");
            }
        }
    }
    QCOMPARE(nextRow, rows);

    // Page numbers in the page footer of every page, and the codes in row order.
    QStringList numbers;
    for (const auto& item : doc.byControl(QStringLiteral("Label29")))
        numbers << item.text;
    QStringList expectedNumbers;
    for (int page = 1; page <= pages; ++page)
        expectedNumbers << QString::number(page);
    QCOMPARE(numbers, expectedNumbers);
    const auto codes = doc.byControl(QStringLiteral("Text1"));
    QCOMPARE(codes.size(), rows);
    if (rows > 0)
        QCOMPARE(codes.last().text, QStringLiteral("C%1").arg(rows - 1, 3, 10, QLatin1Char('0')));
}

void TestReport::fieldFormats_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");

    QTest::newRow("amount with separators") << "I"
                                            << "1234567"
                                            << "#,##0"
                                            << "1,234,567";
    QTest::newRow("zero with blank-zero format") << "I"
                                                 << "0"
                                                 << "##,###,###"
                                                 << "";
    QTest::newRow("zero with plain format") << "I"
                                            << "0"
                                            << "#,##0"
                                            << "0";
    QTest::newRow("negative amount") << "I"
                                     << "-1500"
                                     << "##,###,###"
                                     << "-1,500";
    QTest::newRow("integer without format") << "I"
                                            << "1234567"
                                            << ""
                                            << "1234567";
    QTest::newRow("no value prints nothing") << "I"
                                             << "NULL"
                                             << "#,##0"
                                             << "";
    QTest::newRow("fraction without format") << "R"
                                             << "2.5"
                                             << ""
                                             << "2.5";
    QTest::newRow("whole double without format") << "R"
                                                 << "3000"
                                                 << ""
                                                 << "3000";
    QTest::newRow("number kept as text") << "T"
                                         << "'98000'"
                                         << "#,##0"
                                         << "98,000";
    QTest::newRow("text under a number format") << "T"
                                                << "'別途'"
                                                << "#,##0"
                                                << "別途";
    QTest::newRow("date") << "D"
                          << "'2024-04-01'"
                          << ""
                          << "2024/04/01";
    QTest::newRow("boolean") << "B"
                             << "1"
                             << ""
                             << "True";
}

void TestReport::fieldFormats() {
    QFETCH(QString, column);
    QFETCH(QString, stored);
    QFETCH(QString, format);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    auto connection = desk::Connection::create(dir.filePath(QStringLiteral("v.mdb")));
    connection->exec(
        QStringLiteral("CREATE TABLE V (I INTEGER, R DOUBLE, T TEXT, D DATE, B BOOLEAN, RowKey INTEGER PRIMARY KEY)"));
    connection->exec(QStringLiteral("INSERT INTO V (%1) VALUES (%2)").arg(column, stored));

    desk::Report report;
    report.detail().setHeight(6);
    report.detail().addField(QStringLiteral("Text1"), {120, 0, 60, 6}, column, format);
    report.setDataSource(std::make_unique<desk::RowSet>(connection, QStringLiteral("V")));
    const auto items = report.compose().byControl(QStringLiteral("Text1"));
    QCOMPARE(items.size(), 1);
    QCOMPARE(items[0].text, expected);
    // Amounts stand right-aligned at the right edge of their box.
    if (!format.isEmpty()) {
        QVERIFY(items[0].alignment & Qt::AlignRight);
        QCOMPARE(items[0].rect.right(), 180.0);
    }
}

void TestReport::sums_data() {
    QTest::addColumn<QList<QVariant>>("amounts");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("blankZero");

    QTest::newRow("no rows sum to zero") << QList<QVariant>{} << "0"
                                         << "";
    QTest::newRow("over every row") << QList<QVariant>{1000000, 200000, 34567} << "1,234,567"
                                    << "1,234,567";
    QTest::newRow("refunds cancel out") << QList<QVariant>{500, -500} << "0"
                                        << "";
    QTest::newRow("rows without a value count zero") << QList<QVariant>{QVariant(), 5, QVariant()} << "5"
                                                     << "5";
    QTest::newRow("across three pages") << fixture::LineTable::count(60) << "1,830"
                                        << "1,830";
}

void TestReport::sums() {
    QFETCH(QList<QVariant>, amounts);
    QFETCH(QString, plain);
    QFETCH(QString, blankZero);

    fixture::LineTable table(amounts);
    fixture::LinesReport report;
    report.setDataSource(table.rows());
    const ReportDocument doc = report.compose();
    const auto first = doc.byControl(QStringLiteral("Function1"));
    const auto second = doc.byControl(QStringLiteral("Function2"));
    QCOMPARE(first.size(), 1);
    QCOMPARE(first[0].text, plain);
    QCOMPARE(second[0].text, blankZero);
    QCOMPARE(first[0].section, SectionKind::ReportFooter);
    QCOMPARE(first[0].page, doc.pageCount);
}

void TestReport::captions_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("runtime");
    QTest::addColumn<QString>("expected");

    QTest::newRow("long print date") << "%D" << false << "2026年12月7日";
    QTest::newRow("short print date") << "%d" << false << "2026/12/07";
    QTest::newRow("page number inside text") << "第%pページ" << false << "第1ページ";
    QTest::newRow("percent sign") << "100%%" << false << "100%";
    QTest::newRow("unknown token kept") << "%x 50%" << false << "%x 50%";
    QTest::newRow("run-time text is not read for tokens") << "%p %D" << true << "%p %D";
    QTest::newRow("run-time label prints as set") << "山田 様" << true << "山田 様";
}

void TestReport::captions() {
    QFETCH(QString, caption);
    QFETCH(bool, runtime);
    QFETCH(QString, expected);

    desk::Report report;
    report.setPrintDate(QDate(2026, 12, 7));
    report.pageHeader().setHeight(10);
    if (runtime) {
        report.pageHeader().addRuntimeLabel(QStringLiteral("Label1"), {0, 0, 100, 8});
        report.setLabel(QStringLiteral("Label1"), caption);
    } else {
        report.pageHeader().addLabel(QStringLiteral("Label1"), {0, 0, 100, 8}, caption);
    }
    QCOMPARE(report.compose().texts(1), QStringList{expected});
}

void TestReport::companyLabels_data() {
    QTest::addColumn<bool>("classList");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("standard") << false
                              << QStringList{
                                     u"湯の宿"_s, u"123-4567"_s,        u"温泉町1-2"_s,          u"TEL0123-45-6789"_s,
                                     u"FAX"_s,    u"info@example.jp"_s, u"https://example.jp"_s, u"源泉かけ流し"_s};
    QTest::newRow("class list: no prefixes, web before mail")
        << true << QStringList{u"湯の宿"_s, u"123-4567"_s,           u"温泉町1-2"_s,       u"0123-45-6789"_s,
                               u""_s,       u"https://example.jp"_s, u"info@example.jp"_s, u"源泉かけ流し"_s};
}

void TestReport::companyLabels() {
    QFETCH(bool, classList);
    QFETCH(QStringList, expected);

    desk::CompanyProfile profile;
    profile.MyCompanyName = QStringLiteral("湯の宿");
    profile.MyZipCode = QStringLiteral("123-4567");
    profile.MyAddress = QStringLiteral("温泉町1-2");
    profile.MyTelNo = QStringLiteral("0123-45-6789");
    profile.MyFaxNo = QString(); // no fax: "FAX" alone
    profile.MyURL = QStringLiteral("https://example.jp");
    profile.MyEmail = QStringLiteral("info@example.jp");
    profile.MyComment = QStringLiteral("源泉かけ流し");

    desk::Report report;
    report.pageHeader().setHeight(30);
    desk::addCompanyLabels(report.pageHeader(), {0, 0, 120, 30});
    report.setCompanyLabels(profile,
                            classList ? desk::CompanyLabelStyle::classList() : desk::CompanyLabelStyle::standard());
    const ReportDocument doc = report.compose();
    const QStringList names = desk::CompanyLabelStyle::labelNames();
    QCOMPARE(names.first(), QStringLiteral("Label16"));
    QCOMPARE(names.last(), QStringLiteral("Label23"));
    for (qsizetype i = 0; i < names.size(); ++i)
        QCOMPARE(doc.byControl(names[i]).value(0).text, expected[i]);
}

void TestReport::unknownLabelIsRefused() {
    fixture::LinesReport report;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, report.setLabel(QStringLiteral("Label99"), QStringLiteral("x")));
    // A field is no label either.
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, report.setLabel(QStringLiteral("Text1"), QStringLiteral("x")));
    // A fixed label takes a caption set at start (a title chosen by kind), printed as set.
    report.setLabel(QStringLiteral("Label40"), QStringLiteral("利用目的別 100%"));
    QCOMPARE(report.compose().byControl(QStringLiteral("Label40")).value(0).text, QStringLiteral("利用目的別 100%"));
}

void TestReport::duplicateControlNameIsRefused() {
    fixture::LinesReport report;
    // Label16 sits in the page header; the same name in another section would make
    // setLabel ambiguous.
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                             report.reportFooter().addRuntimeLabel(QStringLiteral("Label16"), {0, 0, 10, 5}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, report.detail().addLine(QString(), {0, 0, 10, 0}));
}

void TestReport::handedOverRowSetKeepsItsRow() {
    fixture::LineTable table(fixture::LineTable::count(5));
    auto rows = table.rows();
    rows->moveFirst();
    rows->moveNext();
    rows->moveNext();
    fixture::LinesReport report;
    report.setDataSource(rows.get());
    QCOMPARE(report.compose().byControl(QStringLiteral("Text1")).size(), 5);
    // The screen's grid stays on the row it showed.
    QCOMPARE(rows->value(QStringLiteral("Code")).toString(), QStringLiteral("C002"));
}

void TestReport::failedJobIsReportedAsFailed() {
    fixture::LineTable table(fixture::LineTable::count(3));
    fixture::LinesReport report;
    report.detail().addField(QStringLiteral("Text9"), {0, 0, 10, 5}, QStringLiteral("NoSuchColumn"));
    report.setDataSource(table.rows());
    QTemporaryDir dir;
    QPdfWriter writer(dir.filePath(QStringLiteral("x.pdf")));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, report.render(&writer, desk::JobKind::Export));
    QCOMPARE(report.jobs.size(), 2);
    QCOMPARE(report.jobs[1].kind, desk::JobKind::Export);
    QVERIFY(!report.jobs[1].started);
    QVERIFY(!report.jobs[1].completed);
}

void TestReport::pdfTextIsWhatThePageShows_data() {
    QTest::addColumn<QString>("text");
    // Ideographs the fonts share with a radical, which the radical's code used to name.
    QTest::newRow("日 月 里 食 金") << u"2026年12月7日 湯の里温泉 1泊2食 料金"_s;
    QTest::newRow("長 (a radical of the supplement)") << u"長野県安曇野市"_s;
    // Digits right after Latin letters were drawn with glyphs nothing named.
    QTest::newRow("digits after letters") << u"TEL0263-00-1234 Cremarks1"_s;
}

// Copying or searching an exported report finds the characters printed on it.
void TestReport::pdfTextIsWhatThePageShows() {
    QFETCH(QString, text);
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    desk::Report report;
    report.pageHeader().setHeight(10);
    report.pageHeader().addLabel(u"Label1"_s, {0, 0, 180, 8}, text);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"text.pdf"_s);
    report.exportPdf(file);

    QProcess reader;
    reader.start(pdftotext, {u"-raw"_s, file, u"-"_s});
    QVERIFY(reader.waitForFinished(30000));
    const QString read = QString::fromUtf8(reader.readAllStandardOutput());
    QVERIFY2(read.contains(text), qPrintable(read));
}

void TestReport::radicalsInTheTextMapBecomeIdeographs() {
    QCOMPARE(desk::ideographOf(0x2F47), u'日');
    QCOMPARE(desk::ideographOf(0x2FA5), u'里');
    QCOMPARE(desk::ideographOf(0x65E5), u'日');
    QCOMPARE(desk::ideographOf(0x0031), u'1');

    // Only destinations change; glyph codes that look like radicals stay, and so do the
    // file's length and everything outside the ToUnicode map.
    const QByteArray map = "<2F47> <2F47> <2F47>\n<0001> <0003> [<2F49> <0031> <D840DC0B>]\n<0010> <0011> <2F00>\n";
    const QByteArray pdf = "%PDF-1.4\n5 0 obj\n<< /ToUnicode 6 0 R >>\nendobj\n6 0 obj\n<< >>\nstream\n"
                           "1 beginbfchar\n<2FA5> <2FA5>\nendbfchar\n2 beginbfrange\n" +
                           map + "endbfrange\nendstream\nendobj\n7 0 obj\n(<2F47>)\nendobj\n";
    const QByteArray mended = desk::mendedPdfText(pdf);
    QCOMPARE(mended.size(), pdf.size());
    QVERIFY(mended.contains("<2FA5> <91CC>\n"));
    QVERIFY(mended.contains("<2F47> <2F47> <65E5>\n<0001> <0003> [<6708> <0031> <D840DC0B>]"));
    // A range counting up from one destination is left alone: renaming its start would
    // rename the codes after it wrongly.
    QVERIFY(mended.contains("<0010> <0011> <2F00>\n"));
    QVERIFY(mended.contains("(<2F47>)"));
    QCOMPARE(desk::mendedPdfText(mended), mended);
}

void TestReport::pdfHasEveryPage() {
    fixture::LineTable table(fixture::LineTable::count(47));
    fixture::LinesReport report;
    report.setDataSource(table.rows());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lines.pdf"));
    report.exportPdf(file);
    QCOMPARE(fixture::pdfPageCount(file), 3);
    QCOMPARE(report.jobs.size(), 2);
    QCOMPARE(report.jobs[0].kind, desk::JobKind::Export);
    QVERIFY(report.jobs[1].completed);

    // A file that cannot be written is a failure, not a silent success.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             report.exportPdf(dir.filePath(QStringLiteral("missing/dir/lines.pdf"))));
}

void TestReport::listReportOverAnySource() {
    fixture::LineTable table({1200, 3400});
    desk::ListReport report(QStringLiteral("明細"));
    // A scratch file is no data-directory file, so the statement runs on its own connection.
    const auto rows = table.rows(QStringLiteral("SELECT Code, Name, Amount FROM Lines"));
    report.build(rows.get());
    const ReportDocument doc = report.compose();
    // Headings from the column names, amounts formatted and summed.
    QCOMPARE(doc.byControl(QStringLiteral("Head3")).value(0).text, QStringLiteral("Amount"));
    QCOMPARE(doc.byControl(QStringLiteral("Text3")).value(1).text, QStringLiteral("3,400"));
    QCOMPARE(doc.byControl(QStringLiteral("Function3")).value(0).text, QStringLiteral("4,600"));
    QVERIFY(doc.byControl(QStringLiteral("Function1")).isEmpty());
}

void TestReport::listReportOverDataDirectory_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("source");

    QTest::newRow("table of bookings") << QString::fromLatin1(desk::DbFile::Reservation) << "Reserve";
    QTest::newRow("saved query of guests") << QString::fromLatin1(desk::DbFile::DaySalesCliants)
                                           << "SELECT * FROM QRYCliantsDaySale WHERE CheckOutFlag = False";
    QTest::newRow("saved query of commodities") << QString::fromLatin1(desk::DbFile::Sales) << "CodeTable";
}

// Every column type of the real files prints, and every row gets its band.
void TestReport::listReportOverDataDirectory() {
    QFETCH(QString, file);
    QFETCH(QString, source);

    desk::test::TempDataDir data(true);
    QVERIFY(data.isValid());
    desk::ListReport report(source);
    report.build(data.path(), file, source);
    const ReportDocument doc = report.compose();
    const int rows = report.dataSource()->recordCount();
    QVERIFY(rows > 0);
    QCOMPARE(doc.byControl(QStringLiteral("Text1")).size(), rows);
    QCOMPARE(doc.byControl(QStringLiteral("PageNo")).size(), doc.pageCount);
}

void TestReport::textFitsItsField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("lines"); // field height in lines of the original size
    QTest::addColumn<QString>("outcome");
    const QString companions = QStringLiteral("渡辺 健一、渡辺 さくら、渡辺 蓮");
    QTest::newRow("fits as it is") << QStringLiteral("渡辺 健一") << 1.0 << QStringLiteral("same");
    QTest::newRow("a little too wide: smaller")
        << QStringLiteral("渡辺 健一、渡辺 さくら") << 1.0 << QStringLiteral("smaller");
    QTest::newRow("far too wide, one line: ends with …") << companions + companions << 1.0 << QStringLiteral("elided");
    QTest::newRow("far too wide, tall field: wraps") << companions + companions << 3.0 << QStringLiteral("wrapped");
}

void TestReport::textFitsItsField() {
    QFETCH(QString, text);
    QFETCH(double, lines);
    QFETCH(QString, outcome);

    QImage device(800, 200, QImage::Format_ARGB32);
    device.setDotsPerMeterX(3780); // 96 dpi
    device.setDotsPerMeterY(3780);
    QFont font(desk::Report::fontFamily());
    font.setPointSizeF(10);
    const QFontMetricsF original(font, &device);
    // A field as wide as "渡辺 健一、渡辺 さ" at the original size.
    const QRectF field(0, 0, original.horizontalAdvance(QStringLiteral("渡辺 健一、渡辺 さ")),
                       original.height() * lines + 1);

    const auto fitted = desk::ReportPainter::fit(font, field, Qt::AlignLeft | Qt::AlignVCenter, text, &device);
    const QFontMetricsF metrics(fitted.font, &device);
    QVERIFY(fitted.font.pointSizeF() >= 7.5);
    if (outcome == QLatin1String("same")) {
        QCOMPARE(fitted.font.pointSizeF(), 10.0);
        QCOMPARE(fitted.text, text);
    } else if (outcome == QLatin1String("smaller")) {
        QVERIFY(fitted.font.pointSizeF() < 10.0);
        QCOMPARE(fitted.text, text);
        QVERIFY(metrics.horizontalAdvance(text) <= field.width());
    } else if (outcome == QLatin1String("elided")) {
        QVERIFY(fitted.text.endsWith(QChar(0x2026)));
        QVERIFY(metrics.horizontalAdvance(fitted.text) <= field.width());
        QVERIFY(fitted.flags & Qt::TextSingleLine);
    } else {
        QCOMPARE(fitted.text, text);
        QVERIFY(fitted.flags & Qt::TextWrapAnywhere);
        QVERIFY(metrics.boundingRect(field, fitted.flags, text).height() <= field.height());
    }
}

void TestReport::composedTextIsPaintedAsComposed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("height"); // mm; 5 holds one line of 9 pt, 14 three
    QTest::addColumn<QString>("outcome");
    const QString remarks = u"離れの露天風呂付き客室をご希望、夕食は部屋食で、到着は二十時頃の予定"_s;
    QTest::newRow("fits") << u"到着は二十時頃"_s << 5.0 << u"same"_s;
    QTest::newRow("one line: smaller") << remarks.left(22) << 5.0 << u"smaller"_s;
    QTest::newRow("one line: ends with …") << remarks << 5.0 << u"elided"_s;
    QTest::newRow("three lines: whole text wrapped") << remarks << 14.0 << u"wrapped"_s;
}

// Composing decides size, wrap and "…" once; painting on a printer draws exactly that,
// not a second, smaller fit of the already fitted text.
void TestReport::composedTextIsPaintedAsComposed() {
    QFETCH(QString, text);
    QFETCH(double, height);
    QFETCH(QString, outcome);

    desk::Report report;
    report.reportHeader().setHeight(20);
    report.reportHeader().addRuntimeLabel(u"Remarks"_s, {0, 0, 60, height});
    report.setLabel(u"Remarks"_s, text);
    const desk::ReportItem item = report.compose().byControl(u"Remarks"_s).value(0);
    QVERIFY(item.fontSize >= desk::readableMinimum(9.0));
    QCOMPARE(item.wrap, outcome == "wrapped"_L1);
    QCOMPARE(item.text.endsWith(QChar(0x2026)), outcome == "elided"_L1);
    if (outcome == "same"_L1)
        QCOMPARE(item.fontSize, 9.0);
    if (outcome == "smaller"_L1 || outcome == "elided"_L1)
        QVERIFY(item.fontSize < 9.0);
    if (outcome != "elided"_L1)
        QCOMPARE(item.text, text);

    QImage printer(10, 10, QImage::Format_ARGB32);
    printer.setDotsPerMeterX(23622); // 600 dpi
    printer.setDotsPerMeterY(23622);
    QFont font(desk::Report::fontFamily());
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(item.fontSize);
    const double dotsPerMm = 600 / 25.4;
    const QRectF field(0, 0, item.rect.width() * dotsPerMm, item.rect.height() * dotsPerMm);
    const QFontMetricsF metrics(font, &printer);
    if (item.wrap) {
        QVERIFY(metrics.boundingRect(field, int(item.alignment) | Qt::TextWrapAnywhere, item.text).height() <=
                field.height());
    } else {
        const auto painted = desk::ReportPainter::fit(font, field, item.alignment, item.text, &printer);
        QCOMPARE(painted.font.pointSizeF(), item.fontSize);
        QCOMPARE(painted.text, item.text);
    }
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
