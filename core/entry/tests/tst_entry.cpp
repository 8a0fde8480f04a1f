#include "entry/EntryError.h"
#include "entry/EntryRegistry.h"
#include "entry/ModuleContext.h"
#include "entry/StayRequest.h"

#include "data/Maintenance.h"
#include "data/Schema.h"
#include "testsupport/TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QTimer>

#include <csignal>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using desk::EntryClass;
using desk::EntryError;
using desk::EntryRegistry;

namespace {

// Waits until a process has ended, without polling: a pid file descriptor becomes
// readable when the process is gone. The modules are started detached, but this test
// program is their subreaper (see initTestCase), so it also reaps them here and no
// zombie outlives the wait. False when the process is still running after timeoutMs.
bool waitForExit(qint64 pid, int timeoutMs) {
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (fd < 0)
        return errno == ESRCH;
    pollfd ready{fd, POLLIN, 0};
    const bool ended = ::poll(&ready, 1, timeoutMs) > 0;
    ::close(fd);
    if (ended)
        ::waitpid(pid_t(pid), nullptr, WNOHANG);
    return ended;
}

// A data directory for one run of testapp, with its instructions and its log.
class TestAppDir {
public:
    explicit TestAppDir(int closeAfterMs = 0) {
        QSettings ini(path() + QStringLiteral("testapp.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("closeAfterMs"), closeAfterMs);
    }
    ~TestAppDir() {
        // Every testapp this directory saw must be gone before the next test reaches the
        // same socket: told to close, waited for, and ended by its id if it will not go.
        requestClose();
        for (qint64 pid : pids()) {
            QFile command(path() + QStringLiteral("testapp.close-%1").arg(pid));
            if (command.open(QIODevice::WriteOnly))
                command.close();
        }
        for (qint64 pid : pids()) {
            if (!waitForExit(pid, 10000)) {
                ::kill(static_cast<pid_t>(pid), SIGTERM);
                waitForExit(pid, 5000);
            }
        }
    }

    // Asks the running testapp to close its window, as a clerk would.
    void requestClose() const {
        QFile command(path() + QStringLiteral("testapp.close"));
        if (command.open(QIODevice::WriteOnly))
            command.close();
    }

    QString path() const { return m_dir.path() + QLatin1Char('/'); }

    QStringList log() const {
        QFile file(path() + QStringLiteral("testapp.log"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList linesStarting(const QString& head) const { return log().filter(QRegularExpression(u'^' + head)); }
    QList<qint64> pids() const {
        QList<qint64> result;
        static const QRegularExpression re(QStringLiteral("^(load|closed) pid=(\\d+)"));
        for (const QString& line : log()) {
            const auto m = re.match(line);
            if (m.hasMatch() && !result.contains(m.captured(2).toLongLong()))
                result.append(m.captured(2).toLongLong());
        }
        return result;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

class TestEntry : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void outsideRegistrations();
    void secondShowFormReachesSameWindow();
    void valueSetAfterShowFormReachesModule();
    void eachDeskAndInnHasItsOwnProgram();
    void closedWindowLoadsAfresh();
    void modalShowFormReturnsAfterClose();
    void modalWindowComesForwardWhenCallerIsUsed();
    void closedWindowIsReportedToTheCaller();
    void failuresComeBackAsErrors_data();
    void failuresComeBackAsErrors();
    void aModuleIsSeenAtWorkOnItsFiles();
    void profileValueByName_data();
    void profileValueByName();
    void guestGoesOnlyWhereAWindowOpensForIt_data();
    void guestGoesOnlyWhereAWindowOpensForIt();
    void stayTravelsAsText_data();
    void stayTravelsAsText();
    void stayGoesToTheBookingAndCheckInWindows_data();
    void stayGoesToTheBookingAndCheckInWindows();

private:
    EntryRegistry m_registry;
    QString m_binDir;
};

void TestEntry::initTestCase() {
    // Detached modules become children of this program when their starter ends, so that
    // the tests can wait for them and reap them.
    QVERIFY(::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
    m_binDir = qEnvironmentVariable("DESK_BIN_DIR", QCoreApplication::applicationDirPath());
    QVERIFY2(QFileInfo(m_binDir + QStringLiteral("/testapp")).isExecutable(), qPrintable(m_binDir));
    m_registry.setProgramsDir(m_binDir);
    m_registry.registerClass(
        {QStringLiteral("testapp.Class1"), QStringLiteral("testapp"), EntryClass::Show::Modeless, true, false});
    m_registry.registerClass(
        {QStringLiteral("testapp.StartCls"), QStringLiteral("testapp"), EntryClass::Show::Modal, false, false});
}

void TestEntry::outsideRegistrations() {
    QTemporaryDir dir;
    const QString iniPath = dir.filePath(QStringLiteral("DeskModules.ini"));
    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(QStringLiteral("kensaku.Class1/program"), QStringLiteral("kensaku"));
        ini.setValue(QStringLiteral("kensaku.Class1/search"), true);
        ini.setValue(QStringLiteral("broken.Class1/search"), true); // no program: left out
    }
    EntryRegistry registry;
    registry.loadRegistrations(iniPath);
    const auto search = registry.searchClass();
    QVERIFY(search);
    QCOMPARE(search->classId, QStringLiteral("kensaku.Class1"));
    QCOMPARE(search->program, QStringLiteral("kensaku"));
    QVERIFY(!registry.find(QStringLiteral("broken.Class1")));
    // The built-ins stay.
    QVERIFY(registry.find(QStringLiteral("firmapp.StartCls")));
}

void TestEntry::secondShowFormReachesSameWindow() {
    TestAppDir dir;
    {
        auto first = m_registry.create(QStringLiteral("testapp.Class1"));
        first->setDirPath(dir.path());
        first->setMyCompanyName(QStringLiteral("旅館A"));
        first->ShowForm();
        QCOMPARE(dir.linesStarting(QStringLiteral("load")).size(), 1);
    }
    // The main menu replaces its entry object on relaunch; the window stays and is reused.
    auto second = m_registry.create(QStringLiteral("testapp.Class1"));
    second->setDirPath(dir.path());
    second->setMyCompanyName(QStringLiteral("旅館B"));
    second->ShowForm();

    const QStringList loads = dir.linesStarting(QStringLiteral("load"));
    QCOMPARE(loads.size(), 1);
    QVERIFY2(loads.first().contains(QStringLiteral("company=旅館A")), qPrintable(loads.first()));
    // The new values reached the running module without reloading the window.
    QVERIFY(dir.log().contains(QStringLiteral("set MyCompanyName=旅館B")));
    QCOMPARE(dir.pids().size(), 1);
}

void TestEntry::eachDeskAndInnHasItsOwnProgram() {
    // Two desks started by one user from one programs folder, and one desk on two inns.
    const bool deskSet = qEnvironmentVariableIsSet("TESARO_DESK");
    const QByteArray desk = qgetenv("TESARO_DESK");
    const auto restoreDesk = qScopeGuard([&] { deskSet ? qputenv("TESARO_DESK", desk) : qunsetenv("TESARO_DESK"); });
    TestAppDir inn;
    TestAppDir otherInn;
    const auto show = [&](const char* deskName, const TestAppDir& dir) {
        qputenv("TESARO_DESK", deskName);
        auto entry = m_registry.create(QStringLiteral("testapp.Class1"));
        entry->setDirPath(dir.path());
        entry->ShowForm();
    };
    show("FRONT", inn);
    show("OFFICE", inn);
    QCOMPARE(inn.pids().size(), 2);
    const QStringList loads = inn.linesStarting(QStringLiteral("load"));
    QCOMPARE(loads.size(), 2);
    QVERIFY2(loads.at(0).endsWith(QStringLiteral(" desk=FRONT")), qPrintable(loads.at(0)));
    QVERIFY2(loads.at(1).endsWith(QStringLiteral(" desk=OFFICE")), qPrintable(loads.at(1)));

    // The same desk and inn again reach the window already open.
    show("FRONT", inn);
    QCOMPARE(inn.linesStarting(QStringLiteral("load")).size(), 2);
    QCOMPARE(inn.pids().size(), 2);

    show("FRONT", otherInn);
    QCOMPARE(otherInn.pids().size(), 1);
    QVERIFY(!inn.pids().contains(otherInn.pids().at(0)));
}

void TestEntry::valueSetAfterShowFormReachesModule() {
    TestAppDir dir;
    auto entry = m_registry.create(QStringLiteral("testapp.Class1"));
    entry->setDirPath(dir.path());
    entry->setMyFaxNo(QStringLiteral("03-1111"));
    entry->ShowForm();
    entry->setMyFaxNo(QStringLiteral("03-2222"));
    QTRY_VERIFY_WITH_TIMEOUT(dir.log().contains(QStringLiteral("set MyFaxNo=03-2222")), 5000);
    QCOMPARE(dir.linesStarting(QStringLiteral("load")).size(), 1);
}

void TestEntry::closedWindowLoadsAfresh() {
    TestAppDir dir;
    auto entry = m_registry.create(QStringLiteral("testapp.Class1"));
    entry->setDirPath(dir.path());
    entry->ShowForm();
    dir.requestClose();
    QTRY_COMPARE_WITH_TIMEOUT(dir.linesStarting(QStringLiteral("closed")).size(), 1, 5000);
    // Its last window closed, the module program ends by itself.
    QVERIFY(waitForExit(dir.pids().value(0), 5000));

    // Showing through the same entry object reaches a fresh program that loads again.
    entry->ShowForm();
    QCOMPARE(dir.linesStarting(QStringLiteral("load")).size(), 2);
    QVERIFY(dir.linesStarting(QStringLiteral("(load|closed)")).last().startsWith(QStringLiteral("load")));
    QVERIFY(dir.linesStarting(QStringLiteral("load")).last().contains(QStringLiteral("dir=") + dir.path()));
}

void TestEntry::modalShowFormReturnsAfterClose() {
    TestAppDir dir;
    auto entry = m_registry.create(QStringLiteral("testapp.StartCls"));
    entry->setDirPath(dir.path());
    QVERIFY_THROWS_EXCEPTION(EntryError, entry->setMyCompanyName(QStringLiteral("x")));

    // Meanwhile our own window paints but takes no clicks.
    QPushButton button(QStringLiteral("押す"));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    int clicks = 0;
    connect(&button, &QPushButton::clicked, this, [&] { ++clicks; });
    // Once the module's window is up, and while ShowForm waits for it: a click (which
    // must not arrive), a repaint (which must), then the module's window is closed.
    QFileSystemWatcher watcher({dir.path()});
    const QString logFile = dir.path() + QStringLiteral("testapp.log");
    bool closing = false;
    const auto onChange = [&] {
        if (closing)
            return;
        // The log appears with the module; its first line may be written just after.
        if (QFile::exists(logFile) && !watcher.files().contains(logFile))
            watcher.addPath(logFile);
        if (dir.linesStarting(QStringLiteral("load")).isEmpty())
            return;
        closing = true;
        QTest::mouseClick(&button, Qt::LeftButton);
        button.setText(QStringLiteral("待機中"));
        dir.requestClose();
    };
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, onChange);
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, onChange);
    // Should the module never close, it is ended, so that the wait below returns and the
    // comparisons fail instead of the whole program hanging.
    QTimer::singleShot(30000, &button, [&] {
        for (qint64 pid : dir.pids())
            ::kill(static_cast<pid_t>(pid), SIGKILL);
    });

    entry->ShowForm();

    QCOMPARE(dir.linesStarting(QStringLiteral("load")).size(), 1);
    QCOMPARE(dir.linesStarting(QStringLiteral("closed")).size(), 1);
    QCOMPARE(clicks, 0);
    QCOMPARE(button.text(), QStringLiteral("待機中"));
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 1);
}

void TestEntry::modalWindowComesForwardWhenCallerIsUsed() {
    TestAppDir dir(1500);
    auto entry = m_registry.create(QStringLiteral("testapp.StartCls"));
    entry->setDirPath(dir.path());
    QPushButton button(QStringLiteral("メニュー"));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    int raisedMeanwhile = -1;
    QTimer::singleShot(600, &button, [&] {
        raisedMeanwhile = dir.linesStarting(QStringLiteral("raised")).size();
        QTest::mouseClick(&button, Qt::LeftButton);
    });

    entry->ShowForm();

    QVERIFY2(raisedMeanwhile >= 1, "the window was raised when shown");
    // The click on the waiting caller raised the module's window once more.
    QCOMPARE(dir.linesStarting(QStringLiteral("raised")).size(), raisedMeanwhile + 1);
}

void TestEntry::closedWindowIsReportedToTheCaller() {
    TestAppDir dir(400);
    auto entry = m_registry.create(QStringLiteral("testapp.Class1"));
    entry->setDirPath(dir.path());
    int closed = 0;
    entry->setOnWindowClosed([&] { ++closed; });
    entry->ShowForm();
    QCOMPARE(closed, 0);
    QTRY_COMPARE_WITH_TIMEOUT(closed, 1, 5000);
}

void TestEntry::failuresComeBackAsErrors_data() {
    QTest::addColumn<QString>("classId");
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("missingDataDir");
    QTest::addColumn<QString>("expected");
    QTest::newRow("window fails to load")
        << QStringLiteral("testapp.Class1") << QString() << true << QStringLiteral("データフォルダを開けません。");
    QTest::newRow("modal window fails to load")
        << QStringLiteral("testapp.StartCls") << QString() << true << QStringLiteral("データフォルダを開けません。");
    QTest::newRow("program not installed") << QStringLiteral("missing.Class1") << QStringLiteral("nosuchapp") << false
                                           << QStringLiteral("プログラム「nosuchapp」が見つかりません。");
    QTest::newRow("program does not start") << QStringLiteral("broken.Class1") << QStringLiteral("notaprogram") << false
                                            << QStringLiteral("プログラム「notaprogram」を起動できませんでした。");
    QTest::newRow("class not registered") << QStringLiteral("nothing.Class1") << QString() << false
                                          << QStringLiteral("クラス nothing.Class1 は登録されていません。");
}

void TestEntry::failuresComeBackAsErrors() {
    QFETCH(QString, classId);
    QFETCH(QString, program);
    QFETCH(bool, missingDataDir);
    QFETCH(QString, expected);

    QTemporaryDir programs;
    EntryRegistry registry;
    registry.setProgramsDir(m_binDir);
    registry.registerClass(
        {QStringLiteral("testapp.Class1"), QStringLiteral("testapp"), EntryClass::Show::Modeless, true, false});
    registry.registerClass(
        {QStringLiteral("testapp.StartCls"), QStringLiteral("testapp"), EntryClass::Show::Modal, false, false});
    if (!program.isEmpty()) {
        // A folder where the program is absent or is a file that cannot run.
        registry.setProgramsDir(programs.path());
        QFile notRunnable(programs.filePath(QStringLiteral("notaprogram")));
        QVERIFY(notRunnable.open(QIODevice::WriteOnly));
        notRunnable.write("not a program\n");
        notRunnable.close();
        registry.registerClass({classId, program, EntryClass::Show::Modeless, true, false});
    }

    TestAppDir dir;
    const QString dataDir = missingDataDir ? dir.path() + QStringLiteral("gone/") : dir.path();
    QString message;
    try {
        auto entry = registry.create(classId);
        entry->setDirPath(dataDir);
        entry->ShowForm();
    } catch (const EntryError& e) {
        message = e.message();
    }
    QVERIFY2(message.contains(expected), qPrintable(message));
    if (missingDataDir)
        QVERIFY2(message.contains(dataDir), qPrintable(message));
}

void TestEntry::guestGoesOnlyWhereAWindowOpensForIt_data() {
    QTest::addColumn<QString>("classId");
    QTest::addColumn<bool>("takesAGuest");
    QTest::newRow("sales") << u"chargeapp.Class1"_s << true;
    QTest::newRow("payment") << u"paymentapp.Class1"_s << true;
    QTest::newRow("check-out") << u"departapp.Class1"_s << true;
    QTest::newRow("booking") << u"bookingapp.Class1"_s << false;
    QTest::newRow("check-in") << u"arrivalapp.Class1"_s << false;
    QTest::newRow("aggregation") << u"tallyapp.Class1"_s << false;
}

// A check-in number is a value of the windows that open for a guest, refused by the others;
// the module takes it once.
void TestEntry::guestGoesOnlyWhereAWindowOpensForIt() {
    QFETCH(QString, classId);
    QFETCH(bool, takesAGuest);
    EntryRegistry registry;
    const auto entry = registry.create(classId);
    bool refused = false;
    try {
        entry->setCheckInNo(u"1002"_s);
    } catch (const EntryError&) {
        refused = true;
    }
    QCOMPARE(refused, !takesAGuest);

    desk::ModuleContext context;
    QSignalSpy handed(&context, &desk::ModuleContext::guestHandedOver);
    QVERIFY(context.setValue(desk::EntryMembers::CheckInNo, u"1002"_s));
    QCOMPARE(handed.size(), 1);
    QCOMPARE(context.takeGuest(), u"1002"_s);
    QCOMPARE(context.takeGuest(), QString());
}

void TestEntry::stayTravelsAsText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<desk::StayRequest>("request");
    using desk::StayRequest;
    const auto roundTrip = [](const char* name, const StayRequest& request) {
        QTest::newRow(name) << request.toText() << true << request;
    };
    roundTrip("reservation", StayRequest::reservation(u"1002"_s));
    roundTrip("check-in", StayRequest::checkIn(u"A-17"_s));
    roundTrip("new in a room", StayRequest::newReservation(u"201"_s, QDate(2026, 5, 1), 2));
    roundTrip("new without a room", StayRequest::newReservation({}, QDate(2026, 12, 31), 1));
    // A room code holding the separators of the text itself.
    roundTrip("room with separators", StayRequest::newReservation(u"離れ&1=2 %"_s, QDate(2026, 5, 1), 3));
    const StayRequest none;
    QTest::newRow("unknown kind") << u"kind=sale&number=5"_s << false << none;
    QTest::newRow("no number") << u"kind=reservation&number="_s << false << none;
    QTest::newRow("no arrival") << u"kind=new&room=201&nights=2"_s << false << none;
    QTest::newRow("no day like it") << u"kind=new&room=201&arrival=2026-02-30&nights=2"_s << false << none;
    QTest::newRow("no nights") << u"kind=new&room=201&arrival=2026-05-01&nights=0"_s << false << none;
    QTest::newRow("nights not a number") << u"kind=new&room=201&arrival=2026-05-01&nights=2x"_s << false << none;
    QTest::newRow("empty") << QString() << false << none;
}

// What the rack (or any caller) writes comes out the same in the module; anything else is
// nothing, so a window never opens on half a request.
void TestEntry::stayTravelsAsText() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(desk::StayRequest, request);
    const std::optional<desk::StayRequest> read = desk::StayRequest::fromText(text);
    QCOMPARE(read.has_value(), valid);
    if (valid)
        QCOMPARE(*read, request);
}

void TestEntry::stayGoesToTheBookingAndCheckInWindows_data() {
    QTest::addColumn<QString>("classId");
    QTest::addColumn<bool>("takesAStay");
    QTest::newRow("booking") << u"bookingapp.Class1"_s << true;
    QTest::newRow("check-in") << u"arrivalapp.Class1"_s << true;
    QTest::newRow("sales") << u"chargeapp.Class1"_s << false;
    QTest::newRow("check-out") << u"departapp.Class1"_s << false;
    QTest::newRow("company") << u"firmapp.StartCls"_s << false;
}

// A stay is a value of the booking and check-in windows, refused by the others; the module
// takes it once.
void TestEntry::stayGoesToTheBookingAndCheckInWindows() {
    QFETCH(QString, classId);
    QFETCH(bool, takesAStay);
    EntryRegistry registry;
    const auto entry = registry.create(classId);
    const desk::StayRequest request = desk::StayRequest::newReservation(u"201"_s, QDate(2026, 5, 1), 2);
    bool refused = false;
    try {
        entry->setStay(request);
    } catch (const EntryError&) {
        refused = true;
    }
    QCOMPARE(refused, !takesAStay);

    desk::ModuleContext context;
    QSignalSpy handed(&context, &desk::ModuleContext::stayHandedOver);
    QVERIFY(context.setValue(desk::EntryMembers::Stay, request.toText()));
    QCOMPARE(handed.size(), 1);
    const std::optional<desk::StayRequest> taken = context.takeStay();
    QVERIFY(taken);
    QCOMPARE(*taken, request);
    QVERIFY(!context.takeStay());
}

QTEST_MAIN(TestEntry)
// Whatever its window shows, a module on a data directory keeps its files in use, so that a
// restore or an upgrade is refused instead of pulling the files from under it.
void TestEntry::aModuleIsSeenAtWorkOnItsFiles() {
    desk::test::TempDataDir dir;
    QVERIFY(dir.isValid());
    desk::ModuleContext context;
    context.setDirPath(dir.path());
    for (const QString& name : desk::Schema::fileNames())
        QVERIFY2(desk::maintenance::inUse(dir.filePath(name)), qPrintable(name));
    context.setDirPath(QString());
    for (const QString& name : desk::Schema::fileNames())
        QVERIFY2(!desk::maintenance::inUse(dir.filePath(name)), qPrintable(name));
}

// Each member name reaches its own profile value and no other, one way and back.
void TestEntry::profileValueByName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("position"); // in CompanyProfile
    const QStringList names{u"MyCompanyName"_s, u"MyZipCode"_s, u"MyAddress"_s, u"MyTelNo"_s,
                            u"MyFaxNo"_s,       u"MyURL"_s,     u"MyEmail"_s,   u"MyComment"_s};
    for (int i = 0; i < names.size(); ++i)
        QTest::newRow(qPrintable(names[i])) << names[i] << i;
}

void TestEntry::profileValueByName() {
    QFETCH(QString, name);
    QFETCH(int, position);
    desk::ModuleContext context;
    QSignalSpy changed(&context, &desk::ModuleContext::valueChanged);
    QVERIFY(context.setValue(name, u"値 "_s + name));
    QCOMPARE(context.value(name), u"値 "_s + name);
    QStringList values(8);
    values[position] = u"値 "_s + name;
    const desk::CompanyProfile expected{values[0], values[1], values[2], values[3],
                                        values[4], values[5], values[6], values[7]};
    QVERIFY(context.profile() == expected);

    // Handed over whole, the profile arrives value by value, as from the main menu.
    desk::ModuleContext other;
    QSignalSpy otherChanged(&other, &desk::ModuleContext::valueChanged);
    other.setProfile(expected);
    QCOMPARE(other.value(name), u"値 "_s + name);
    QCOMPARE(otherChanged.size(), 8);
    QCOMPARE(changed.size(), 1);
}

#include "tst_entry.moc"
