// reportpdf: writes a report to PDF (or shows it in the preview) for looking at it.
//
//   reportpdf DATA_DIR OUT.pdf [--file BTSales.mdb] [--source "SELECT ..."] [--title TEXT]
//   reportpdf --report demo OUT.pdf
//   reportpdf --report tally DATA_DIR OUT.pdf --kind 2 --from 2026-04-01 --to 2026-04-30
//   reportpdf --report meals DATA_DIR OUT.pdf --from 2026-12-08
//     the kitchen's meal counts of the day and the next.
//   reportpdf --report tallychart DATA_DIR OUT.pdf --kind 2 --from ... --to ...
//     the printed chart of an aggregation; with --png the result window's chart as the
//     owner sees it (OUT.png, 900×600).
//   reportpdf --list
//   --png writes the pages as the preview window draws them (OUT-1.png, ...) instead.
//
// A report is picked by name from the table below; "list" prints any table, saved query
// or statement of a data directory with the inn's profile on top.

#include "DemoReport.h"
#include "firmsvc/InnProfile.h"

#include "data/Connection.h"
#include "data/RowSet.h"
#include "report/ListReport.h"
#include "tallyapp/Aggregation.h"
#include "tallyapp/FrmSyukei.h"
#include "tallyapp/MealReport.h"
#include "tallyapp/TallyChart.h"
#include "tallyapp/TallyReport.h"
#include "tallysvc/TallyResult.h"
#include "report/PdfText.h"
#include "report/ReportPainter.h"
#include "report/ReportPreview.h"
#include "ui/SlotGuard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QPdfWriter>
#include <QTabWidget>
#include <QTextStream>

#include <functional>
#include <map>
#include <memory>

