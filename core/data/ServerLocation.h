#pragma once

#include "DataLocation.h"

#include <QDateTime>

namespace desk {

// An inn in five schemas of one database on a server, shared by several desks.
class ServerLocation final : public DataLocation {
public:
    // address as DPath.txt names it, trimmed.
    explicit ServerLocation(const QString& address);

    QString locationOf(const QString& fileName) const override;
    QString displayName() const override;
    QString partName(const QString& fileName) const override;
    bool groupsFindings() const override { return true; }
    QString adminName() const override;
    QString titleNote() const override { return displayName(); }

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

    // The last backup of the inn (backup() records it on the server when it is done), which
    // the main menu names: the desks take no daily backup of a server's inn.
    void recordBackup(const QDateTime& when) const;
    std::optional<QDateTime> lastBackup() const;

private:
    void refuseWhileDesksWork(const QString& refusal) const;
};

} // namespace desk
