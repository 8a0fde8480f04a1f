#include "data/Connection.h"
#include "data/DbError.h"

#include "testsupport/TempDataDir.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace desk;

// A desk keeps a connection open for as long as its window shows a slip and opens more for
// its look-ups; other programs open, work, close and end, and backups run meanwhile. The
// engine's locks must hold throughout: nobody may remove the log under the open window.
class TestLiveFiles : public QObject {
    Q_OBJECT

private slots:
    void aDeskKeepsWorkingWhileOthersComeAndGo();
    void everySaveDuringRestoresIsKeptOrRefused();
};

void TestLiveFiles::aDeskKeepsWorkingWhileOthersComeAndGo() {
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const QString sales = QString::fromLatin1(DbFile::Sales);
    const QString file = dir.filePath(sales);
    const QString bin = qEnvironmentVariable("DESK_BIN_DIR");
    Connection::open(dir.path(), sales)
        ->exec(QStringLiteral("INSERT INTO Commodities (Ccode, cname) VALUES ('L1', '夕食')"));

    const auto held = Connection::open(dir.path(), sales);
    QCOMPARE(held->scalar(QStringLiteral("SELECT cname FROM Commodities WHERE Ccode = 'L1'")).toString(),
             QStringLiteral("夕食"));

    std::vector<std::unique_ptr<QProcess>> others;
    for (int peer = 0; peer < 2; ++peer) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(bin + QStringLiteral("/livepeer"), {dir.path(), QStringLiteral("100")});
        QVERIFY(process->waitForStarted());
        others.push_back(std::move(process));
    }
    QTemporaryDir backups;
    int backupsTaken = 0;
    std::unique_ptr<QProcess> backup;
    const auto othersRunning = [&] {
        return std::any_of(others.begin(), others.end(),
                           [](const auto& p) { return p->state() != QProcess::NotRunning; });
    };

    int committed = 0;
    while (othersRunning() || committed < 20) {
        if (!backup || backup->state() == QProcess::NotRunning) {
            if (backup)
                QCOMPARE(backup->exitCode(), 0);
            backup = std::make_unique<QProcess>();
            backup->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            backup->start(bin + QStringLiteral("/deskadmin"),
                          {QStringLiteral("backup"), dir.path(), backups.filePath(QString::number(++backupsTaken))});
        }
        try {
            // A look-up through a connection of its own, as every store of a screen opens.
            const auto lookUp = Connection::open(dir.path(), sales);
            QCOMPARE(lookUp->scalar(QStringLiteral("SELECT cname FROM Commodities WHERE Ccode = 'L1'")).toString(),
                     QStringLiteral("夕食"));
            Transaction transaction(*held);
            held->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesDate) VALUES (?, '2026-12-07')"),
                       {committed + 1});
            transaction.commit();
            ++committed;
        } catch (const DbError& e) {
            QFAIL(e.what());
        }
        QVERIFY2(QFileInfo::exists(file + QStringLiteral("-wal")), "the log was removed under an open connection");
        QVERIFY2(QFileInfo::exists(file + QStringLiteral("-shm")),
                 "the shared memory was removed under an open connection");
        QTest::qWait(1);
    }
    for (const auto& process : others) {
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }
    QVERIFY(backup->state() == QProcess::NotRunning || backup->waitForFinished(60000));
    QCOMPARE(backup->exitCode(), 0);
    QVERIFY(backupsTaken >= 1);

    QCOMPARE(held->scalar(QStringLiteral("SELECT COUNT(*) FROM BTSalesNo")).toInt(), committed);
    // Seen the same from a program that starts afresh.
    QCOMPARE(Connection::open(dir.path(), sales)->scalar(QStringLiteral("SELECT COUNT(*) FROM BTSalesNo")).toInt(),
             committed);
}

namespace {
QSet<int> slipNumbers(const QString& dir) {
    QSet<int> numbers;
    const auto file = Connection::openAnyVersion(dir + QLatin1String(DbFile::Sales));
    const int last = file->scalar(QStringLiteral("SELECT MAX(BTSalesNo) FROM BTSalesNo")).toInt();
    for (int n = 1; n <= last; ++n) {
        if (file->scalar(QStringLiteral("SELECT COUNT(*) FROM BTSalesNo WHERE BTSalesNo = ?"), {n}).toInt() > 0)
            numbers.insert(n);
    }
    return numbers;
}
} // namespace

// A desk saves slip after slip, a fresh connection for each as the screens do, while the
// inn's data is restored again and again: a save the desk was told went through is either in
// the data at the end or in the copy of what a restore replaced; a save that could not go
// through was refused.
void TestLiveFiles::everySaveDuringRestoresIsKeptOrRefused() {
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    QTemporaryDir tmp;
    const QString bin = qEnvironmentVariable("DESK_BIN_DIR");
    const QString saved = tmp.filePath(QStringLiteral("saved"));
    QCOMPARE(QProcess::execute(bin + QStringLiteral("/deskadmin"), {QStringLiteral("backup"), dir.path(), saved}), 0);

    QSet<int> told;
    int restores = 0;
    int next = 0;
    QProcess restore;
    restore.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    while (restores < 8) {
        if (restore.state() == QProcess::NotRunning) {
            if (next > 0 && restore.exitStatus() == QProcess::NormalExit && restore.exitCode() == 0)
                ++restores;
            restore.start(bin + QStringLiteral("/deskadmin"), {QStringLiteral("restore"), saved, dir.path()});
            QVERIFY(restore.waitForStarted());
        }
        ++next;
        try {
            const auto file = Connection::open(dir.path(), QString::fromLatin1(DbFile::Sales));
            file->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesDate) VALUES (?, '2026-12-07')"),
                       {next});
            told.insert(next);
        } catch (const DbError& e) {
            // Refused, in the clerk's words: the files are held by the restore.
            QVERIFY2(e.cause() == DbError::Cause::Busy, e.what());
        }
        QTest::qWait(2);
    }
    QVERIFY(restore.state() == QProcess::NotRunning || restore.waitForFinished(60000));
    QVERIFY(!told.isEmpty());

    QSet<int> found = slipNumbers(dir.path());
    const QString keptRoot = dir.path() + QStringLiteral("backup/");
    for (const QString& kept : QDir(keptRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        found.unite(slipNumbers(keptRoot + kept + u'/'));
    const QSet<int> lost = told - found;
    QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("%1 of %2 saves lost").arg(lost.size()).arg(told.size())));
}

QTEST_GUILESS_MAIN(TestLiveFiles)
#include "tst_livefiles.moc"
