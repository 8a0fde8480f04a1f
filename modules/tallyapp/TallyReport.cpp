#include "TallyReport.h"

#include "Aggregation.h"
#include "tallysvc/TallyResult.h"
#include "convert/Convert.h"
#include "report/ColumnReport.h"

namespace tallyapp {

namespace {

struct Column {
    const char* heading; // control name of the heading
    const char16_t* caption;
    const char* field;
    double width; // mm including the gap; 0 takes the rest of the line
    bool amount;
};

QList<Column> reportColumns(int kind) {
    switch (Aggregation::layoutOf(kind)) {
    case 0:
        return {{"Label12", u"日付", "BTSalesDate", 26, false}, {"Label13", u"売上区分名", "SKubunName", 30, false},
                {"Label14", u"正味売上", "Sum1", 31, true},     {"Label15", u"サービス料", "Sum2", 31, true},
                {"Label24", u"消費税", "Sum3", 31, true},       {"Label25", u"サ込税込売上", "Sum4", 0, true}};
    case 1:
        return {{"Label13", u"商品区分名", "CclassName", 0, false},
                {"Label14", u"正味売上", "合計1", 32, true},
                {"Label15", u"サービス料", "合計2", 32, true},
                {"Label24", u"消費税", "合計3", 32, true},
                {"Label25", u"サ込税込売上", "合計4", 32, true}};
    case 2:
        return {{"Label13", u"コード", "BTCmCode", 25, false},
                {"Label14", u"商品名", "CName", 0, false},
                {"Label15", u"数量", "数量計", 25, true},
                {"Label25", u"サ込税込売上", "売上計", 36, true}};
    case 3:
        return {{"Label13", u"入金区分名", "Spec", 0, false}, {"Label14", u"入金金額", "合計1", 40, true}};
    case 4:
        return {{"Label13", u"コード", "RptCode", 25, false},
                {"Label6", u"入金項目名", "RptName", 0, false},
                {"Label14", u"入金金額", "合計", 40, true}};
    case 5:
        return {{"Label13", u"コード", "FL1", 25, false},
                {"Label6", u"区分名", "FL2", 0, false},
                {"Label14", u"数量計", "合計", 30, true}};
    case 7:
        return {{"Label12", u"日付", "日付", 22, false},        {"Label13", u"税目", "税目", 32, false},
                {"Label6", u"区分", "区分", 0, false},          {"Label14", u"人数", "人数", 14, true},
                {"Label15", u"免除", "免除人数", 14, true},     {"Label24", u"延べ泊数", "延べ泊数", 18, true},
                {"Label25", u"課税泊数", "課税泊数", 18, true}, {"Label26", u"税額", "税額", 24, true}};
    case 8:
        return {{"Label12", u"日付", "日付", 24, false},
                {"Label13", u"販売室数", "販売室数", 18, true},
                {"Label14", u"稼働室数", "稼働室数", 18, true},
                {"Label15", u"客室稼働率%", "客室稼働率", 22, false},
                {"Label24", u"宿泊人数", "宿泊人数", 18, true},
                {"Label25", u"定員", "定員", 16, true},
                {"Label26", u"定員稼働率%", "定員稼働率", 22, false},
                {"Label27", u"室料", "室料", 28, true},
                {"Label28", u"平均室料", "平均室料", 0, true}};
    default:
        return {{"Label13", u"税率", "税率", 0, false},
                {"Label14", u"対象額", "対象額", 40, true},
                {"Label15", u"消費税", "消費税", 40, true},
                {"Label24", u"伝票数", "伝票数", 25, true}};
    }
}

desk::ReportColumns columnsOf(int kind) {
    const QStringList summed = Aggregation::summedFields(kind);
    desk::ReportColumns columns;
    int function = 1;
    for (const Column& c : reportColumns(kind)) {
        const QString field = QString::fromUtf8(c.field);
        desk::ReportColumn column(QString::fromUtf16(c.caption), field, c.width,
                                  c.amount ? desk::convert::AmountFormat : QString(),
                                  summed.contains(field, Qt::CaseInsensitive));
        column.headingName = QString::fromLatin1(c.heading);
        // A rate comes worded ("85.0"), and stands right as the numbers beside it.
        if (field.endsWith(QStringLiteral("稼働率")))
            column.alignment = Qt::AlignRight | Qt::AlignVCenter;
        // The sums are numbered in the order they stand, whichever columns carry them.
        if (column.summed)
            column.sumName = QStringLiteral("Function%1").arg(function++);
        columns.append(column);
    }
    return columns;
}

desk::ColumnReportFrame frameOf(int kind) {
    desk::ColumnReportFrame frame;
    frame.company = desk::ColumnReportFrame::Company::NameOnly;
    frame.titleName = QStringLiteral("Label1");
    frame.subTitle = desk::ColumnReportFrame::SubTitle::Period;
    frame.pageNumberName = QStringLiteral("Label29");
    // Label6 heads a column in the layouts of items and guest classes.
    frame.totalName = QString::fromLatin1(Aggregation::layoutOf(kind) >= 4 ? "Label7" : "Label6");
    return frame;
}

} // namespace

std::unique_ptr<desk::Report> createReport(const TallyResult& result, const desk::ModuleContext& context) {
    const int kind = result.kind();
    auto report = std::make_unique<desk::ColumnReport>(Aggregation::reportTitle(kind), columnsOf(kind), frameOf(kind));
    report->setObjectName(Aggregation::reportName(kind));
    report->setDataSource(&result.rows());
    report->setCompany(context.profile());
    report->setPeriod(result.first(), result.last());
    return report;
}

} // namespace tallyapp
