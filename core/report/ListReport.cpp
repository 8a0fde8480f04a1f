#include "report/ListReport.h"

#include "data/RowSet.h"

#include <QDate>
#include <QDateTime>
#include <QPageLayout>

#include <stdexcept>

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

double weightOf(ColumnType type) {
    switch (type) {
    case ColumnType::Number:
        return 1.0;
    case ColumnType::Date:
        return 1.1;
    case ColumnType::Text:
        break;
    }
    return 1.6;
}

} // namespace

ListReport::ListReport(const QString& title, QObject* parent)
    : Report(parent) {
    setTitle(title);
}

void ListReport::build(RowSet* rows) {
    setDataSource(rows);
    layOut();
}

void ListReport::build(const QString& dirPath, const QString& fileName, const QString& source) {
    openDataSource(dirPath, fileName, source);
    layOut();
}

void ListReport::layOut() {
    if (m_built)
        throw std::logic_error("a list report is laid out once");
    m_built = true;

    RowSet* rows = dataSource();
    const QStringList columns = rows->columnNames();
    QList<ColumnType> types;
    rows->moveFirst();
    for (const QString& column : columns)
        types << (rows->eof() ? ColumnType::Text : typeOf(rows->value(column)));

    // Wide sources get the long side of the sheet.
    if (columns.size() > 8) {
        QPageLayout layout = pageLayout();
        layout.setOrientation(QPageLayout::Landscape);
        setPageLayout(layout);
    }
    const double width = printableWidth();
    const double gap = 1.5;
    const double fontSize = columns.size() > 8 ? 7.0 : 8.5;

    ReportSection& head = pageHeader();
    addCompanyLabels(head, {0.0, 0.0, width * 0.55, 26.0});
    head.addLabel(QStringLiteral("Title"), {width * 0.55, 0.0, width * 0.45, 10.0}, title())
        .setFontSize(16)
        .setBold()
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    head.addPrintDate(QStringLiteral("PrintDate"), {width * 0.55, 11.0, width * 0.45, 5.0})
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    head.addLine(QStringLiteral("Line1"), {0.0, 29.0, width, 29.0});
    head.addLine(QStringLiteral("Line2"), {0.0, 36.0, width, 36.0});
    head.setHeight(38.0);

    ReportSection& body = detail();
    body.setHeight(6.0);
    ReportSection& foot = reportFooter();
    foot.addLine(QStringLiteral("Line3"), {0.0, 0.5, width, 0.5}).setLineWidth(0.4);
    foot.addLabel(QStringLiteral("LabelTotal"), {0.0, 1.5, 30.0, 6.0}, QStringLiteral("合計")).setBold();
    foot.setHeight(8.0);

    double totalWeight = 0.0;
    for (const ColumnType type : types)
        totalWeight += weightOf(type);
    double x = 0.0;
    bool anySum = false;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const double w = width * weightOf(types[i]) / totalWeight;
        const QRectF cell(x, 0.0, w - gap, 6.0);
        const bool number = types[i] == ColumnType::Number;
        const Qt::Alignment align = (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        const QString n = QString::number(i + 1);
        head.addLabel(QStringLiteral("Head") + n, cell.translated(0.0, 29.5), columns[i])
            .setFontSize(fontSize)
            .setBold()
            .setAlignment(align);
        body.addField(QStringLiteral("Text") + n, cell, columns[i], number ? QStringLiteral("#,##0") : QString())
            .setFontSize(fontSize);
        if (number) {
            foot.addSum(QStringLiteral("Function") + n, cell.translated(0.0, 1.5), columns[i], QStringLiteral("#,##0"))
                .setFontSize(fontSize)
                .setBold();
            anySum = true;
        }
        x += w;
    }
    if (!anySum)
        setLabel(QStringLiteral("LabelTotal"), {});

    pageFooter().setHeight(8.0);
    pageFooter().addLine(QStringLiteral("Line4"), {0.0, 1.0, width, 1.0}).setLineWidth(0.15);
    pageFooter().addPageNumber(QStringLiteral("PageNo"), {0.0, 2.0, width, 5.0});
}

} // namespace desk
