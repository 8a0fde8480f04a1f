#pragma once

#include <QString>

namespace desk {
class Connection;
}

namespace desk::test {

// Makes the engine refuse every `event` ("INSERT", "UPDATE" or "DELETE") on table, or only
// those whose new row matches `when` (a condition on NEW, such as "NEW.Amount = 200"): a
// write a store cannot make, for tests that a save is refused whole.
void refuseWrites(Connection& connection, const QString& event, const QString& table, const QString& when = {});

} // namespace desk::test
