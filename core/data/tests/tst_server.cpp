#include "data/ChangeNotices.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "data/RowSet.h"
#include "data/Schema.h"
#include "data/Maintenance.h"
#include "data/Transfer.h"
#include "sampledata/SampleData.h"
#include "testsupport/RefuseWrites.h"
#include "testsupport/TempDataDir.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>

using namespace desk;
using namespace Qt::StringLiterals;

// The inn's data on a database server: made, opened, refused and written by several desks at
// once. Runs only on the test run's private server (desk_add_server_test).
class TestServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void innOnServer();
    void openRefusesByCause_data();
    void openRefusesByCause();
    void rowsKeepTheirOrderAndKey();
    void rowsReadAheadFollowWrites_data();
    void rowsReadAheadFollowWrites();
    void refusedSaveLeavesItsStatementsUsable_data();
    void refusedSaveLeavesItsStatementsUsable();
    void manyRowsToAnInsert_data();
    void manyRowsToAnInsert();
    void desksNeverTakeOneNumberTwice();
    void noticesOfOtherDesksOnly();
    void innMovesOntoTheServerAndBack();
    void connectionCutInTheMiddleOfASave();
    void actionsAfterTheSessionsWereEnded_data();
    void actionsAfterTheSessionsWereEnded();
    void noticesHeardAgainAfterTheServerWasAway();
    void restoreRefusedWhileADeskHasTheInnOpen_data();
    void restoreRefusedWhileADeskHasTheInnOpen();
};

namespace {

// A session of a client that is not the suite (an administrator's), on the database of a
// data directory on the test server: ends the others as a restart of the server does, and
// shuts the database to new sessions as a server that is down does.
class AdminSession {
public:
    explicit AdminSession(const QString& address, const QString& applicationName = u"psql"_s)
        : m_name(u"admin-%1"_s.arg(++s_count)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_name);
        const QString location = Engine::locationOf(address, QString::fromLatin1(DbFile::Option));
        Engine::forLocation(location).configure(db, location, Engine::Access::ReadOnly);
        // The later option counts.
        db.setConnectOptions(db.connectOptions() + u";application_name='%1'"_s.arg(applicationName));
        m_open = db.open();
    }
    ~AdminSession() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isValid())
                db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool isOpen() const { return m_open; }
    QVariant value(const QString& statement) {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!query.exec(statement) || !query.next())
            return QVariant();
        return query.value(0);
    }
    void endOtherSessions() {
        value(u"SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity "
              "WHERE datname = current_database() AND pid <> pg_backend_pid()"_s);
    }
    // From the server's own database: a session may not shut its own database.
    void letIn(const QString& database, bool allowed) {
        value(u"ALTER DATABASE %1 ALLOW_CONNECTIONS %2"_s.arg(database, allowed ? u"true"_s : u"false"_s));
    }

private:
    static inline int s_count = 0;
    QString m_name;
    bool m_open = false;
};

} // namespace

void TestServer::initTestCase() {
    QVERIFY2(!test::TempDataDir::server().isEmpty(), "no test server: run through ctest (label postgresql)");
}

// Five schemas at the current version with their reference rows; a second init refuses and
// leaves the inn as it was.
void TestServer::innOnServer() {
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    for (const QString& name : Schema::fileNames()) {
        const auto c = Connection::open(dir.path(), name);
        QVERIFY(c->engine().keepsSessions());
        QCOMPARE(c->schemaVersion(), Schema::Version);
    }
    const auto option = Connection::open(dir.path(), QString::fromLatin1(DbFile::Option));
    const int rates = option->scalar(u"SELECT COUNT(*) FROM TaxRates"_s).toInt();
    QVERIFY(rates > 0);
    try {
        Schema::createDataDirectory(dir.path());
        QFAIL("a second inn was made over the first");
    } catch (const DbError& e) {
        QVERIFY2(e.message().contains(u"もう"_s), qPrintable(e.message()));
    }
    QCOMPARE(option->scalar(u"SELECT COUNT(*) FROM TaxRates"_s).toInt(), rates);

    // Current: nothing to upgrade. Another version: refused, as no step moves a server's inn.
    QVERIFY(maintenance::upgrade(dir.path()).isEmpty());
    option->exec(u"UPDATE SchemaMeta SET Value = '5' WHERE Name = 'SchemaVersion'"_s);
    try {
        maintenance::upgrade(dir.path());
        QFAIL("an inn of another version was upgraded");
    } catch (const DbError& e) {
        QCOMPARE(int(e.cause()), int(DbError::Cause::WrongVersion));
    }
    QCOMPARE(option->schemaVersion(), 5);
}

