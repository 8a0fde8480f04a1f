#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "data/Maintenance.h"
#include "data/RowSet.h"
#include "data/Schema.h"
#include "data/Sql.h"
#include "testsupport/PreviousSchema.h"
#include "testsupport/TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

using namespace desk;

namespace {
struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result deskadmin(const QStringList& args) {
    QProcess process;
    process.start(qEnvironmentVariable("DESK_BIN_DIR") + QStringLiteral("/deskadmin"), args);
    Result r;
    if (!process.waitForFinished(120000))
        return r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(process.readAllStandardError());
    return r;
}
qint64 count(const QString& dir, const char* file, const QString& statement) {
    return Connection::openAnyVersion(dir + QLatin1String(file))->scalar(statement).toLongLong();
}

bool onServer() {
    return !test::TempDataDir::server().isEmpty();
}

// Where a test's inn goes: a folder inside tmp, or on the test server an empty database of
// its own, dropped with this object.
struct Place {
    std::unique_ptr<test::TempDataDir> database;
    QString path;
};
Place emptyPlace(const QTemporaryDir& tmp, const QString& name = QStringLiteral("inn")) {
    if (!onServer())
        return {nullptr, tmp.path() + u'/' + name + u'/'};
    auto database = std::make_unique<test::TempDataDir>(test::TempDataDir::Contents::Nothing);
    const QString address = database->path();
    return {std::move(database), address};
}

// An inn as the tool makes it (copied from the test run's template), in a folder of its own
// or on the test server.
Place innPlace() {
    auto inn = std::make_unique<test::TempDataDir>();
    const QString path = inn->path();
    return {std::move(inn), path};
}
// A data directory made by the tool itself (the cases that are about files).
QString made(const QTemporaryDir& tmp, const QString& name = QStringLiteral("inn")) {
    const QString dir = tmp.path() + u'/' + name + u'/';
    deskadmin({QStringLiteral("init"), dir});
    return dir;
}
} // namespace

class TestDeskAdmin : public QObject {
    Q_OBJECT

private slots:
    void usageErrors_data();
    void usageErrors();
    void initCreatesFilesEveryReaderOpens_data();
    void initCreatesFilesEveryReaderOpens();
    void initRefusesExistingFiles();
    void backupHoldsEveryCommittedRow();
    void dailyBackupKeepsTheNewestDays_data();
    void dailyBackupKeepsTheNewestDays();
    void restoreRefusesAnOpenFile();
    void unfinishedRestoreIsNamedAndFinished();
    void backupClearsWhatKilledRunsLeft();
    void checkFindings_data();
    void checkFindings();
    void upgradeOfThePreviousVersion();
    void upgradeOfVersion2AddsTheTaxSettings();
    void upgradeOfVersion5KeepsEveryRow();
    void upgradeOfACurrentInn();
    void upgradeOfVersion6MakesTheRooms();
};

void TestDeskAdmin::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << QStringList{QStringLiteral("create"), QStringLiteral("x")};
    QTest::newRow("init without a directory") << QStringList{QStringLiteral("init")};
    QTest::newRow("init with an unknown flag")
        << QStringList{QStringLiteral("init"), QStringLiteral("x"), QStringLiteral("--samples")};
    QTest::newRow("two directories") << QStringList{QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("b")};
}

