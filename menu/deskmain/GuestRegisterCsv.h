#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace desk {
class RowSet;
}

namespace deskmain {

// The guest register for a spreadsheet: the headings and one line per guest, UTF-8 with a
// byte-order mark, CRLF line ends, dates as "2024/05/03". A cell that a spreadsheet would take
// for a formula (=, +, -, @ first) is written after a "'", as is one that starts with "'".
QByteArray guestRegisterCsv(desk::RowSet& rows);

// The cells of such a file, line by line, as they were before writing.
QList<QStringList> readGuestRegisterCsv(const QByteArray& bytes);

// Writes the bytes to the file as a whole or not at all; false when the file cannot be written.
bool writeGuestRegisterFile(const QString& fileName, const QByteArray& bytes);

} // namespace deskmain
