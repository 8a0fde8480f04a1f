#pragma once

#include "Maintenance.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace desk {

class Connection;
class DbError;
class Engine;

// Where an inn's five databases live: the five files of a data directory on this machine, or
// the five schemas of a database on a server. Everything that differs between the two —
// opening, the names in messages, backup, restore, check, upgrade, the daily backup and who
// holds the inn — is answered here, by one implementation per kind; nothing else asks which
// kind a data directory is.
class DataLocation {
public:
    // dataDir as DPath.txt names it: a folder (a '\' at its end taken for a '/') or a server's
    // address ("postgresql://user@host:port/database").
    static std::unique_ptr<DataLocation> of(const QString& dataDir);
    // The location of a server's address; nothing when text names a folder.
    static std::unique_ptr<DataLocation> serverAt(const QString& text);
    // The data directory of a command line: a folder made absolute against the current one, an
    // address as it is written.
    static std::unique_ptr<DataLocation> given(const QString& text);
    // A folder as the suite hands data directories around: one '/' at its end.
    static QString folderPath(const QString& dir);

    virtual ~DataLocation() = default;
    DataLocation(const DataLocation&) = delete;
    DataLocation& operator=(const DataLocation&) = delete;

    // The folder ending in '/', or the address.
    const QString& path() const { return m_path; }
    const Engine& engine() const { return *m_engine; }
    // Where one of the five databases (DbFile) is.
    virtual QString locationOf(const QString& fileName) const = 0;

    // ---- names in messages
    // The inn as a message names it: the folder, or "サーバー host:5432/inn".
    virtual QString displayName() const = 0;
    // One of the five as a finding names it: "BTSales.mdb", or the part of the inn ("売上").
    virtual QString partName(const QString& fileName) const = 0;
    // Whether findings of several databases with the same text are said once for them all
    // (an inn not made yet on a server); a file's findings are each its own.
    virtual bool groupsFindings() const = 0;
    // What the main window's title adds to say where the inn is: nothing for a folder.
    virtual QString titleNote() const = 0;
    // The inn's place as the administration tool reports it: "the data directory /srv/inn/",
    // "the inn's data on the database server postgresql://…".
    virtual QString adminName() const = 0;

    // ---- opening
    // One of the five, of the current schema version (Connection::open).
    virtual std::shared_ptr<Connection> open(const QString& fileName) const = 0;
    // What keeps the main menu from starting, looked at before a clerk types anything and
    // said with its real cause; nothing when every database opens.
    virtual std::optional<QString> startProblem() const = 0;
    // The main menu's text for a failure to read the inn once it started.
    virtual QString openFailureText(const DbError& error) const = 0;
    // Makes the five databases with every table, index, view and reference row, each in one
    // transaction; refused (DbError) when any of them is there already, and nothing half-made
    // is left behind (Schema::createDataDirectory).
    virtual void create() const = 0;
    // create() for the administration tool, with fill (sample data; may be empty) run on the
    // new inn, given as a data directory, before it is put in place: a folder is built in a
    // hidden folder beside it and moved in at the end, so a run that is killed leaves nothing
    // for the next run to refuse.
    virtual void createFilled(const std::function<void(const QString& dataDir)>& fill) const = 0;
    // Takes away the five databases a copy made and could not finish.
    virtual void remove() const = 0;
    // After a bulk load: the databases flushed to disk, the server's statistics gathered.
    virtual void settle() const = 0;

    // ---- maintenance (maintenance::backup, restore, check, upgrade, dailyBackup)
    virtual void backup(const QString& dest) const = 0;
    virtual QString restore(const QString& backupDir) const = 0;
    // The engine's integrity check and the version of every database, and what else keeps
    // the inn from being used (an unfinished restore). The inn's own rules are its
    // components'.
    virtual QList<maintenance::Finding> check() const = 0;
    virtual QStringList upgrade(QString* backupFolder) const = 0;
    virtual maintenance::DailyBackup dailyBackup(const QString& backupRoot, int keep, const QDate& today) const = 0;
    // Who holds the inn now, this program aside: the files some program has open, or the desks
    // (and their machines) with the inn on the server open.
    virtual QStringList holders() const = 0;

protected:
    DataLocation(QString path, const Engine& engine)
        : m_path(std::move(path))
        , m_engine(&engine) {}
    // The version of every database, opened as one of any version.
    QList<int> versions() const;
    // The engine's integrity check and the schema version of every database.
    QList<maintenance::Finding> checkDatabases() const;
    // A text with the engine's own words of error under the detail heading, for the message
    // box's details.
    static QString withDetail(const QString& text, const DbError& error);

private:
    QString m_path;
    const Engine* m_engine;
};

} // namespace desk
