#include "ModuleServer.h"

#include "EntryError.h"
#include "data/DbError.h"
#include "data/Desk.h"
#include "ui/Dialogs.h"
#include "ui/SlotGuard.h"

#include <QApplication>
#include <QJsonArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace desk {

namespace {

// The text the caller shows when the window failed to load: the failure itself, without
// the generic heading the module's own message boxes carry.
QString loadFailureText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const DbError& e) {
        QString text = e.message();
        if (!e.place().isEmpty())
            text += QStringLiteral("\r\n") + e.place();
        if (!e.detail().isEmpty())
            text += QStringLiteral("\r\n\r\n") + desk::DbError::detailHeading() + e.detail();
        return text;
    } catch (const EntryError& e) {
        return e.message();
    } catch (...) {
        return describeError(std::current_exception());
    }
}

} // namespace

ModuleServer::ModuleServer(const QString& module, ModuleHost::WindowFactory factory)
    : m_module(module)
    , m_factory(std::move(factory)) {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &ModuleServer::acceptConnections);

    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(ModuleHost::IdleExitMs);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        m_handledAny = true;
        quitIfIdle();
    });
    // Report previews and other windows of the module keep it alive after its main window.
    connect(qApp, &QGuiApplication::lastWindowClosed, this, &ModuleServer::quitIfIdle, Qt::QueuedConnection);
}

ModuleServer::~ModuleServer() = default;

ModuleServer::Listen ModuleServer::listen(const QString& desk, const QString& inn) {
    const QString name = protocol::serverName(m_module, QCoreApplication::applicationDirPath(), desk, inn);
    if (!m_server->listen(name)) {
        // The name is taken: either a running instance answers there, or a crashed one
        // left its socket behind.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(1000))
            return Listen::OtherInstance;
        QLocalServer::removeServer(name);
        if (!m_server->listen(name))
            return Listen::Failed;
    }
    m_idleTimer.start();
    return Listen::Ok;
}

void ModuleServer::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        m_readers.insert(socket, {});
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_readers.remove(socket);
            socket->deleteLater();
        });
        receive(socket);
    }
}

void ModuleServer::receive(QLocalSocket* socket) {
    auto it = m_readers.find(socket);
    if (it == m_readers.end())
        return;
    it->append(socket->readAll());
    const QList<QJsonObject> messages = it->take();
    for (const QJsonObject& message : messages)
        handle(socket, message);
}

void ModuleServer::handle(QLocalSocket* socket, const QJsonObject& message) {
    const QString op = message.value(QStringLiteral("op")).toString();
    if (op == QLatin1String("set"))
        m_context.setValue(message.value(QStringLiteral("name")).toString(),
                           message.value(QStringLiteral("value")).toString());
    else if (op == QLatin1String("show"))
        show(socket, message);
    else if (op == QLatin1String("raise"))
        raiseWindow();
}

void ModuleServer::raiseWindow() {
    // The caller waits for this window and was clicked: the window comes forward.
    if (!m_window)
        return;
    if (m_window->isMinimized())
        m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

void ModuleServer::show(QLocalSocket* socket, const QJsonObject& message) {
    ++m_serving;
    m_handledAny = true;
    m_idleTimer.stop();
    QPointer<QLocalSocket> caller(socket);

    const QJsonArray values = message.value(QStringLiteral("values")).toArray();
    for (const QJsonValue& pair : values) {
        const QJsonArray nameValue = pair.toArray();
        m_context.setValue(nameValue.at(0).toString(), nameValue.at(1).toString());
    }

    QString failure;
    if (m_window) {
        // Shown again as it is: the window is not loaded a second time.
        if (m_window->isMinimized())
            m_window->showNormal();
        else
            m_window->show();
    } else {
        QWidget* window = nullptr;
        try {
            window = m_factory(m_context);
        } catch (...) {
            failure = loadFailureText(std::current_exception());
        }
        if (!window && failure.isEmpty())
            failure = QStringLiteral("画面を作成できませんでした。");
        if (window) {
            window->setAttribute(Qt::WA_DeleteOnClose);
            connect(window, &QObject::destroyed, this, &ModuleServer::windowGone);
            m_window = window;
            window->show();
        }
    }
    if (m_window) {
        m_window->raise();
        m_window->activateWindow();
    }

    if (failure.isEmpty()) {
        reply(caller, {{QStringLiteral("reply"), QStringLiteral("shown")}});
        if (message.value(QStringLiteral("modal")).toBool() && caller)
            m_modalWaiters.append(caller);
    } else {
        reply(caller, {{QStringLiteral("reply"), QStringLiteral("error")}, {QStringLiteral("text"), failure}});
    }
    --m_serving;
    QTimer::singleShot(0, this, &ModuleServer::quitIfIdle);
}

void ModuleServer::reply(QLocalSocket* socket, const QJsonObject& message) {
    if (!socket || socket->state() != QLocalSocket::ConnectedState)
        return;
    socket->write(protocol::encode(message));
    socket->flush();
}

void ModuleServer::windowGone() {
    const auto waiters = std::exchange(m_modalWaiters, {});
    for (const QPointer<QLocalSocket>& waiter : waiters)
        reply(waiter, {{QStringLiteral("reply"), QStringLiteral("closed")}});
    // Every other caller still connected learns it too (the main menu refreshes its lists).
    const QList<QLocalSocket*> callers = m_readers.keys();
    for (QLocalSocket* caller : callers) {
        if (!waiters.contains(caller))
            reply(caller, {{QStringLiteral("event"), QStringLiteral("windowClosed")}});
    }
    QTimer::singleShot(0, this, &ModuleServer::quitIfIdle);
}

bool ModuleServer::anyWindowVisible() const {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* w) { return w->isVisible(); });
}

void ModuleServer::quitIfIdle() {
    if (!m_handledAny || m_serving > 0 || m_window || anyWindowVisible())
        return;
    // Stop taking callers first: one that comes now starts a fresh instance instead.
    m_server->close();
    const QList<QLocalSocket*> sockets = m_readers.keys();
    for (QLocalSocket* socket : sockets) {
        if (socket->bytesToWrite() > 0)
            socket->waitForBytesWritten(1000);
    }
    QCoreApplication::quit();
}

int ModuleHost::run(int argc, char* argv[], const QString& module, const WindowFactory& factory) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(module);
    useJapanese();
    // The host decides when to end: not while a caller is being served.
    QApplication::setQuitOnLastWindowClosed(false);
    // Started by a caller: the desk and inn it serves. Started by hand: this desk, no inn yet.
    QString desk = currentDesk();
    QString inn;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String(protocol::DeskArgument))
            desk = arguments.at(++i);
        else if (arguments.at(i) == QLatin1String(protocol::InnArgument))
            inn = arguments.at(++i);
    }
    // Its work lines are the desk's it serves, whatever the environment it was started in.
    qputenv("TESARO_DESK", desk.toUtf8());
    ModuleServer server(module, factory);
    switch (server.listen(desk, inn)) {
    case ModuleServer::Listen::Ok:
        break;
    case ModuleServer::Listen::OtherInstance:
        // Callers reach the running instance by themselves.
        return 0;
    case ModuleServer::Listen::Failed:
        return 1;
    }
    return QApplication::exec();
}

} // namespace desk
