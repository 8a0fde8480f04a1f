#include "Maintenance.h"

#include "Connection.h"
#include "DbError.h"
#include "Schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>
#include <cstdio>
#include <vector>

#include <unistd.h>

namespace desk::maintenance {

namespace {

std::atomic<int> rawCounter{0};

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

// A bare engine connection outside the suite's rules (no journal change, no version
// check), for looking at files and locking them.
class RawFile {
public:
    RawFile(const QString& filePath, bool readOnly)
        : m_name(QStringLiteral("desk-maintenance-%1").arg(++rawCounter)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        QUrl url = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath());
        url.setQuery(readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
        m_open = db.open();
        if (!m_open)
            m_error = db.lastError().text();
    }
    ~RawFile() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isValid())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }
    bool run(const QString& statement) {
        QSqlQuery query(database());
        if (query.exec(statement))
            return true;
        m_error = query.lastError().text();
        return false;
    }

private:
    QString m_name;
    bool m_open = false;
    QString m_error;
};

void syncFile(const QString& path) {
    Schema::syncToDisk(path);
}

void removeCompanions(const QString& filePath) {
    QFile::remove(filePath + QStringLiteral("-wal"));
    QFile::remove(filePath + QStringLiteral("-shm"));
    QFile::remove(filePath + QStringLiteral("-journal"));
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

} // namespace

QStringList integrityProblems(const QString& filePath) {
    const QFileInfo info(filePath);
    if (!info.isFile())
        return {QStringLiteral("ファイルがありません。")};
    if (info.size() == 0)
        return {QStringLiteral("空のファイルです（0バイト）。")};
    RawFile file(filePath, true);
    if (!file.isOpen())
        return {QStringLiteral("開けません: ") + file.error()};
    QSqlQuery query(file.database());
    if (!query.exec(QStringLiteral("PRAGMA integrity_check")))
        return {QStringLiteral("検査できません: ") + query.lastError().text()};
    QStringList problems;
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    return problems;
}

void backup(const QString& dataDir, const QString& dest) {
    const QString source = withSeparator(dataDir);
    const QString target = QDir::cleanPath(QDir::current().absoluteFilePath(dest));
    if (!QFileInfo(source).isDir())
        throw DbError(QStringLiteral("データのフォルダ %1 がありません。").arg(native(source)), {}, source,
                      DbError::Cause::Missing);
    if (QFileInfo::exists(target))
        throw DbError(
            QStringLiteral("バックアップ先 %1 は既にあります。別の名前を指定してください。").arg(native(target)), {},
            target);
    const QFileInfo targetInfo(target);
    if (!QDir().mkpath(targetInfo.absolutePath()))
        throw DbError(QStringLiteral("バックアップ先のフォルダを作れません。"), {}, targetInfo.absolutePath());
    const QString partial = targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName() +
                            QStringLiteral(".partial-%1").arg(::getpid());
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial))
        throw DbError(QStringLiteral("バックアップ先のフォルダを作れません。"), {}, partial);
    try {
        for (const QString& name : Schema::fileNames()) {
            const QString copy = partial + QLatin1Char('/') + name;
            {
                const auto connection = Connection::openAnyVersion(source + name);
                // One read of the committed state: writers go on meanwhile, and a save in
                // progress is simply not in the copy.
                connection->exec(QStringLiteral("VACUUM INTO ?"), {copy});
            }
            const QStringList problems = integrityProblems(copy);
            if (!problems.isEmpty())
                throw DbError(QStringLiteral("%1 のコピーが検査に通りません: %2").arg(name, problems.join(u' ')), {},
                              source + name, DbError::Cause::Damaged);
            syncFile(copy);
        }
        if (!QDir().rename(partial, target))
            throw DbError(QStringLiteral("バックアップのフォルダを %1 にできません。").arg(native(target)), {}, target);
    } catch (...) {
        QDir(partial).removeRecursively();
        throw;
    }
}