// What DPath.txt may name that is no inn: each refused in the clerk's words with its cause.
void TestServer::openRefusesByCause_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("words");
    const QString server = test::TempDataDir::server();
    QTest::newRow("a database without an inn")
        << server << int(DbError::Cause::NotADatabase) << u"まだ宿のデータがありません"_s;
    QString missing = server;
    missing.replace(u"/postgres?"_s, u"/no_such_inn?"_s);
    QTest::newRow("no such database") << missing << int(DbError::Cause::NoSuchDatabase)
                                      << u"その名前のデータベースがありません"_s;
    QString nowhere = server;
    nowhere.replace(u"host=/"_s, u"host=/nonexistent/"_s);
    QTest::newRow("no server there") << nowhere << int(DbError::Cause::Unreachable) << u"接続できません"_s;
}

void TestServer::openRefusesByCause() {
    QFETCH(QString, address);
    QFETCH(int, cause);
    QFETCH(QString, words);
    try {
        Connection::open(address, QString::fromLatin1(DbFile::Sales));
        QFAIL("opened");
    } catch (const DbError& e) {
        QCOMPARE(int(e.cause()), cause);
        QVERIFY2(e.message().contains(words), qPrintable(e.message()));
        // No driver words and no file names in what the clerk reads.
        QVERIFY2(!e.message().contains(u"QPSQL"_s) && !e.message().contains(u".mdb"_s), qPrintable(e.message()));
    }
}

// A table walked through a row set keeps the order rows were added in, finds a row again
// after others were removed, and never shows the row key as a field.
void TestServer::rowsKeepTheirOrderAndKey() {
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const auto c = Connection::open(dir.path(), QString::fromLatin1(DbFile::Sales));
    RowSet rs(c, u"BTTempSalesDetail"_s);
    const QStringList codes{u"b"_s, u"a"_s, u"d"_s, u"c"_s};
    for (const QString& code : codes) {
        rs.addNew();
        rs.setValue(u"BTcmcode"_s, code);
        rs.setValue(u"Desk"_s, u"desk-1"_s);
        rs.update();
    }
    c->exec(u"DELETE FROM BTTempSalesDetail WHERE BTcmcode = 'a'"_s);
    RowSet again(c, u"BTTempSalesDetail"_s);
    QStringList seen;
    for (again.moveFirst(); !again.eof(); again.moveNext())
        seen << again.value(u"BTcmcode"_s).toString();
    QCOMPARE(seen, (QStringList{u"b"_s, u"d"_s, u"c"_s}));
    again.moveLast();
    QCOMPARE(again.value(u"BTcmcode"_s).toString(), u"c"_s);
    again.setValue(u"BTspec"_s, u"大盛り"_s);
    again.update();
    QCOMPARE(c->scalar(u"SELECT BTspec FROM BTTempSalesDetail WHERE BTcmcode = 'C'"_s).toString(), u"大盛り"_s);
}

