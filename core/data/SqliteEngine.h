#pragma once

#include "Engine.h"

namespace desk {

// The embedded engine of one desk: a database is a file of the data directory, kept in
// write-ahead-log mode with full syncing; every program works on the machine that holds it.
class SqliteEngine final : public Engine {
public:
    static const SqliteEngine& instance();

    QString driverName() const override;
    void configure(QSqlDatabase& db, const QString& location, Access access) const override;
    void refuseForeign(const QString& location) const override;
    std::unique_ptr<OpenFiles::Hold> holdFile(const QString& location, bool creating) const override;
    QStringList sessionSettings(const QString& location) const override;
    QStringList bulkLoadSettings() const override;

    QString objectStatement() const override;
    QString objectNamesStatement() const override;
    QString columnsStatement() const override;

    Fault classify(const QSqlError& error) const override;
    // The same for a result code the library returned directly.
    Fault classify(int resultCode) const;

    QStringList beginWrite() const override;
    QStringList beginRead() const override;

    QString dateLiteral(const QDateTime& value, bool withTime) const override;
    QString caseBlind(const QString& expression) const override;
    QString exact(const QString& expression) const override;
    QString caseBlindIn(const QString& expression) const override;
    QVariant caseBlindList(const QStringList& texts) const override;
    QString insertOrReplace(const QString& table, const QStringList& columns) const override;
    QString rowKey() const override;
    QString implicitRowKey() const override;
    QStringList refusingTrigger(const QString& name, const QString& event, const QString& table,
                                const QString& condition) const override;

    QStringList integrityProblems(const QString& location) const override;
    void copyInto(Connection& from, const QString& dest) const override;
    bool inUse(const QString& location) const override;
    std::unique_ptr<ExclusiveHold> holdExclusively(const QString& location) const override;
    void copyClosed(const QString& source, const QString& dest) const override;
};

} // namespace desk
