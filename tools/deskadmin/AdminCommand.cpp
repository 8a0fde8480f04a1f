#include "AdminCommand.h"

#include "data/DbError.h"
#include "data/Schema.h"

#include <QDate>
#include <QDir>
#include <QFile>

namespace {

int init(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString dir;
    bool sample = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--sample")) {
            sample = true;
        } else if (arg.startsWith(QLatin1Char('-')) || !dir.isEmpty()) {
            err << "deskadmin: unexpected argument \"" << arg << "\"\n\n" << AdminCommand::usage();
            return AdminCommand::Usage;
        } else {
            dir = arg;
        }
    }
    if (dir.isEmpty()) {
        err << "deskadmin: init needs the data directory\n\n" << AdminCommand::usage();
        return AdminCommand::Usage;
    }
    dir = QDir::cleanPath(QDir::current().absoluteFilePath(dir)) + QLatin1Char('/');
    bool created = false;
    try {
        desk::Schema::createDataDirectory(dir);
        created = true;
        if (sample)
            desk::Schema::addSampleData(dir, QDate::currentDate());
    } catch (const desk::DbError& e) {
        // Files made by this run go again, so a second attempt is not refused.
        if (created) {
            for (const QString& name : desk::Schema::fileNames()) {
                for (const char* suffix : {"", "-wal", "-shm"})
                    QFile::remove(dir + name + QLatin1String(suffix));
            }
        }
        err << "deskadmin: " << e.message();
        if (!e.file().isEmpty())
            err << ": " << QDir::toNativeSeparators(e.file());
        if (!e.statement().isEmpty())
            err << "\n  statement: " << e.statement();
        err << '\n';
        return AdminCommand::Failed;
    }
    out << "Created the data directory " << QDir::toNativeSeparators(dir) << '\n';
    for (const QString& name : desk::Schema::fileNames())
        out << "  " << name << '\n';
    if (sample)
        out << "with sample bookings, check-ins, sales and payments around "
            << QDate::currentDate().toString(Qt::ISODate) << '\n';
    return AdminCommand::Ok;
}

} // namespace

QString AdminCommand::usage() {
    return QStringLiteral("Usage: deskadmin init DIR [--sample]\n"
                          "\n"
                          "  init DIR     create the five database files of a data directory in DIR (made when\n"
                          "               missing): tables, saved queries, the inn's profile row and the\n"
                          "               reference lists. Refuses when any of the files already exists.\n"
                          "  --sample     also add sample reservations, check-ins, sales and payments around\n"
                          "               today, so every screen and report has something to show.\n"
                          "\n"
                          "Exit status: 0 done, 1 failed (nothing is left half-made), 2 wrong arguments.\n");
}

int AdminCommand::run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) {
        err << usage();
        return Usage;
    }
    const QString command = args.constFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        out << usage();
        return Ok;
    }
    if (command == QLatin1String("init"))
        return init(args.mid(1), out, err);
    err << "deskadmin: unknown command \"" << command << "\"\n\n" << usage();
    return Usage;
}
