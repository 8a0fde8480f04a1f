#pragma once

#include "EntryProtocol.h"
#include "ModuleContext.h"
#include "ModuleHost.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace desk {

// The serving half of ModuleHost: the local server, the module's values and its one main
// window. Kept apart from run() so the host's rules read in one place.
class ModuleServer : public QObject {
public:
    ModuleServer(const QString& module, ModuleHost::WindowFactory factory);
    ~ModuleServer() override;

    enum class Listen { Ok, OtherInstance, Failed };
    // Listens as the program of this desk on this inn (see protocol::serverName).
    Listen listen(const QString& desk, const QString& inn);

    ModuleContext& context() { return m_context; }

private:
    void acceptConnections();
    void receive(QLocalSocket* socket);
    void handle(QLocalSocket* socket, const QJsonObject& message);
    void show(QLocalSocket* socket, const QJsonObject& message);
    void reply(QLocalSocket* socket, const QJsonObject& message);
    void raiseWindow();
    void windowGone();
    void quitIfIdle();
    bool anyWindowVisible() const;

    QString m_module;
    ModuleHost::WindowFactory m_factory;
    ModuleContext m_context;
    QLocalServer* m_server = nullptr;
    QPointer<QWidget> m_window;
    QHash<QLocalSocket*, protocol::LineReader> m_readers;
    QList<QPointer<QLocalSocket>> m_modalWaiters;
    int m_serving = 0;
    bool m_handledAny = false;
    QTimer m_idleTimer;
};

} // namespace desk
