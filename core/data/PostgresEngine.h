#pragma once

#include "Engine.h"

#include <optional>

namespace desk {

// Several desks on one database server. DPath.txt names the server as a connection address
// ("postgresql://user@host:port/database", the password in the user's ~/.pgpass); the five
// databases of a data directory are five schemas of that database, named after the files, and
// a location is the address with the file's name after a '#'. Every connection works in its
// file's schema (search_path), so statements name tables as on a desk of its own.
class PostgresEngine final : public Engine {
public:
    static const PostgresEngine& instance();

    // Whether text is a server address (or a location on one).
    static bool isAddress(const QString& text);
    // The location of a file's schema on the server at address.
    static QString locationOf(const QString& address, const QString& fileName);
    // The address part of a location, and the schema its file is kept in.
    static QString addressOf(const QString& location);
    static QString schemaOf(const QString& location);
    // What a database needs once before the schemas are made (run in its public schema):
    // the case-blind text type, the yes/no and currency types and the functions the
    // statements of the suite use.
    static QStringList databaseSetup();

    // How a session of this program names itself to the server (its application_name):
    // "tesaro <program>/<pid> <desk>", so the server's list of sessions tells who has the
    // inn open. The server keeps printable ASCII alone there: the desk's other letters are
    // percent-encoded.
    static QString applicationName();
    struct Session {
        QString program; // empty for a session of an older program
        QString desk;
    };
    // What an application_name tells of a session of the suite; nothing for another client.
    static std::optional<Session> sessionOf(const QString& applicationName);

    // The part of the inn one of the five files (DbFile) holds, in the owner's words.
    static QString partOfInn(const QString& fileName);

    bool keepsSessions() const override { return true; }
    QString displayName(const QString& location) const override;
    QString fileNameOf(const QString& location) const override;
    QString placeLine(const QString& location) const override;
    QString placeNote(const QString& location, const QString& message) const override;
    QString dataDirOf(const QString& location) const override;
    QString withoutRecordText(const QSqlDatabase& db, const QString& location) const override;
    QString changeNotice(const QString& payload) const override;
    bool tellsChanges() const override { return true; }

    QString driverName() const override;
    void configure(QSqlDatabase& db, const QString& location, Access access) const override;
    void refuseForeign(const QString& location) const override;
    QStringList lookupSettings(const QString& location) const override;
    QStringList sessionSettings(const QString& location) const override;
    QStringList bulkLoadSettings() const override;

    QString objectStatement() const override;
    QString objectNamesStatement() const override;
    QString columnsStatement() const override;

    Fault classify(const QSqlError& error) const override;
    DbError::Cause whyNotOpened(const QString& location, const QSqlError& error) const override;
    // Whether the server at the location's address lets the login in and has no database of
    // the name the location gives.
    bool databaseMissing(const QString& location) const;
    // The same for an error code (SQLSTATE) alone.
    static DbError::Cause causeOf(const QString& sqlState);

    QStringList beginWrite() const override;
    QStringList beginRead() const override;

    QString columnType(Declared type) const override;
    QString rowKeyType() const override;
    QVariant bindable(const QVariant& value) const override;
    bool streamsResults() const override { return false; }
    bool foldsNames() const override { return true; }
    int rowsReadAhead() const override { return 100; }
    int rowsPerInsert() const override { return 50; }
    QString functionName(Function function) const override;
    QString dateLiteral(const QDateTime& value, bool withTime) const override;
    QString caseBlind(const QString& expression) const override;
    QString exact(const QString& expression) const override;
    QString caseBlindIn(const QString& expression) const override;
    QVariant caseBlindList(const QStringList& texts) const override;
    QString insertOrReplace(const QString& table, const QStringList& columns) const override;
    QString returningRowKey() const override;
    QString keysGiven(const QString& table) const override;
    QString rowKey() const override;
    // The first version of the schema that brought the server engine: no inn on a server is
    // older.
    int firstSchemaVersion() const override { return 6; }
    QStringList renameTable(const QString& from, const QString& to) const override;
    QStringList nightsApart(const QString& table, const QString& key, const QString& firstNight,
                            const QString& nights) const override;
    QStringList refusingTrigger(const QString& name, const QString& event, const QString& table,
                                const QString& condition) const override;

    QStringList integrityProblems(const QString& location) const override;
    void copyInto(Connection& from, const QString& dest) const override;
    bool inUse(const QString& location) const override;
    std::unique_ptr<ExclusiveHold> holdExclusively(const QString& location) const override;
    void copyClosed(const QString& source, const QString& dest) const override;
};

} // namespace desk
