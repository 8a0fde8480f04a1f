#pragma once

#include "DataLocation.h"

namespace desk {

// An inn of five files in a data directory on this machine.
class FolderLocation final : public DataLocation {
public:
    // folder ending in '/' (DataLocation::folderPath).
    explicit FolderLocation(const QString& folder);

    QString locationOf(const QString& fileName) const override;
    QString displayName() const override;
    QString partName(const QString& fileName) const override { return fileName; }
    bool groupsFindings() const override { return false; }
    QString adminName() const override;
    QString titleNote() const override { return {}; }

    std::shared_ptr<Connection> open(const QString& fileName) const override;
    std::optional<QString> startProblem() const override;
    QString openFailureText(const DbError& error) const override;
    void create() const override;
    void createFilled(const std::function<void(const QString& dataDir)>& fill) const override;
    void remove() const override;
    void settle() const override;

    void backup(const QString& dest) const override;
    QString restore(const QString& backupDir) const override;
    QList<maintenance::Finding> check() const override;
    QStringList upgrade(QString* backupFolder) const override;
    maintenance::DailyBackup dailyBackup(const QString& backupRoot, int keep, const QDate& today) const override;
    QStringList holders() const override;

private:
    void refuseMissingFolder() const;
};

} // namespace desk
