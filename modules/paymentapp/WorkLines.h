#pragma once

#include <QString>

namespace desk {
class Connection;
}

namespace paymentapp {

// This desk's lines of the payment work table BTReciptTemp, as the running total and the
// receipt read them (the grid's model keeps to the same desk). Every reader of the table in
// this module goes through here, so the desk filter lives in one place. A file whose work
// table keeps no desks yet shows all its lines.
QString workLinesSource(desk::Connection& connection);

struct WorkLinesSummary {
    int lines = 0;
    // Sum of the amounts; a line without an amount counts 0, so the total stays a number.
    double total = 0;
};

WorkLinesSummary summarizeWorkLines(const QString& dirPath);

} // namespace paymentapp