// A row set reads the rows after its own ahead in one query: a write through the connection
// to that table, by a statement or by another row set, is seen by the next move.
void TestServer::rowsReadAheadFollowWrites_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("seen");
    QTest::newRow("statement updates") << u"exec update"_s << QStringList{u"a"_s, u"b"_s, u"C2"_s, u"d"_s};
    QTest::newRow("row set updates") << u"rowset update"_s << QStringList{u"a"_s, u"b"_s, u"C2"_s, u"d"_s};
    QTest::newRow("row set deletes") << u"rowset delete"_s << QStringList{u"a"_s, u"b"_s, u"d"_s};
    QTest::newRow("statement deletes") << u"exec delete"_s << QStringList{u"a"_s, u"b"_s, u"d"_s};
    QTest::newRow("a row of another table") << u"other table"_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
}

void TestServer::rowsReadAheadFollowWrites() {
    QFETCH(QString, how);
    QFETCH(QStringList, seen);
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const auto c = Connection::open(dir.path(), QString::fromLatin1(DbFile::Sales));
    for (const char* code : {"a", "b", "c", "d"})
        c->exec(u"INSERT INTO BTTempSalesDetail (BTcmcode, Desk) VALUES (?, 'd')"_s, {QString::fromLatin1(code)});
    RowSet reader(c, u"BTTempSalesDetail"_s);
    reader.moveFirst();
    QStringList got{reader.value(u"BTcmcode"_s).toString()};
    reader.moveNext(); // "b", with "c" and "d" read ahead
    got << reader.value(u"BTcmcode"_s).toString();
    if (how.startsWith(u"rowset"_s)) {
        RowSet writer(c, u"BTTempSalesDetail"_s);
        QVERIFY(writer.find(u"BTcmcode = 'c'"_s));
        if (how.endsWith(u"update"_s)) {
            writer.setValue(u"BTcmcode"_s, u"C2"_s);
            writer.update();
        } else {
            writer.remove();
        }
    } else if (how == u"exec update"_s) {
        c->exec(u"UPDATE BTTempSalesDetail SET BTcmcode = 'C2' WHERE BTcmcode = 'c'"_s);
    } else if (how == u"exec delete"_s) {
        c->exec(u"DELETE FROM BTTempSalesDetail WHERE BTcmcode = 'c'"_s);
    } else {
        RowSet other(c, u"BTSalesDetail"_s);
        other.addNew();
        other.setValue(u"BTcmcode"_s, u"z"_s);
        other.update();
    }
    for (reader.moveNext(); !reader.eof(); reader.moveNext())
        got << reader.value(u"BTcmcode"_s).toString();
    QCOMPARE(got, seen);
}

// A save the server refused (a number another desk took) leaves the statements it compiled
// good for the next save on the same connection, which lands.
void TestServer::refusedSaveLeavesItsStatementsUsable_data() {
    QTest::addColumn<bool>("throughRowSet");
    QTest::newRow("row set") << true;
    QTest::newRow("statement") << false;
}

void TestServer::refusedSaveLeavesItsStatementsUsable() {
    QFETCH(bool, throughRowSet);
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const QString reserve = QString::fromLatin1(DbFile::Reservation);
    const auto book = [&](int number) {
        const auto c = Connection::open(dir.path(), reserve);
        if (!throughRowSet) {
            c->exec(u"INSERT INTO Reserve (RvNo, RvName) VALUES (?, '予約')"_s, {number});
            return;
        }
        RowSet rs(c, u"Reserve"_s);
        rs.addNew();
        rs.setValue(u"RvNo"_s, number);
        rs.setValue(u"RvName"_s, u"予約"_s);
        rs.update();
    };
    book(1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            book(1);
            QFAIL("a number taken was saved again");
        } catch (const DbError& e) {
            QVERIFY(e.isDuplicateKey());
        }
    }
    book(2);
    book(3);
    QCOMPARE(Connection::open(dir.path(), reserve)->scalar(u"SELECT COUNT(*) FROM Reserve"_s).toInt(), 3);
}