bool inUse(const QString& filePath) {
    if (!QFileInfo(filePath).isFile())
        return false;
    RawFile file(filePath, false);
    if (!file.isOpen())
        return true;
    // Every program's connection keeps a shared lock on the file: an exclusive one is only
    // granted when nobody else has it open.
    if (!file.run(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")))
        return true;
    if (!file.run(QStringLiteral("BEGIN EXCLUSIVE")))
        return true;
    file.run(QStringLiteral("ROLLBACK"));
    return false;
}

QString restore(const QString& backupDir, const QString& dataDir) {
    const QString from = withSeparator(backupDir);
    const QString to = withSeparator(dataDir);
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        throw DbError(QStringLiteral("バックアップとデータのフォルダが同じです。"), {}, to);
    for (const QString& name : Schema::fileNames()) {
        const QStringList problems = integrityProblems(from + name);
        if (!problems.isEmpty())
            throw DbError(QStringLiteral("バックアップの %1 は使えません: %2").arg(name, problems.join(u' ')), {},
                          from + name, DbError::Cause::Damaged);
    }
    if (!QDir().mkpath(to))
        throw DbError(QStringLiteral("データのフォルダ %1 を作れません。").arg(native(to)), {}, to);
    for (const QString& name : Schema::fileNames()) {
        if (inUse(to + name))
            throw DbError(
                QStringLiteral("%1 は使用中です。すべてのプログラムを終了してから、もう一度実行してください。")
                    .arg(native(to + name)),
                {}, to + name);
    }

    // What is replaced is kept, in case the wrong backup was chosen.
    QString kept;
    bool anyPresent = false;
    for (const QString& name : Schema::fileNames())
        anyPresent = anyPresent || QFileInfo::exists(to + name);
    if (anyPresent) {
        kept = freshFolder(to + QStringLiteral("backup"), QStringLiteral("before-restore-") + stamp());
        backup(to, kept);
    }

    // The copies go beside their places first, so the files are swapped in a moment.
    QStringList incoming;
    try {
        for (const QString& name : Schema::fileNames()) {
            const QString part = to + name + QStringLiteral(".restoring");
            QFile::remove(part);
            if (!QFile::copy(from + name, part))
                throw DbError(QStringLiteral("%1 を書き込めません。").arg(native(part)), {}, part);
            QFile(part).setPermissions(QFile(part).permissions() | QFileDevice::WriteOwner);
            syncFile(part);
            incoming << part;
        }
        // Held until each file is swapped: no program starts on a file half-replaced.
        std::vector<std::unique_ptr<RawFile>> locks;
        for (const QString& name : Schema::fileNames()) {
            if (!QFileInfo::exists(to + name))
                continue;
            auto lock = std::make_unique<RawFile>(to + name, false);
            if (!lock->isOpen() || !lock->run(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")) ||
                !lock->run(QStringLiteral("BEGIN EXCLUSIVE")))
                throw DbError(
                    QStringLiteral("%1 は使用中です。すべてのプログラムを終了してから、もう一度実行してください。")
                        .arg(native(to + name)),
                    {}, to + name);
            lock->run(QStringLiteral("ROLLBACK"));
            locks.push_back(std::move(lock));
        }
        locks.clear(); // the last connection folds its log back and removes it
        for (const QString& name : Schema::fileNames()) {
            removeCompanions(to + name);
            if (std::rename(QFile::encodeName(to + name + QStringLiteral(".restoring")).constData(),
                            QFile::encodeName(to + name).constData()) != 0)
                throw DbError(QStringLiteral("%1 を置き換えられません。").arg(native(to + name)), {}, to + name);
        }
    } catch (...) {
        for (const QString& part : std::as_const(incoming))
            QFile::remove(part);
        throw;
    }
    return kept;
}

QList<Finding> check(const QString& dataDir) {
    const QString dir = withSeparator(dataDir);
    if (!QFileInfo(dir).isDir())
        throw DbError(QStringLiteral("データのフォルダ %1 がありません。").arg(native(dir)), {}, dir,
                      DbError::Cause::Missing);
    QList<Finding> findings;
    QHash<QString, std::shared_ptr<Connection>> sound;
    for (const QString& name : Schema::fileNames()) {
        const QStringList problems = integrityProblems(dir + name);
        for (const QString& problem : problems)
            findings << Finding{name, problem};
        if (!problems.isEmpty())
            continue;
        try {
            const auto connection = Connection::openAnyVersion(dir + name);
            const int version = connection->schemaVersion();
            if (version != Schema::Version)
                findings << Finding{
                    name, QStringLiteral("版 %1 のファイルです（現在の版は %2）。deskadmin upgrade が必要です。")
                              .arg(version)
                              .arg(Schema::Version)};
            sound.insert(name, connection);
        } catch (const DbError& e) {
            findings << Finding{name, e.message()};
        }
    }

    const auto rows = [](Connection& connection, const QString& statement) {
        QSqlQuery query(connection.database());
        query.setForwardOnly(true);
        if (!query.exec(statement))
            throw DbError(query.lastError().text(), statement, connection.filePath());
        QStringList values;
        while (query.next())
            values << query.value(0).toString();
        return values;
    };

    const QString clients = QString::fromLatin1(DbFile::DaySalesCliants);
    if (const auto connection = sound.value(clients)) {
        const QStringList six{QStringLiteral("CheckInCliants"), QStringLiteral("CheckInAdrs"),
                              QStringLiteral("CheckInGroupe"),  QStringLiteral("CheckInClasify"),
                              QStringLiteral("CheckInBadget"),  QStringLiteral("CheckInCliantDetail")};
        QStringList all;
        for (const QString& table : six)
            all << QStringLiteral("SELECT CheckInNO FROM %1").arg(table);
        for (const QString& table : six) {
            const QStringList missing =
                rows(*connection, QStringLiteral("SELECT CheckInNO FROM (%1) WHERE CheckInNO NOT IN "
                                                 "(SELECT CheckInNO FROM %2 WHERE CheckInNO IS NOT NULL) "
                                                 "GROUP BY CheckInNO ORDER BY CheckInNO")
                                      .arg(all.join(QStringLiteral(" UNION ALL ")), table));
            for (const QString& number : missing)
                findings << Finding{
                    clients, QStringLiteral("チェックイン番号「%1」の %2 の行がありません。").arg(number, table)};
        }
    }

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
        for (const QString& n : rows(*connection, QStringLiteral("SELECT h.%3 FROM %1 h WHERE NOT EXISTS "
                                                                 "(SELECT 1 FROM %2 d WHERE d.%3 = h.%3) ORDER BY h.%3")
                                                      .arg(header, lines, key)))
            findings << Finding{QString::fromLatin1(s.file),
                                QStringLiteral("%1 %2 に明細がありません。").arg(label, n)};
        for (const QString& n : rows(*connection, QStringLiteral("SELECT DISTINCT d.%3 FROM %2 d WHERE NOT EXISTS "
                                                                 "(SELECT 1 FROM %1 h WHERE h.%3 = d.%3) ORDER BY d.%3")
                                                      .arg(header, lines, key)))
            findings << Finding{QString::fromLatin1(s.file),
                                QStringLiteral("%1 %2 の明細に伝票（見出し）がありません。").arg(label, n)};
    }

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
             rows(*connection, QStringLiteral("SELECT %2 FROM %1 WHERE %2 IS NOT NULL GROUP BY %2 COLLATE NOCASE "
                                              "HAVING COUNT(*) > 1 ORDER BY %2")
                                   .arg(table, column)))
            findings << Finding{QString::fromLatin1(k.file),
                                QStringLiteral("%1 の %2「%3」が複数あります。").arg(table, column, value)};
    }
    return findings;
}

