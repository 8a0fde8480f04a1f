#pragma once

#include <QString>

#include <stdexcept>

namespace desk {

// A module that could not be opened through its entry object: unknown class identifier,
// program not installed or not starting, or a window that failed to load in the module.
// message() is Japanese text meant for the user.
class EntryError : public std::runtime_error {
public:
    explicit EntryError(const QString& message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace desk
