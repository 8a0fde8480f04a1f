#include "TempDataDir.h"

#include "data/DbError.h"
#include "data/Engine.h"
#include "data/OpenFiles.h"

#include "data/Schema.h"
#include "sampledata/SampleData.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QScopeGuard>
#include <QUrl>
#include <QVariant>

#include <memory>

namespace desk::test {

namespace {

// Building the five files takes far longer than copying them, so each test program
// builds one directory of each kind and every test copies it.
const QTemporaryDir* templateDir(bool withSample) {
    static std::unique_ptr<QTemporaryDir> plain;
    static std::unique_ptr<QTemporaryDir> sample;
    std::unique_ptr<QTemporaryDir>& slot = withSample ? sample : plain;
    if (!slot) {
        auto dir = std::make_unique<QTemporaryDir>();
        if (!dir->isValid())
            return nullptr;
        const QString path = dir->path() + QLatin1Char('/');
        Schema::createDataDirectory(path);
        if (withSample)
            Schema::addSampleData(path, QDate::currentDate());
        slot = std::move(dir);
    }
    return slot.get();
}

// The address of a database of the test server.
QString addressOf(const QString& database) {
    QUrl url(TempDataDir::server());
    url.setPath(QLatin1Char('/') + database);
    return url.toString();
}

// Runs a statement on the server's maintenance database; databases are made and dropped
// outside any database of the suite. Gives the first value of its first row, if any.
QVariant onServer(const QString& statement) {
    static const QString name = QStringLiteral("desk-test-server");
    if (!QSqlDatabase::contains(name)) {
        const Engine& engine = Engine::forLocation(TempDataDir::server());
        QSqlDatabase db = QSqlDatabase::addDatabase(engine.driverName(), name);
        engine.configure(db, TempDataDir::server(), Engine::Access::ReadWrite);
        if (!db.open())
            throw DbError(QStringLiteral("The test server cannot be reached: ") + db.lastError().text());
    }
    QSqlQuery query(QSqlDatabase::database(name, false));
    if (!query.exec(statement))
        throw DbError(QStringLiteral("The test server refused: ") + query.lastError().text(), statement);
    return query.next() ? query.value(0) : QVariant();
}

// Ends every other session on a database and waits, briefly, until they are gone: the
// server's own wait before it drops, renames or copies a database looks again only every
// tenth of a second. The connections this program keeps for reuse are among them (found
// dead, and replaced, if asked for again).
void endSessions(const QString& database) {
    const QString others =
        QStringLiteral("FROM pg_stat_activity WHERE datname = '%1' AND pid <> pg_backend_pid()").arg(database);
    onServer(QStringLiteral("SELECT count(pg_terminate_backend(pid)) ") + others);
    for (int i = 0; i < 400 && onServer(QStringLiteral("SELECT count(*) ") + others).toInt() > 0; ++i)
        QThread::msleep(5);
}

// A copy of a template database. Copied file by file: the default way, page by page through
// the server's log, takes several times as long for a database as small as an inn's.
void copyDatabase(const QString& name, const QString& from) {
    static bool byFile = true;
    if (byFile) {
        try {
            onServer(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY").arg(name, from));
            return;
        } catch (const DbError&) {
            // A server before version 15 knows one way only.
            byFile = false;
        }
    }
    onServer(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(name, from));
}

// One template database per kind for the whole run of the suite (the server is the run's
// own): the first test program to need it builds it, under a lock the others wait on, and
// every test copies it. It takes its name only once it is whole.
QString templateDatabase(bool withSample) {
    static QString plain;
    static QString sample;
    QString& slot = withSample ? sample : plain;
    if (slot.isEmpty()) {
        const QString name = withSample ? QStringLiteral("tesaro_template_sample") : QStringLiteral("tesaro_template");
        const QString lock = QStringLiteral("hashtext('%1')").arg(name);
        onServer(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(lock));
        const auto unlock = qScopeGuard([&] {
            try {
                onServer(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(lock));
            } catch (const DbError&) {
                // The lock goes with the session at the latest.
            }
        });
        if (!onServer(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(name)).isValid()) {
            const QString building = QStringLiteral("%1_%2").arg(name).arg(QCoreApplication::applicationPid());
            onServer(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(building));
            onServer(QStringLiteral("CREATE DATABASE %1").arg(building));
            Schema::createDataDirectory(addressOf(building));
            if (withSample)
                Schema::addSampleData(addressOf(building), QDate::currentDate());
            // A database is renamed and copied only while no one is connected to it.
            endSessions(building);
            onServer(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(building, name));
        }
        slot = name;
    }
    return slot;
}

} // namespace

QString TempDataDir::server() {
    return qEnvironmentVariable("TESARO_TEST_SERVER");
}

TempDataDir::TempDataDir(bool withSample)
    : TempDataDir(withSample ? Contents::SampleInn : Contents::Inn) {}

TempDataDir::TempDataDir(Contents contents) {
    const bool withSample = contents == Contents::SampleInn;
    if (!server().isEmpty()) {
        static int made = 0;
        const QString name = QStringLiteral("test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        if (contents == Contents::Nothing)
            onServer(QStringLiteral("CREATE DATABASE %1").arg(name));
        else
            copyDatabase(name, templateDatabase(withSample));
        m_database = name;
        m_valid = true;
        return;
    }
    if (!m_dir.isValid())
        return;
    if (contents == Contents::Nothing) {
        m_valid = true;
        return;
    }
    const QTemporaryDir* source = templateDir(withSample);
    if (!source)
        return;
    // The template's connections are closed, so each file is whole without its -shm;
    // a -wal left behind travels with its file. The files are copied as they are, keeping
    // their log mode: a copy made by the engine would start in another one.
    const QDir from(source->path());
    for (const QString& name : from.entryList(QDir::Files)) {
        if (name.endsWith(QLatin1String("-shm")))
            continue;
        // Copied by hand only while no connection of this program is on the template file:
        // closing the copy's descriptor would drop that connection's locks.
        bool copied = false;
        const bool closed = OpenFiles::whileClosed(from.filePath(name),
                                                   [&] { copied = QFile::copy(from.filePath(name), path() + name); });
        if (!closed || !copied)
            return;
        QFile::setPermissions(path() + name, QFile::ReadOwner | QFile::WriteOwner);
    }
    m_valid = true;
}

TempDataDir::~TempDataDir() {
    if (m_database.isEmpty())
        return;
    try {
        // Connections a test left open are ended with the database.
        endSessions(m_database);
        onServer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
    } catch (const DbError&) {
        // The server and everything on it go at the end of the run anyway.
    }
}

QString TempDataDir::path() const {
    if (!m_database.isEmpty())
        return addressOf(m_database);
    return m_dir.path() + QLatin1Char('/');
}

QString TempDataDir::filePath(const QString& fileName) const {
    return Engine::locationOf(path(), fileName);
}

} // namespace desk::test
