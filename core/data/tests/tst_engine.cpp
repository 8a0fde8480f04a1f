#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "data/Sql.h"

#include <QFile>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>

using namespace desk;
using namespace Qt::StringLiterals;

class TestEngine : public QObject {
    Q_OBJECT

private slots:
    void failureByNativeCode_data();
    void failureByNativeCode();
    void placeOfAFailure_data();
    void placeOfAFailure();
    void openRefusesByCause_data();
    void openRefusesByCause();
    void dialectRunsOnItsEngine_data();
    void dialectRunsOnItsEngine();
};

// The cause comes from the engine's code alone: each row's text is another cause's words, so
// a classification that still read the English would put the row under the wrong cause.
void TestEngine::failureByNativeCode_data() {
    const QString file = u"/inn/BTSales.mdb"_s;
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cause");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("file");
    using C = DbError::Cause;
    QTest::newRow("busy") << u"5"_s << u"disk is full"_s << int(C::Busy) << u"使用中"_s << file;
    QTest::newRow("busy, snapshot") << u"517"_s << u"malformed"_s << int(C::Busy) << u"使用中"_s << file;
    QTest::newRow("table locked") << u"6"_s << u"disk is full"_s << int(C::Busy) << u"使用中"_s << file;
    QTest::newRow("full") << u"13"_s << u"database is locked"_s << int(C::DiskFull) << u"ディスク"_s << file;
    QTest::newRow("i/o, short read") << u"522"_s << u"database is locked"_s << int(C::DiskFull) << u"ディスク"_s
                                     << file;
    QTest::newRow("corrupt") << u"11"_s << u"disk is full"_s << int(C::Damaged) << u"壊れて"_s << file;
    QTest::newRow("not a database") << u"26"_s << u"database is locked"_s << int(C::Damaged) << u"壊れて"_s << file;
    QTest::newRow("read-only") << u"8"_s << u"database is locked"_s << int(C::NoPermission) << u"権限"_s << file;
    QTest::newRow("cannot open") << u"14"_s << u"malformed"_s << int(C::NoPermission) << u"権限"_s << file;
    QTest::newRow("unique key") << u"2067"_s << u"UNIQUE constraint failed: BTSalesNo.BTSalesNo"_s
                                << int(C::DuplicateKey) << u"売上番号"_s << file;
    QTest::newRow("primary key") << u"1555"_s << u"UNIQUE constraint failed: Reserve.RvNo"_s << int(C::DuplicateKey)
                                 << u"予約番号"_s << file;
    QTest::newRow("not null is no duplicate")
        << u"1299"_s << u"UNIQUE constraint failed: Reserve.RvNo"_s << int(C::Other) << u"失敗"_s << file;
    QTest::newRow("generic error") << u"1"_s << u"database is locked"_s << int(C::Other) << u"失敗"_s << file;
    QTest::newRow("no code") << QString() << u"disk I/O error"_s << int(C::Other) << u"失敗"_s << file;
    // On the server the code is the SQLSTATE; a failure without one is the client's own.
    const QString server = u"postgresql://desk@inn-server/inn#BTSales.mdb"_s;
    QTest::newRow("server: unique key")
        << u"23505"_s
        << u"duplicate key value violates unique constraint\nDETAIL:  Key (btsalesno)=(5) already exists."_s
        << int(C::DuplicateKey) << u"売上番号"_s << server;
    QTest::newRow("server: lock wait ended") << u"55P03"_s << u"disk full"_s << int(C::Busy) << u"使用中"_s << server;
    QTest::newRow("server: deadlock") << u"40P01"_s << u"out of space"_s << int(C::Busy) << u"使用中"_s << server;
    QTest::newRow("server: disk full") << u"53100"_s << u"deadlock"_s << int(C::DiskFull) << u"ディスク"_s << server;
    QTest::newRow("server: shut down") << u"57P01"_s << u"permission denied"_s << int(C::Unreachable)
                                       << u"接続できません"_s << server;
    QTest::newRow("server: connection lost")
        << QString() << u"permission denied"_s << int(C::Unreachable) << u"接続できません"_s << server;
    QTest::newRow("server: password") << u"28P01"_s << u"could not connect"_s << int(C::LoginRefused) << u"ログイン"_s
                                      << server;
    QTest::newRow("server: no such database")
        << u"3D000"_s << u"could not connect"_s << int(C::NoSuchDatabase) << u"データベースがありません"_s << server;
    QTest::newRow("server: privilege") << u"42501"_s << u"could not connect"_s << int(C::NoPermission) << u"権限"_s
                                       << server;
    QTest::newRow("server: syntax") << u"42601"_s << u"could not connect"_s << int(C::Other) << u"失敗"_s << server;
}

