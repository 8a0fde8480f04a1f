#include "ProcessEntry.h"

#include "EntryError.h"
#include "EntryProtocol.h"
#include "InputBlocker.h"
#include "data/Desk.h"
#include "ui/BusyCursor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>

#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace desk {

namespace {

bool processAlive(qint64 pid) {
#ifdef Q_OS_UNIX
    if (pid <= 0)
        return true;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    // An ended program may linger as a zombie until its new parent reaps it.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        if (close >= 0 && close + 2 < line.size() && line.at(close + 2) == 'Z')
            return false;
    }
    return true;
#else
    Q_UNUSED(pid);
    return true;
#endif
}

bool tryConnect(QLocalSocket& socket, const QString& name) {
    socket.abort();
    socket.connectToServer(name);
    // A local server either accepts at once or is not there; this does not wait long.
    return socket.waitForConnected(1000);
}

// Runs the event loop for about ms milliseconds (painting goes on; input is blocked by the caller).
void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

ProcessEntry::ProcessEntry(EntryClass entryClass, QString programsDir)
    : m_class(std::move(entryClass))
    , m_programsDir(std::move(programsDir)) {}

ProcessEntry::~ProcessEntry() {
    if (m_socket && m_socket->state() == QLocalSocket::ConnectedState) {
        if (m_socket->bytesToWrite() > 0)
            m_socket->waitForBytesWritten(1000);
        m_socket->disconnectFromServer();
    }
}

void ProcessEntry::setValue(const QString& name, const QString& value) {
    const bool known =
        name == EntryMembers::DirPath || (m_class.profileValues && EntryMembers::profileOrder().contains(name)) ||
        (m_class.guest && name == EntryMembers::CheckInNo) || (m_class.stays && name == EntryMembers::Stay);
    if (!known)
        throw EntryError(QStringLiteral("%1 にはプロパティ %2 がありません。").arg(m_class.classId, name));
    m_values.append({name, value});
    // Once the module runs, a value goes straight to it, as the window may read it later.
    if (m_socket && m_socket->state() == QLocalSocket::ConnectedState) {
        m_socket->write(protocol::encode({{QStringLiteral("op"), QStringLiteral("set")},
                                          {QStringLiteral("name"), name},
                                          {QStringLiteral("value"), value}}));
        m_socket->flush();
    }
}

QString ProcessEntry::programPath() const {
    QString name = m_class.program;
#ifdef Q_OS_WIN
    name += QStringLiteral(".exe");
#endif
    return QDir(m_programsDir).filePath(name);
}

std::unique_ptr<QLocalSocket> ProcessEntry::connectOrStart() {
    auto socket = std::make_unique<QLocalSocket>();
    // The program of this desk on this inn: another desk's, or one on another inn, is not ours.
    const QString desk = currentDesk();
    QString inn;
    for (const auto& [name, value] : std::as_const(m_values)) {
        if (name == EntryMembers::DirPath)
            inn = value;
    }
    const QString name = protocol::serverName(m_class.program, m_programsDir, desk, inn);
    if (tryConnect(*socket, name))
        return socket;

    const QString path = programPath();
    const QFileInfo info(path);
    if (!info.isFile())
        throw EntryError(
            QStringLiteral("プログラム「%1」が見つかりません。\r\nこの機能はまだインストールされていません。\r\n"
                           "場所: %2")
                .arg(m_class.program, QDir::toNativeSeparators(path)));
    qint64 pid = 0;
    const QStringList arguments{QString::fromLatin1(protocol::DeskArgument), desk,
                                QString::fromLatin1(protocol::InnArgument), inn};
    if (!info.isExecutable() || !QProcess::startDetached(path, arguments, m_programsDir, &pid))
        throw EntryError(QStringLiteral("プログラム「%1」を起動できませんでした。\r\n場所: %2")
                             .arg(m_class.program, QDir::toNativeSeparators(path)));

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < StartTimeoutMs) {
        // A program is up in a few tens of milliseconds: looking only every 100 ms kept the
        // clerk waiting up to that long after it was ready. A look is one failed connect.
        pause(10);
        if (tryConnect(*socket, name))
            return socket;
        // The program may have stepped aside for an instance started at the same moment.
        if (!processAlive(pid)) {
            if (tryConnect(*socket, name))
                return socket;
            throw EntryError(QStringLiteral("プログラム「%1」が起動直後に終了しました。").arg(m_class.program));
        }
    }
    throw EntryError(
        QStringLiteral("プログラム「%1」から応答がありません。\r\nしばらくしてからもう一度お試しください。")
            .arg(m_class.program));
}