void TestDeskAdmin::usageErrors() {
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const Result r = deskadmin(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains(QLatin1String("Usage: deskadmin init DIR|URI [--sample]")));
    QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

void TestDeskAdmin::initCreatesFilesEveryReaderOpens_data() {
    QTest::addColumn<bool>("sample");
    QTest::newRow("reference data only") << false;
    QTest::newRow("with sample") << true;
}

void TestDeskAdmin::initCreatesFilesEveryReaderOpens() {
    QFETCH(bool, sample);
    QTemporaryDir dir;
    const Place place = emptyPlace(dir, QStringLiteral("data"));
    const QString path = place.path;
    QStringList args{QStringLiteral("init"), path};
    if (sample)
        args << QStringLiteral("--sample");
    const Result r = deskadmin(args);
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));

    for (const QString& file : Schema::fileNames()) {
        const auto connection = Connection::open(path, file);
        for (const QString& name : connection->tableNames() + connection->viewNames()) {
            RowSet rs(connection, name);
            QVERIFY(rs.columnNames().size() >= 1);
            rs.moveLast(); // reads through whatever is there
        }
    }
    const auto reservations = Connection::open(path, QString::fromLatin1(DbFile::Reservation));
    const int today = RowSet(reservations, QStringLiteral("SELECT * FROM Reserve WHERE RvUseDate = ") +
                                               Sql::dateLiteral(QDate::currentDate()))
                          .recordCount();
    QCOMPARE(today > 0, sample);
    const auto clients = Connection::open(path, QString::fromLatin1(DbFile::DaySalesCliants));
    QCOMPARE(RowSet(clients, QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE CheckOutFlag = False")).isEmpty(),
             !sample);
    const auto profile = Connection::open(path, QString::fromLatin1(DbFile::Option));
    QCOMPARE(RowSet(profile, QStringLiteral("CompanyProfile")).recordCount(), 1);
}

void TestDeskAdmin::initRefusesExistingFiles() {
    QTemporaryDir dir;
    const Place place = emptyPlace(dir);
    const QString path = place.path;
    QCOMPARE(deskadmin({QStringLiteral("init"), path}).exitCode, 0);
    {
        const auto c = Connection::open(path, QString::fromLatin1(DbFile::Sales));
        c->exec(QStringLiteral("INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('99', 'keep')"));
    }
    const Result again = deskadmin({QStringLiteral("init"), path, QStringLiteral("--sample")});
    QCOMPARE(again.exitCode, 1);
    QVERIFY2(again.err.contains(onServer() ? QStringLiteral("もう") : QStringLiteral("already exists")),
             qPrintable(again.err));
    const auto c = Connection::open(path, QString::fromLatin1(DbFile::Sales));
    QCOMPARE(c->scalar(QStringLiteral("SELECT CClassName FROM CommodityClasify WHERE CClassCode = '99'")).toString(),
             QStringLiteral("keep"));
    QVERIFY(RowSet(c, QStringLiteral("BTSalesNo")).isEmpty());
}

// A backup taken while another program is in the middle of a save: every committed row is
// in it, the uncommitted one is not, and the writer was not held up.
void TestDeskAdmin::backupHoldsEveryCommittedRow() {
    QTemporaryDir tmp;
    const Place place = innPlace();
    const QString dir = place.path;
    const auto committed = Connection::open(dir, QString::fromLatin1(DbFile::Sales));
    for (int n = 1; n <= 28; ++n)
        committed->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTCheckInNo) VALUES (?, 'A1')"), {n});
    const auto writer = Connection::open(dir, QString::fromLatin1(DbFile::Sales));
    Transaction open(*writer);
    writer->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTCheckInNo) VALUES (99, 'A1')"));

    const QString dest = tmp.path() + QStringLiteral("/copy");
    const Result r = deskadmin({QStringLiteral("backup"), dir, dest});
    QCOMPARE(r.exitCode, 0);
    writer->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTCheckInNo) VALUES (100, 'A1')"));
    open.commit();
    QCOMPARE(count(dest + u'/', DbFile::Sales, QStringLiteral("SELECT COUNT(*) FROM BTSalesNo")), 28);
    for (const QString& name : Schema::fileNames())
        QVERIFY2(QFileInfo::exists(dest + u'/' + name), qPrintable(name));
    // No half-made folder is left next to it.
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("copy")});
    QCOMPARE(deskadmin({QStringLiteral("backup"), dir, dest}).exitCode, 1); // never over an existing backup
}