// Rows written one after the other go to the server many to a statement: every row arrives,
// in its order, with its own values, and a row the server refuses takes its save with it.
void TestServer::manyRowsToAnInsert_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("refused"); // the row whose code is too long for the column, or -1
    QTest::newRow("one") << 1 << -1;
    QTest::newRow("exactly one statement") << 50 << -1;
    QTest::newRow("one over") << 51 << -1;
    QTest::newRow("three statements") << 120 << -1;
    QTest::newRow("refused in the second statement") << 120 << 77;
}

void TestServer::manyRowsToAnInsert() {
    QFETCH(int, rows);
    QFETCH(int, refused);
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const auto c = Connection::open(dir.path(), QString::fromLatin1(DbFile::Sales));
    if (refused >= 0)
        test::refuseWrites(*c, u"INSERT"_s, u"BTSalesDetail"_s, u"NEW.BTSalesNo = %1"_s.arg(refused));
    int next = 0;
    const auto writeAll = [&] {
        Transaction t(*c);
        const qint64 written =
            c->execEach(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTQuantity) VALUES (?, ?, ?)"_s,
                        [&](QVariantList& binds) {
                            if (next == rows)
                                return false;
                            binds << next << u"c%1"_s.arg(next) << next * 0.5;
                            ++next;
                            return true;
                        });
        t.commit();
        return written;
    };
    if (refused >= 0) {
        QVERIFY_THROWS_EXCEPTION(DbError, writeAll());
        QCOMPARE(c->scalar(u"SELECT COUNT(*) FROM BTSalesDetail"_s).toInt(), 0);
        return;
    }
    QCOMPARE(writeAll(), qint64(rows));
    QStringList expected;
    for (int i = 0; i < rows; ++i)
        expected << u"%1 c%1 %2"_s.arg(i).arg(i * 0.5);
    QStringList got;
    c->select(
        u"SELECT BTSalesNo, BTcmcode, BTQuantity FROM BTSalesDetail ORDER BY RowKey"_s, {}, {},
        [&](const QSqlQuery& row) {
            got << u"%1 %2 %3"_s.arg(row.value(0).toInt()).arg(row.value(1).toString()).arg(row.value(2).toDouble());
        });
    QCOMPARE(got, expected);
}

// Four desks take "highest + 1" at once, each number inside its own save: no number is handed
// out twice and no save is lost.
void TestServer::desksNeverTakeOneNumberTwice() {
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const QString address = dir.path();
    constexpr int Desks = 4;
    constexpr int Saves = 40;
    std::atomic<int> failures{0};
    QString firstFailure;
    QList<QThread*> desks;
    for (int d = 0; d < Desks; ++d) {
        desks << QThread::create([&, d] {
            try {
                const auto c = Connection::open(address, QString::fromLatin1(DbFile::Sales));
                for (int i = 0; i < Saves; ++i) {
                    Transaction t(*c);
                    const int next = c->scalar(u"SELECT ifnull(MAX(BTSalesNo), 0) + 1 FROM BTSalesNo"_s).toInt();
                    QThread::yieldCurrentThread();
                    c->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) "
                            "VALUES (?, ?, ?, ?)"_s,
                            {next, QDate(2026, 12, 8), QString::number(1000 + d), u"1"_s});
                    t.commit();
                }
            } catch (const DbError& e) {
                if (failures++ == 0)
                    firstFailure = e.message();
            }
        });
    }
    for (QThread* desk : std::as_const(desks))
        desk->start();
    for (QThread* desk : std::as_const(desks)) {
        QVERIFY(desk->wait(120000));
        delete desk;
    }
    QVERIFY2(failures == 0, qPrintable(firstFailure));
    const auto c = Connection::open(address, QString::fromLatin1(DbFile::Sales));
    QCOMPARE(c->scalar(u"SELECT COUNT(*) FROM BTSalesNo"_s).toInt(), Desks * Saves);
    QCOMPARE(c->scalar(u"SELECT COUNT(DISTINCT BTSalesNo) FROM BTSalesNo"_s).toInt(), Desks * Saves);
    QCOMPARE(c->scalar(u"SELECT MAX(BTSalesNo) FROM BTSalesNo"_s).toInt(), Desks * Saves);
}

