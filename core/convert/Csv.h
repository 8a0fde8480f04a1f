#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The CSV files the suite writes for spreadsheets: UTF-8 with a byte-order mark (so a
// spreadsheet reads the Japanese text right), CRLF line ends, fields quoted only when needed.
namespace desk::csv {

enum class Guard {
    None,
    // A text typed by a clerk or a guest ("=…", "+81…", "-", "@…") stays text in a spreadsheet:
    // it is written behind a single quote.
    Formula,
};

// One field as written: quoted when it holds a comma, a quote or a line end, or starts or
// ends with a space.
QString field(QString text, Guard guard = Guard::None);

// The lines of fields (already made by field) as the bytes of a file.
QByteArray document(const QList<QStringList>& lines);

// The fields of a file this suite wrote, with the byte-order mark, the quoting and the formula
// guard taken off again.
QList<QStringList> read(const QByteArray& bytes);

// Writes the whole file or nothing: a failed write leaves an existing file as it was.
bool writeWhole(const QString& fileName, const QByteArray& bytes);

} // namespace desk::csv
