#include "Maintenance.h"

#include "Connection.h"
#include "DbError.h"
#include "Engine.h"
#include "PostgresEngine.h"
#include "Schema.h"
#include "Transfer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cerrno>
#include <vector>

#include <signal.h>
#include <unistd.h>

namespace desk::maintenance {

namespace {

const QString MarkerName = QStringLiteral("RESTORE-UNFINISHED.txt");

QString withSeparator(QString dir) {
    if (dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString inUseText(const QString& path) {
    return QStringLiteral("%1 は使用中です。すべてのプログラムを終了してから、もう一度実行してください。")
        .arg(native(path));
}

void syncFile(const QString& path) {
    Schema::syncToDisk(path);
}

QString stamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// A dated folder under root that does not exist yet.
QString freshFolder(const QString& root, const QString& base) {
    QString path = withSeparator(root) + base;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = withSeparator(root) + base + QStringLiteral("-%1").arg(n);
    return path;
}

bool processRuns(qint64 pid) {
    if (pid <= 0)
        return false;
    if (pid == ::getpid())
        return true;
    // Another user's process answers EPERM: it runs.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Folders a killed backup, upgrade or init left behind (".<name>.partial-<pid>",
// ".<name>.init-<pid>"): removed once the process that made them is gone.
void removeStalePartials(const QString& folder) {
    static const QRegularExpression partial(QStringLiteral(R"(^\..+\.(partial|init)-(\d+)$)"));
    const QStringList entries = QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const auto m = partial.match(entry);
        if (m.hasMatch() && !processRuns(m.captured(2).toLongLong()))
            QDir(withSeparator(folder) + entry).removeRecursively();
    }
}

// Backups kept in a folder its group may write (the package's data folder) are the group's
// too, so another clerk's program can prune them.
void shareWithGroupOf(const QString& parent, const QString& path) {
    const QFileInfo folder(parent);
    if (!(folder.permissions() & QFileDevice::WriteGroup))
        return;
    QFile::Permissions wanted = QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    if (QFileInfo(path).isDir())
        wanted |= QFileDevice::ExeGroup;
    QFile::setPermissions(path, QFile::permissions(path) | wanted);
}

// A copy the engine has just written: checked, then flushed to disk.
void verifyCopy(const QString& name, const QString& copy, const QString& source) {
    const QStringList problems = integrityProblems(copy);
    if (!problems.isEmpty())
        throw DbError(QStringLiteral("%1 のコピーが検査に通りません: %2").arg(name, problems.join(u' ')), {}, source,
                      DbError::Cause::Damaged);
    syncFile(copy);
}

// Builds a backup folder in a hidden folder beside dest, then renames it: dest is complete
// or absent. fillFolder, when given, makes the five files of the hidden folder at once;
// makeCopy(name, copyPath) then makes (or checks) each file in turn.
void buildBackupFolder(const QString& dest, const std::function<void(const QString& folder)>& fillFolder,
                       const std::function<void(const QString&, const QString&)>& makeCopy) {
    const QString target = QDir::cleanPath(QDir::current().absoluteFilePath(dest));
    if (QFileInfo::exists(target))
        throw DbError(
            QStringLiteral("バックアップ先 %1 は既にあります。別の名前を指定してください。").arg(native(target)), {},
            target);
    const QFileInfo targetInfo(target);
    const QString parent = targetInfo.absolutePath();
    if (!QDir().mkpath(parent))
        throw DbError(QStringLiteral("バックアップ先のフォルダ %1 を作れません（権限か空き容量を確かめてください）。")
                          .arg(native(parent)),
                      {}, parent, DbError::Cause::NoPermission);
    removeStalePartials(parent);
    const QString partial =
        parent + QStringLiteral("/.") + targetInfo.fileName() + QStringLiteral(".partial-%1").arg(::getpid());
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial))
        throw DbError(QStringLiteral("バックアップ先のフォルダ %1 を作れません（権限か空き容量を確かめてください）。")
                          .arg(native(parent)),
                      {}, partial, DbError::Cause::NoPermission);
    try {
        shareWithGroupOf(parent, partial);
        if (fillFolder)
            fillFolder(partial + QLatin1Char('/'));
        for (const QString& name : Schema::fileNames()) {
            const QString copy = partial + QLatin1Char('/') + name;
            makeCopy(name, copy);
            shareWithGroupOf(parent, copy);
        }
        if (!QDir().rename(partial, target))
            throw DbError(QStringLiteral("バックアップのフォルダを %1 にできません。").arg(native(target)), {}, target);
    } catch (...) {
        QDir(partial).removeRecursively();
        throw;
    }
}

// A backup folder whose files do not all pass the engine's check is not put anywhere.
void refuseUnsoundBackup(const QString& from) {
    for (const QString& name : Schema::fileNames()) {
        const QStringList problems = integrityProblems(from + name);
        if (!problems.isEmpty())
            throw DbError(QStringLiteral("バックアップの %1 は使えません: %2").arg(name, problems.join(u' ')), {},
                          from + name, DbError::Cause::Damaged);
    }
}

QString markerPath(const QString& dataDir) {
    return withSeparator(dataDir) + MarkerName;
}

void writeMarker(const QString& dataDir, const QString& backupDir, const QString& kept) {
    QSaveFile file(markerPath(dataDir));
    if (!file.open(QIODevice::WriteOnly))
        throw DbError(QStringLiteral("%1 を書き込めません。").arg(native(markerPath(dataDir))), {}, markerPath(dataDir),
                      DbError::Cause::NoPermission);
    const QString text = QStringLiteral("# deskadmin restore did not finish yet: run it again with the same folders.\n"
                                        "backup=%1\nkept=%2\npid=%3\n")
                             .arg(backupDir, kept)
                             .arg(::getpid());
    file.write(text.toUtf8());
    if (!file.commit())
        throw DbError(
            QStringLiteral("%1 を書き込めません（空き容量を確かめてください）。").arg(native(markerPath(dataDir))), {},
            markerPath(dataDir), DbError::Cause::DiskFull);
}

} // namespace

QStringList integrityProblems(const QString& filePath) {
    return Engine::forLocation(filePath).integrityProblems(filePath);
}

void backup(const QString& dataDir, const QString& dest) {
    if (Engine::isServerAddress(dataDir)) {
        // The inn on the server copied into five new files, each database in one read that
        // no save waits for, checked table by table and then file by file.
        buildBackupFolder(
            dest, [&](const QString& folder) { copyInn(dataDir.trimmed(), folder); },
            [&](const QString& name, const QString& copy) { verifyCopy(name, copy, dataDir); });
        recordServerBackup(dataDir.trimmed(), QDateTime::currentDateTime());
        return;
    }
    const QString source = withSeparator(dataDir);
    if (!QFileInfo(source).isDir())
        throw DbError(QStringLiteral("データのフォルダ %1 がありません。").arg(native(source)), {}, source,
                      DbError::Cause::Missing);
    buildBackupFolder(dest, {}, [&](const QString& name, const QString& copy) {
        const auto connection = Connection::openAnyVersion(source + name);
        connection->engine().copyInto(*connection, copy);
        verifyCopy(name, copy, source + name);
    });
}

namespace {
const QString LastBackupName = QStringLiteral("LastBackup");

std::shared_ptr<Connection> optionOnServer(const QString& address) {
    return Connection::openAnyVersion(Engine::locationOf(address, QString::fromLatin1(DbFile::Option)));
}
} // namespace

void recordServerBackup(const QString& address, const QDateTime& when) {
    // Beside the version record, which no copy or restore moves.
    const auto option = optionOnServer(address);
    const QString value = when.toString(Qt::ISODate);
    if (option->exec(QStringLiteral("UPDATE SchemaMeta SET Value = ? WHERE Name = ?"), {value, LastBackupName}) == 0)
        option->exec(QStringLiteral("INSERT INTO SchemaMeta (Name, Value) VALUES (?, ?)"), {LastBackupName, value});
}

std::optional<QDateTime> lastServerBackup(const QString& address) {
    const QVariant value = optionOnServer(address)->scalar(
        QStringLiteral("SELECT Value FROM SchemaMeta WHERE Name = ?"), {LastBackupName});
    const QDateTime when = QDateTime::fromString(value.toString(), Qt::ISODate);
    if (!when.isValid())
        return std::nullopt;
    return when;
}

bool inUse(const QString& filePath) {
    return Engine::forLocation(filePath).inUse(filePath);
}

std::optional<UnfinishedRestore> unfinishedRestore(const QString& dataDir) {
    QFile file(markerPath(dataDir));
    if (!file.exists())
        return std::nullopt;
    UnfinishedRestore found;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            const QString key = line.section(QLatin1Char('='), 0, 0);
            const QString value = line.section(QLatin1Char('='), 1);
            if (key == QLatin1String("backup"))
                found.backupDir = value;
            else if (key == QLatin1String("kept"))
                found.kept = value;
            else if (key == QLatin1String("pid"))
                found.running = processRuns(value.toLongLong());
        }
    }
    return found;
}