void TestDeskAdmin::dailyBackupKeepsTheNewestDays_data() {
    QTest::addColumn<int>("earlierDays"); // dated folders already there, one a day before today
    QTest::addColumn<bool>("todayThere");
    QTest::addColumn<int>("keep");
    QTest::addColumn<int>("datedAfter");
    QTest::newRow("first start of the day") << 3 << false << 14 << 4;
    QTest::newRow("the oldest go beyond 14") << 16 << false << 14 << 14;
    QTest::newRow("second start of the day: no copy") << 16 << true << 14 << 14;
    QTest::newRow("keep 0 keeps today's") << 2 << false << 0 << 1;
}

// deskmain's backup at start: one folder a day named by its date, the newest kept; a backup
// taken by hand or before an upgrade is never counted or removed.
void TestDeskAdmin::dailyBackupKeepsTheNewestDays() {
    QFETCH(int, earlierDays);
    QFETCH(bool, todayThere);
    QFETCH(int, keep);
    QFETCH(int, datedAfter);
    QTemporaryDir tmp;
    const QString dir = made(tmp);
    const QString root = tmp.path() + QStringLiteral("/backup/");
    const QDate today(2026, 12, 7);
    const auto dated = [](const QDate& day) {
        return day.toString(QStringLiteral("yyyy-MM-dd"));
    };
    for (int n = 1; n <= earlierDays; ++n)
        QVERIFY(QDir().mkpath(root + dated(today.addDays(-n))));
    if (todayThere)
        QVERIFY(QDir().mkpath(root + dated(today)));
    for (const QString& other : {QStringLiteral("by-hand"), QStringLiteral("before-upgrade-20261101-0900")})
        QVERIFY(QDir().mkpath(root + other));

    const QString made = maintenance::dailyBackup(dir, root, keep, today).made;

    QCOMPARE(made.isEmpty(), todayThere);
    if (!todayThere)
        QVERIFY(QFileInfo::exists(root + dated(today) + u'/' + QLatin1String(DbFile::Sales)));
    QStringList names = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QVERIFY(names.removeOne(QStringLiteral("by-hand")));
    QVERIFY(names.removeOne(QStringLiteral("before-upgrade-20261101-0900")));
    QCOMPARE(names.size(), datedAfter);
    QCOMPARE(names.constLast(), dated(today));
    QCOMPARE(names.constFirst(), dated(today.addDays(1 - datedAfter)));
}

void TestDeskAdmin::restoreRefusesAnOpenFile() {
    QTemporaryDir tmp;
    const QString dir = made(tmp);
    const QString saved = tmp.path() + QStringLiteral("/saved");
    QCOMPARE(deskadmin({QStringLiteral("backup"), dir, saved}).exitCode, 0);
    {
        const auto later = Connection::open(dir, QString::fromLatin1(DbFile::Sales));
        later->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo) VALUES (7)"));
        const Result refused = deskadmin({QStringLiteral("restore"), saved, dir});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("BTSales.mdb")), qPrintable(refused.err));
        QCOMPARE(later->scalar(QStringLiteral("SELECT COUNT(*) FROM BTSalesNo")).toInt(), 1);
        QVERIFY2(!QFileInfo::exists(dir + QStringLiteral("backup")), "a refused restore left a kept copy");
    }
    const Result r = deskadmin({QStringLiteral("restore"), saved, dir});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(count(dir, DbFile::Sales, QStringLiteral("SELECT COUNT(*) FROM BTSalesNo")), 0);
    for (const QString& name : Schema::fileNames()) {
        QVERIFY(!QFileInfo::exists(dir + name + QStringLiteral("-wal")));
        QVERIFY(!QFileInfo::exists(dir + name + QStringLiteral(".restoring")));
    }
    // What was replaced is kept.
    const QStringList kept = QDir(dir + QStringLiteral("backup")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(count(dir + QStringLiteral("backup/") + kept.first() + u'/', DbFile::Sales,
                   QStringLiteral("SELECT COUNT(*) FROM BTSalesNo")),
             1);
}

