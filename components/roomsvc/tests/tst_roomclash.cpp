#include "roomsvc/RoomStore.h"

#include "data/Connection.h"
#include "testsupport/TempDataDir.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTest>

#include <memory>

using desk::test::TempDataDir;

// Two desks (two programs) book one room for overlapping nights at the same moment, round
// after round: every round one of them wins, the other is told who holds the room, and no
// night of the room is held twice.
class TestRoomClash : public QObject {
    Q_OBJECT

private slots:
    void twoDesksOneRoom();
};

void TestRoomClash::twoDesksOneRoom() {
    TempDataDir dir;
    const auto option = desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Option));
    option->exec(QStringLiteral("INSERT INTO Rooms (RoomCode, Capacity) VALUES ('201', 4)"));
    const auto reservations = desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Reservation));
    reservations->exec(QStringLiteral("INSERT INTO Reserve (RvNo, RvName) VALUES (1, '東 一郎'), (2, '西 二郎')"));

    const int rounds = 40;
    const QDate first(2031, 6, 1);
    const QStringList names{QStringLiteral("東 一郎"), QStringLiteral("西 二郎")};
    std::unique_ptr<QProcess> desks[2];
    for (int d = 0; d < 2; ++d) {
        desks[d] = std::make_unique<QProcess>();
        desks[d]->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        desks[d]->start(qEnvironmentVariable("DESK_BIN_DIR") + QStringLiteral("/roomdesk"),
                        {dir.path(), QStringLiteral("201"), first.toString(Qt::ISODate), QString::number(rounds),
                         QString::number(d + 1), QString::number(d)});
    }
    for (auto& program : desks)
        QVERIFY(program->waitForStarted());
    for (auto& program : desks)
        program->write("go\n");
    QStringList lines[2];
    for (int d = 0; d < 2; ++d) {
        QVERIFY(desks[d]->waitForFinished(240000));
        QCOMPARE(desks[d]->exitCode(), 0);
        lines[d] = QString::fromUtf8(desks[d]->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines[d].size(), rounds);
    }
    for (int round = 0; round < rounds; ++round) {
        const QString refusals[2]{lines[0].at(round).section(u'\t', 1), lines[1].at(round).section(u'\t', 1)};
        QVERIFY2(refusals[0].isEmpty() != refusals[1].isEmpty(),
                 qPrintable(QStringLiteral("round %1: '%2' '%3'").arg(round).arg(refusals[0], refusals[1])));
        const int loser = refusals[0].isEmpty() ? 1 : 0;
        // The loser's nights begin one night after the first desk's, so the shared night is the
        // second desk's first.
        const QDate shared = first.addDays(3 * round + 1);
        QCOMPARE(refusals[loser], roomsvc::clashText(QStringLiteral("201"), shared, names.at(1 - loser)));
    }
    QCOMPARE(reservations->scalar(QStringLiteral("SELECT COUNT(*) FROM RoomStays")).toInt(), rounds);
    // No two stays of the room share a night.
    int overlapping = 0;
    reservations->select(
        QStringLiteral("SELECT a.FirstNight, a.Nights, b.FirstNight, b.Nights FROM RoomStays a JOIN RoomStays b "
                       "ON a.RoomCode = b.RoomCode AND a.RowKey < b.RowKey"),
        {}, {}, [&](const QSqlQuery& q) {
            const QDate aFirst = q.value(0).toDate();
            const QDate bFirst = q.value(2).toDate();
            if (aFirst < bFirst.addDays(q.value(3).toInt()) && bFirst < aFirst.addDays(q.value(1).toInt()))
                ++overlapping;
        });
    QCOMPARE(overlapping, 0);
}

QTEST_GUILESS_MAIN(TestRoomClash)
#include "tst_roomclash.moc"
