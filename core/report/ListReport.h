#pragma once

#include "report/ColumnReport.h"

namespace desk {

// A plain list of any table, saved query or statement: a column report with one column
// per column of the source, its name as heading, numbers right-aligned "#,##0" and
// summed. For looking at data and for reports nobody has designed yet.
class ListReport : public ColumnReport {
    Q_OBJECT

public:
    explicit ListReport(const QString& title, QObject* parent = nullptr);

    // Takes (setDataSource overloads) or opens the rows, then lays out the columns from the
    // source's column names and the types of its first row. Once per report.
    void build(RowSet* rows);
    void build(const QString& dirPath, const QString& fileName, const QString& source);

private:
    void layOut();
};

} // namespace desk
