#pragma once

#include <QString>
#include <QTemporaryDir>

namespace desk::test {

// A fresh data directory with the five files, the full schema and the reference rows,
// removed when the object goes; a copy of a template built once per test program.
// path() ends in '/', as DirPath does everywhere.
// When the environment names a test server (TESARO_TEST_SERVER, set by ctest for the tests
// registered with desk_add_server_test), a fresh database on that server instead, copied
// from a template database; path() is then its address.
class TempDataDir {
public:
    // withSample adds the sample bookings, check-ins and slips around today.
    explicit TempDataDir(bool withSample = false);
    // Nothing: an empty folder, or an empty database on the test server.
    enum class Contents { Inn, SampleInn, Nothing };
    explicit TempDataDir(Contents contents);
    ~TempDataDir();
    TempDataDir(const TempDataDir&) = delete;
    TempDataDir& operator=(const TempDataDir&) = delete;

    // The address of the test server, empty when the tests run on files.
    static QString server();

    bool isValid() const { return m_valid; }
    QString path() const;
    // The full path (on a server: the location) of one of the five files.
    QString filePath(const QString& fileName) const;

private:
    QTemporaryDir m_dir;
    QString m_database; // on a server: the database made for this object
    bool m_valid = false;
};

} // namespace desk::test
