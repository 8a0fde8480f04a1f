#pragma once

#include <QDate>
#include <QString>

namespace desk::Schema {

// Adds the sample bookings, check-ins and slips of a working inn around `today` to a data
// directory made by createDataDirectory(): for trying the suite out and for tests.
void addSampleData(const QString& dirPath, const QDate& today);

} // namespace desk::Schema