namespace {
// The number of a process that has ended.
qint64 endedProcess() {
    QProcess process;
    process.start(QStringLiteral("true"), {});
    process.waitForFinished();
    return process.processId() > 0 ? process.processId() : 999999;
}
} // namespace

// A restore killed after some files went in leaves its marker: no program opens the mixed
// files, check and start-up name it, and the same restore run again finishes it.
void TestDeskAdmin::unfinishedRestoreIsNamedAndFinished() {
    QTemporaryDir tmp;
    const QString dir = made(tmp);
    const QString saved = tmp.path() + QStringLiteral("/saved");
    QCOMPARE(deskadmin({QStringLiteral("backup"), dir, saved}).exitCode, 0);
    Connection::open(dir, QString::fromLatin1(DbFile::Sales))
        ->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo) VALUES (7)"));
    QFile marker(dir + QStringLiteral("RESTORE-UNFINISHED.txt"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write(QStringLiteral("backup=%1/\nkept=%2\npid=%3\n")
                     .arg(saved, tmp.path() + QStringLiteral("/kept"))
                     .arg(endedProcess())
                     .toUtf8());
    marker.close();

    try {
        Connection::open(dir, QString::fromLatin1(DbFile::Reservation));
        QFAIL("a half-restored inn was opened");
    } catch (const DbError& e) {
        QCOMPARE(e.cause(), DbError::Cause::Busy);
        QVERIFY2(e.message().contains(QStringLiteral("途中で終わっています")) && e.message().contains(saved),
                 qPrintable(e.message()));
    }
    const Result checked = deskadmin({QStringLiteral("check"), dir});
    QCOMPARE(checked.exitCode, 1);
    QVERIFY2(checked.out.contains(QStringLiteral("復元が途中で終わっています")), qPrintable(checked.out));

    const Result finished = deskadmin({QStringLiteral("restore"), saved, dir});
    QVERIFY2(finished.exitCode == 0, qPrintable(finished.err));
    QVERIFY(!QFileInfo::exists(marker.fileName()));
    QCOMPARE(count(dir, DbFile::Sales, QStringLiteral("SELECT COUNT(*) FROM BTSalesNo")), 0);
    // The mix is not kept as if it were the inn before the restore.
    QVERIFY(!QFileInfo::exists(dir + QStringLiteral("backup")));
    QCOMPARE(deskadmin({QStringLiteral("check"), dir}).exitCode, 0);
}

// Killed backups leave hidden folders: the next backup into the same folder removes those of
// processes that have ended, never one still at work. In a folder its group may write, the
// backup is the group's too, so another clerk's program can prune it.
void TestDeskAdmin::backupClearsWhatKilledRunsLeft() {
    QTemporaryDir tmp;
    const QString dir = made(tmp);
    const QString root = tmp.path() + QStringLiteral("/backups/");
    QVERIFY(QDir().mkpath(root));
    QVERIFY(QFile::setPermissions(root, QFile::permissions(root) | QFileDevice::WriteGroup | QFileDevice::ReadGroup |
                                            QFileDevice::ExeGroup));
    const QString stale = root + QStringLiteral(".2026-12-06.partial-%1").arg(endedProcess());
    const QString working = root + QStringLiteral(".2026-12-07.partial-%1").arg(QCoreApplication::applicationPid());
    QVERIFY(QDir().mkpath(stale));
    QVERIFY(QDir().mkpath(working));

    QCOMPARE(deskadmin({QStringLiteral("backup"), dir, root + QStringLiteral("copy")}).exitCode, 0);
    QVERIFY(!QFileInfo::exists(stale));
    QVERIFY(QFileInfo::exists(working));
    QVERIFY(QFileInfo(root + QStringLiteral("copy")).permissions() & QFileDevice::WriteGroup);
    QVERIFY(QFileInfo(root + QStringLiteral("copy/") + QLatin1String(DbFile::Sales)).permissions() &
            QFileDevice::WriteGroup);
}

void TestDeskAdmin::checkFindings_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("plant");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("finding");
    QTest::newRow("clean") << QString() << QString() << 0 << QStringLiteral("No findings");
    QTest::newRow("orphan sales line") << QString::fromLatin1(DbFile::Sales)
                                       << QStringLiteral(
                                              "INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode) VALUES (41, '101')")
                                       << 1 << QStringLiteral("売上伝票 41 の明細に伝票（見出し）がありません。");
    QTest::newRow("payment slip without lines")
        << QString::fromLatin1(DbFile::Recipt) << QStringLiteral("INSERT INTO BTPaymentNo (RptNO) VALUES (5)") << 1
        << QStringLiteral("入金伝票 5 に明細がありません。");
    QTest::newRow("check-in short of a row")
        << QString::fromLatin1(DbFile::DaySalesCliants)
        << QStringLiteral("INSERT INTO CheckInCliants (CheckInNO) VALUES ('A7')") << 1
        << QStringLiteral("チェックイン番号「A7」の CheckInAdrs の行がありません。");
    QTest::newRow("no rate today") << QString::fromLatin1(DbFile::Option) << QStringLiteral("DELETE FROM TaxRates") << 1
                                   << QStringLiteral("に適用される消費税率がありません。");
    QTest::newRow("slip before the first rate")
        << QString::fromLatin1(DbFile::Sales)
        << QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate) VALUES (42, '1989-03-31')") << 1
        << QStringLiteral("dbOptionBT.mdb: 1989/03/31 からの伝票 1 件に適用される消費税率がありません。");
    QTest::newRow("no folder") << QStringLiteral("-") << QString() << 2 << QString();
}