void TestEngine::failureByNativeCode() {
    QFETCH(QString, code);
    QFETCH(QString, text);
    QFETCH(int, cause);
    QFETCH(QString, words);
    QFETCH(QString, file);
    const QSqlError error(u"Unable to fetch row"_s, text, QSqlError::StatementError, code);
    const DbError e = Engine::forLocation(file).failure(error, u"INSERT"_s, file);
    QCOMPARE(int(e.cause()), cause);
    QVERIFY2(e.message().contains(words), qPrintable(e.message()));
    QCOMPARE(e.file(), file);
    // The engine's own words never stand in the clerk's message; where they help support
    // they follow under the detail heading.
    QVERIFY2(!e.message().contains(text), qPrintable(e.message()));
    if (!e.detail().isEmpty())
        QVERIFY2(e.text().contains(u"\r\n\r\n詳細: "_s + text), qPrintable(e.text()));
}

// Where a failure happened, as the message line names it: a file by its path, a part of the
// inn on a server by the server's host, port and database and the part in words.
void TestEngine::placeOfAFailure_data() {
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("place");
    QTest::newRow("file") << u"/var/lib/tesaro/BTSales.mdb"_s << u"ファイル: /var/lib/tesaro/BTSales.mdb"_s;
    QTest::newRow("server, port taken as default") << u"postgresql://desk@127.0.0.1/inn#BTReservation.mdb"_s
                                                   << u"データ: サーバー 127.0.0.1:5432/inn の予約のデータ"_s;
    QTest::newRow("server, port given, folder-like address")
        << Engine::locationOf(u"postgresql://desk@inn-server:6543/inn/"_s, u"BTSales.mdb"_s)
        << u"データ: サーバー inn-server:6543/inn の売上のデータ"_s;
    QTest::newRow("server by socket folder") << u"postgresql:///inn?host=/run/pg&port=5433#dbOptionBT.mdb"_s
                                             << u"データ: サーバー /run/pg:5433/inn の設定のデータ"_s;
    QTest::newRow("a server's address alone, written as a folder")
        << u"postgresql://desk@127.0.0.1/inn/"_s << u"データ: サーバー 127.0.0.1:5432/inn"_s;
    QTest::newRow("check-ins") << u"postgresql://h/inn#DaySalesCliants.mdb"_s
                               << u"データ: サーバー h:5432/inn のチェックインのデータ"_s;
    QTest::newRow("payments") << u"postgresql://h/inn#BTRecipt.mdb"_s
                              << u"データ: サーバー h:5432/inn の入金のデータ"_s;
}

void TestEngine::placeOfAFailure() {
    QFETCH(QString, location);
    QFETCH(QString, place);
    const DbError e = Engine::forLocation(location).failure(
        QSqlError(u"QPSQL: Unable to send query"_s, u"server closed the connection"_s, QSqlError::StatementError),
        u"SELECT 1"_s, location);
    QCOMPARE(e.place(), place);
}

// A file of this engine that is no database of the system, and one whose pages are damaged,
// are told apart at open.
void TestEngine::openRefusesByCause_data() {
    QTest::addColumn<bool>("damage");
    QTest::addColumn<int>("cause");
    QTest::newRow("another program's database") << false << int(DbError::Cause::NotADatabase);
    QTest::newRow("damaged pages") << true << int(DbError::Cause::Damaged);
}