// A save sends one notice naming its database when it commits, none when it is rolled back;
// a desk hears the other desks' notices and not its own.
void TestServer::noticesOfOtherDesksOnly() {
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    QStringList heard;
    connect(&ChangeNotices::of(dir.path()), &ChangeNotices::changed, this,
            [&](const QString& fileName) { heard << fileName; });

    // What goes over the wire, as another desk's listener gets it.
    QSqlDatabase other = QSqlDatabase::addDatabase(u"QPSQL"_s, u"other-desk"_s);
    const QString location = Engine::locationOf(dir.path(), QString::fromLatin1(DbFile::Reservation));
    Engine::forLocation(location).configure(other, location, Engine::Access::ReadOnly);
    QVERIFY2(other.open(), qPrintable(other.lastError().text()));
    QStringList sent;
    QVERIFY(other.driver()->subscribeToNotification(ChangeNotices::channel()));
    connect(
        other.driver(), &QSqlDriver::notification, this,
        [&](const QString&, QSqlDriver::NotificationSource, const QVariant& payload) { sent << payload.toString(); });

    const auto sales = Connection::open(dir.path(), QString::fromLatin1(DbFile::Sales));
    {
        Transaction undone(*sales);
        sales->exec(u"DELETE FROM BTSalesNo"_s);
    }
    {
        Transaction saved(*sales);
        sales->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTCheckInNo) VALUES (1, '1001')"_s);
        saved.commit();
    }
    QTRY_COMPARE(sent, QStringList{ChangeNotices::payload(QString::fromLatin1(DbFile::Sales))});
    QTest::qWait(300);
    QVERIFY2(heard.isEmpty(), qPrintable(heard.join(u", "_s)));

    QSqlQuery notice(other);
    QVERIFY(notice.exec(u"SELECT pg_notify('%1', 'BTReservation.mdb|front-desk/1')"_s.arg(ChangeNotices::channel())));
    QTRY_COMPARE(heard, QStringList{QString::fromLatin1(DbFile::Reservation)});
    notice.finish();
    other.close();
}