QStringList upgrade(const QString& dataDir, QString* backupFolder) {
    const QString dir = withSeparator(dataDir);
    QStringList outdated;
    for (const QString& name : Schema::fileNames()) {
        const auto connection = Connection::openAnyVersion(dir + name);
        const int version = connection->schemaVersion();
        if (version == Schema::Version)
            continue;
        if (version != Schema::Version - 1)
            throw DbError(QStringLiteral("%1 は版 %2 のファイルです。このプログラムは版 %3 から %4 へ移せます。")
                              .arg(native(dir + name))
                              .arg(version)
                              .arg(Schema::Version - 1)
                              .arg(Schema::Version),
                          {}, dir + name, DbError::Cause::WrongVersion);
        outdated << name;
    }
    if (outdated.isEmpty())
        return {};
    for (const QString& name : std::as_const(outdated)) {
        if (inUse(dir + name))
            throw DbError(
                QStringLiteral("%1 は使用中です。すべてのプログラムを終了してから、もう一度実行してください。")
                    .arg(native(dir + name)),
                {}, dir + name);
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

QString dailyBackup(const QString& dataDir, const QString& backupRoot, int keep, const QDate& today) {
    const QString root = withSeparator(backupRoot);
    const QString todays = root + today.toString(QStringLiteral("yyyy-MM-dd"));
    QString made;
    if (!QFileInfo::exists(todays)) {
        backup(dataDir, todays);
        made = todays;
    }
    // Only the dated folders count; a backup taken by hand or before an upgrade stays.
    QStringList dated;
    const QStringList entries = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (QDate::fromString(entry, QStringLiteral("yyyy-MM-dd")).isValid())
            dated << entry;
    }
    for (qsizetype i = 0; i + std::max(keep, 1) < dated.size(); ++i)
        QDir(root + dated.at(i)).removeRecursively();
    return made;
}

} // namespace desk::maintenance
