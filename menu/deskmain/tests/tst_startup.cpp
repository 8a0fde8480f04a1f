#include "deskmain/FrmMain.h"
#include "deskmain/StartUp.h"

#include "data/Engine.h"
#include "data/Maintenance.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TempDataDir.h"

#include <QApplication>
#include <QDate>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTest>

#include <unistd.h>

using desk::Dialogs;
using desk::test::ScriptedDialogs;
using desk::test::TempDataDir;

namespace {

// DPath.txt in the programs' folder, naming the data directory.
bool pointAt(const QTemporaryDir& programs, const TempDataDir& data) {
    QFile pointer(programs.path() + QStringLiteral("/DPath.txt"));
    return pointer.open(QIODevice::WriteOnly) && pointer.write(data.path().toUtf8()) > 0;
}

const QString MissingText =
    QStringLiteral("ファイルを開くときにエラーが発生しました。\r\nDPath.txtをdeskmain.exeと同じ場所に置いてください。");
const QString EmptyText =
    QStringLiteral("ファイルDPath.txtにデータがありません。\r\nDPath.txtに正しいパスを指定してください。");

int mainWindows() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<deskmain::FrmMain*>(w) != nullptr;
    return count;
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

private slots:
    void pointerFile_data();
    void pointerFile();
    void damagedFilesNamedAtStart_data();
    void damagedFilesNamedAtStart();
    void unfinishedRestoreNamedAtStart();
    void loadFailureIsNotBlamedOnThePointer();
    void startUpOnAServer_data();
    void startUpOnAServer();
    void mainMenuThroughAServerRestart();
};

void TestStartUp::pointerFile_data() {
    // %DATA% stands for a data directory with the five files, %PROG% for the program's folder.
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("dataInProgramDir");
    QTest::addColumn<QString>("expectedDir"); // empty: no main window
    QTest::addColumn<QString>("expectedMessage");
    QTest::addColumn<int>("expectedIcon");

    const int exclamation = int(Dialogs::Icon::Exclamation);
    const int critical = int(Dialogs::Icon::Critical);
    QTest::newRow("no pointer file") << false << QString() << false << QString() << MissingText << exclamation;
    QTest::newRow("empty file") << true << QString() << false << QString() << EmptyText << exclamation;
    QTest::newRow("blank first field") << true << QStringLiteral("   ,/tmp/x/\r\n") << false << QString() << EmptyText
                                       << exclamation;
    QTest::newRow("quoted nothing") << true << QStringLiteral("\"\"\r\n") << false << QString() << EmptyText
                                    << exclamation;
    QTest::newRow("path") << true << QStringLiteral("%DATA%\r\n") << false << QStringLiteral("%DATA%") << QString()
                          << 0;
    QTest::newRow("path, comma, more") << true << QStringLiteral("%DATA%,古いパス\r\n") << false
                                       << QStringLiteral("%DATA%") << QString() << 0;
    QTest::newRow("App.Path") << true << QStringLiteral("App.Path") << true << QStringLiteral("%PROG%") << QString()
                              << 0;
    // Another letter case is a relative folder name, which holds no database.
    QTest::newRow("app.path") << true << QStringLiteral("app.path") << true << QString()
                              << QStringLiteral("このフォルダがありません。") << critical;
    QTest::newRow("folder without the files") << true << QStringLiteral("%PROG%") << false << QString()
                                              << QStringLiteral("DPath.txtには、データベースファイル") << critical;
}

