#include "ReportFixture.h"

#include "report/ReportPreview.h"
#include "report/ShowReport.h"
#include "data/DbError.h"
#include "testsupport/Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;
#include <QToolButton>

using desk::JobKind;
using Job = fixture::LinesReport::Job;

class TestReportPreview : public QObject {
    Q_OBJECT

private slots:
    void navigation_data();
    void navigation();
    void jobs_data();
    void jobs();
    void printerThatCannotOpenShowsError();
    void previewDoesNotBlockAndClosesAway();
    void previewFitsTheScreen();
    void printsAfterReportIsGone();
    void zoomChangesScale();
    void showReportHandsTheReportToItsPreview();
    void pdfNeverOverwritesUnasked_data();
    void pdfNeverOverwritesUnasked();
};

void TestReportPreview::navigation_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("page");

    QTest::newRow("opens on the first page") << QStringList{} << 1;
    QTest::newRow("next") << QStringList{u"CmdNext"_s} << 2;
    QTest::newRow("last") << QStringList{u"CmdLast"_s} << 3;
    QTest::newRow("last then previous") << QStringList{u"CmdLast"_s, u"CmdPrevious"_s} << 2;
    QTest::newRow("back to first") << QStringList{u"CmdNext"_s, u"CmdNext"_s, u"CmdFirst"_s} << 1;
    QTest::newRow("next stops at the last page") << QStringList{u"CmdNext"_s, u"CmdNext"_s, u"CmdNext"_s} << 3;
}

void TestReportPreview::navigation() {
    QFETCH(QStringList, clicks);
    QFETCH(int, page);

    fixture::LineTable table(fixture::LineTable::count(47));
    fixture::LinesReport report;
    report.setDataSource(table.rows());
    QPointer<desk::ReportPreview> preview = report.showPreview();
    QVERIFY(desk::test::showActive(preview));
    for (const QString& name : clicks)
        desk::test::mouseClick(preview, name);
    QCOMPARE(preview->currentPage(), page);
    QCOMPARE(desk::test::textOf(preview, QStringLiteral("LblPage")), QStringLiteral("%1 / 3").arg(page));
    QCOMPARE(desk::test::child<QToolButton>(preview, QStringLiteral("CmdPrevious"))->isEnabled(), page > 1);
    QCOMPARE(desk::test::child<QToolButton>(preview, QStringLiteral("CmdNext"))->isEnabled(), page < 3);
    QVERIFY(!desk::test::child<QLabel>(preview, QStringLiteral("LblPageImage"))->pixmap().isNull());
    preview->close();
}

// The report hears of each job with its kind; the bill-like report counts a printout only
// for a completed print.
void TestReportPreview::jobs_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QList<JobKind>>("kinds");
    QTest::addColumn<int>("printsDone");
    QTest::addColumn<bool>("fileWritten");

    QTest::newRow("preview alone") << "" << true << QList<JobKind>{JobKind::Preview} << 0 << false;
    QTest::newRow("print") << "CmdPrint" << true << QList<JobKind>{JobKind::Preview, JobKind::Print} << 1 << true;
    QTest::newRow("print cancelled is no print")
        << "CmdPrint" << false << QList<JobKind>{JobKind::Preview} << 0 << false;
    QTest::newRow("export") << "CmdExport" << true << QList<JobKind>{JobKind::Preview, JobKind::Export} << 0 << true;
    QTest::newRow("export cancelled") << "CmdExport" << false << QList<JobKind>{JobKind::Preview} << 0 << false;
}

void TestReportPreview::jobs() {
    QFETCH(QString, button);
    QFETCH(bool, accept);
    QFETCH(QList<JobKind>, kinds);
    QFETCH(int, printsDone);
    QFETCH(bool, fileWritten);

    QTemporaryDir dir;
    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    const QString exported = dir.filePath(QStringLiteral("exported")); // ".pdf" is added
    fixture::PrinterToFile dialogs(printed);
    dialogs.pushPrinterChoice(accept);
    dialogs.pushFileName(accept ? exported : QString());

    fixture::LineTable table(fixture::LineTable::count(30));
    fixture::LinesReport report;
    report.setDataSource(table.rows());
    QPointer<desk::ReportPreview> preview = report.showPreview();
    QVERIFY(desk::test::showActive(preview));
    if (!button.isEmpty())
        QVERIFY(desk::test::mouseClick(preview, button));

    QList<JobKind> seen;
    for (const Job& job : report.jobs) {
        if (job.started) {
            seen << job.kind;
        } else {
            QCOMPARE(job.kind, seen.last());
            QVERIFY(job.completed);
        }
    }
    QCOMPARE(seen, kinds);
    QCOMPARE(report.printsDone, printsDone);
    QVERIFY(dialogs.messages().isEmpty());
    const QString file = button == QLatin1String("CmdPrint") ? printed : exported + QStringLiteral(".pdf");
    QCOMPARE(QFile::exists(file), fileWritten);
    if (fileWritten)
        QCOMPARE(fixture::pdfPageCount(file), 2);
    preview->close();
}

