#pragma once

#include <QString>
#include <QVariant>

#include <functional>

#include <stdexcept>

namespace desk {

// Every failure of the data layer: the statement or criterion that failed, the file it
// ran against and the engine's own message, so a developer can act on it.
class DbError : public std::runtime_error {
public:
    // What went wrong, where a caller acts on it (start-up names the real cause).
    enum class Cause {
        Other,
        DuplicateKey,   // a unique key refused the row
        Missing,        // no such file
        NoPermission,   // the file may not be read
        NotADatabase,   // empty, another format, or no file of this system
        Damaged,        // the engine finds the file malformed
        WrongVersion,   // a file of another schema version: deskadmin upgrade
        DiskFull,       // no room left on the disk, or the device failed
        Busy,           // another program holds the file (a restore, an upgrade, a long save)
        Unreachable,    // the database server cannot be reached, or the connection to it was lost
        LoginRefused,   // the database server refused the login (user, password)
        NoSuchDatabase, // the database server has no database of the name given
        Clash,          // two rows would hold one key for one night (Engine::nightsApart)
    };

    // detail: the engine's or driver's own words (often English), for whoever looks after
    // the database; shown apart from the message (text()).
    DbError(const QString& message, const QString& statement = {}, const QString& file = {}, Cause cause = Cause::Other,
            const QString& detail = {});

    // A failure the engine reported, in words the clerk can act on where there are any. The
    // engine class of the connection tells the cause from its own error code (Engine::failure):
    // a refused duplicate key names the number or code of keyColumn (valueOf gives the value
    // written to a column, when the caller knows it), a full disk and a damaged file say so;
    // anything else says in Japanese that the database failed, with the engine's message as
    // detail.
    static DbError fromEngine(const QString& engineMessage, const QString& statement, const QString& file,
                              Cause cause = Cause::Other, const QString& keyColumn = {},
                              const std::function<QVariant(const QString& column)>& valueOf = {});

    // What went wrong in the clerk's words.
    QString message() const { return m_message; }
    // The engine's own words behind it; empty when the message says all.
    QString detail() const { return m_detail; }
    // The message with the engine's words after it under "詳細: " (a message box shows that
    // part behind its details button, see Dialogs).
    QString text() const;
    // Where it happened, as a message line: "ファイル: <path>" on files, "データ: サーバー
    // host:5432/inn の売上のデータ" on a server; empty when no file is known.
    QString place() const;
    // The heading of the detail block that closes a text.
    static QString detailHeading();
    // A unique key refused the row (the number or code is already there).
    bool isDuplicateKey() const { return m_cause == Cause::DuplicateKey; }
    Cause cause() const { return m_cause; }
    QString statement() const { return m_statement; }
    QString file() const { return m_file; }

private:
    QString m_message;
    QString m_detail;
    QString m_statement;
    QString m_file;
    Cause m_cause = Cause::Other;
};

} // namespace desk
