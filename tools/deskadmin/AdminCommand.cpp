#include "AdminCommand.h"

#include "sampledata/SampleData.h"

#include "data/Connection.h"
#include "data/DataLocation.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "data/Maintenance.h"
#include "data/Schema.h"
#include "data/Transfer.h"
#include "taxsvc/InnCheck.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

QString absoluteDir(const QString& path) {
    return desk::DataLocation::given(path)->path();
}

void report(QTextStream& err, const desk::DbError& e) {
    // Nothing was being typed here: an unreachable server is told with what to look at.
    if (e.cause() == desk::DbError::Cause::Unreachable)
        err << "deskadmin: データベースサーバーに接続できません。サーバーが動いているか、ネットワークと"
               "アドレス（ホスト名、ポート）を確かめてください。";
    else
        err << "deskadmin: " << e.message();
    if (!e.file().isEmpty())
        err << desk::Engine::forLocation(e.file()).placeNote(e.file(), e.message());
    if (!e.detail().isEmpty())
        err << "\n  詳細: " << e.detail();
    if (!e.statement().isEmpty())
        err << "\n  statement: " << e.statement();
    err << '\n';
}

// The positional arguments of a command, exactly `count` of them and no options.
bool positional(const QString& command, const QStringList& args, int count, QStringList* out, QTextStream& err) {
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1Char('-'))) {
            err << "deskadmin: unexpected argument \"" << arg << "\"\n\n" << AdminCommand::usage();
            return false;
        }
    }
    if (args.size() != count) {
        err << "deskadmin: " << command << " needs " << count << (count == 1 ? " folder" : " folders") << "\n\n"
            << AdminCommand::usage();
        return false;
    }
    *out = args;
    return true;
}

// The inn made in one go: a data directory is built in a hidden folder beside the target
// and moved in at the end, the schemas on a server are dropped again when one cannot be made,
// so nothing half-made is left behind.
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
    const auto location = desk::DataLocation::given(dir);
    const QDate today = QDate::currentDate();
    try {
        location->createFilled(
            sample ? [&](const QString& made) { desk::Schema::addSampleData(made, today); }
                   : std::function<void(const QString&)>());
    } catch (const desk::DbError& e) {
        report(err, e);
        return AdminCommand::Failed;
    }
    out << "Created " << location->adminName() << '\n';
    for (const QString& name : desk::Schema::fileNames())
        out << "  " << name << '\n';
    if (sample)
        out << "with sample bookings, check-ins, sales and payments around " << today.toString(Qt::ISODate) << '\n';
    return AdminCommand::Ok;
}

int backup(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList p;
    if (!positional(QStringLiteral("backup"), args, 2, &p, err))
        return AdminCommand::Usage;
    try {
        desk::maintenance::backup(absoluteDir(p.at(0)), p.at(1));
    } catch (const desk::DbError& e) {
        report(err, e);
        return AdminCommand::Failed;
    }
    out << "Backed up " << QDir::toNativeSeparators(absoluteDir(p.at(0))) << " into "
        << QDir::toNativeSeparators(absoluteDir(p.at(1))) << " (every copy passed the integrity check)\n";
    return AdminCommand::Ok;
}

int restore(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList p;
    if (!positional(QStringLiteral("restore"), args, 2, &p, err))
        return AdminCommand::Usage;
    try {
        const QString kept = desk::maintenance::restore(absoluteDir(p.at(0)), absoluteDir(p.at(1)));
        out << "Restored " << QDir::toNativeSeparators(absoluteDir(p.at(1))) << " from "
            << QDir::toNativeSeparators(absoluteDir(p.at(0))) << '\n';
        if (!kept.isEmpty())
            out << "The files it replaced are kept in " << QDir::toNativeSeparators(kept) << '\n';
    } catch (const desk::DbError& e) {
        report(err, e);
        return AdminCommand::Failed;
    }
    return AdminCommand::Ok;
}

int check(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList p;
    if (!positional(QStringLiteral("check"), args, 1, &p, err))
        return AdminCommand::Usage;
    try {
        const auto location = desk::DataLocation::given(p.at(0));
        const QList<desk::maintenance::Finding> findings = taxsvc::checkInn(location->path(), QDate::currentDate());
        // Each database named as the location names it; where it groups them (the parts of an
        // inn on a server), a text every part shares (an inn not made yet) is said once.
        QList<std::pair<QStringList, QString>> lines;
        for (const auto& finding : findings) {
            const QString label = location->partName(finding.file);
            const auto same = std::find_if(lines.begin(), lines.end(), [&](const auto& line) {
                return location->groupsFindings() && line.second == finding.text;
            });
            if (same != lines.end())
                same->first << label;
            else
                lines.append({QStringList{label}, finding.text});
        }
        for (const auto& [labels, text] : std::as_const(lines))
            out << labels.join(QStringLiteral("、")) << ": " << text << '\n';
        if (!findings.isEmpty()) {
            out << findings.size() << " finding(s)\n";
            return AdminCommand::Failed;
        }
        out << "No findings: every file passed the integrity check and the inn's own rules\n";
        return AdminCommand::Ok;
    } catch (const desk::DbError& e) {
        report(err, e);
        return AdminCommand::Usage;
    }
}

