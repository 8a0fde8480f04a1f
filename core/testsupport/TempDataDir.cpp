#include "TempDataDir.h"

#include "data/OpenFiles.h"

#include "data/Schema.h"
#include "sampledata/SampleData.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <memory>

namespace desk::test {

namespace {

// Building the five files takes far longer than copying them, so each test program
// builds one directory of each kind and every test copies it.
const QTemporaryDir* templateDir(bool withSample) {
    static std::unique_ptr<QTemporaryDir> plain;
    static std::unique_ptr<QTemporaryDir> sample;
    std::unique_ptr<QTemporaryDir>& slot = withSample ? sample : plain;
    if (!slot) {
        auto dir = std::make_unique<QTemporaryDir>();
        if (!dir->isValid())
            return nullptr;
        const QString path = dir->path() + QLatin1Char('/');
        Schema::createDataDirectory(path);
        if (withSample)
            Schema::addSampleData(path, QDate::currentDate());
        slot = std::move(dir);
    }
    return slot.get();
}

} // namespace

TempDataDir::TempDataDir(bool withSample) {
    if (!m_dir.isValid())
        return;
    const QTemporaryDir* source = templateDir(withSample);
    if (!source)
        return;
    // The template's connections are closed, so each file is whole without its -shm;
    // a -wal left behind travels with its file.
    const QDir from(source->path());
    for (const QString& name : from.entryList(QDir::Files)) {
        if (name.endsWith(QLatin1String("-shm")))
            continue;
        // Copied by hand only while no connection of this program is on the template file:
        // closing the copy's descriptor would drop that connection's locks.
        bool copied = false;
        const bool closed = OpenFiles::whileClosed(from.filePath(name),
                                                   [&] { copied = QFile::copy(from.filePath(name), path() + name); });
        if (!closed || !copied)
            return;
        QFile::setPermissions(path() + name, QFile::ReadOwner | QFile::WriteOwner);
    }
    m_valid = true;
}

QString TempDataDir::path() const {
    return m_dir.path() + QLatin1Char('/');
}

} // namespace desk::test
