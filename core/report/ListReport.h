#pragma once

#include "report/Report.h"

namespace desk {

// A plain list of any table, saved query or statement: the inn's profile and a title at
// the top of every page, one column per column of the source with its name as heading,
// numbers right-aligned "#,##0" and summed in the report footer, page number and print
// date; landscape for more than eight columns. For looking at data and for reports
// nobody has designed yet.
class ListReport : public Report {
    Q_OBJECT

public:
    explicit ListReport(const QString& title, QObject* parent = nullptr);

    // Takes (setDataSource overloads) or opens the rows, then lays out the columns from the
    // source's column names and the types of its first row. Once per report.
    void build(RowSet* rows);
    void build(const QString& dirPath, const QString& fileName, const QString& source);

private:
    void layOut();
    bool m_built = false;
};

} // namespace desk
