#include "ChangeNotices.h"

#include "Connection.h"
#include "DataLocation.h"
#include "Desk.h"
#include "Engine.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QtDebug>

#include <algorithm>

#include <memory>

namespace desk {

namespace {
const QChar PayloadSeparator = QLatin1Char('|');
constexpr int FirstRetryMs = 1000;
// Seconds an attempt to listen again waits for a server that does not answer.
constexpr int ConnectTimeoutS = 3;
} // namespace

ChangeNotices& ChangeNotices::of(const QString& dataDir) {
    static QHash<QString, QPointer<ChangeNotices>> listeners;
    QPointer<ChangeNotices>& slot = listeners[dataDir];
    if (!slot) {
        // Lives as long as the application object, which deletes it (and its session) at its
        // end: nothing is left to the program's exit.
        slot = new ChangeNotices(dataDir);
        slot->setParent(QCoreApplication::instance());
    }
    return *slot;
}

QString ChangeNotices::channel() {
    return QStringLiteral("tesaro_changes");
}

QString ChangeNotices::sender() {
    static const QString name = currentDesk() + QLatin1Char('/') + QString::number(QCoreApplication::applicationPid());
    return name;
}

QString ChangeNotices::payload(const QString& fileName) {
    return fileName + PayloadSeparator + sender();
}

ChangeNotices::ChangeNotices(const QString& dataDir) {
    const auto location = DataLocation::of(dataDir);
    if (!location->engine().tellsChanges())
        return;
    m_location = location->locationOf(QString::fromLatin1(DbFile::Reservation));
    m_watch = new QTimer(this);
    m_watch->setInterval(WatchMs);
    connect(m_watch, &QTimer::timeout, this, &ChangeNotices::watch);
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &ChangeNotices::retry);
    if (listen()) {
        m_watch->start();
        return;
    }
    m_listening = false;
    m_retryMs = FirstRetryMs;
    m_retry->start(m_retryMs);
}

ChangeNotices::~ChangeNotices() {
    closeConnection();
}

bool ChangeNotices::listen() {
    closeConnection();
    const Engine& engine = Engine::forLocation(m_location);
    m_connectionName = QStringLiteral("desk-change-notices-%1-%2").arg(quintptr(this)).arg(++m_attempts);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(engine.driverName(), m_connectionName);
        engine.configure(db, m_location, Engine::Access::ReadOnly);
        // The main menu waits for an attempt: a server that does not answer is given up on
        // soon (the later option of the two counts) and tried again later. A server gone
        // without a word (a cable pulled) is noticed by the system's keep-alive probes within
        // a minute or so, not hours.
        db.setConnectOptions(db.connectOptions() +
                             QStringLiteral(";connect_timeout=%1;keepalives_idle=30;keepalives_interval=10;"
                                            "keepalives_count=3;tcp_user_timeout=5000")
                                 .arg(ConnectTimeoutS));
        if (db.open() && db.driver()->subscribeToNotification(channel()))
            connect(db.driver(), &QSqlDriver::notification, this, &ChangeNotices::received);
        else
            failure = db.lastError().text();
    }
    if (failure.isEmpty())
        return true;
    // Said once when the server goes away, not at every attempt after.
    if (m_listening)
        qWarning() << "No notices of other desks:" << failure;
    closeConnection();
    return false;
}

void ChangeNotices::closeConnection() {
    if (m_connectionName.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

void ChangeNotices::watch() {
    // A session the server ended (a restart) or lost (the network) shows at the next trip: the
    // driver's own watch on the socket says nothing the program can read, so the listener asks
    // the server a trifle now and then. The timeouts set on it keep a cut cable from holding
    // the window for more than a few seconds.
    {
        const QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isValid() && db.isOpen()) {
            QSqlQuery probe(db);
            if (probe.exec(QStringLiteral("SELECT 1")))
                return;
        }
    }
    m_watch->stop();
    closeConnection();
    qWarning() << "The database server is away: notices of other desks resume once it is back.";
    setListening(false);
    m_retryMs = FirstRetryMs;
    m_retry->start(m_retryMs);
}

void ChangeNotices::retry() {
    if (!listen()) {
        m_retryMs = std::min(m_retryMs * 2, LongestRetryMs);
        m_retry->start(m_retryMs);
        return;
    }
    m_watch->start();
    setListening(true);
    // Saves made while nobody listened were not heard: every list is read again.
    for (const QString& file : Schema::fileNames())
        emit changed(file);
}

void ChangeNotices::setListening(bool listening) {
    if (listening == m_listening)
        return;
    m_listening = listening;
    emit listeningChanged(listening);
}

void ChangeNotices::received(const QString& name, QSqlDriver::NotificationSource, const QVariant& payload) {
    if (name != channel())
        return;
    const QString text = payload.toString();
    const qsizetype at = text.indexOf(PayloadSeparator);
    if (at < 0 || text.mid(at + 1) == sender())
        return;
    emit changed(text.left(at));
}

} // namespace desk
