#include "WorkLines.h"

#include "data/Connection.h"
#include "data/Desk.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "ui/DataGridModel.h"

namespace paymentapp {

QString workLinesSource(desk::Connection& connection) {
    const QString table = QStringLiteral("BTReciptTemp");
    const QString deskColumn = desk::DataGridModel::deskColumn();
    for (const desk::Connection::Column& column : connection.columns(table)) {
        if (column.name.compare(deskColumn, Qt::CaseInsensitive) == 0)
            return QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + deskColumn +
                   QStringLiteral(" = ") + desk::Sql::quote(desk::currentDesk()) + QStringLiteral(" COLLATE BINARY");
    }
    return QStringLiteral("SELECT * FROM ") + table;
}

WorkLinesSummary summarizeWorkLines(const QString& dirPath) {
    WorkLinesSummary summary;
    const auto connection = desk::Connection::open(dirPath, QLatin1String(desk::DbFile::Recipt));
    desk::RowSet rows(connection, workLinesSource(*connection));
    for (; !rows.eof(); rows.moveNext()) {
        ++summary.lines;
        const QVariant amount = rows.value(QStringLiteral("ReciptAmount"));
        if (!amount.isNull())
            summary.total += amount.toDouble();
    }
    return summary;
}

} // namespace paymentapp
