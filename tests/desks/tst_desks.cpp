#include "deskmain/FrmMain.h"
#include "data/Connection.h"
#include "testsupport/TempDataDir.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace desk;
using namespace Qt::StringLiterals;

namespace {

// Another desk: deskpeer as a program of its own, under the desk name given.
std::unique_ptr<QProcess> startDesk(const QString& name, const QStringList& args) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TESARO_DESK"_s, name);
    process->setProcessEnvironment(env);
    process->start(qEnvironmentVariable("DESK_BIN_DIR") + u"/deskpeer"_s, args);
    return process;
}

// Waits for a desk to finish; its output, or a failure naming what it printed.
QString finished(QProcess& process) {
    if (!process.waitForFinished(120000))
        return u"FAILED: still running"_s;
    const QString out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return u"FAILED: "_s + QString::fromUtf8(process.readAllStandardError());
    return out;
}

QStringList names(const QTreeWidget* list) {
    QStringList seen;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        seen << list->topLevelItem(i)->text(1);
    return seen;
}

} // namespace

// Two programs as two desks on one inn, on files and on the server: each saves through the
// stores the windows use, at the same time.
class TestDesks : public QObject {
    Q_OBJECT

private slots:
    void slipsOfTwoDesksAtOnce();
    void anotherDesksBookingReachesTheMainMenu();
};

// Both desks ring up slips for one guest at once, each slip under the next free number: no
// number twice, no slip lost, every slip with its own desk's lines only, and both work tables
// empty afterwards.
void TestDesks::slipsOfTwoDesksAtOnce() {
    test::TempDataDir data(true);
    QVERIFY(data.isValid());
    const auto sales = Connection::open(data.path(), QString::fromLatin1(DbFile::Sales));
    const int before = sales->scalar(u"SELECT ifnull(MAX(BTSalesNo), 0) FROM BTSalesNo"_s).toInt();
    constexpr int Slips = 30;
    constexpr int Lines = 4;
    const QStringList desks{u"front"_s, u"back"_s};
    std::vector<std::unique_ptr<QProcess>> running;
    for (const QString& desk : desks)
        running.push_back(
            startDesk(desk, {u"slips"_s, data.path(), u"1001"_s, QString::number(Slips), QString::number(Lines)}));
    for (auto& process : running) {
        const QString out = finished(*process);
        QVERIFY2(!out.startsWith(u"FAILED"_s), qPrintable(out));
    }

    QCOMPARE(sales->scalar(u"SELECT MAX(BTSalesNo) FROM BTSalesNo"_s).toInt(), before + 2 * Slips);
    QCOMPARE(sales->scalar(u"SELECT COUNT(*) FROM BTSalesNo WHERE BTSalesNo > ? AND BTCheckInNo = '1001'"_s, {before})
                 .toInt(),
             2 * Slips);
    // A slip holds one desk's lines of one round, all of them.
    QCOMPARE(sales
                 ->scalar(u"SELECT COUNT(*) FROM (SELECT BTSalesNo FROM BTSalesDetail WHERE BTSalesNo > ? "
                          "GROUP BY BTSalesNo HAVING COUNT(*) = ? AND COUNT(DISTINCT BTspec) = 1 "
                          "AND COUNT(DISTINCT BTQuantity) = 1) AS whole"_s,
                          {before, Lines})
                 .toInt(),
             2 * Slips);
    for (const QString& desk : desks) {
        QCOMPARE(sales
                     ->scalar(u"SELECT COUNT(DISTINCT BTQuantity) FROM BTSalesDetail WHERE BTSalesNo > ? "
                              "AND BTspec = ?"_s,
                              {before, desk})
                     .toInt(),
                 Slips);
        QCOMPARE(sales->scalar(u"SELECT COUNT(*) FROM BTTempSalesDetail WHERE Desk = ?"_s, {desk}).toInt(), 0);
    }
}

// A booking saved on another desk: on the server the main menu lists it by itself within two
// seconds; on files it is listed when the window is next activated.
void TestDesks::anotherDesksBookingReachesTheMainMenu() {
    const bool server = !test::TempDataDir::server().isEmpty();
    test::TempDataDir data;
    QVERIFY(data.isValid());
    deskmain::FrmMain window(data.path());
    window.load();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const auto* list = window.findChild<QTreeWidget*>(u"ListView1"_s);
    QVERIFY(list);
    QCOMPARE(list->topLevelItemCount(), 0);

    const QString guest = u"別端末 予約"_s;
    const auto other = startDesk(u"back"_s, {u"book"_s, data.path(), guest});
    const QString out = finished(*other);
    QVERIFY2(!out.startsWith(u"FAILED"_s), qPrintable(out));
    if (server) {
        QTRY_COMPARE_WITH_TIMEOUT(names(list), QStringList{guest}, 2000);
        return;
    }
    QTest::qWait(2500);
    QCOMPARE(list->topLevelItemCount(), 0);
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(names(list), QStringList{guest});
}

QTEST_MAIN(TestDesks)
#include "tst_desks.moc"