void TestReportPreview::printerThatCannotOpenShowsError() {
    QTemporaryDir dir;
    fixture::PrinterToFile dialogs(dir.filePath(QStringLiteral("no/such/dir/out.pdf")));
    fixture::LineTable table(fixture::LineTable::count(3));
    fixture::LinesReport report;
    report.setDataSource(table.rows());
    QPointer<desk::ReportPreview> preview = report.showPreview();
    QVERIFY(desk::test::mouseClick(preview, QStringLiteral("CmdPrint")));
    // A failed print is told as failed, shown to the user, and counts as no printout.
    QCOMPARE(report.printsDone, 0);
    QCOMPARE(report.jobs.last().kind, JobKind::Print);
    QVERIFY(!report.jobs.last().completed);
    QCOMPARE(dialogs.messages().size(), 1);
    QCOMPARE(dialogs.messages()[0].icon, desk::Dialogs::Icon::Critical);
    QVERIFY(preview); // the preview stays open for another try
    preview->close();
}

void TestReportPreview::previewDoesNotBlockAndClosesAway() {
    QWidget screen;
    screen.show();
    fixture::LineTable table(fixture::LineTable::count(3));
    fixture::LinesReport report;
    report.setDataSource(table.rows());
    QPointer<desk::ReportPreview> preview = report.showPreview(&screen);
    QVERIFY(preview->isVisible());
    QVERIFY(preview->isWindow());
    QCOMPARE(preview->windowModality(), Qt::NonModal);
    QVERIFY(desk::test::mouseClick(preview, QStringLiteral("CmdClose")));
    desk::test::settle();
    QVERIFY(preview.isNull());
}

// The preview opens within the screen's height, title bar and buttons included, and Escape
// or Alt+O closes it.
void TestReportPreview::previewFitsTheScreen() {
    fixture::LineTable table(fixture::LineTable::count(3));
    fixture::LinesReport report;
    report.setDataSource(table.rows());
    for (const bool escape : {true, false}) {
        QPointer<desk::ReportPreview> preview = report.showPreview();
        QVERIFY(desk::test::showActive(preview));
        const QRect room = preview->screen()->availableGeometry();
        // Top to bottom inside the screen, title bar and buttons included.
        const QRect frame = preview->frameGeometry();
        QVERIFY2(frame.top() >= room.top() && frame.bottom() <= room.bottom() && frame.left() >= room.left(),
                 qPrintable(QStringLiteral("%1 to %2 on %3 to %4")
                                .arg(frame.top())
                                .arg(frame.bottom())
                                .arg(room.top())
                                .arg(room.bottom())));
        if (escape)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : preview.data(), Qt::Key_Escape);
        else
            desk::test::pressAccessKey(preview, Qt::Key_O);
        desk::test::settle();
        QVERIFY(preview.isNull() || !preview->isVisible());
        delete preview.data();
    }
}

void TestReportPreview::printsAfterReportIsGone() {
    QTemporaryDir dir;
    const QString printed = dir.filePath(QStringLiteral("late.pdf"));
    fixture::PrinterToFile dialogs(printed);
    fixture::LineTable table(fixture::LineTable::count(3));
    auto report = std::make_unique<fixture::LinesReport>();
    report->setDataSource(table.rows());
    QPointer<desk::ReportPreview> preview = report->showPreview();
    report.reset();
    QVERIFY(desk::test::mouseClick(preview, QStringLiteral("CmdPrint")));
    QVERIFY(dialogs.messages().isEmpty());
    QCOMPARE(fixture::pdfPageCount(printed), 1);
    preview->close();
}