QString unfinishedRestoreText(const QString& dataDir, const UnfinishedRestore& restore) {
    if (restore.running)
        return QStringLiteral("データの復元の最中です。終わるまで待ってから、もう一度実行してください。");
    return QStringLiteral("データの復元が途中で終わっています（一部のファイルだけが戻された状態です）。\r\n"
                          "deskadmin restore %1 %2 をもう一度実行して、復元を終えてください。")
        .arg(native(restore.backupDir.isEmpty() ? QStringLiteral("<バックアップのフォルダ>") : restore.backupDir),
             native(withSeparator(dataDir)));
}

QStringList desksOnServer(const QString& address) {
    const auto connection =
        Connection::openAnyVersion(Engine::locationOf(address, QString::fromLatin1(DbFile::Option)));
    // Every session of this program names itself the same (PostgresEngine::applicationName).
    QStringList desks;
    connection->select(QStringLiteral("SELECT application_name, host(client_addr), client_hostname "
                                      "FROM pg_stat_activity WHERE datname = current_database() "
                                      "AND pid <> pg_backend_pid() AND application_name <> current_setting(?)"),
                       {QStringLiteral("application_name")}, {}, [&](const QSqlQuery& row) {
                           const auto session = PostgresEngine::sessionOf(row.value(0).toString());
                           if (!session)
                               return; // the administrator's own tools
                           QString host = row.value(2).toString();
                           if (host.isEmpty())
                               host = row.value(1).toString();
                           if (host.isEmpty())
                               host = QStringLiteral("サーバー機");
                           const QString desk =
                               session->desk.isEmpty() ? QStringLiteral("（端末名なし）") : session->desk;
                           const QString line = QStringLiteral("%1（%2）").arg(desk, host);
                           if (!desks.contains(line))
                               desks << line;
                       });
    desks.sort();
    return desks;
}

