// reportpdf: writes a report to PDF (or shows it in the preview) for looking at it.
//
//   reportpdf DATA_DIR OUT.pdf [--file BTSales.mdb] [--source "SELECT ..."] [--title TEXT]
//   reportpdf --report demo OUT.pdf
//   reportpdf --list
//   --png writes the pages as the preview window draws them (OUT-1.png, ...) instead.
//
// A report is picked by name from the table below; "list" prints any table, saved query
// or statement of a data directory with the inn's profile on top.

#include "DemoReport.h"

#include "data/Connection.h"
#include "data/RowSet.h"
#include "report/ListReport.h"
#include "report/ReportPainter.h"
#include "report/ReportPreview.h"
#include "ui/SlotGuard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
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
};

struct Entry {
    QString description;
    bool needsDataDir;
    std::function<std::unique_ptr<desk::Report>(const Options&)> make;
};

// The inn's profile from the data directory; blank when it cannot be read, so a list
// still prints from a directory without one.
desk::CompanyProfile readProfile(const QString& dataDir, QTextStream& err) {
    desk::CompanyProfile profile;
    try {
        desk::RowSet rows(desk::Connection::open(dataDir, QString::fromLatin1(desk::DbFile::Option)),
                          QStringLiteral("CompanyProfile"));
        rows.moveFirst();
        if (rows.eof())
            return profile;
        const auto text = [&rows](const char* column) {
            return rows.value(QString::fromLatin1(column)).toString();
        };
        profile.MyCompanyName = text("CompanyName");
        profile.MyZipCode = text("CpZipCode");
        profile.MyAddress = text("CpAddress");
        profile.MyTelNo = text("CpTelNo");
        profile.MyFaxNo = text("CpFaxno");
        profile.MyURL = text("CpURL");
        profile.MyEmail = text("CpEmail");
        profile.MyComment = text("CpComment");
    } catch (const std::exception& e) {
        err << "reportpdf: no company profile: " << QString::fromUtf8(e.what()) << Qt::endl;
    }
    return profile;
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
    const QCommandLineOption previewOption(QStringLiteral("preview"),
                                           QStringLiteral("show the preview window instead"));
    const QCommandLineOption pngOption(QStringLiteral("png"),
                                       QStringLiteral("write the pages as PNG images as the preview draws them"));
    const QCommandLineOption listOption(QStringLiteral("list"), QStringLiteral("list the reports this tool knows"));
    parser.addOptions({reportOption, fileOption, sourceOption, titleOption, previewOption, pngOption, listOption});
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

    try {
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