namespace {

struct Options {
    QString dataDir; // ends in '/'
    QString file;
    QString source;
    QString title;
    int kind = 0;
    QDate first;
    QDate last;
};

struct Entry {
    QString description;
    bool needsDataDir;
    std::function<std::unique_ptr<desk::Report>(const Options&)> make;
};

// The inn's profile from the data directory; blank when it cannot be read, so a list
// still prints from a directory without one.
desk::CompanyProfile readProfile(const QString& dataDir, QTextStream& err) {
    try {
        firmsvc::OptionDataClass option;
        option.setDirPath(dataDir);
        option.ConnectDb();
        option.DisplyData();
        return option.companyProfile();
    } catch (const std::exception& e) {
        err << "reportpdf: no company profile: " << QString::fromUtf8(e.what()) << Qt::endl;
    }
    return {};
}

// Reports this tool knows. A module's report can be added here with a line that builds it
// from a data directory.
std::map<QString, Entry> catalog(QTextStream& err) {
    std::map<QString, Entry> reports;
    reports[QStringLiteral("list")] = {
        QStringLiteral("any table, saved query or statement (--file, --source, --title)"), true,
        [&err](const Options& o) -> std::unique_ptr<desk::Report> {
            auto report = std::make_unique<desk::ListReport>(o.title.isEmpty() ? o.source : o.title);
            report->build(o.dataDir, o.file, o.source);
            report->setCompanyLabels(readProfile(o.dataDir, err));
            return report;
        }};
    reports[QStringLiteral("tally")] = {
        QStringLiteral("an aggregation of the period (--kind 0-9, --from, --to)"), true,
        [&err](const Options& o) -> std::unique_ptr<desk::Report> {
            if (o.kind < 0 || o.kind >= tallyapp::Aggregation::KindCount || !o.first.isValid() || !o.last.isValid())
                throw std::invalid_argument("tally needs --kind 0-9 and --from/--to as yyyy-MM-dd");
            // The report reads the result's rows, so the result lives as long as the report.
            auto result = std::make_shared<tallysvc::TallyResult>(o.dataDir, o.kind, o.first, o.last);
            auto* context = new desk::ModuleContext;
            context->setProfile(readProfile(o.dataDir, err));
            auto report = tallyapp::createReport(*result, *context);
            context->setParent(report.get());
            QObject::connect(report.get(), &QObject::destroyed, [result] {});
            return report;
        }};
    reports[QStringLiteral("meals")] = {
        QStringLiteral("the kitchen's meal counts of a day and the next (--from)"), true,
        [&err](const Options& o) -> std::unique_ptr<desk::Report> {
            if (!o.first.isValid())
                throw std::invalid_argument("meals needs --from as yyyy-MM-dd");
            const tallysvc::MealSheet sheet(o.dataDir);
            auto* context = new desk::ModuleContext;
            context->setDirPath(o.dataDir);
            context->setProfile(readProfile(o.dataDir, err));
            auto report = tallyapp::createMealReport({sheet.day(o.first), sheet.day(o.first.addDays(1))}, *context);
            context->setParent(report.get());
            return report;
        }};
    reports[QStringLiteral("tallychart")] = {
        QStringLiteral("the chart of an aggregation (--kind, --from, --to; --png: the window's chart)"), true,
        [](const Options&) -> std::unique_ptr<desk::Report> {
            return {};
        }};
    reports[QStringLiteral("demo")] = {QStringLiteral("a three-page sample slip over made-up rows (no data directory)"),
                                       false, [](const Options&) -> std::unique_ptr<desk::Report> {
                                           auto report = std::make_unique<DemoReport>(60);
                                           desk::CompanyProfile profile;
                                           profile.MyCompanyName = QStringLiteral("湯元 さくら荘");
                                           profile.MyZipCode = QStringLiteral("〒399-0000");
                                           profile.MyAddress = QStringLiteral("長野県某郡温泉町1-2-3");
                                           profile.MyTelNo = QStringLiteral("0260-00-1234");
                                           profile.MyFaxNo = QStringLiteral("0260-00-1235");
                                           profile.MyEmail = QStringLiteral("info@example.jp");
                                           profile.MyURL = QStringLiteral("https://example.jp/");
                                           profile.MyComment = QStringLiteral("源泉かけ流しの宿");
                                           report->setCompanyLabels(profile);
                                           return report;
                                       }};
    return reports;
}

// The chart of an aggregation: the printed page, or the result window's chart view.
int writeTallyChart(const Options& o, const QString& target, bool png, QTextStream& err) {
    if (o.kind < 0 || o.kind >= tallyapp::Aggregation::KindCount || !o.first.isValid() || !o.last.isValid())
        throw std::invalid_argument("tallychart needs --kind 0-9 and --from/--to as yyyy-MM-dd");
    desk::ModuleContext context;
    context.setDirPath(o.dataDir);
    context.setProfile(readProfile(o.dataDir, err));
    tallyapp::FrmSyukei window(context);
    window.showResult(std::make_shared<tallysvc::TallyResult>(o.dataDir, o.kind, o.first, o.last));
    if (png) {
        window.resize(900, 600);
        window.findChild<QTabWidget*>(QStringLiteral("TabView"))->setCurrentIndex(1);
        window.show();
        QCoreApplication::processEvents();
        const QString name = target.endsWith(QStringLiteral(".png")) ? target : target + QStringLiteral(".png");
        if (!window.grab().save(name))
            throw std::runtime_error("cannot write " + name.toStdString());
        return 0;
    }
    desk::writePdf(target, tallyapp::Aggregation::reportTitle(o.kind), [&](QPdfWriter& writer) {
        writer.setPageOrientation(QPageLayout::Landscape);
        tallyapp::paintChartPage(&writer, window.model(), o.kind, o.first, o.last, context.MyCompanyName());
    });
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("reportpdf"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a report to PDF."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("DATA_DIR"), QStringLiteral("data directory (not for demo)"));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("PDF file to write"));
    const QCommandLineOption reportOption(QStringLiteral("report"), QStringLiteral("report to render (default list)"),
                                          QStringLiteral("name"), QStringLiteral("list"));
    const QCommandLineOption fileOption(QStringLiteral("file"),
                                        QStringLiteral("database file (default BTReservation.mdb)"),
                                        QStringLiteral("file"), QString::fromLatin1(desk::DbFile::Reservation));
    const QCommandLineOption sourceOption(QStringLiteral("source"), QStringLiteral("table, saved query or SELECT"),
                                          QStringLiteral("source"), QStringLiteral("Reserve"));
    const QCommandLineOption titleOption(QStringLiteral("title"), QStringLiteral("report title"),
                                         QStringLiteral("text"));
    const QCommandLineOption kindOption(QStringLiteral("kind"), QStringLiteral("aggregation kind 0-9 (tally)"),
                                        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption fromOption(QStringLiteral("from"), QStringLiteral("first day, yyyy-MM-dd (tally)"),
                                        QStringLiteral("day"));
    const QCommandLineOption toOption(QStringLiteral("to"), QStringLiteral("last day, yyyy-MM-dd (tally)"),
                                      QStringLiteral("day"));
    const QCommandLineOption previewOption(QStringLiteral("preview"),
                                           QStringLiteral("show the preview window instead"));
    const QCommandLineOption pngOption(QStringLiteral("png"),
                                       QStringLiteral("write the pages as PNG images as the preview draws them"));
    const QCommandLineOption listOption(QStringLiteral("list"), QStringLiteral("list the reports this tool knows"));
    parser.addOptions({reportOption, fileOption, sourceOption, titleOption, kindOption, fromOption, toOption,
                       previewOption, pngOption, listOption});
    parser.process(app);

    const auto reports = catalog(err);
    if (parser.isSet(listOption)) {
        for (const auto& [name, entry] : reports)
            out << name << "\t" << entry.description << Qt::endl;
        return 0;
    }
    const auto found = reports.find(parser.value(reportOption));
    if (found == reports.end()) {
        err << "reportpdf: unknown report " << parser.value(reportOption) << " (see --list)" << Qt::endl;
        return 2;
    }
    const Entry& entry = found->second;
    const QStringList args = parser.positionalArguments();
    const qsizetype wanted = (entry.needsDataDir ? 1 : 0) + (parser.isSet(previewOption) ? 0 : 1);
    if (args.size() != wanted) {
        parser.showHelp(2);
    }

    Options options;
    if (entry.needsDataDir) {
        options.dataDir = QDir::fromNativeSeparators(args[0]);
        if (!options.dataDir.endsWith(QLatin1Char('/')))
            options.dataDir += QLatin1Char('/');
    }
    options.file = parser.value(fileOption);
    options.source = parser.value(sourceOption);
    options.title = parser.value(titleOption);
    options.kind = parser.value(kindOption).toInt();
    options.first = QDate::fromString(parser.value(fromOption), Qt::ISODate);
    options.last = QDate::fromString(parser.value(toOption), Qt::ISODate);

    try {
        if (parser.value(reportOption) == QStringLiteral("tallychart"))
            return writeTallyChart(options, args.last(), parser.isSet(pngOption), err);
        std::unique_ptr<desk::Report> report = entry.make(options);
        if (parser.isSet(previewOption)) {
            report->showPreview();
            return app.exec();
        }
        const QString target = args.last();
        if (parser.isSet(pngOption)) {
            desk::ReportDocument doc;
            report->runJob(desk::JobKind::Preview, [&] { doc = report->compose(); });
            const QString stem = target.endsWith(QStringLiteral(".png")) ? target.chopped(4) : target;
            for (int page = 1; page <= doc.pageCount; ++page) {
                const QString name = QStringLiteral("%1-%2.png").arg(stem).arg(page);
                if (!desk::ReportPainter::pageImage(doc, page, 96.0).save(name))
                    throw std::runtime_error("cannot write " + name.toStdString());
                out << name << Qt::endl;
            }
            return 0;
        }
        report->exportPdf(target);
        out << target << Qt::endl;
    } catch (...) {
        err << "reportpdf: " << desk::describeError(std::current_exception()) << Qt::endl;
        return 1;
    }
    return 0;
}