void TestDeskAdmin::checkFindings() {
    QFETCH(QString, file);
    QFETCH(QString, plant);
    QFETCH(int, exitCode);
    QFETCH(QString, finding);
    QTemporaryDir tmp;
    const Place place = innPlace();
    QString dir = place.path;
    if (file == QLatin1String("-"))
        dir = onServer() ? QString(dir).replace(QStringLiteral("/test_"), QStringLiteral("/nowhere_"))
                         : tmp.path() + QStringLiteral("/nowhere/");
    else if (!file.isEmpty())
        Connection::open(dir, file)->exec(plant);
    const Result r = deskadmin({QStringLiteral("check"), dir});
    QCOMPARE(r.exitCode, exitCode);
    // A server names the part of the inn, not the file.
    if (onServer())
        finding.replace(QStringLiteral("dbOptionBT.mdb: "), QStringLiteral("設定: "));
    QVERIFY2(r.out.contains(finding), qPrintable(r.out + r.err));
}

// A file of the previous version (no desk column, no version 2 record) is refused by the
// programs, and upgrade brings it over with its rows after a backup; a second run does nothing.
void TestDeskAdmin::upgradeOfThePreviousVersion() {
    QTemporaryDir tmp;
    const QString dir = made(tmp);
    {
        const auto old = Connection::openAnyVersion(dir + QLatin1String(DbFile::Recipt));
        old->exec(QStringLiteral("DROP VIEW QRYSum"));
        old->exec(QStringLiteral("DROP INDEX BTReciptTemp_Desk"));
        old->exec(QStringLiteral("ALTER TABLE BTReciptTemp DROP COLUMN Desk"));
        old->exec(QStringLiteral("INSERT INTO BTReciptTemp (RptCode, ReciptAmount) VALUES ('01', 300)"));
        old->exec(QStringLiteral("UPDATE SchemaMeta SET Value = '1' WHERE Name = 'SchemaVersion'"));
    }
    try {
        Connection::open(dir, QString::fromLatin1(DbFile::Recipt));
        QFAIL("a file of the previous version was opened");
    } catch (const DbError& e) {
        QCOMPARE(e.cause(), DbError::Cause::WrongVersion);
        QVERIFY2(e.message().contains(QStringLiteral("deskadmin upgrade")) &&
                     e.message().contains(QStringLiteral("BTRecipt.mdb")),
                 qPrintable(e.message()));
    }
    const Result r = deskadmin({QStringLiteral("upgrade"), dir});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains(QStringLiteral("BTRecipt.mdb upgraded")), qPrintable(r.out + r.err));
    const auto upgraded = Connection::open(dir, QString::fromLatin1(DbFile::Recipt));
    QCOMPARE(upgraded->scalar(QStringLiteral("SELECT Desk FROM BTReciptTemp WHERE ReciptAmount = 300")).toString(),
             QString());
    QVERIFY(upgraded->object(QStringLiteral("QRYSum")).kind == QLatin1String("view"));
    QCOMPARE(QDir(dir + QStringLiteral("backup")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    QVERIFY(deskadmin({QStringLiteral("upgrade"), dir}).out.contains(QStringLiteral("nothing to do")));
}

// A directory of version 2 (no tax settings): every row stays, the rates since 1997 are
// added, and the commodities are taxed at the standard rate with the service charge.
void TestDeskAdmin::upgradeOfVersion2AddsTheTaxSettings() {
    QTemporaryDir tmp;
    const QString dir = made(tmp);
    qint64 commodities = 0;
    QString inn;
    {
        const auto option = Connection::openAnyVersion(dir + QLatin1String(DbFile::Option));
        option->exec(QStringLiteral("DROP TABLE TaxRates"));
        for (const char* column : {"ServiceFee", "TaxRounding", "InvoiceNo"})
            option->exec(QStringLiteral("ALTER TABLE CompanyProfile DROP COLUMN ") + QLatin1String(column));
        inn = option->scalar(QStringLiteral("SELECT CompanyName FROM CompanyProfile")).toString();
        const auto sales = Connection::openAnyVersion(dir + QLatin1String(DbFile::Sales));
        sales->exec(QStringLiteral("UPDATE Commodities SET CTaxClass = 1, CService = 0"));
        for (const char* column : {"CTaxClass", "CService"})
            sales->exec(QStringLiteral("ALTER TABLE Commodities DROP COLUMN ") + QLatin1String(column));
        sales->exec(QStringLiteral("INSERT INTO Commodities (Ccode, cname) VALUES ('990', '特注品')"));
        commodities = sales->scalar(QStringLiteral("SELECT COUNT(*) FROM Commodities")).toLongLong();
    }
    for (const QString& name : Schema::fileNames())
        Connection::openAnyVersion(dir + name)
            ->exec(QStringLiteral("UPDATE SchemaMeta SET Value = '2' WHERE Name = 'SchemaVersion'"));

    const Result r = deskadmin({QStringLiteral("upgrade"), dir});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains(QStringLiteral("dbOptionBT.mdb upgraded")), qPrintable(r.out + r.err));
    const auto option = Connection::open(dir, QString::fromLatin1(DbFile::Option));
    QCOMPARE(option->scalar(QStringLiteral("SELECT CompanyName FROM CompanyProfile")).toString(), inn);
    QCOMPARE(option->scalar(QStringLiteral("SELECT COUNT(*) FROM CompanyProfile")).toInt(), 1);
    QCOMPARE(option
                 ->scalar(QStringLiteral("SELECT group_concat(EffectiveDate || ' ' || StandardRate || ' ' || "
                                         "ifnull(ReducedRate, '-'), ', ') FROM "
                                         "(SELECT * FROM TaxRates ORDER BY EffectiveDate)"))
                 .toString(),
             QStringLiteral("1997-04-01 5.0 -, 2014-04-01 8.0 -, 2019-10-01 10.0 8.0"));
    const auto sales = Connection::open(dir, QString::fromLatin1(DbFile::Sales));
    QCOMPARE(sales->scalar(QStringLiteral("SELECT COUNT(*) FROM Commodities")).toLongLong(), commodities);
    QCOMPARE(sales->scalar(QStringLiteral("SELECT COUNT(*) FROM Commodities WHERE CTaxClass = 0 AND CService = 1"))
                 .toLongLong(),
             commodities);
    // The upgraded directory has a rate for today and for every slip.
    QCOMPARE(deskadmin({QStringLiteral("check"), dir}).exitCode, 0);
}

