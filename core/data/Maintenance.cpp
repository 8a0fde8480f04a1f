#include "Maintenance.h"

#include "DataLocation.h"
#include "Engine.h"
#include "ServerLocation.h"

namespace desk::maintenance {

// The administration commands of a data directory, each answered by its location.

QStringList integrityProblems(const QString& filePath) {
    return Engine::forLocation(filePath).integrityProblems(filePath);
}

void backup(const QString& dataDir, const QString& dest) {
    DataLocation::of(dataDir)->backup(dest);
}

void recordServerBackup(const QString& address, const QDateTime& when) {
    ServerLocation(address.trimmed()).recordBackup(when);
}

std::optional<QDateTime> lastServerBackup(const QString& address) {
    return ServerLocation(address.trimmed()).lastBackup();
}

bool inUse(const QString& filePath) {
    return Engine::forLocation(filePath).inUse(filePath);
}

QString restore(const QString& backupDir, const QString& dataDir) {
    return DataLocation::of(dataDir)->restore(backupDir);
}

QStringList desksOnServer(const QString& address) {
    return ServerLocation(address.trimmed()).holders();
}

QList<Finding> check(const QString& dataDir) {
    return DataLocation::of(dataDir)->check();
}

QStringList upgrade(const QString& dataDir, QString* backupFolder) {
    return DataLocation::of(dataDir)->upgrade(backupFolder);
}

DailyBackup dailyBackup(const QString& dataDir, const QString& backupRoot, int keep, const QDate& today) {
    return DataLocation::of(dataDir)->dailyBackup(backupRoot, keep, today);
}

} // namespace desk::maintenance