namespace {

// A restore onto a server replaces the desks' work lines (a slip being typed) with the
// backup's: it waits for every desk to close the suite's windows, as on files.
void refuseWhileDesksWork(const QString& address) {
    const QStringList desks = desksOnServer(address);
    if (desks.isEmpty())
        return;
    throw DbError(QStringLiteral("復元できません。次の端末がこの宿のデータを開いています。"
                                 "どの端末もテサロさんの画面をすべて閉じてから、もう一度実行してください。\r\n%1")
                      .arg(desks.join(QStringLiteral("\r\n"))),
                  {}, address, DbError::Cause::Busy);
}

} // namespace

QString restore(const QString& backupDir, const QString& dataDir) {
    if (Engine::isServerAddress(dataDir)) {
        // What the server holds now is kept beside the backup folder first; then its rows are
        // replaced by the backup's, the five databases committed together at the end.
        const QString from = withSeparator(backupDir);
        refuseUnsoundBackup(from);
        refuseWhileDesksWork(dataDir.trimmed());
        const QString kept =
            freshFolder(QFileInfo(from.chopped(1)).absolutePath(), QStringLiteral("before-restore-") + stamp());
        backup(dataDir, kept);
        // A desk started while the copy was taken is refused as well.
        refuseWhileDesksWork(dataDir.trimmed());
        replaceInn(from, dataDir.trimmed());
        return kept;
    }
    const QString from = withSeparator(backupDir);
    const QString to = withSeparator(dataDir);
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        throw DbError(QStringLiteral("バックアップとデータのフォルダが同じです。"), {}, to);
    refuseUnsoundBackup(from);
    if (!QDir().mkpath(to))
        throw DbError(QStringLiteral("データのフォルダ %1 を作れません。").arg(native(to)), {}, to,
                      DbError::Cause::NoPermission);
    const std::optional<UnfinishedRestore> unfinished = unfinishedRestore(to);
    if (unfinished && unfinished->running)
        throw DbError(unfinishedRestoreText(to, *unfinished), {}, markerPath(to), DbError::Cause::Busy);

    // A file the data folder lacks is put in whole (nobody can have it open); every file
    // there is held for this process alone from before the kept copy until its pages are
    // in, so no save falls between the two.
    std::vector<std::unique_ptr<Engine::ExclusiveHold>> held;
    QStringList absent;
    for (const QString& name : Schema::fileNames()) {
        if (!QFileInfo::exists(to + name)) {
            absent << name;
            continue;
        }
        std::unique_ptr<Engine::ExclusiveHold> file;
        try {
            file = Engine::forLocation(to + name).holdExclusively(to + name);
        } catch (const DbError& e) {
            throw DbError(QStringLiteral("%1 を開けません: %2").arg(native(to + name), e.message()), {}, to + name,
                          e.cause());
        }
        if (!file)
            throw DbError(inUseText(to + name), {}, to + name, DbError::Cause::Busy);
        held.push_back(std::move(file));
    }

    // What is replaced is kept, in case the wrong backup was chosen; a restore run again to
    // finish an unfinished one keeps what the first run kept (the files now are a mix).
    QString kept = unfinished ? unfinished->kept : QString();
    if (!unfinished && !held.empty()) {
        kept = freshFolder(to + QStringLiteral("backup"), QStringLiteral("before-restore-") + stamp());
        buildBackupFolder(kept, {}, [&](const QString& name, const QString& copy) {
            const auto it = std::find_if(held.begin(), held.end(), [&](const auto& file) {
                return QFileInfo(file->location()).fileName() == name;
            });
            // A file the data folder lacks has nothing to keep.
            if (it != held.end()) {
                (*it)->copyInto(copy);
                verifyCopy(name, copy, (*it)->location());
            }
        });
    }
    writeMarker(to, from, kept);

    for (const auto& file : held)
        file->replaceWith(from + QFileInfo(file->location()).fileName());
    for (const QString& name : std::as_const(absent)) {
        const QString part = to + name + QStringLiteral(".restoring");
        QFile::remove(part);
        Engine::forLocation(from + name).copyClosed(from + name, part);
        verifyCopy(name, part, from + name);
        if (!QFile::rename(part, to + name)) {
            QFile::remove(part);
            throw DbError(QStringLiteral("%1 を置けません。").arg(native(to + name)), {}, to + name);
        }
    }
    held.clear();
    QFile::remove(markerPath(to));
    return kept;
}