int upgrade(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList p;
    if (!positional(QStringLiteral("upgrade"), args, 1, &p, err))
        return AdminCommand::Usage;
    try {
        QString kept;
        const QStringList upgraded = desk::maintenance::upgrade(absoluteDir(p.at(0)), &kept);
        if (upgraded.isEmpty()) {
            out << "Every file is at schema version " << desk::Schema::Version << "; nothing to do\n";
            return AdminCommand::Ok;
        }
        if (!kept.isEmpty())
            out << "Backed up into " << QDir::toNativeSeparators(kept) << '\n';
        for (const QString& name : upgraded)
            out << "  " << name << " upgraded to schema version " << desk::Schema::Version << '\n';
    } catch (const desk::DbError& e) {
        report(err, e);
        return AdminCommand::Failed;
    }
    return AdminCommand::Ok;
}

// The inn moved between a data directory and a server (either way) into a new inn at
// TARGET, checked afterwards table by table.
int copy(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList p;
    if (!positional(QStringLiteral("copy"), args, 2, &p, err))
        return AdminCommand::Usage;
    try {
        const QList<desk::maintenance::CopiedTable> tables =
            desk::maintenance::copyInn(absoluteDir(p.at(0)), absoluteDir(p.at(1)));
        qint64 rows = 0;
        for (const auto& table : tables) {
            out << "  " << table.file << ' ' << table.table << ": " << table.rows << " rows, " << table.sums
                << " column totals equal\n";
            rows += table.rows;
        }
        out << "Copied " << rows << " rows of " << tables.size() << " tables into " << absoluteDir(p.at(1))
            << "; every table has the same rows and totals on both sides\n";
    } catch (const desk::DbError& e) {
        report(err, e);
        return AdminCommand::Failed;
    }
    return AdminCommand::Ok;
}

} // namespace

QString AdminCommand::usage() {
    return QStringLiteral("Usage: deskadmin init DIR|URI [--sample]\n"
                          "       deskadmin backup DIR|URI DEST\n"
                          "       deskadmin restore BACKUP DIR|URI\n"
                          "       deskadmin check DIR|URI\n"
                          "       deskadmin upgrade DIR|URI\n"
                          "       deskadmin copy SOURCE TARGET\n"
                          "\n"
                          "  init DIR     create the five database files of a data directory in DIR (made when\n"
                          "               missing): tables, saved queries, the inn's profile row and the\n"
                          "               reference lists. Refuses when any of the files already exists.\n"
                          "               Given a server address (postgresql://user@host/database, the\n"
                          "               password in ~/.pgpass), the five schemas of that database instead;\n"
                          "               refused when the database holds any of them.\n"
                          "  --sample     also add sample reservations, check-ins, sales and payments around\n"
                          "               today, so every screen and report has something to show.\n"
                          "  backup       a consistent copy of the five files into the new folder DEST, safe\n"
                          "               while programs are working; each copy is verified. DEST is complete\n"
                          "               or absent. From a server: the inn there as five files in DEST.\n"
                          "  restore      put the five files of the backup folder BACKUP in place in DIR. Refused\n"
                          "               while a program has the files open; the files replaced are kept in\n"
                          "               DIR/backup/before-restore-<time>. A restore that did not finish is\n"
                          "               named by check and at start-up; running it again finishes it.\n"
                          "               Onto a server: refused while a program of any desk has the inn open\n"
                          "               (the desks and their machines are named: close every window first);\n"
                          "               its rows are replaced by the backup's, what it held kept in\n"
                          "               before-restore-<time> beside BACKUP; the five databases are committed\n"
                          "               together. Ends with ANALYZE, as copy and init --sample on a server do.\n"
                          "  check        integrity check of every file and of the inn's own rules (six rows per\n"
                          "               check-in, slips with lines, no number or code twice, a tax rate for\n"
                          "               today and for every slip's day).\n"
                          "  upgrade      bring files of the previous schema version to the current one, after a\n"
                          "               backup into DIR/backup/before-upgrade-<time>; nothing to do when current.\n"
                          "               On a server: refused while a program of any desk has the inn open; the\n"
                          "               backup goes into backup/before-upgrade-<time> under the current folder,\n"
                          "               and the five databases are upgraded together (a failure changes nothing).\n"
                          "  copy         make a new inn at TARGET and copy every row of SOURCE into it; either\n"
                          "               may be a data directory or a server address, so an inn moves onto a\n"
                          "               server and back. Afterwards every table is compared: its rows and the\n"
                          "               totals of its number columns. Refused when TARGET holds an inn.\n"
                          "\n"
                          "Exit status: 0 done (check: no findings), 1 failed (check: findings), 2 wrong\n"
                          "arguments (check: cannot run).\n");
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
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("init"))
        return init(rest, out, err);
    if (command == QLatin1String("backup"))
        return backup(rest, out, err);
    if (command == QLatin1String("restore"))
        return restore(rest, out, err);
    if (command == QLatin1String("check"))
        return check(rest, out, err);
    if (command == QLatin1String("upgrade"))
        return upgrade(rest, out, err);
    if (command == QLatin1String("copy"))
        return copy(rest, out, err);
    err << "deskadmin: unknown command \"" << command << "\"\n\n" << usage();
    return Usage;
}
