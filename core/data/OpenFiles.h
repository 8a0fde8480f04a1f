#pragma once

#include <QString>

#include <functional>

namespace desk {

// The database files this process has an engine connection on. On POSIX, closing any
// descriptor of a file drops every lock the process holds on it, the engine's included;
// so a file is only ever opened by other means (its header read, an fsync) while this
// process has no connection on it.
class OpenFiles {
public:
    // Registers a connection on filePath for the hold's lifetime. firstOpen runs first,
    // under the registry's lock, only when no connection of this process is on the file;
    // when it throws, nothing is registered.
    class Hold {
    public:
        explicit Hold(const QString& filePath, const std::function<void()>& firstOpen = {});
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        QString m_key;
    };

    // True while some connection of this process is on the file.
    static bool isOpen(const QString& filePath);
    // Runs work (which may open the file by other means) only while no connection of this
    // process is on it; returns whether it ran.
    static bool whileClosed(const QString& filePath, const std::function<void()>& work);
};

} // namespace desk