void TestStartUp::pointerFile() {
    QFETCH(bool, fileExists);
    QFETCH(QString, content);
    QFETCH(bool, dataInProgramDir);
    QFETCH(QString, expectedDir);
    QFETCH(QString, expectedMessage);
    QFETCH(int, expectedIcon);

    TempDataDir data;
    QVERIFY(data.isValid());
    QTemporaryDir programs;
    const QString programDir = dataInProgramDir ? data.path().chopped(1) : programs.path();
    const auto expand = [&](QString text) {
        return text.replace(QStringLiteral("%DATA%"), data.path()).replace(QStringLiteral("%PROG%"), programDir + u'/');
    };
    if (fileExists) {
        QFile file(programDir + QStringLiteral("/DPath.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(expand(content).toUtf8());
    }

    ScriptedDialogs dialogs;
    qputenv("TESARO_DESK", "FRONT");
    const std::unique_ptr<deskmain::FrmMain> window = deskmain::startUp(programDir);
    qunsetenv("TESARO_DESK");

    if (expectedDir.isEmpty()) {
        QVERIFY(!window);
        QCOMPARE(mainWindows(), 0);
        QCOMPARE(dialogs.messages().size(), 1);
        QCOMPARE(dialogs.beeps(), 1);
        const auto shown = dialogs.messages().first();
        QVERIFY2(shown.text.contains(expectedMessage), qPrintable(shown.text));
        QCOMPARE(shown.title, QStringLiteral("警告"));
        QCOMPARE(int(shown.icon), expectedIcon);
        QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
        if (expectedIcon == int(Dialogs::Icon::Critical))
            QVERIFY2(shown.text.contains(QStringLiteral("フォルダ: ")), qPrintable(shown.text));
    } else {
        QVERIFY(window);
        QCOMPARE(dialogs.shown().size(), 0);
        QCOMPARE(window->dataDir(), expand(expectedDir));
        QVERIFY(window->isVisible());
        // The desk is named, so two main menus on one screen are told apart.
        QCOMPARE(window->windowTitle(), QStringLiteral("テサロさん - FRONT"));
    }
}

void TestStartUp::damagedFilesNamedAtStart_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content"); // replaces the file; empty: the file is made read-only
    QTest::addColumn<QString>("cause");
    QTest::newRow("zero bytes") << QStringLiteral("BTSales.mdb") << QByteArray("")
                                << QStringLiteral("空です（0バイト）");
    QTest::newRow("another format") << QStringLiteral("BTRecipt.mdb") << QByteArray("Standard Jet DB\0\0\0\0 old")
                                    << QStringLiteral("別の形式のファイル");
    QTest::newRow("read-only") << QStringLiteral("dbOptionBT.mdb") << QByteArray() << QStringLiteral("読み取り専用");
}

// The clerk learns which file is wrong, and why, before typing anything; the file itself
// is left exactly as it was and DPath.txt is not blamed.
void TestStartUp::damagedFilesNamedAtStart() {
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, cause);
    TempDataDir data;
    QTemporaryDir programs;
    QVERIFY(pointAt(programs, data));
    QFile target(data.filePath(file));
    if (content.isNull()) {
        if (::geteuid() == 0)
            QSKIP("root writes to read-only files");
        QVERIFY(target.setPermissions(QFileDevice::ReadOwner));
    } else {
        QVERIFY(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
        target.write(content);
        target.close();
    }
    const QByteArray before = [&] {
        QFile f(data.filePath(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    ScriptedDialogs dialogs;
    QVERIFY(!deskmain::startUp(programs.path()));
    QCOMPARE(dialogs.messages().size(), 1);
    const QString text = dialogs.messages().first().text;
    QVERIFY2(text.contains(QStringLiteral("ファイル: ") + file) && text.contains(cause), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("DPath.txt")), qPrintable(text));
    QFile after(data.filePath(file));
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
    QVERIFY(!QFileInfo::exists(data.filePath(file) + QStringLiteral("-wal")));
}

// A restore killed half-way left some files restored and some not: the clerk is told so,
// with the command that finishes it, and no window opens on the mixed files.
void TestStartUp::unfinishedRestoreNamedAtStart() {
    TempDataDir data;
    QTemporaryDir programs;
    QVERIFY(pointAt(programs, data));
    QFile marker(data.path() + QStringLiteral("RESTORE-UNFINISHED.txt"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("backup=/media/usb/inn-2026-12-01/\nkept=\npid=999999999\n");
    marker.close();

    ScriptedDialogs dialogs;
    QVERIFY(!deskmain::startUp(programs.path()));
    QCOMPARE(dialogs.messages().size(), 1);
    const QString text = dialogs.messages().first().text;
    QVERIFY2(text.contains(QStringLiteral("復元が途中で終わっています")) &&
                 text.contains(QStringLiteral("deskadmin restore /media/usb/inn-2026-12-01/")),
             qPrintable(text));
}

// The files pass the start-up check but the main window cannot read one of them: the
// message names the file and the engine's words, and does not send the clerk to DPath.txt,
// which points at the right folder.
void TestStartUp::loadFailureIsNotBlamedOnThePointer() {
    TempDataDir data;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("damage"));
        db.setDatabaseName(data.filePath(QStringLiteral("BTReservation.mdb")));
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("ALTER TABLE Reserve RENAME TO ReserveOld")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("damage"));
    QTemporaryDir programs;
    QVERIFY(pointAt(programs, data));

    ScriptedDialogs dialogs;
    QVERIFY(!deskmain::startUp(programs.path()));
    QCOMPARE(dialogs.messages().size(), 1);
    const QString text = dialogs.messages().first().text;
    // The cause in the clerk's words, shown with the message (a "詳細" block would sit behind
    // the box's details button).
    QVERIFY2(text.contains(QStringLiteral("ファイル: BTReservation.mdb")) &&
                 text.contains(QStringLiteral("\r\n\r\n表または保存したクエリ「Reserve」がありません。")),
             qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("DPath.txt")), qPrintable(text));
}

// What the owner reads when the main menu starts on a server: the server by host, port and
// database, the cause in Japanese with what to check (the driver's words only under the
// detail heading), the desk and the server in the title, and the server's backup.
void TestStartUp::startUpOnAServer_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("said"); // the first message's text holds each
    QTest::addColumn<QStringList>("notSaid");
    const QStringList driverWords{QStringLiteral("QPSQL"), QStringLiteral("connect"), QStringLiteral(".mdb"),
                                  QStringLiteral("postgresql://")};
    QTest::newRow("server down") << QStringLiteral("down")
                                 << QStringList{QStringLiteral("データベースサーバーに接続できません"),
                                                QStringLiteral("DPath.txtのアドレス"),
                                                QStringLiteral("サーバー /nonexistent")}
                                 << (driverWords + QStringList{QStringLiteral("入力中の内容")});
    QTest::newRow("no such database") << QStringLiteral("missing")
                                      << QStringList{QStringLiteral("その名前のデータベースがありません"),
                                                     QStringLiteral(":5432/no_such_inn")}
                                      << (driverWords + QStringList{QStringLiteral("ログイン")});
    QTest::newRow("no inn made yet") << QStringLiteral("empty")
                                     << QStringList{QStringLiteral("まだ宿のデータがありません"),
                                                    QStringLiteral("deskadmin init"), QStringLiteral("deskadmin copy")}
                                     << QStringList{QStringLiteral("版の記録")};
    QTest::newRow("an inn never backed up")
        << QStringLiteral("inn") << QStringList{QStringLiteral("deskadmin backup"), QStringLiteral("まだ一度も")}
        << QStringList{};
    QTest::newRow("an inn backed up today") << QStringLiteral("backed up") << QStringList{} << QStringList{};
}

void TestStartUp::startUpOnAServer() {
    QFETCH(QString, kind);
    QFETCH(QStringList, said);
    QFETCH(QStringList, notSaid);
    if (TempDataDir::server().isEmpty())
        QSKIP("on the test server only (label postgresql)");
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tesaro"), QStringLiteral("deskmain")).clear();
    TempDataDir data(kind == QStringLiteral("empty") ? TempDataDir::Contents::Nothing : TempDataDir::Contents::Inn);
    QVERIFY(data.isValid());
    QString address = data.path();
    if (kind == QStringLiteral("down"))
        address.replace(QStringLiteral("host=/"), QStringLiteral("host=/nonexistent/"));
    if (kind == QStringLiteral("missing"))
        address.replace(QRegularExpression(QStringLiteral("/[a-z0-9_]+\\?")), QStringLiteral("/no_such_inn?"));
    if (kind == QStringLiteral("backed up")) {
        QTemporaryDir backup;
        desk::maintenance::backup(address, backup.filePath(QStringLiteral("b")));
    }
    QTemporaryDir programs;
    QFile pointer(programs.path() + QStringLiteral("/DPath.txt"));
    QVERIFY(pointer.open(QIODevice::WriteOnly));
    pointer.write(address.toUtf8());
    pointer.close();

    ScriptedDialogs dialogs;
    qputenv("TESARO_DESK", "FRONT");
    std::unique_ptr<deskmain::FrmMain> window = deskmain::startUp(programs.path());
    qunsetenv("TESARO_DESK");
    const bool opens = kind == QStringLiteral("inn") || kind == QStringLiteral("backed up");
    QCOMPARE(bool(window), opens);
    if (window) {
        QVERIFY2(window->windowTitle().startsWith(QStringLiteral("テサロさん - FRONT（サーバー ")),
                 qPrintable(window->windowTitle()));
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
        QVERIFY2(
            window->statusText().contains(QStringLiteral("サーバーのバックアップ: ") +
                                          (kind == QStringLiteral("inn") ? QStringLiteral("まだありません") : today)),
            qPrintable(window->statusText()));
    }
    if (said.isEmpty()) {
        QCOMPARE(dialogs.messages().size(), 0);
        return;
    }
    QCOMPARE(dialogs.messages().size(), 1);
    const QString text = dialogs.messages().first().text;
    const QString ownWords = text.section(QStringLiteral("\r\n\r\n詳細: "), 0, 0);
    for (const QString& words : std::as_const(said))
        QVERIFY2(ownWords.contains(words), qPrintable(text));
    for (const QString& words : std::as_const(notSaid))
        QVERIFY2(!ownWords.contains(words), qPrintable(text));
    if (window) {
        // Told once a day on each desk: the next start says it in the status bar alone.
        window.reset();
        window = deskmain::startUp(programs.path());
        QVERIFY(window);
        QCOMPARE(dialogs.messages().size(), 1);
    }
}

namespace {
// A session of the administrator's own on a database of the test server.
QSqlDatabase adminSession(const QString& address, const QString& name) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    const QString location = desk::Engine::locationOf(address, QStringLiteral("dbOptionBT.mdb"));
    desk::Engine::forLocation(location).configure(db, location, desk::Engine::Access::ReadOnly);
    db.setConnectOptions(db.connectOptions() + QStringLiteral(";application_name=psql"));
    db.open();
    return db;
}
} // namespace

