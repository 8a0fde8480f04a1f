#include "Statement.h"

#include "data/Connection.h"
#include "data/RowSet.h"

namespace departapp {

StatementQuery statementQuery() {
    return {QStringLiteral("SELECT * FROM CheckOutTemp"), {}};
}

std::unique_ptr<desk::RowSet> openStatement(const QString& dirPath) {
    return std::make_unique<desk::RowSet>(desk::Connection::open(dirPath, QLatin1String(desk::DbFile::Option)),
                                          QStringLiteral("CheckOutTemp"));
}

} // namespace departapp
