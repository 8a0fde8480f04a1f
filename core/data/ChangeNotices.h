#pragma once

#include <QObject>
#include <QSqlDriver>
#include <QString>

namespace desk {

// Other desks' saves as the database server tells them. On a server every save that commits
// sends a notice naming its database file (Connection); each program listens on a connection
// of its own and passes on the notices of other programs, so lists on screen follow what the
// other desks do. Files on one desk send none: windows read again when they are activated.
class ChangeNotices : public QObject {
    Q_OBJECT
public:
    // The notices of a data directory (or server), listened to from the first call on; on
    // files it never signals. Lives until the program ends; a server that cannot be
    // listened to is noted on the debug output and leaves the windows as on files.
    static ChangeNotices& of(const QString& dataDir);
    // The channel the notices travel on, and how this program signs its own.
    static QString channel();
    static QString sender();
    // A notice's text: the file saved to and the program that saved.
    static QString payload(const QString& fileName);

    ~ChangeNotices() override;

signals:
    // A save of another program on fileName (one of DbFile) was committed.
    void changed(const QString& fileName);

private:
    explicit ChangeNotices(const QString& dataDir);
    void received(const QString& name, QSqlDriver::NotificationSource source, const QVariant& payload);

    QString m_connectionName;
};

} // namespace desk