void TestEngine::openRefusesByCause() {
    QFETCH(bool, damage);
    QFETCH(int, cause);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"BTSales.mdb"_s);
    {
        const auto made = Connection::create(path);
        made->exec(u"CREATE TABLE Other (Name TEXT, Value TEXT)"_s);
        made->exec(u"INSERT INTO Other (Name, Value) VALUES ('a', ?)"_s, {QString(3000, u'x')});
    }
    if (damage) {
        // The header stays; the catalogue page and what follows become noise.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(100));
        file.write(QByteArray(int(file.size()) - 100, '\x5a'));
    }
    try {
        Connection::open(dir.path(), u"BTSales.mdb"_s);
        QFAIL("the file was opened");
    } catch (const DbError& e) {
        QCOMPARE(int(e.cause()), cause);
    }
}

// Statements built from the engine's pieces run on a real database and mean what the suite
// expects of them.
void TestEngine::dialectRunsOnItsEngine_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("case-blind compare") << u"caseBlind"_s << QVariant(1);
    QTest::newRow("exact compare") << u"exact"_s << QVariant(0);
    QTest::newRow("dialect functions") << u"functions"_s << QVariant(u"5|ABC|3|bc"_s);
    QTest::newRow("date literal matches a stored day") << u"date"_s << QVariant(1);
    QTest::newRow("limit") << u"limit"_s << QVariant(2);
    QTest::newRow("last added row by the row key") << u"rowKey"_s << QVariant(u"c"_s);
    QTest::newRow("insert or replace keeps one row") << u"replace"_s << QVariant(u"1|new"_s);
    QTest::newRow("materialized expression") << u"materialized"_s << QVariant(3);
}

void TestEngine::dialectRunsOnItsEngine() {
    QFETCH(QString, name);
    QFETCH(QVariant, expected);
    QTemporaryDir dir;
    const auto c = Connection::create(dir.filePath(u"BTSales.mdb"_s));
    const Engine& engine = c->engine();
    c->exec(u"CREATE TABLE t (Code TEXT UNIQUE, Day TEXT, RowKey INTEGER PRIMARY KEY)"_s);
    c->exec(u"INSERT INTO t (Code, Day) VALUES ('b', '2002-03-01'), ('a', '2002-03-02'), ('c', NULL)"_s);
    QVariant got;
    if (name == u"caseBlind")
        got = c->scalar(u"SELECT "_s + engine.caseBlind(u"'Abc'"_s) + u" = 'aBC'"_s);
    else if (name == u"exact")
        got = c->scalar(u"SELECT "_s + engine.exact(u"'Abc'"_s) + u" = 'aBC'"_s);
    else if (name == u"functions")
        got = c->scalar(u"SELECT Nz(Null, 5) || '|' || UCase('abc') || '|' || Len('abc') || '|' || Mid('abc', 2, 2)"_s);
    else if (name == u"date")
        got = c->scalar(u"SELECT COUNT(*) FROM t WHERE Day = "_s + Sql::dateLiteral(QDate(2002, 3, 1)));
    else if (name == u"limit")
        got = c->scalar(u"SELECT COUNT(*) FROM (SELECT Code FROM t"_s + engine.limit(2) + u')');
    else if (name == u"rowKey")
        got = c->scalar(u"SELECT Code FROM t ORDER BY "_s + engine.rowKey() + u" DESC"_s + engine.limit(1));
    else if (name == u"replace") {
        c->exec(engine.insertOrReplace(u"t"_s, {u"Code"_s, u"Day"_s}) + u" VALUES ('a', 'new')"_s);
        got = c->scalar(u"SELECT COUNT(*) || '|' || Max(Day) FROM t WHERE Code = 'a'"_s);
    } else if (name == u"materialized")
        got = c->scalar(u"WITH r AS "_s + engine.materialized() + u" (SELECT Code FROM t) SELECT COUNT(*) FROM r"_s);
    QCOMPARE(got.toString(), expected.toString());
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
