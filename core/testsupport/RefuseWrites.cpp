#include "RefuseWrites.h"

#include "data/Connection.h"
#include "data/Engine.h"

namespace desk::test {

void refuseWrites(Connection& connection, const QString& event, const QString& table, const QString& when) {
    static int made = 0;
    const QString name = QStringLiteral("refuse_%1").arg(++made);
    if (!connection.engine().isServer()) {
        connection.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                            .arg(name, event, table, when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when));
        return;
    }
    connection.exec(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                                   "$$ BEGIN RAISE EXCEPTION 'refused'; END $$")
                        .arg(name));
    connection.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 EXECUTE FUNCTION %1()")
                        .arg(name, event, table, when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when)));
}

} // namespace desk::test