void ProcessEntry::attach(std::unique_ptr<QLocalSocket> socket) {
    m_socket = std::move(socket);
    m_reader = {};
    m_inbox.clear();
    QObject::connect(m_socket.get(), &QLocalSocket::readyRead, m_socket.get(), [this] { pump(); });
}

void ProcessEntry::pump() {
    if (!m_socket)
        return;
    m_reader.append(m_socket->readAll());
    const QList<QJsonObject> messages = m_reader.take();
    for (const QJsonObject& message : messages) {
        if (message.value(QStringLiteral("event")).toString() == QLatin1String("windowClosed")) {
            // Told from the event loop, never from inside a wait of ShowForm.
            QMetaObject::invokeMethod(
                m_socket.get(), [this] { windowClosed(); }, Qt::QueuedConnection);
            continue;
        }
        m_inbox.append(message);
    }
}

std::optional<QJsonObject> ProcessEntry::nextReply(int timeoutMs, bool* timedOut) {
    if (timedOut)
        *timedOut = false;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QLocalSocket& socket = *m_socket;
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
    tick.start(250);
    for (;;) {
        pump();
        if (!m_inbox.isEmpty())
            return m_inbox.takeFirst();
        if (socket.state() != QLocalSocket::ConnectedState)
            return std::nullopt;
        if (timeoutMs >= 0 && clock.elapsed() > timeoutMs) {
            if (timedOut)
                *timedOut = true;
            return std::nullopt;
        }
        loop.exec();
    }
}

void ProcessEntry::requestRaise() {
    if (!m_socket || m_socket->state() != QLocalSocket::ConnectedState)
        return;
    m_socket->write(protocol::encode({{QStringLiteral("op"), QStringLiteral("raise")}}));
    m_socket->flush();
}

ProcessEntry::Outcome ProcessEntry::showOn(bool withValues) {
    QLocalSocket& socket = *m_socket;
    // On a connection that already carried the values (and every later one) they are
    // the module's already; sending them again could undo what another caller set since.
    QJsonArray values;
    if (withValues) {
        for (const auto& [name, value] : std::as_const(m_values))
            values.append(QJsonArray{name, value});
    }
    socket.write(protocol::encode({{QStringLiteral("op"), QStringLiteral("show")},
                                   {QStringLiteral("modal"), m_class.show == EntryClass::Show::Modal},
                                   {QStringLiteral("values"), values}}));
    socket.flush();

    bool timedOut = false;
    const std::optional<QJsonObject> reply = nextReply(LoadTimeoutMs, &timedOut);
    if (timedOut)
        throw EntryError(QStringLiteral("プログラム「%1」の画面が時間内に表示されませんでした。").arg(m_class.program));
    if (!reply)
        return Outcome::Gone;
    const QString kind = reply->value(QStringLiteral("reply")).toString();
    if (kind == QLatin1String("shown"))
        return Outcome::Shown;
    QString text = reply->value(QStringLiteral("text")).toString();
    if (text.isEmpty())
        text = QStringLiteral("原因不明のエラーです。");
    throw EntryError(QStringLiteral("「%1」の画面を開けませんでした。\r\n%2").arg(m_class.program, text));
}

void ProcessEntry::waitUntilClosed() {
    for (;;) {
        const std::optional<QJsonObject> message = nextReply(-1);
        // A module that went away has no window left to wait for.
        if (!message || message->value(QStringLiteral("reply")).toString() == QLatin1String("closed"))
            return;
    }
}

void ProcessEntry::ShowForm() {
    // While a modal window is open, trying to use the caller brings that window forward.
    bool waitingModal = false;
    InputBlocker blocker([this, &waitingModal] {
        if (waitingModal)
            requestRaise();
    });
    std::optional<BusyCursor> busy;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        busy.emplace();

    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool fresh = !m_socket || m_socket->state() != QLocalSocket::ConnectedState;
        if (fresh)
            attach(connectOrStart());
        if (showOn(fresh) == Outcome::Gone) {
            // The instance reached was closing its last window; the next round starts a new one.
            m_socket.reset();
            continue;
        }
        busy.reset();
        if (m_class.show == EntryClass::Show::Modal) {
            waitingModal = true;
            waitUntilClosed();
        }
        return;
    }
    throw EntryError(
        QStringLiteral("プログラム「%1」から応答がありません。\r\nしばらくしてからもう一度お試しください。")
            .arg(m_class.program));
}

} // namespace desk