namespace {

using Sound = QHash<QString, std::shared_ptr<Connection>>;

// The first column of every row of a statement, as text.
QStringList firstColumn(Connection& connection, const QString& statement) {
    QStringList values;
    connection.select(statement, {}, {}, [&](const QSqlQuery& row) { values << row.value(0).toString(); });
    return values;
}

void checkUnfinishedRestore(const QString& dir, QList<Finding>& findings) {
    if (const auto unfinished = unfinishedRestore(dir))
        findings << Finding{MarkerName, unfinishedRestoreText(dir, *unfinished)};
}

// The engine's integrity check and the version of every file; the files that pass are
// opened for the rules that read rows.
Sound checkFiles(const QString& dir, QList<Finding>& findings) {
    Sound sound;
    for (const QString& name : Schema::fileNames()) {
        const QString location = Engine::locationOf(dir, name);
        const QStringList problems = integrityProblems(location);
        for (const QString& problem : problems)
            findings << Finding{name, problem};
        if (!problems.isEmpty())
            continue;
        try {
            const auto connection = Connection::openAnyVersion(location);
            const int version = connection->schemaVersion();
            if (version != Schema::Version)
                findings << Finding{
                    name, QStringLiteral("版 %1 のファイルです（現在の版は %2）。deskadmin upgrade が必要です。")
                              .arg(version)
                              .arg(Schema::Version)};
            sound.insert(name, connection);
        } catch (const DbError& e) {
            // A full disk, a permission or a lock keep check from looking: no finding.
            if (e.cause() == DbError::Cause::DiskFull || e.cause() == DbError::Cause::NoPermission ||
                e.cause() == DbError::Cause::Busy)
                throw;
            findings << Finding{name, e.message()};
        }
    }
    return sound;
}

// Every check-in has its six rows.
void checkCheckInRows(const Sound& sound, QList<Finding>& findings) {
    const QString clients = QString::fromLatin1(DbFile::DaySalesCliants);
    const auto connection = sound.value(clients);
    if (!connection)
        return;
    const QStringList six{QStringLiteral("CheckInCliants"), QStringLiteral("CheckInAdrs"),
                          QStringLiteral("CheckInGroupe"),  QStringLiteral("CheckInClasify"),
                          QStringLiteral("CheckInBadget"),  QStringLiteral("CheckInCliantDetail")};
    QStringList all;
    for (const QString& table : six)
        all << QStringLiteral("SELECT CheckInNO FROM %1").arg(table);
    for (const QString& table : six) {
        const QStringList missing =
            firstColumn(*connection, QStringLiteral("SELECT CheckInNO FROM (%1) AS every WHERE CheckInNO NOT IN "
                                                    "(SELECT CheckInNO FROM %2 WHERE CheckInNO IS NOT NULL) "
                                                    "GROUP BY CheckInNO ORDER BY CheckInNO")
                                         .arg(all.join(QStringLiteral(" UNION ALL ")), table));
        for (const QString& number : missing)
            findings << Finding{clients,
                                QStringLiteral("チェックイン番号「%1」の %2 の行がありません。").arg(number, table)};
    }
}

// Every check-in has its guest list (the register must name at least the representative).
// A file not yet upgraded has no list to look at; the version finding covers it.
void checkGuestLists(const Sound& sound, QList<Finding>& findings) {
    const QString clients = QString::fromLatin1(DbFile::DaySalesCliants);
    const auto connection = sound.value(clients);
    if (!connection || connection->object(QStringLiteral("CheckInGuests")).kind != QLatin1String("table"))
        return;
    for (const QString& number :
         firstColumn(*connection, QStringLiteral("SELECT c.CheckInNO FROM CheckInCliants c WHERE NOT EXISTS "
                                                 "(SELECT 1 FROM CheckInGuests g WHERE g.CheckInNO = c.CheckInNO) "
                                                 "ORDER BY c.CheckInNO")))
        findings << Finding{clients, QStringLiteral("チェックイン番号「%1」の宿泊者（CheckInGuests）が"
                                                    "登録されていません。")
                                         .arg(number)};
}

// No slip header without lines, no lines without their header.
void checkSlips(const Sound& sound, QList<Finding>& findings) {
    struct Slips {
        const char* file;
        const char* header;
        const char* lines;
        const char* key;
        const char* label;
    };
    static const Slips slips[] = {{DbFile::Sales, "BTSalesNo", "BTSalesDetail", "BTSalesNo", "売上伝票"},
                                  {DbFile::Recipt, "BTPaymentNo", "BTPaymentDtl", "RptNO", "入金伝票"}};
    for (const Slips& s : slips) {
        const auto connection = sound.value(QString::fromLatin1(s.file));
        if (!connection)
            continue;
        const QString header = QString::fromLatin1(s.header);
        const QString lines = QString::fromLatin1(s.lines);
        const QString key = QString::fromLatin1(s.key);
        const QString label = QString::fromUtf8(s.label);
        for (const QString& n :
             firstColumn(*connection, QStringLiteral("SELECT h.%3 FROM %1 h WHERE NOT EXISTS "
                                                     "(SELECT 1 FROM %2 d WHERE d.%3 = h.%3) ORDER BY h.%3")
                                          .arg(header, lines, key)))
            findings << Finding{QString::fromLatin1(s.file),
                                QStringLiteral("%1 %2 に明細がありません。").arg(label, n)};
        for (const QString& n :
             firstColumn(*connection, QStringLiteral("SELECT DISTINCT d.%3 FROM %2 d WHERE NOT EXISTS "
                                                     "(SELECT 1 FROM %1 h WHERE h.%3 = d.%3) ORDER BY d.%3")
                                          .arg(header, lines, key)))
            findings << Finding{QString::fromLatin1(s.file),
                                QStringLiteral("%1 %2 の明細に伝票（見出し）がありません。").arg(label, n)};
    }
}

// No number or code twice.
void checkUniqueKeys(const Sound& sound, QList<Finding>& findings) {
    struct Key {
        const char* file;
        const char* table;
        const char* column;
    };
    static const Key keys[] = {
        {DbFile::Reservation, "Reserve", "RvNo"},
        {DbFile::DaySalesCliants, "CheckInCliants", "CheckInNO"},
        {DbFile::DaySalesCliants, "CheckInAdrs", "CheckInNO"},
        {DbFile::DaySalesCliants, "CheckInGroupe", "CheckInNO"},
        {DbFile::DaySalesCliants, "CheckInClasify", "CheckInNO"},
        {DbFile::DaySalesCliants, "CheckInBadget", "CheckInNO"},
        {DbFile::DaySalesCliants, "CheckInCliantDetail", "CheckInNO"},
        {DbFile::DaySalesCliants, "AgeClass", "YCode"},
        {DbFile::DaySalesCliants, "UserClass", "UCode"},
        {DbFile::DaySalesCliants, "GroupeClass", "GCode"},
        {DbFile::DaySalesCliants, "PaymentClass", "PCode"},
        {DbFile::DaySalesCliants, "ChoiceClass", "ChCode"},
        {DbFile::Sales, "BTSalesNo", "BTSalesNo"},
        {DbFile::Sales, "Commodities", "Ccode"},
        {DbFile::Sales, "CmPrice", "Ccode"},
        {DbFile::Sales, "CommodityClasify", "CClassCode"},
        {DbFile::Recipt, "BTPaymentNo", "RptNO"},
        {DbFile::Recipt, "ReciptCode", "RptCode"},
        {DbFile::Recipt, "ReciptClass", "RptClassCode"},
    };
    for (const Key& k : keys) {
        const auto connection = sound.value(QString::fromLatin1(k.file));
        if (!connection)
            continue;
        const QString table = QString::fromLatin1(k.table);
        const QString column = QString::fromLatin1(k.column);
        // Case-blind as the keys are; also for files not yet upgraded.
        for (const QString& value :
             firstColumn(*connection, QStringLiteral("SELECT MIN(%2) FROM %1 WHERE %2 IS NOT NULL GROUP BY %3 "
                                                     "HAVING COUNT(*) > 1 ORDER BY 1")
                                          .arg(table, column, connection->engine().caseBlind(column))))
            findings << Finding{QString::fromLatin1(k.file),
                                QStringLiteral("%1 の %2「%3」が複数あります。").arg(table, column, value)};
    }
}

} // namespace