// An inn of version 5 (no row keys) comes over whole: every table keeps its rows under their
// numbers, and the upgraded directory passes the check.
void TestDeskAdmin::upgradeOfVersion5KeepsEveryRow() {
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/inn/");
    QCOMPARE(deskadmin({QStringLiteral("init"), dir, QStringLiteral("--sample")}).exitCode, 0);
    QHash<QString, QString> rows; // file/table → its rowids, in order
    const auto numbers = [&](const QString& file, const QString& table, const QString& key) {
        return Connection::openAnyVersion(dir + file)
            ->scalar(QStringLiteral("SELECT group_concat(k, ',') FROM (SELECT %1 AS k FROM \"%2\" ORDER BY %1)")
                         .arg(key, table))
            .toString();
    };
    for (const QString& file : Schema::fileNames()) {
        const auto c = Connection::openAnyVersion(dir + file);
        test::toSchemaVersion5(*c);
        for (const QString& table : c->tableNames())
            rows.insert(file + u'/' + table, numbers(file, table, QStringLiteral("rowid")));
    }
    QCOMPARE(deskadmin({QStringLiteral("check"), dir}).exitCode, 1);

    const Result r = deskadmin({QStringLiteral("upgrade"), dir});
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    for (auto it = rows.constBegin(); it != rows.constEnd(); ++it)
        QCOMPARE(numbers(it.key().section(u'/', 0, 0), it.key().section(u'/', 1), QStringLiteral("RowKey")),
                 it.value());
    QVERIFY(!rows.value(QString::fromLatin1(DbFile::Sales) + QStringLiteral("/BTSalesDetail")).isEmpty());
    const Result check = deskadmin({QStringLiteral("check"), dir});
    QVERIFY2(check.exitCode == 0, qPrintable(check.out + check.err));
}

