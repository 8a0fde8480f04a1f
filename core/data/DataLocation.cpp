#include "DataLocation.h"

#include "Connection.h"
#include "DbError.h"
#include "Engine.h"
#include "FolderLocation.h"
#include "PostgresEngine.h"
#include "Schema.h"
#include "ServerLocation.h"

#include <QDir>

namespace desk {

std::unique_ptr<DataLocation> DataLocation::of(const QString& dataDir) {
    if (auto server = serverAt(dataDir))
        return server;
    return std::make_unique<FolderLocation>(folderPath(dataDir));
}

std::unique_ptr<DataLocation> DataLocation::serverAt(const QString& text) {
    if (!PostgresEngine::isAddress(text))
        return nullptr;
    return std::make_unique<ServerLocation>(text.trimmed());
}

std::unique_ptr<DataLocation> DataLocation::given(const QString& text) {
    if (auto server = serverAt(text))
        return server;
    return std::make_unique<FolderLocation>(folderPath(QDir::cleanPath(QDir::current().absoluteFilePath(text))));
}

QString DataLocation::folderPath(const QString& dir) {
    QString path = dir;
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QList<int> DataLocation::versions() const {
    QList<int> found;
    for (const QString& name : Schema::fileNames())
        found << Connection::openAnyVersion(locationOf(name))->schemaVersion();
    return found;
}

QList<maintenance::Finding> DataLocation::checkDatabases() const {
    QList<maintenance::Finding> findings;
    for (const QString& name : Schema::fileNames()) {
        const QString location = locationOf(name);
        const QStringList problems = m_engine->integrityProblems(location);
        for (const QString& problem : problems)
            findings << maintenance::Finding{name, problem, true};
        if (!problems.isEmpty())
            continue;
        try {
            const int version = Connection::openAnyVersion(location)->schemaVersion();
            if (version != Schema::Version)
                findings << maintenance::Finding{
                    name, QStringLiteral("版 %1 のファイルです（現在の版は %2）。deskadmin upgrade が必要です。")
                              .arg(version)
                              .arg(Schema::Version)};
        } catch (const DbError& e) {
            // A full disk, a permission or a lock keep check from looking: no finding.
            if (e.cause() == DbError::Cause::DiskFull || e.cause() == DbError::Cause::NoPermission ||
                e.cause() == DbError::Cause::Busy)
                throw;
            findings << maintenance::Finding{name, e.message(), true};
        }
    }
    return findings;
}

QString DataLocation::withDetail(const QString& text, const DbError& error) {
    if (error.detail().isEmpty())
        return text;
    return text + QStringLiteral("\r\n\r\n") + DbError::detailHeading() + error.detail();
}

} // namespace desk
