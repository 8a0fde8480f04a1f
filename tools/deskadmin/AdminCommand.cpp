#include "AdminCommand.h"

#include "sampledata/SampleData.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "data/Maintenance.h"
#include "data/PostgresEngine.h"
#include "data/Schema.h"
#include "data/Transfer.h"
#include "taxsvc/TaxSettings.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <unistd.h>

namespace {

QString absoluteDir(const QString& path) {
    // A server's address is taken as it is written.
    if (desk::Engine::isServerAddress(path))
        return path.trimmed();
    return QDir::cleanPath(QDir::current().absoluteFilePath(path)) + QLatin1Char('/');
}

void report(QTextStream& err, const desk::DbError& e) {
    // Nothing was being typed here: an unreachable server is told with what to look at.
    if (e.cause() == desk::DbError::Cause::Unreachable)
        err << "deskadmin: データベースサーバーに接続できません。サーバーが動いているか、ネットワークと"
               "アドレス（ホスト名、ポート）を確かめてください。";
    else
        err << "deskadmin: " << e.message();
    if (desk::Engine::isServerAddress(e.file()))
        err << "\n  " << e.place();
    else if (!e.file().isEmpty() && !e.message().contains(QDir::toNativeSeparators(e.file())))
        err << ": " << QDir::toNativeSeparators(e.file());
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

// The five schemas in a database of a server. The schemas are made in one transaction and
// filled one by one; a failure drops them all again, so nothing half-made is left behind.
int initServer(const QString& address, bool sample, QTextStream& out, QTextStream& err) {
    try {
        desk::Schema::createDataDirectory(address);
        if (sample) {
            desk::Schema::addSampleData(address, QDate::currentDate());
            desk::maintenance::analyzeServer(address);
        }
    } catch (const desk::DbError& e) {
        report(err, e);
        return AdminCommand::Failed;
    }
    out << "Created the inn's data on the database server " << address << '\n';
    for (const QString& name : desk::Schema::fileNames())
        out << "  " << name << '\n';
    if (sample)
        out << "with sample data around " << QDate::currentDate().toString(Qt::ISODate) << '\n';
    return AdminCommand::Ok;
}

// Built in a hidden folder beside the target and renamed at the end, so a run that is
// killed leaves no half-made data directory for the next run to refuse.
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
    if (desk::Engine::isServerAddress(dir))
        return initServer(dir, sample, out, err);
    dir = absoluteDir(dir);
    const QFileInfo target(dir.chopped(1));
    const QString building =
        target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".init-%1/").arg(::getpid());
    try {
        for (const QString& name : desk::Schema::fileNames()) {
            if (QFileInfo::exists(dir + name))
                throw desk::DbError(QStringLiteral("The database file already exists; nothing was created"), {},
                                    dir + name);
        }
        if (target.exists() && !target.isDir())
            throw desk::DbError(QStringLiteral("The data directory is a file"), {}, target.absoluteFilePath());
        QDir(building).removeRecursively();
        desk::Schema::createDataDirectory(building);
        if (sample)
            desk::Schema::addSampleData(building, QDate::currentDate());
        const bool emptyFolder =
            target.isDir() && QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        if (emptyFolder)
            QDir().rmdir(dir);
        if (!target.exists() || emptyFolder) {
            // One rename: the directory is there whole or not at all.
            if (!QDir().mkpath(target.absolutePath()) || !QDir().rename(building, dir.chopped(1)))
                throw desk::DbError(QStringLiteral("Cannot move the new files into place"), {}, dir);
        } else {
            // A folder that holds other things: the files move in one by one, checked
            // again just before.
            for (const QString& name : desk::Schema::fileNames()) {
                if (!QFile::rename(building + name, dir + name))
                    throw desk::DbError(QStringLiteral("Cannot move the new file into place"), {}, dir + name);
            }
            QDir(building).removeRecursively();
        }
    } catch (const desk::DbError& e) {
        QDir(building).removeRecursively();
        report(err, e);
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

// Days without a consumption-tax rate: today, or slips older than the first rate; levies
// that no commodity's room share lets a stay bear.
void checkRates(const QString& dir, QList<desk::maintenance::Finding>& findings) {
    const QString option = QString::fromLatin1(desk::DbFile::Option);
    const QString sales = QString::fromLatin1(desk::DbFile::Sales);
    try {
        const taxsvc::TaxSettings settings = taxsvc::TaxSettings::readFrom(dir);
        const auto salesConnection = desk::Connection::open(dir, sales);
        for (const QString& missing : taxsvc::missingRates(settings.rates, QDate::currentDate(), *salesConnection))
            findings << desk::maintenance::Finding{option, missing};
        for (const QString& missing : taxsvc::missingRoomShares(settings.levies, *salesConnection))
            findings << desk::maintenance::Finding{sales, missing};
    } catch (const desk::DbError& e) {
        // A file that is damaged or of another version is named among the findings already.
        const bool named = std::any_of(findings.cbegin(), findings.cend(), [&](const auto& finding) {
            return finding.file == option || finding.file == sales;
        });
        if (!named)
            findings << desk::maintenance::Finding{option, e.message()};
    }
}

int check(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList p;
    if (!positional(QStringLiteral("check"), args, 1, &p, err))
        return AdminCommand::Usage;
    try {
        const QString location = absoluteDir(p.at(0));
        QList<desk::maintenance::Finding> findings = desk::maintenance::check(location);
        checkRates(location, findings);
        // On a server the parts of the inn are named in words, and a text every part shares
        // (an inn not made yet) is said once for them all.
        const bool server = desk::Engine::isServerAddress(location);
        QList<std::pair<QStringList, QString>> lines;
        for (const auto& finding : findings) {
            const QString label = server ? desk::PostgresEngine::partOfInn(finding.file) : finding.file;
            const auto same = std::find_if(lines.begin(), lines.end(),
                                           [&](const auto& line) { return server && line.second == finding.text; });
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
                          "       deskadmin upgrade DIR\n"
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
