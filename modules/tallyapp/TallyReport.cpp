#include "TallyReport.h"

#include "Aggregation.h"
#include "TallyResult.h"
#include "convert/Convert.h"

namespace tallyapp {

namespace {

struct Column {
    const char* heading; // control name of the heading
    const char16_t* caption;
    const char* field;
    double width; // mm; 0 takes the rest of the line
    bool amount;
};

QList<Column> reportColumns(int kind) {
    switch (Aggregation::layoutOf(kind)) {
    case 0:
        return {{"Label12", u"日付", "BTSalesDate", 26, false}, {"Label13", u"売上区分名", "SKubunName", 30, false},
                {"Label14", u"正味売上", "Sum1", 31, true},     {"Label15", u"サービス料", "Sum2", 31, true},
                {"Label24", u"消費税", "Sum3", 31, true},       {"Label25", u"サ込税込売上", "Sum4", 31, true}};
    case 1:
        return {{"Label13", u"商品区分名", "CclassName", 50, false},
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
        return {{"Label13", u"入金区分名", "Spec", 60, false}, {"Label14", u"入金金額", "合計1", 40, true}};
    case 4:
        return {{"Label13", u"コード", "RptCode", 25, false},
                {"Label6", u"入金項目名", "RptName", 60, false},
                {"Label14", u"入金金額", "合計", 40, true}};
    default:
        return {{"Label13", u"コード", "FL1", 25, false},
                {"Label6", u"区分名", "FL2", 60, false},
                {"Label14", u"数量計", "合計", 30, true}};
    }
}

class TallyReport : public desk::Report {
public:
    explicit TallyReport(int kind) {
        setTitle(Aggregation::reportTitle(kind));
        setObjectName(Aggregation::reportName(kind));
        layOut(kind);
    }

private:
    void layOut(int kind) {
        const int layout = Aggregation::layoutOf(kind);
        const double width = printableWidth();
        const QString amountFormat = QStringLiteral("#,##0");

        auto& header = pageHeader();
        header.setHeight(40);
        header.addRuntimeLabel(QStringLiteral("Label16"), {0, 0, width * 0.6, 8}).setFontSize(12).setBold();
        header.addLabel(QStringLiteral("Label1"), {0, 10, width, 10}, Aggregation::reportTitle(kind))
            .setFontSize(16)
            .setBold()
            .setAlignment(Qt::AlignCenter);
        const double periodLeft = width - 110;
        header.addLabel(QStringLiteral("Label2"), {periodLeft, 22, 22, 6}, QStringLiteral("集計開始日"));
        header.addRuntimeLabel(QStringLiteral("Label3"), {periodLeft + 23, 22, 30, 6});
        header.addLabel(QStringLiteral("Label4"), {periodLeft + 55, 22, 22, 6}, QStringLiteral("集計終了日"));
        header.addRuntimeLabel(QStringLiteral("Label5"), {periodLeft + 78, 22, 30, 6});
        header.addLine(QStringLiteral("Line1"), {0, 30, width, 30}).setLineWidth(0.5);
        header.addLine(QStringLiteral("Line2"), {0, 38, width, 38});

        auto& band = detail();
        band.setHeight(7);
        auto& footer = reportFooter();
        footer.setHeight(10);
        footer.addLine(QString::fromLatin1(layout <= 1 ? "Line4" : "Line3"), {0, 1, width, 1});
        const QStringList summed = Aggregation::summedFields(kind);

        const QList<Column> columns = reportColumns(kind);
        double fixed = 0;
        for (const Column& c : columns)
            fixed += c.width;
        double x = 0;
        int text = 1;
        int function = 1;
        bool totalPlaced = false;
        for (const Column& c : columns) {
            const double w = c.width > 0 ? c.width : width - fixed;
            const QString field = QString::fromUtf8(c.field);
            // Amounts stand right-aligned with a gap before the next column.
            const double inner = c.amount ? w - 3.0 : w - 1.0;
            auto& heading =
                header.addLabel(QString::fromLatin1(c.heading), {x, 31.5, inner, 6}, QString::fromUtf16(c.caption));
            heading.setBold();
            if (c.amount)
                heading.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            band.addField(QStringLiteral("Text%1").arg(text++), {x, 0.5, inner, 6}, field,
                          c.amount ? amountFormat : QString());
            if (summed.contains(field, Qt::CaseInsensitive)) {
                footer.addSum(QStringLiteral("Function%1").arg(function++), {x, 2.5, inner, 6}, field, amountFormat)
                    .setBold();
            } else if (!totalPlaced && x == 0 && layout != 2) {
                footer
                    .addLabel(QString::fromLatin1(layout >= 4 ? "Label7" : "Label6"), {x, 2.5, inner, 6},
                              QStringLiteral("合計"))
                    .setBold();
                totalPlaced = true;
            }
            x += w;
        }

        if (layout == 0) {
            auto& pageEnd = pageFooter();
            pageEnd.setHeight(8);
            pageEnd.addPageNumber(QStringLiteral("Label29"), {width / 2 - 15, 2, 30, 6});
        }
    }
};

} // namespace

std::unique_ptr<desk::Report> createReport(const TallyResult& result, const desk::ModuleContext& context) {
    auto report = std::make_unique<TallyReport>(result.kind());
    report->setDataSource(&result.rows());
    report->setLabel(QStringLiteral("Label16"), context.MyCompanyName());
    report->setLabel(QStringLiteral("Label3"), desk::convert::shortDateText(result.first()));
    report->setLabel(QStringLiteral("Label5"), desk::convert::shortDateText(result.last()));
    return report;
}

} // namespace tallyapp
