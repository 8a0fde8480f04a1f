#include "Bench.h"
#include "BenchData.h"
#include "Desks.h"

#include "data/Connection.h"
#include "data/DataLocation.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/Transfer.h"

#include <QCommandLineParser>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

double median(std::vector<double> samples) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t mid = samples.size() / 2;
    return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

double timeOnce(const std::function<void(const deskbench::Context&)>& operation, const deskbench::Context& context) {
    QElapsedTimer timer;
    timer.start();
    operation(context);
    return timer.nsecsElapsed() / 1e6;
}

// The median of a case's timed runs on one data directory (or server); the case's own setup
// first, then one untimed round.
double medianOf(deskbench::Case& c, deskbench::Context& context, int repeat) {
    if (c.setup)
        c.setup(context);
    c.run(context);
    std::vector<double> runs;
    for (int i = 0; i < repeat; ++i)
        runs.push_back(timeOnce(c.run, context));
    return median(runs);
}

QString desksLine(const QString& engine, const deskbench::DesksResult& r) {
    QString line = QStringLiteral("%1: %2 desks, %3 saves in %4 s = %5 saves/s, slowest save %6 ms, "
                                  "%7 numbers taken first and saved again, %8 lost, %9 duplicated")
                       .arg(engine)
                       .arg(r.desks)
                       .arg(r.saves)
                       .arg(r.seconds, 0, 'f', 2)
                       .arg(r.seconds > 0 ? r.saves / r.seconds : 0.0, 0, 'f', 0)
                       .arg(r.slowestMs, 0, 'f', 1)
                       .arg(r.retried)
                       .arg(r.lost)
                       .arg(r.duplicated);
    if (!r.failure.isEmpty())
        line += QStringLiteral("; a desk stopped: ") + r.failure;
    return line;
}

} // namespace

