#pragma once

#include <QObject>
#include <QSqlDriver>
#include <QString>

class QTimer;

namespace desk {

// Other desks' saves as the database server tells them. On a server every save that commits
// sends a notice naming its database file (Connection); each program listens on a connection
// of its own and passes on the notices of other programs, so lists on screen follow what the
// other desks do. Files on one desk send none: windows read again when they are activated.
class ChangeNotices : public QObject {
    Q_OBJECT
public:
    // The notices of a data directory (or server), listened to from the first call on; on
    // files it never signals. Lives until the program ends. A listening connection that is
    // lost (a server restarted, a network cut) is made again by itself, after 1, 2, 4 … up
    // to 30 seconds; once it is back every file is announced as changed, since the saves
    // made meanwhile were not heard.
    static ChangeNotices& of(const QString& dataDir);
    // The channel the notices travel on, and how this program signs its own.
    static QString channel();
    static QString sender();
    // A notice's text: the file saved to and the program that saved.
    static QString payload(const QString& fileName);

    ~ChangeNotices() override;

    // False on a server while no notice can be heard (the server is away); true on files.
    bool isListening() const { return m_listening; }
    // How often a lost listening connection is looked for, and the longest wait between two
    // attempts to make it again (tests shorten them).
    static constexpr int WatchMs = 3000;
    static constexpr int LongestRetryMs = 30000;

signals:
    // A save of another program on fileName (one of DbFile) was committed.
    void changed(const QString& fileName);
    // The server went away (false) or is heard again (true).
    void listeningChanged(bool listening);

private:
    explicit ChangeNotices(const QString& dataDir);
    void received(const QString& name, QSqlDriver::NotificationSource source, const QVariant& payload);
    // Opens the listening connection; false when the server cannot be reached.
    bool listen();
    void closeConnection();
    // Called by the watch: a trifle asked of the server on the listening connection fails.
    void watch();
    void retry();
    void setListening(bool listening);

    QString m_location;
    QString m_connectionName;
    bool m_listening = true;
    QTimer* m_watch = nullptr;
    QTimer* m_retry = nullptr;
    int m_retryMs = 0;
    int m_attempts = 0;
};

} // namespace desk
