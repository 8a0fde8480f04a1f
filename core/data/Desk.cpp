#include "Desk.h"

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

} // namespace desk