int main(int argc, char* argv[]) {
    // The rack's case paints a widget; the bench shows no window, so it needs no screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("deskbench"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Times the data layer and the stores on a data directory of an inn's size, each case against "
                       "a full copy of the table measured in the same run (median of repeated runs)."));
    parser.addHelpOption();
    const QCommandLineOption sizeOption(QStringLiteral("size"),
                                        QStringLiteral("year or decade: one or ten years of a 30-room inn (default "
                                                       "decade: ~50,000 reservations, 450,000 sales lines)."),
                                        QStringLiteral("size"), QStringLiteral("decade"));
    const QCommandLineOption yearsOption(QStringLiteral("years"), QStringLiteral("Any number of years instead."),
                                         QStringLiteral("n"));
    const QCommandLineOption repeatOption(QStringLiteral("repeat"), QStringLiteral("Timed runs per case (default 7)."),
                                          QStringLiteral("n"), QStringLiteral("7"));
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("Build the data directory here and reuse it on later runs "
                                                      "of the same size (default: a temporary one)."),
                                       QStringLiteral("path"));
    const QCommandLineOption filterOption(
        QStringLiteral("filter"), QStringLiteral("Only cases whose name contains this text."), QStringLiteral("text"));
    const QCommandLineOption listOption(QStringLiteral("list"), QStringLiteral("List the cases and stop."));
    const QCommandLineOption noBaselineOption(
        QStringLiteral("no-baseline"),
        QStringLiteral("Time the cases only, without their full-copy baselines (for runs under a profiler, where "
                       "a full copy of a large table takes minutes)."));
    const QCommandLineOption noHoldOption(
        QStringLiteral("no-hold"),
        QStringLiteral("Do not keep the files open between the cases' actions as a running module does (each "
                       "action then opens and closes its files alone)."));
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("Also run every case on a database server: the inn is copied into the empty database at this "
                       "address (or reused when it holds one), and each case's median is shown on both engines side "
                       "by side (no baselines)."),
        QStringLiteral("address"));
    const QCommandLineOption desksOption(
        QStringLiteral("desks"),
        QStringLiteral("After the cases, this many desks save bookings at once (with --saves each) on every engine "
                       "of the run: saves per second, the slowest save, and none lost or duplicated."),
        QStringLiteral("n"));
    const QCommandLineOption savesOption(QStringLiteral("saves"),
                                         QStringLiteral("Saves per desk for --desks (default 300)."),
                                         QStringLiteral("n"), QStringLiteral("300"));
    parser.addOptions({sizeOption, yearsOption, repeatOption, dirOption, filterOption, listOption, noBaselineOption,
                       noHoldOption, serverOption, desksOption, savesOption});
    parser.process(app);

    std::vector<deskbench::Case> selected;
    for (const deskbench::Case& c : deskbench::cases()) {
        if (!parser.isSet(filterOption) || c.name.contains(parser.value(filterOption), Qt::CaseInsensitive))
            selected.push_back(c);
    }
    if (parser.isSet(listOption)) {
        for (const deskbench::Case& c : selected)
            out << c.name << '\n';
        return 0;
    }

    int years = 10;
    if (parser.isSet(yearsOption)) {
        bool ok = false;
        years = parser.value(yearsOption).toInt(&ok);
        if (!ok || years < 1 || years > 50) {
            err << "deskbench: --years takes a number from 1 to 50\n";
            return 2;
        }
    } else if (parser.value(sizeOption) == QLatin1String("year")) {
        years = 1;
    } else if (parser.value(sizeOption) != QLatin1String("decade")) {
        err << "deskbench: --size is year or decade\n";
        return 2;
    }
    bool ok = false;
    const int repeat = parser.value(repeatOption).toInt(&ok);
    if (!ok || repeat < 1) {
        err << "deskbench: --repeat takes a positive number\n";
        return 2;
    }

    const deskbench::Scale scale = deskbench::Scale::forYears(years);
    QTemporaryDir temporary;
    deskbench::Context context;
    context.years = years;
    context.dir = parser.isSet(dirOption) ? QDir(parser.value(dirOption)).absolutePath() + QLatin1Char('/')
                                          : temporary.path() + QLatin1Char('/');
    try {
        QDate builtToday;
        const QString label = deskbench::builtLabel(context.dir, &builtToday);
        if (label == scale.label() && builtToday.isValid()) {
            context.today = builtToday;
            out << "Reusing " << context.dir << " (" << label << ")\n";
        } else if (!label.isEmpty() || QFileInfo::exists(context.dir + desk::Schema::fileNames().constFirst())) {
            err << "deskbench: " << context.dir
                << " holds database files of another size or not made by deskbench; give another --dir\n";
            return 1;
        } else {
            context.today = QDate::currentDate();
            out << "Building " << context.dir << " (" << scale.label() << ")\n";
            out.flush();
            deskbench::buildDataDirectory(context.dir, scale, context.today, out);
        }
    } catch (const desk::DbError& e) {
        err << "deskbench: " << e.what() << '\n';
        return 1;
    }

    deskbench::Context server = context;
    const bool onServer = parser.isSet(serverOption);
    if (onServer) {
        server.dir = parser.value(serverOption).trimmed();
        if (!desk::DataLocation::serverAt(server.dir)) {
            err << "deskbench: --server takes a server address (postgresql://…)\n";
            return 2;
        }
        try {
            try {
                desk::Connection::open(server.dir, desk::Schema::fileNames().constFirst());
                out << "Reusing the inn on " << server.dir << '\n';
            } catch (const desk::DbError& e) {
                if (e.cause() != desk::DbError::Cause::NotADatabase)
                    throw;
                out << "Copying the inn onto " << server.dir << '\n';
                out.flush();
                QElapsedTimer copying;
                copying.start();
                desk::maintenance::copyInn(context.dir, server.dir);
                out << "  copied in " << copying.elapsed() / 1000 << " s\n";
            }
        } catch (const desk::DbError& e) {
            err << "deskbench: " << e.message() << '\n';
            return 1;
        }
    }

    // A module program keeps a connection on each file for as long as it runs, so its stores
    // open files that are already open: the last close of a file, which folds the log back,
    // never falls inside one of a screen's actions.
    std::vector<std::shared_ptr<desk::Connection>> moduleHolds;
    if (!parser.isSet(noHoldOption)) {
        for (const QString& name : desk::Schema::fileNames()) {
            moduleHolds.push_back(desk::Connection::open(context.dir, name));
            if (onServer)
                moduleHolds.push_back(desk::Connection::open(server.dir, name));
        }
    }

    int failures = 0;
    if (onServer) {
        out << QStringLiteral("%1  %2  %3\n")
                   .arg(QStringLiteral("case"), -52)
                   .arg(QStringLiteral("files"), 12)
                   .arg(QStringLiteral("server"), 12);
        out.flush();
        for (deskbench::Case& c : selected) {
            QString line = QStringLiteral("%1").arg(c.name, -52);
            for (deskbench::Context* on : {&context, &server}) {
                try {
                    line += QStringLiteral("  %1 ms").arg(medianOf(c, *on, repeat), 9, 'f', 3);
                } catch (const std::exception& e) {
                    ++failures;
                    const auto* db = dynamic_cast<const desk::DbError*>(&e);
                    line += QStringLiteral("  FAILED: ") + (db ? db->message() : QString::fromUtf8(e.what()));
                }
            }
            out << line << '\n';
            out.flush();
        }
    }

    // On a server run the cases were timed side by side above.
    if (onServer)
        selected.clear();
    else {
        out << QStringLiteral("%1  %2  %3  %4\n")
                   .arg(QStringLiteral("case"), -52)
                   .arg(QStringLiteral("median"), 12)
                   .arg(QStringLiteral("baseline"), 12)
                   .arg(QStringLiteral("ratio"), 8);
        out.flush();
    }
    for (deskbench::Case& c : selected) {
        if (parser.isSet(noBaselineOption))
            c.baseline = {};
        try {
            if (c.setup)
                c.setup(context);
            // One untimed round first, so every timed round finds the same warm caches. The
            // case's rounds all come before the baseline's: a full copy of a large table
            // leaves the allocator and the caches churned, and a round timed right after one
            // would measure that instead of the case.
            c.run(context);
            std::vector<double> runs;
            std::vector<double> baselines;
            for (int i = 0; i < repeat; ++i)
                runs.push_back(timeOnce(c.run, context));
            if (c.baseline) {
                c.baseline(context);
                for (int i = 0; i < repeat; ++i)
                    baselines.push_back(timeOnce(c.baseline, context));
            }
            const double run = median(runs);
            QString line = QStringLiteral("%1  %2 ms").arg(c.name, -52).arg(run, 9, 'f', 3);
            if (c.baseline) {
                const double base = median(baselines);
                line += QStringLiteral("  %1 ms  %2x").arg(base, 9, 'f', 3).arg(run > 0 ? base / run : 0.0, 7, 'f', 1);
            } else {
                line += QStringLiteral("  %1  %2").arg(QStringLiteral("-"), 12).arg(QStringLiteral("-"), 8);
            }
            out << line << '\n';
        } catch (const std::exception& e) {
            ++failures;
            out << QStringLiteral("%1  FAILED: ").arg(c.name, -52) << QString::fromUtf8(e.what()) << '\n';
        }
        out.flush();
    }
    if (parser.isSet(desksOption)) {
        const int desks = parser.value(desksOption).toInt();
        const int saves = parser.value(savesOption).toInt();
        if (desks < 1 || saves < 1) {
            err << "deskbench: --desks and --saves take positive numbers\n";
            return 2;
        }
        QList<std::pair<QString, QString>> engines{{QStringLiteral("files"), context.dir}};
        if (onServer)
            engines.append({QStringLiteral("server"), server.dir});
        for (const auto& [engine, dir] : engines) {
            const deskbench::DesksResult r = deskbench::saveAtOnce(dir, desks, saves);
            out << desksLine(engine, r) << '\n';
            out.flush();
            if (!r.failure.isEmpty() || r.lost || r.duplicated)
                ++failures;
        }
    }
    return failures ? 1 : 0;
}
