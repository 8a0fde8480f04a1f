#include "DRuriage.h"

#include "chargesvc/SalesSlipStore.h"
#include "convert/Convert.h"
#include "data/RowSet.h"
#include "taxsvc/TaxSettings.h"

namespace chargeapp {

DRuriage::DRuriage(const QString& dirPath, const SlipValues& values, qint32 total, const desk::CompanyProfile& profile,
                   QObject* parent)
    : desk::Report(parent) {
    setTitle(QStringLiteral("売上伝票"));
    setFileName(numberedFileName(QStringLiteral("売上伝票"), values.salesNo, values.day));
    layOut();
    // The reduced rate in force on the slip's day; none marks no line.
    const std::optional<double> reduced =
        values.day.isValid() ? chargesvc::reducedRateOn(taxsvc::TaxSettings::readFrom(dirPath), values.day)
                             : std::nullopt;
    chargesvc::SalesSlipStore store = chargesvc::SalesSlipStore::open(dirPath);
    setDataSource(store.printedWorkLines(reduced));
    const bool anyReduced = reduced && store.workHasLineAt(*reduced);
    setLabel(QStringLiteral("Label35"), anyReduced ? QStringLiteral("※印は軽減税率対象") : QString());
    setCompanyLabels(profile);
    setLabel(QStringLiteral("Label3"), values.salesNo);
    setLabel(QStringLiteral("Label5"), values.date);
    setLabel(QStringLiteral("Label7"), values.checkInNo);
    setLabel(QStringLiteral("Label8"), values.guestName);
    setLabel(QStringLiteral("Label9"), values.groupName);
    setLabel(QStringLiteral("Label10"), values.roomNo);
    setLabel(QStringLiteral("Label11"), values.salesClass);
    setLabel(QStringLiteral("Label33"), desk::convert::formatNumber(total, QStringLiteral("##,###,###")));
}

void DRuriage::layOut() {
    const double width = printableWidth();
    const auto right = Qt::AlignRight | Qt::AlignVCenter;

    auto& header = pageHeader();
    desk::addCompanyLabels(header, {0, 0, 110, 30});
    header.addLabel(QStringLiteral("Label1"), {0, 32, width, 10}, QStringLiteral("売上伝票"))
        .setFontSize(18)
        .setBold()
        .setAlignment(Qt::AlignCenter);

    // The slip's own values: number, date and check-in on the left, the guest on the right.
    const double row = 6.5;
    double y = 46;
    header.addLabel(QStringLiteral("Label2"), {0, y, 28, row}, QStringLiteral("売上番号")).setFontSize(9);
    header.addRuntimeLabel(QStringLiteral("Label3"), {30, y, 40, row}).setFontSize(10).setBold();
    header.addLabel(QStringLiteral("Label30"), {100, y, 26, row}, QStringLiteral("お客様名")).setFontSize(9);
    header.addRuntimeLabel(QStringLiteral("Label8"), {128, y, width - 128, row}).setFontSize(11).setBold();
    y += row;
    header.addLabel(QStringLiteral("Label4"), {0, y, 28, row}, QStringLiteral("売上日付")).setFontSize(9);
    header.addRuntimeLabel(QStringLiteral("Label5"), {30, y, 40, row}).setFontSize(10);
    header.addLabel(QStringLiteral("Label31"), {100, y, 26, row}, QStringLiteral("グループ名")).setFontSize(9);
    header.addRuntimeLabel(QStringLiteral("Label9"), {128, y, width - 128, row}).setFontSize(10);
    y += row;
    header.addLabel(QStringLiteral("Label6"), {0, y, 28, row}, QStringLiteral("チェックイン番号")).setFontSize(9);
    header.addRuntimeLabel(QStringLiteral("Label7"), {30, y, 40, row}).setFontSize(10);
    header.addLabel(QStringLiteral("Label32"), {100, y, 26, row}, QStringLiteral("部屋番号")).setFontSize(9);
    header.addRuntimeLabel(QStringLiteral("Label10"), {128, y, 30, row}).setFontSize(10);
    header.addRuntimeLabel(QStringLiteral("Label11"), {160, y, width - 160, row}).setFontSize(10).setAlignment(right);
    y += row + 1;
    header.addLine(QStringLiteral("Line1"), {0, y, width, y}).setLineWidth(0.5);
    y += 1.5;

    header.addLabel(QStringLiteral("Label34"), {100, y, 26, 8}, QStringLiteral("売上合計")).setFontSize(10).setBold();
    header.addRuntimeLabel(QStringLiteral("Label33"), {128, y, width - 128, 8})
        .setFontSize(14)
        .setBold()
        .setAlignment(right);
    y += 9;
    header.addLine(QStringLiteral("Line4"), {0, y, width, y}).setLineWidth(0.3);
    y += 1.5;

    // Column captions over the detail fields of the same position.
    struct ColumnPlace {
        const char* label;
        const char* caption;
        const char* field;
        const char* column;
        double left;
        double width;
        bool number;
    };
    const ColumnPlace columns[] = {
        {"Label12", "コード", "Text1", "BTCMcode", 0, 16, false},
        {"Label13", "商品名", "Text2", "BTCMname", 17, 42, false},
        {"Label14", "摘　　　要", "Text3", "BTSpec", 60, 34, false},
        {"Label15", "数量", "Text4", "BTQuantity", 95, 13, true},
        {"Label24", "単　価", "Text5", "BTUnitPrice", 109, 18, true},
        {"Label25", "　　小計", "Text6", "BTSubTotal1", 128, 20, true},
        {"Label26", "サ料", "Text7", "BTServiceFee", 149, 10, true},
        {"Label27", "税", "Text8", "BTSalesTax", 160, 10, true},
        {"Label36", "", "Text10", "ReducedMark", 170, 4, false},
        {"Label28", "合計", "Text9", "BTSubTotal2", 174, width - 174, true},
    };
    for (const ColumnPlace& c : columns) {
        header.addLabel(QString::fromLatin1(c.label), {c.left, y, c.width, 6}, QString::fromUtf8(c.caption))
            .setFontSize(9)
            .setBold()
            .setAlignment(c.number ? right : Qt::AlignLeft | Qt::AlignVCenter);
    }
    y += 6.5;
    header.addLine(QStringLiteral("Line2"), {0, y, width, y}).setLineWidth(0.5);
    header.setHeight(y + 1.5);

    auto& band = detail();
    for (const ColumnPlace& c : columns) {
        auto& field = band.addField(QString::fromLatin1(c.field), {c.left, 0.5, c.width, 5.5},
                                    QString::fromLatin1(c.column), c.number ? desk::convert::AmountFormat : QString());
        field.setFontSize(9);
    }
    band.setHeight(6.5);

    reportFooter().addRuntimeLabel(QStringLiteral("Label35"), {0, 1, width, 6}).setFontSize(9);
    reportFooter().setHeight(8);

    auto& footer = pageFooter();
    footer.addLine(QStringLiteral("Line3"), {0, 1, width, 1}).setLineWidth(0.3);
    footer.addPageNumber(QStringLiteral("Label29"), {0, 2, width, 5});
    footer.setHeight(8);
}

} // namespace chargeapp
