#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace desk {
class QueryGridModel;
}

namespace tallyapp {

// The result as the grid shows it, for a spreadsheet: the headings, every row and a totals
// line ("合計" and the sums of the summed columns), UTF-8 with a byte-order mark so that
// the Japanese text opens correctly, CRLF line ends. Amounts are plain whole numbers
// (rounded as the grid shows them, no separators); dates and texts as shown.
QByteArray tallyCsv(const desk::QueryGridModel& model, const QStringList& summedFields);

// Writes the bytes to the file as a whole or not at all; false when the file cannot be written.
bool writeCsvFile(const QString& fileName, const QByteArray& bytes);

} // namespace tallyapp
