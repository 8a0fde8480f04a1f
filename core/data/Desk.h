#pragma once

#include <QString>

namespace desk {

// The desk a program runs at: the work tables (sales lines, payment lines, the check-out
// statement) keep each desk's lines apart by this name. It is this computer and user
// ("host/user"), or the value of TESARO_DESK when that is set (two clerks sharing one
// computer, tests).
QString currentDesk();

} // namespace desk