// The sample inn copied from a folder onto the server and back into a new folder: every table
// keeps its rows in their order, the server's inn passes the check, a row added on the server
// comes after the copied ones, and a copy onto an inn already there is refused.
void TestServer::innMovesOntoTheServerAndBack() {
    QTemporaryDir folders;
    QVERIFY(folders.isValid());
    const QString source = folders.filePath(u"inn"_s) + u'/';
    const QString back = folders.filePath(u"back"_s) + u'/';
    Schema::createDataDirectory(source);
    Schema::addSampleData(source, QDate(2026, 12, 8));
    test::TempDataDir server(test::TempDataDir::Contents::Nothing);
    QVERIFY(server.isValid());

    const auto inOrder = [](const QString& dir, const QString& file, const QString& statement) {
        QStringList values;
        Connection::open(dir, file)->select(statement, {}, {}, [&](const QSqlQuery& row) {
            values << row.value(0).toString() + u':' + row.value(1).toString();
        });
        return values;
    };
    const QString reservations = u"SELECT RvNo, RvName FROM Reserve ORDER BY RowKey"_s;
    const QString lines = u"SELECT BTcmcode, BTQuantity FROM BTSalesDetail ORDER BY RowKey"_s;
    const QString reserve = QString::fromLatin1(DbFile::Reservation);
    const QString sales = QString::fromLatin1(DbFile::Sales);

    const QList<maintenance::CopiedTable> copied = maintenance::copyInn(source, server.path());
    // The server's planner has the statistics of what was loaded before any desk asks.
    QCOMPARE(Connection::open(server.path(), sales)
                 ->scalar(u"SELECT COUNT(*) FROM pg_stat_user_tables WHERE schemaname = 'btsales' "
                          "AND last_analyze IS NULL"_s)
                 .toInt(),
             0);
    qint64 rows = 0;
    for (const maintenance::CopiedTable& table : copied)
        rows += table.rows;
    QVERIFY(rows > 100);
    QCOMPARE(inOrder(server.path(), reserve, reservations), inOrder(source, reserve, reservations));
    QCOMPARE(inOrder(server.path(), sales, lines), inOrder(source, sales, lines));
    QStringList findings;
    for (const maintenance::Finding& finding : maintenance::check(server.path()))
        findings << finding.file + u": "_s + finding.text;
    QVERIFY2(findings.isEmpty(), qPrintable(findings.join(u"\n"_s)));

    Connection::open(server.path(), reserve)->exec(u"INSERT INTO Reserve (RvNo, RvName) VALUES (99999, '後から')"_s);
    maintenance::copyInn(server.path(), back);
    QCOMPARE(inOrder(back, reserve, reservations), inOrder(source, reserve, reservations) << u"99999:後から"_s);
    QCOMPARE(inOrder(back, sales, lines), inOrder(source, sales, lines));

    // The daily backup of a server: a data directory of five files, the same rows.
    const QString backup = folders.filePath(u"backup"_s) + u'/';
    maintenance::backup(server.path(), backup);
    QCOMPARE(inOrder(backup, reserve, reservations), inOrder(back, reserve, reservations));
    QVERIFY(maintenance::check(backup).isEmpty());
    // Restored from it after a booking: the booking is gone from the server, kept beside.
    Connection::open(server.path(), reserve)->exec(u"INSERT INTO Reserve (RvNo, RvName) VALUES (99998, '復元前')"_s);
    const QString kept = maintenance::restore(backup, server.path());
    QCOMPARE(inOrder(server.path(), reserve, reservations), inOrder(backup, reserve, reservations));
    QCOMPARE(inOrder(kept + u'/', reserve, reservations).constLast(), u"99998:復元前"_s);
    Connection::open(server.path(), reserve)->exec(u"INSERT INTO Reserve (RvNo, RvName) VALUES (99998, '復元後')"_s);

    QVERIFY_THROWS_EXCEPTION(DbError, maintenance::copyInn(source, server.path()));
    // Refused, and the row added after the restore still comes last.
    QCOMPARE(inOrder(server.path(), reserve, reservations), inOrder(backup, reserve, reservations)
                                                                << u"99998:復元後"_s);
}

// The server ends the connection between a slip's header and its line (a restart, a cable
// pulled): the save fails as unreachable, saying nothing was saved, the header is not there
// on its own, and the next save of that desk gets a live connection and lands whole.
void TestServer::connectionCutInTheMiddleOfASave() {
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const QString sales = QString::fromLatin1(DbFile::Sales);
    const auto setUp = Connection::open(dir.path(), sales);
    setUp->exec(u"CREATE FUNCTION cut_here() RETURNS trigger AS $$ BEGIN "
                "PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NEW; END $$ LANGUAGE plpgsql"_s);
    setUp->exec(u"CREATE TRIGGER cut_here BEFORE INSERT ON BTSalesDetail FOR EACH ROW EXECUTE FUNCTION cut_here()"_s);

    const auto save = [&](int number) {
        const auto c = Connection::open(dir.path(), sales);
        Transaction t(*c);
        c->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTCheckInNo) VALUES (?, '1001')"_s, {number});
        c->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTQuantity) VALUES (?, '302', 1)"_s, {number});
        t.commit();
    };
    try {
        save(1);
        QFAIL("saved over a cut connection");
    } catch (const DbError& e) {
        QCOMPARE(int(e.cause()), int(DbError::Cause::Unreachable));
        QVERIFY2(e.message().contains(u"保存されていません"_s), qPrintable(e.message()));
    }
    setUp->exec(u"DROP TRIGGER cut_here ON BTSalesDetail"_s);
    QCOMPARE(setUp->scalar(u"SELECT COUNT(*) FROM BTSalesNo"_s).toInt(), 0);
    save(1);
    QCOMPARE(setUp->scalar(u"SELECT COUNT(*) FROM BTSalesNo"_s).toInt(), 1);
    QCOMPARE(setUp->scalar(u"SELECT COUNT(*) FROM BTSalesDetail WHERE BTSalesNo = 1"_s).toInt(), 1);
}

