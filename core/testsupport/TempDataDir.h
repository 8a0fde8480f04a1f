#pragma once

#include <QString>
#include <QTemporaryDir>

namespace desk::test {

// A fresh data directory with the five files, the full schema and the reference rows,
// removed when the object goes; a copy of a template built once per test program.
// path() ends in '/', as DirPath does everywhere.
class TempDataDir {
public:
    // withSample adds the sample bookings, check-ins and slips around today.
    explicit TempDataDir(bool withSample = false);

    bool isValid() const { return m_valid; }
    QString path() const;
    // The full path of one of the five files.
    QString filePath(const QString& fileName) const { return path() + fileName; }

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

} // namespace desk::test
