#include "report/ListReport.h"

#include "convert/Convert.h"
#include "data/RowSet.h"

namespace desk {

namespace {

enum class ColumnType { Text, Number, Date };

ColumnType typeOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return ColumnType::Number;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return ColumnType::Date;
    default:
        return ColumnType::Text;
    }
}

// Share of the line per column type, so that eight columns of a source fill a portrait
// line and wider sources turn the sheet.
double widthOf(ColumnType type) {
    switch (type) {
    case ColumnType::Number:
        return 19.0;
    case ColumnType::Date:
        return 21.0;
    case ColumnType::Text:
        break;
    }
    return 30.0;
}

} // namespace

ListReport::ListReport(const QString& title, QObject* parent)
    : ColumnReport(title, ColumnReportFrame{}, parent) {}

void ListReport::build(RowSet* rows) {
    setDataSource(rows);
    layOut();
}

void ListReport::build(const QString& dirPath, const QString& fileName, const QString& source) {
    openDataSource(dirPath, fileName, source);
    layOut();
}

void ListReport::layOut() {
    RowSet* rows = dataSource();
    rows->moveFirst();
    ReportColumns columns;
    for (const QString& name : rows->columnNames()) {
        const ColumnType type = rows->eof() ? ColumnType::Text : typeOf(rows->value(name));
        const bool number = type == ColumnType::Number;
        columns.append({name, name, widthOf(type), number ? desk::convert::AmountFormat : QString(), number});
    }
    setColumns(columns);
}

} // namespace desk