// The server restarted while a window kept its connection (and a row set on it) idle: the
// next action finds the session gone, makes a new one and succeeds, instead of failing with
// "no connection" until the window is closed.
void TestServer::actionsAfterTheSessionsWereEnded_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("a read") << u"read"_s;
    QTest::newRow("a save") << u"save"_s;
    QTest::newRow("a row set read on") << u"row set read"_s;
    QTest::newRow("a save through a row set") << u"row set save"_s;
}

void TestServer::actionsAfterTheSessionsWereEnded() {
    QFETCH(QString, action);
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    const auto c = Connection::open(dir.path(), QString::fromLatin1(DbFile::Sales));
    for (const char* code : {"a", "b"})
        c->exec(u"INSERT INTO BTTempSalesDetail (BTcmcode, Desk) VALUES (?, 'd')"_s, {QString::fromLatin1(code)});
    RowSet rows(c, u"BTTempSalesDetail"_s);
    rows.moveFirst();
    QCOMPARE(c->scalar(u"SELECT COUNT(*) FROM BTTempSalesDetail"_s).toInt(), 2);

    AdminSession admin(dir.path());
    QVERIFY(admin.isOpen());
    admin.endOtherSessions();
    QTest::qWait(100);

    if (action == u"read"_s) {
        QCOMPARE(c->scalar(u"SELECT COUNT(*) FROM BTTempSalesDetail"_s).toInt(), 2);
    } else if (action == u"save"_s) {
        Transaction t(*c);
        c->exec(u"INSERT INTO BTTempSalesDetail (BTcmcode, Desk) VALUES ('c', 'd')"_s);
        t.commit();
    } else if (action == u"row set read"_s) {
        rows.moveLast();
        QCOMPARE(rows.value(u"BTcmcode"_s).toString(), u"b"_s);
        QCOMPARE(rows.recordCount(), 2);
    } else {
        Transaction t(*c);
        rows.moveFirst();
        rows.setValue(u"BTcmcode"_s, u"c"_s);
        rows.update();
        t.commit();
    }
    const int rowsNow = action.endsWith(u"save"_s) && action != u"row set save"_s ? 3 : 2;
    QCOMPARE(admin.value(u"SELECT COUNT(*) FROM btsales.BTTempSalesDetail"_s).toInt(), rowsNow);
    if (action.endsWith(u"save"_s))
        QCOMPARE(admin.value(u"SELECT COUNT(*) FROM btsales.BTTempSalesDetail WHERE BTcmcode = 'c'"_s).toInt(), 1);
    // The session is the new one from now on: the next action needs no second attempt.
    QCOMPARE(c->scalar(u"SELECT COUNT(*) FROM BTTempSalesDetail"_s).toInt(), rowsNow);
}

