#pragma once

#include <QString>

#include <memory>

namespace desk {

class Connection;
class RowSet;

// The desk a program runs at: the work tables (sales lines, payment lines, the check-out
// statement) keep each desk's lines apart by this name. It is this computer and user
// ("host/user"), or the value of TESARO_DESK when that is set (two clerks sharing one
// computer, tests).
QString currentDesk();

// The column of BTTempSalesDetail, BTReciptTemp and CheckOutTemp that holds the desk.
inline constexpr auto DeskColumn = "Desk";

// The condition that keeps to this desk's lines of a work table, with its value:
// "SELECT ... FROM BTReciptTemp WHERE " + deskCondition() bound with currentDesk().
QString deskCondition();

// This desk's lines of a work table as an updatable row set in the order they were
// written; a line added through it belongs to this desk.
std::unique_ptr<RowSet> openDeskRows(const std::shared_ptr<Connection>& connection, const QString& table);

// Removes this desk's lines of a work table in one statement; other desks' lines stay.
void clearDeskRows(Connection& connection, const QString& table);

} // namespace desk
