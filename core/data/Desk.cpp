#include "Desk.h"

#include "Connection.h"
#include "RowSet.h"

#include <QSysInfo>
#include <QtGlobal>

namespace desk {

QString currentDesk() {
    const QString named = qEnvironmentVariable("TESARO_DESK").trimmed();
    if (!named.isEmpty())
        return named;
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    return QSysInfo::machineHostName() + QLatin1Char('/') + user;
}

QString deskCondition() {
    // Text columns compare ASCII letters without regard to case; the desk column does not
    // (it is declared exact): the desks "FRONT" and "front" keep their lines apart.
    return QString::fromLatin1(DeskColumn) + QStringLiteral(" = ?");
}

std::unique_ptr<RowSet> openDeskRows(const std::shared_ptr<Connection>& connection, const QString& table) {
    const QString desk = currentDesk();
    auto rows = std::make_unique<RowSet>(
        connection, QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + deskCondition(),
        QVariantList{desk});
    rows->setNewRowValue(QString::fromLatin1(DeskColumn), desk);
    return rows;
}

void clearDeskRows(Connection& connection, const QString& table) {
    connection.exec(QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE ") + deskCondition(),
                    {currentDesk()});
}

} // namespace desk
