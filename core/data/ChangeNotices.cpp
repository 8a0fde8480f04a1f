#include "ChangeNotices.h"

#include "Connection.h"
#include "Desk.h"
#include "Engine.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>

#include <memory>

namespace desk {

namespace {
const QChar PayloadSeparator = QLatin1Char('|');
} // namespace

ChangeNotices& ChangeNotices::of(const QString& dataDir) {
    static QHash<QString, ChangeNotices*> listeners;
    ChangeNotices*& slot = listeners[dataDir];
    if (!slot)
        slot = new ChangeNotices(dataDir); // lives as long as the program
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
    if (!Engine::isServerAddress(dataDir))
        return;
    const QString location = Engine::locationOf(dataDir, QString::fromLatin1(DbFile::Reservation));
    const Engine& engine = Engine::forLocation(location);
    m_connectionName = QStringLiteral("desk-change-notices-%1").arg(quintptr(this));
    QSqlDatabase db = QSqlDatabase::addDatabase(engine.driverName(), m_connectionName);
    engine.configure(db, location, Engine::Access::ReadOnly);
    if (!db.open() || !db.driver()->subscribeToNotification(channel())) {
        qWarning() << "No notices of other desks:" << db.lastError().text();
        return;
    }
    connect(db.driver(), &QSqlDriver::notification, this, &ChangeNotices::received);
}

ChangeNotices::~ChangeNotices() {
    if (m_connectionName.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
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
