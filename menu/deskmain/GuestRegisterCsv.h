#pragma once

#include <QByteArray>

namespace desk {
class RowSet;
}

namespace deskmain {

// The guest register for a spreadsheet: the headings and one line per guest (desk::csv's
// file form), dates as "2024/05/03". Every cell is guarded against being read as a formula:
// names, addresses and phone numbers are typed by clerks and guests ("+44…").
QByteArray guestRegisterCsv(desk::RowSet& rows);

} // namespace deskmain