// An inn of the current version, in a folder or on a server: nothing to do, said so, nothing
// backed up; one newer than this program is refused and left as it is.
void TestDeskAdmin::upgradeOfACurrentInn() {
    const Place place = innPlace();
    const Result current = deskadmin({QStringLiteral("upgrade"), place.path});
    QCOMPARE(current.exitCode, 0);
    QVERIFY2(current.out.contains(QStringLiteral("nothing to do")) &&
                 !current.out.contains(QStringLiteral("Backed up")),
             qPrintable(current.out + current.err));
    const auto option = Connection::openAnyVersion(Engine::locationOf(place.path, QString::fromLatin1(DbFile::Option)));
    option->exec(QStringLiteral("UPDATE SchemaMeta SET Value = '99' WHERE Name = 'SchemaVersion'"));
    const Result newer = deskadmin({QStringLiteral("upgrade"), place.path});
    QCOMPARE(newer.exitCode, 1);
    QVERIFY2(newer.err.contains(QStringLiteral("版 99")), qPrintable(newer.err));
    QCOMPARE(option->schemaVersion(), 99);
}

// An inn of version 6, in a folder or on a server (no rooms, no stays in them): the upgrade
// backs it up, makes one room to check per room text used at check-in, as a case-blind code
// keeps it, seeds the room types, and on a server the stays of a room are kept apart.
void TestDeskAdmin::upgradeOfVersion6MakesTheRooms() {
    const Place place = innPlace();
    const auto at = [&](const char* file) {
        return Connection::openAnyVersion(Engine::locationOf(place.path, QLatin1String(file)));
    };
    const auto makeVersion6 = [&] {
        const auto checkIns = at(DbFile::DaySalesCliants);
        int number = 900;
        for (const char* room : {"201", "離れ", "a1", " 201 ", "A1", "", "105"})
            checkIns->exec(QStringLiteral("INSERT INTO CheckInCliants (CheckInNO, CheckInRoomNo) VALUES (?, ?)"),
                           {QString::number(++number), QString::fromUtf8(room)});
        at(DbFile::Option)->exec(QStringLiteral("DROP TABLE Rooms"));
        at(DbFile::Option)->exec(QStringLiteral("DROP TABLE RoomTypes"));
        at(DbFile::Reservation)->exec(QStringLiteral("DROP TABLE RoomStays"));
        for (const QString& name : Schema::fileNames())
            Connection::openAnyVersion(Engine::locationOf(place.path, name))
                ->exec(QStringLiteral("UPDATE SchemaMeta SET Value = '6' WHERE Name = 'SchemaVersion'"));
    };
    // Made in a thread of its own, whose server sessions end with it: the upgrade waits for no
    // desk.
    QString failure;
    std::unique_ptr<QThread> maker(QThread::create([&] {
        try {
            makeVersion6();
        } catch (const DbError& e) {
            failure = e.text();
        }
    }));
    maker->start();
    maker->wait();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QTemporaryDir work;
    QProcess process;
    process.setWorkingDirectory(work.path());
    process.start(qEnvironmentVariable("DESK_BIN_DIR") + QStringLiteral("/deskadmin"),
                  {QStringLiteral("upgrade"), place.path});
    QVERIFY(process.waitForFinished(120000));
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
    QVERIFY2(process.exitCode() == 0 && out.contains(QStringLiteral("Backed up into")), qPrintable(out));
    const QString kept = out.section(QStringLiteral("Backed up into "), 1).section(u'\n', 0, 0).trimmed();
    QVERIFY2(QFileInfo::exists(kept + u'/' + QLatin1String(DbFile::DaySalesCliants)), qPrintable(kept));

    const auto option = Connection::open(place.path, QString::fromLatin1(DbFile::Option));
    QStringList rooms;
    option->select(QStringLiteral("SELECT RoomCode, ToCheck FROM Rooms ORDER BY SortOrder"), {}, {},
                   [&](const QSqlQuery& q) { rooms << q.value(0).toString() + u':' + q.value(1).toString(); });
    QCOMPARE(rooms.join(u' '), QStringLiteral("105:1 201:1 a1:1 離れ:1"));
    QStringList types;
    option->select(QStringLiteral("SELECT RoomTypeName FROM RoomTypes ORDER BY RoomTypeCode"), {}, {},
                   [&](const QSqlQuery& q) { types << q.value(0).toString(); });
    QCOMPARE(types, (QStringList{QStringLiteral("和室"), QStringLiteral("洋室"), QStringLiteral("和洋室"),
                                 QStringLiteral("離れ")}));

    // The server's own rule: one room, overlapping nights, refused when the save commits.
    const auto reservations = Connection::open(place.path, QString::fromLatin1(DbFile::Reservation));
    Transaction transaction(*reservations);
    for (const char* code : {"A1", "a1"})
        reservations->exec(QStringLiteral("INSERT INTO RoomStays (RoomCode, FirstNight, Nights) VALUES (?, ?, 2)"),
                           {QString::fromLatin1(code), QDate(2031, 5, 1)});
    if (!onServer())
        return;
    try {
        transaction.commit();
        QFAIL("two stays of one room on one night were saved");
    } catch (const DbError& e) {
        QCOMPARE(e.cause(), DbError::Cause::Clash);
    }
}

QTEST_GUILESS_MAIN(TestDeskAdmin)
#include "tst_deskadmin.moc"
