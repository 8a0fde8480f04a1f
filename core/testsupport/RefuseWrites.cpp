#include "RefuseWrites.h"

#include "data/Connection.h"
#include "data/Engine.h"

namespace desk::test {

void refuseWrites(Connection& connection, const QString& event, const QString& table, const QString& when) {
    static int made = 0;
    const QString name = QStringLiteral("refuse_%1").arg(++made);
    for (const QString& statement : connection.engine().refusingTrigger(name, event, table, when))
        connection.exec(statement);
}

} // namespace desk::test
