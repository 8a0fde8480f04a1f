#include "WorkLines.h"

#include "data/Connection.h"
#include "data/RowSet.h"

namespace paymentapp {

QString workLinesSource() {
    return QStringLiteral("SELECT * FROM BTReciptTemp");
}

WorkLinesSummary summarizeWorkLines(const QString& dirPath) {
    WorkLinesSummary summary;
    desk::RowSet rows(desk::Connection::open(dirPath, QLatin1String(desk::DbFile::Recipt)), workLinesSource());
    for (; !rows.eof(); rows.moveNext()) {
        ++summary.lines;
        const QVariant amount = rows.value(QStringLiteral("ReciptAmount"));
        if (!amount.isNull())
            summary.total += amount.toDouble();
    }
    return summary;
}

} // namespace paymentapp
