#include "OpenFiles.h"

#include <QFileInfo>
#include <QHash>

#include <mutex>

namespace desk {

namespace {

std::mutex& registryLock() {
    static std::mutex lock;
    return lock;
}

QHash<QString, int>& counts() {
    static QHash<QString, int> open;
    return open;
}

// One key for every way of naming the file (relative, through a link, other letter case
// resolved by the caller). Resolving the path reads directories only, never the file.
QString keyOf(const QString& filePath) {
    const QFileInfo info(filePath);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

OpenFiles::Hold::Hold(const QString& filePath, const std::function<void()>& firstOpen)
    : m_key(keyOf(filePath)) {
    const std::lock_guard guard(registryLock());
    int& count = counts()[m_key];
    if (count == 0 && firstOpen) {
        try {
            firstOpen();
        } catch (...) {
            counts().remove(m_key);
            throw;
        }
    }
    ++count;
}

OpenFiles::Hold::~Hold() {
    const std::lock_guard guard(registryLock());
    const auto it = counts().find(m_key);
    if (it != counts().end() && --it.value() <= 0)
        counts().erase(it);
}

bool OpenFiles::isOpen(const QString& filePath) {
    const std::lock_guard guard(registryLock());
    return counts().value(keyOf(filePath)) > 0;
}

bool OpenFiles::whileClosed(const QString& filePath, const std::function<void()>& work) {
    const std::lock_guard guard(registryLock());
    if (counts().value(keyOf(filePath)) > 0)
        return false;
    work();
    return true;
}

} // namespace desk
