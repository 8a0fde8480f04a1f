#include "Statement.h"

#include "data/Connection.h"
#include "data/Desk.h"
#include "data/RowSet.h"

namespace departapp {

namespace {

const QString table = QStringLiteral("CheckOutTemp");

} // namespace

StatementQuery statementQuery() {
    return {QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + desk::deskCondition(),
            {desk::currentDesk()}};
}

std::unique_ptr<desk::RowSet> openStatement(const QString& dirPath) {
    return desk::openDeskRows(desk::Connection::open(dirPath, QLatin1String(desk::DbFile::Option)), table);
}

} // namespace departapp