// The server restarts under an open main menu: its status bar says the server is away until
// it is back, then the lists are read again, a booking made meanwhile included.
void TestStartUp::mainMenuThroughAServerRestart() {
    if (TempDataDir::server().isEmpty())
        QSKIP("on the test server only (label postgresql)");
    TempDataDir data(true);
    QVERIFY(data.isValid());
    QTemporaryDir programs;
    QVERIFY(pointAt(programs, data));
    ScriptedDialogs dialogs;
    const std::unique_ptr<deskmain::FrmMain> window = deskmain::startUp(programs.path());
    QVERIFY(window);
    auto* reservations = window->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    const int listed = reservations->topLevelItemCount();
    const int notCheckedOut = window->findChild<QTreeWidget*>(QStringLiteral("ListView2"))->topLevelItemCount();
    QVERIFY(listed > 0 && notCheckedOut > 0);
    {
        QSqlDatabase inn = adminSession(data.path(), QStringLiteral("inn-admin"));
        QSqlDatabase server = adminSession(TempDataDir::server(), QStringLiteral("server-admin"));
        QVERIFY(inn.isOpen() && server.isOpen());
        QSqlQuery onInn(inn);
        QVERIFY(onInn.exec(QStringLiteral("SELECT current_database()")) && onInn.next());
        const QString database = onInn.value(0).toString();
        // Written without a notice, as a desk's save lost with the server would be.
        QVERIFY(onInn.exec(QStringLiteral("INSERT INTO btreservation.Reserve (RvNo, RvUseDate, RvDate, RvName) "
                                          "VALUES (901, CURRENT_DATE, CURRENT_DATE, '再起動 中')")));
        QSqlQuery onServer(server);
        QVERIFY(onServer.exec(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(database)));
        QVERIFY(onInn.exec(QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                          "WHERE datname = current_database() AND pid <> pg_backend_pid()")));
        QTRY_VERIFY2_WITH_TIMEOUT(window->statusText().contains(QStringLiteral("データベースサーバーに接続できません")),
                                  qPrintable(window->statusText()), 5000);
        QCOMPARE(reservations->topLevelItemCount(), listed);
        // Activated while the inn cannot be reached, it reads again and fails: the lists it
        // shows stay, and the bar does not speak of typing lost.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(reservations->topLevelItemCount(), listed);
        QCOMPARE(window->findChild<QTreeWidget*>(QStringLiteral("ListView2"))->topLevelItemCount(), notCheckedOut);
        QVERIFY2(!window->statusText().contains(QStringLiteral("入力中")), qPrintable(window->statusText()));
        QVERIFY(onServer.exec(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS true").arg(database)));
        onInn.finish();
        onServer.finish();
        inn.close();
        server.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inn-admin"));
    QSqlDatabase::removeDatabase(QStringLiteral("server-admin"));
    QTRY_COMPARE_WITH_TIMEOUT(reservations->topLevelItemCount(), listed + 1, 15000);
    QVERIFY2(!window->statusText().contains(QStringLiteral("接続できません")), qPrintable(window->statusText()));
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