QList<Finding> check(const QString& dataDir) {
    const bool server = Engine::isServerAddress(dataDir);
    const QString dir = server ? dataDir.trimmed() : withSeparator(dataDir);
    if (!server && !QFileInfo(dir).isDir())
        throw DbError(QStringLiteral("データのフォルダ %1 がありません。").arg(native(dir)), {}, dir,
                      DbError::Cause::Missing);
    QList<Finding> findings;
    if (!server)
        checkUnfinishedRestore(dir, findings);
    const Sound sound = checkFiles(dir, findings);
    checkCheckInRows(sound, findings);
    checkGuestLists(sound, findings);
    checkSlips(sound, findings);
    checkUniqueKeys(sound, findings);
    return findings;
}

QStringList upgrade(const QString& dataDir, QString* backupFolder) {
    if (Engine::isServerAddress(dataDir)) {
        // A server's inn starts at the version that brought the server engine; no step moves
        // one yet, so any other version is refused before anything is touched.
        for (const QString& name : Schema::fileNames()) {
            const QString location = Engine::locationOf(dataDir.trimmed(), name);
            const int version = Connection::openAnyVersion(location)->schemaVersion();
            if (version != Schema::Version)
                throw DbError(QStringLiteral("サーバーの %1 は版 %2 です。サーバーのデータの版の移行はまだできません。"
                                             "その版のプログラムで deskadmin backup を取り、そのフォルダを "
                                             "deskadmin upgrade してから、空のデータベースへ deskadmin copy で"
                                             "写してください。")
                                  .arg(name)
                                  .arg(version),
                              {}, location, DbError::Cause::WrongVersion);
        }
        return {};
    }
    const QString dir = withSeparator(dataDir);
    QStringList outdated;
    for (const QString& name : Schema::fileNames()) {
        const auto connection = Connection::openAnyVersion(dir + name);
        const int version = connection->schemaVersion();
        if (version == Schema::Version)
            continue;
        if (version < Schema::oldestUpgradableVersion() || version > Schema::Version)
            throw DbError(QStringLiteral("%1 は版 %2 のファイルです。このプログラムは版 %3 から %4 へ移せます。")
                              .arg(native(dir + name))
                              .arg(version)
                              .arg(Schema::oldestUpgradableVersion())
                              .arg(Schema::Version),
                          {}, dir + name, DbError::Cause::WrongVersion);
        outdated << name;
    }
    if (outdated.isEmpty())
        return {};
    for (const QString& name : std::as_const(outdated)) {
        if (inUse(dir + name))
            throw DbError(inUseText(dir + name), {}, dir + name, DbError::Cause::Busy);
    }
    const QString kept = freshFolder(dir + QStringLiteral("backup"), QStringLiteral("before-upgrade-") + stamp());
    backup(dir, kept);
    if (backupFolder)
        *backupFolder = kept;
    for (const QString& name : std::as_const(outdated)) {
        const auto connection = Connection::openAnyVersion(dir + name);
        Schema::upgradeFile(*connection, name);
    }
    return outdated;
}

DailyBackup dailyBackup(const QString& dataDir, const QString& backupRoot, int keep, const QDate& today) {
    const QString root = withSeparator(backupRoot);
    const QString todays = root + today.toString(QStringLiteral("yyyy-MM-dd"));
    DailyBackup result;
    if (!QFileInfo::exists(todays)) {
        try {
            backup(dataDir, todays);
            result.made = todays;
        } catch (const DbError&) {
            // Two desks starting on a new day: the other one made it meanwhile.
            if (!QFileInfo(todays).isDir())
                throw;
        }
    }
    // Only the dated folders count; a backup taken by hand or before an upgrade stays.
    QStringList dated;
    const QStringList entries = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (QDate::fromString(entry, QStringLiteral("yyyy-MM-dd")).isValid())
            dated << entry;
    }
    for (qsizetype i = 0; i + std::max(keep, 1) < dated.size(); ++i) {
        QDir old(root + dated.at(i));
        if (!old.removeRecursively() && old.exists())
            result.notRemoved << root + dated.at(i);
    }
    return result;
}

} // namespace desk::maintenance