void TestReportPreview::zoomChangesScale() {
    fixture::LineTable table(fixture::LineTable::count(3));
    fixture::LinesReport report;
    report.setDataSource(table.rows());
    QPointer<desk::ReportPreview> preview = report.showPreview();
    preview->setZoom(desk::ReportPreview::Zoom100);
    const int width100 = desk::test::child<QLabel>(preview, QStringLiteral("LblPageImage"))->pixmap().width();
    preview->setZoom(desk::ReportPreview::Zoom200);
    const int width200 = desk::test::child<QLabel>(preview, QStringLiteral("LblPageImage"))->pixmap().width();
    QCOMPARE(desk::test::textOf(preview, QStringLiteral("CmbZoom")), QStringLiteral("200%"));
    QVERIFY(qAbs(width200 - 2 * width100) <= 2);
    // 100% is A4 at screen size: 210 mm at 96 dpi.
    QVERIFY(qAbs(width100 - qRound(210 / 25.4 * 96 * preview->devicePixelRatioF())) <= 1);
    preview->close();
}

// The preview keeps the report as long as it is open; a report that cannot be composed
// shows nothing, leaves nothing behind and reports its error.
void TestReportPreview::showReportHandsTheReportToItsPreview() {
    fixture::LineTable table(fixture::LineTable::count(3));
    QWidget screen;
    auto owned = std::make_unique<fixture::LinesReport>();
    owned->setDataSource(table.rows());
    QPointer<desk::Report> report = owned.get();
    QPointer<desk::ReportPreview> preview = desk::showReport(std::move(owned), &screen);
    QVERIFY(preview && preview->isVisible());
    QCOMPARE(preview->document().byControl(u"Text1"_s).size(), 3);
    desk::test::settle();
    QVERIFY(report);
    preview->close();
    desk::test::settle();
    QVERIFY(!preview);
    QVERIFY(!report);

    auto broken = std::make_unique<fixture::LinesReport>();
    broken->detail().addField(u"Text9"_s, {0, 0, 10, 5}, u"NoSuchColumn"_s);
    broken->setDataSource(table.rows());
    report = broken.get();
    const auto windowsBefore = QApplication::topLevelWidgets().size();
    QVERIFY_THROWS_EXCEPTION(desk::DbError, desk::showReport(std::move(broken), &screen));
    QVERIFY(!report);
    desk::test::settle();
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
}

void TestReportPreview::pdfNeverOverwritesUnasked_data() {
    QTest::addColumn<QString>("typed"); // the name given in the file dialog, in the folder
    QTest::addColumn<int>("answer");    // to the question (-1: none asked)
    QTest::addColumn<bool>("written");

    // The dialog itself asks before it returns an existing name; a suffix added after it did not.
    QTest::newRow("a new name") << u"請求書_1002_20261208.pdf"_s << -1 << true;
    QTest::newRow("suffix added over a file, kept") << u"old"_s << int(desk::Dialogs::Answer::No) << false;
    QTest::newRow("suffix added over a file, replaced") << u"old"_s << int(desk::Dialogs::Answer::Yes) << true;
}

// The paper's name is proposed in the folder the last PDF went to, numbered past the files
// already there; a file is replaced only when the clerk says so.
void TestReportPreview::pdfNeverOverwritesUnasked() {
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, written);

    QTemporaryDir dir;
    QFile old(dir.filePath(u"old.pdf"_s));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QFile first(dir.filePath(u"請求書_1002_20261208.pdf"_s));
    QVERIFY(first.open(QIODevice::WriteOnly));
    first.close();

    fixture::PrinterToFile dialogs(dir.filePath(u"printed.pdf"_s));
    fixture::LineTable table(fixture::LineTable::count(3));
    fixture::LinesReport report;
    report.setFileName(u"請求書_1002_20261208"_s);
    report.setDataSource(table.rows());
    QPointer<desk::ReportPreview> preview = report.showPreview();
    QVERIFY(desk::test::showActive(preview));

    // The last PDF went to this folder.
    dialogs.pushFileName(dir.filePath(u"last"_s));
    QVERIFY(desk::test::mouseClick(preview, u"CmdExport"_s));
    QCOMPARE(desk::ReportPreview::pdfFolder(), QDir(dir.path()).absolutePath());

    dialogs.clear();
    dialogs.pushFileName(dir.filePath(typed));
    if (answer >= 0)
        dialogs.pushAnswer(desk::Dialogs::Answer(answer));
    QVERIFY(desk::test::mouseClick(preview, u"CmdExport"_s));
    QCOMPARE(dialogs.shown().first().defaultText, dir.filePath(u"請求書_1002_20261208_2.pdf"_s));
    QCOMPARE(dialogs.messages().size(), answer >= 0 ? 1 : 0);
    const QString file = dir.filePath(typed.endsWith(u".pdf"_s) ? typed : typed + u".pdf"_s);
    QCOMPARE(fixture::pdfPageCount(file) > 0, written);
    preview->close();
}

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
