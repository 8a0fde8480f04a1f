#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

class QWidget;

namespace desk {

// Asks where to write the CSV file of a period, offering "<stem>_<first>-<last>.csv" in the
// home folder. Returns the name, with ".csv" added when the clerk typed none, or empty when
// the clerk cancelled.
QString askCsvFileName(QWidget* parent, const QString& stem, const QDate& first, const QDate& last);

// Writes the file whole (desk::csv::writeWhole). When it cannot be written the clerk is told
// which file, in a box titled `title`, and false is returned.
bool writeCsvFile(QWidget* parent, const QString& fileName, const QByteArray& bytes, const QString& title);

} // namespace desk
