#pragma once

#include <QString>
#include <QVariantList>

#include <memory>

namespace desk {
class RowSet;
}

namespace departapp {

// This desk's statement in CheckOutTemp, in the order the builder wrote it. The grid and
// the bill both read it through here, so that they show the same rows.

// The statement with its bound values, for the grid.
struct StatementQuery {
    QString statement;
    QVariantList binds;
};
StatementQuery statementQuery();

// The bill's own row set over the statement, on its own connection to dbOptionBT.mdb.
std::unique_ptr<desk::RowSet> openStatement(const QString& dirPath);

} // namespace departapp
