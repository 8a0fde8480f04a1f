#pragma once

#include <QString>

#include <stdexcept>

namespace desk {

// Every failure of the data layer: the statement or criterion that failed, the file it
// ran against and the engine's own message, so a developer can act on it.
class DbError : public std::runtime_error {
public:
    DbError(const QString& message, const QString& statement = {}, const QString& file = {});

    QString message() const { return m_message; }
    QString statement() const { return m_statement; }
    QString file() const { return m_file; }

private:
    QString m_message;
    QString m_statement;
    QString m_file;
};

} // namespace desk
