#include "TempDataDir.h"

#include "data/Schema.h"
#include "deskadmin/SampleData.h"

#include <QDate>

namespace desk::test {

TempDataDir::TempDataDir(bool withSample) {
    if (!m_dir.isValid())
        return;
    Schema::createDataDirectory(path());
    if (withSample)
        Schema::addSampleData(path(), QDate::currentDate());
    m_valid = true;
}

QString TempDataDir::path() const {
    return m_dir.path() + QLatin1Char('/');
}

} // namespace desk::test