// The server went away (a restart): the listener says so, tries again by itself, and once
// the server lets it in again it says every list may have changed and hears the other desks'
// saves as before.
void TestServer::noticesHeardAgainAfterTheServerWasAway() {
    test::TempDataDir dir;
    QVERIFY(dir.isValid());
    ChangeNotices& notices = ChangeNotices::of(dir.path());
    QVERIFY(notices.isListening());
    QList<bool> states;
    QStringList heard;
    connect(&notices, &ChangeNotices::listeningChanged, this, [&](bool listening) { states << listening; });
    connect(&notices, &ChangeNotices::changed, this, [&](const QString& fileName) { heard << fileName; });

    // A listener that is well stays so: it neither says the server is away nor reconnects.
    QTest::qWait(4000);
    QCOMPARE(states, QList<bool>{});
    QVERIFY(heard.isEmpty());

    AdminSession admin(dir.path());
    QVERIFY(admin.isOpen());
    AdminSession server(test::TempDataDir::server());
    QVERIFY(server.isOpen());
    const QString database = admin.value(u"SELECT current_database()"_s).toString();
    server.letIn(database, false);
    admin.endOtherSessions();
    QTRY_COMPARE_WITH_TIMEOUT(states, QList<bool>{false}, 5000);
    QVERIFY(!notices.isListening());
    QTest::qWait(1500); // an attempt or two refused meanwhile
    QCOMPARE(states, QList<bool>{false});

    server.letIn(database, true);
    QTRY_COMPARE_WITH_TIMEOUT(states, (QList<bool>{false, true}), 15000);
    QTRY_COMPARE(heard.size(), Schema::fileNames().size());
    heard.clear();
    QVERIFY(admin.value(u"SELECT pg_notify('%1', 'BTSales.mdb|front-desk/1')::text"_s.arg(ChangeNotices::channel()))
                .isValid());
    QTRY_COMPARE(heard, QStringList{QString::fromLatin1(DbFile::Sales)});
}

// A restore replaces every desk's work lines with the backup's: while a program of the suite
// on any desk has the inn open it is refused, naming the desk, and nothing is changed; the
// administrator's own tools do not count.
void TestServer::restoreRefusedWhileADeskHasTheInnOpen_data() {
    QTest::addColumn<QString>("applicationName");
    QTest::addColumn<QString>("named"); // empty: the restore runs
    QTest::newRow("a desk's sales window") << u"tesaro chargeapp/4242 FRONT"_s << u"FRONT（サーバー機）"_s;
    // The server keeps ASCII alone in a session's name: the rest travels percent-encoded.
    QTest::newRow("a desk's main menu with a spaced Japanese name")
        << u"tesaro deskmain/77 %E4%BA%8B%E5%8B%99%E6%89%80 2"_s << u"事務所 2（サーバー機）"_s;
    QTest::newRow("an older program") << u"tesaro"_s << u"（端末名なし）（サーバー機）"_s;
    QTest::newRow("an administrator's client") << u"psql"_s << QString();
}

void TestServer::restoreRefusedWhileADeskHasTheInnOpen() {
    QFETCH(QString, applicationName);
    QFETCH(QString, named);
    QTemporaryDir folders;
    QVERIFY(folders.isValid());
    test::TempDataDir server;
    QVERIFY(server.isValid());
    const QString backup = folders.filePath(u"backup"_s) + u'/';
    maintenance::backup(server.path(), backup);
    const QString reserve = QString::fromLatin1(DbFile::Reservation);
    Connection::open(server.path(), reserve)->exec(u"INSERT INTO Reserve (RvNo, RvName) VALUES (7, '復元前')"_s);

    AdminSession desk(server.path(), applicationName);
    QVERIFY(desk.isOpen());
    const auto bookings = [&] {
        return Connection::open(server.path(), reserve)
            ->scalar(u"SELECT COUNT(*) FROM Reserve WHERE RvNo = 7"_s)
            .toInt();
    };
    if (named.isEmpty()) {
        maintenance::restore(backup, server.path());
        QCOMPARE(bookings(), 0);
        return;
    }
    try {
        maintenance::restore(backup, server.path());
        QFAIL("restored while a desk had the inn open");
    } catch (const DbError& e) {
        QCOMPARE(int(e.cause()), int(DbError::Cause::Busy));
        QVERIFY2(e.message().contains(named), qPrintable(e.message()));
    }
    QCOMPARE(bookings(), 1);
    QCOMPARE(maintenance::desksOnServer(server.path()), QStringList{named});
}

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
