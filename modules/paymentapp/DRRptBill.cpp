#include "DRRptBill.h"

#include "convert/Convert.h"
#include "data/RowSet.h"
#include "paymentsvc/PaymentSlipStore.h"

namespace paymentapp {

DRRptBill::DRRptBill(const QString& dirPath, const ReceiptValues& values, const desk::CompanyProfile& profile,
                     QObject* parent)
    : desk::Report(parent) {
    setTitle(QStringLiteral("領収書"));
    setFileName(numberedFileName(QStringLiteral("領収書"), values.number, values.day));
    layOut();
    setDataSource(paymentsvc::PaymentSlipStore::open(dirPath).openWorkLines());
    setCompanyLabels(profile);
    setLabel(QStringLiteral("Label3"), values.number);
    setLabel(QStringLiteral("Label5"), values.dateText);
    setLabel(QStringLiteral("Label7"), values.checkInNo);
    setLabel(QStringLiteral("Label8"), values.guestName);
    setLabel(QStringLiteral("Label10"), values.roomNo);
    setLabel(QStringLiteral("Label11"), values.kind);
    setLabel(QStringLiteral("Label33"), desk::convert::formatValue(values.total, QStringLiteral("##,###,###")));
}

void DRRptBill::layOut() {
    const double width = printableWidth();
    const double captionWidth = 30.0;
    const double valueLeft = 32.0;
    const double rowHeight = 7.0;

    auto& header = pageHeader();
    header.setHeight(100);
    // The inn on the right, the payment on the left, under the title.
    desk::addCompanyLabels(header, {width - 100.0, 16.0, 100.0, 30.0});
    header.addLabel(QStringLiteral("Label1"), {0, 0, width, 12}, QStringLiteral("領収書"))
        .setFontSize(20)
        .setBold()
        .setAlignment(Qt::AlignCenter);

    double y = 16.0;
    const auto pair = [&](const QString& captionName, const QString& caption, const QString& valueName,
                          double valueWidth = 60.0) -> desk::ReportControl& {
        header.addLabel(captionName, {0, y, captionWidth, rowHeight - 1}, caption).setFontSize(9);
        auto& value = header.addRuntimeLabel(valueName, {valueLeft, y, valueWidth, rowHeight - 1});
        value.setFontSize(11);
        y += rowHeight;
        return value;
    };
    pair(QStringLiteral("Label2"), QStringLiteral("領収番号"), QStringLiteral("Label3"));
    pair(QStringLiteral("Label4"), QStringLiteral("領収日付"), QStringLiteral("Label5"));
    pair(QStringLiteral("Label6"), QStringLiteral("チェックイン番号"), QStringLiteral("Label7"));
    pair(QStringLiteral("Label30"), QStringLiteral("お客様名"), QStringLiteral("Label8"), 56.0)
        .setFontSize(14)
        .setBold();
    pair(QStringLiteral("Label32"), QStringLiteral("部屋番号"), QStringLiteral("Label10"));
    // The kind of payment stands on its own, under the guest.
    header.addRuntimeLabel(QStringLiteral("Label11"), {valueLeft, y, 60, rowHeight - 1}).setFontSize(10);
    y += rowHeight;

    // The amount received, large, with its rule and the closing words.
    y += 4.0;
    header.addLabel(QStringLiteral("Label34"), {0, y, captionWidth, 10}, QStringLiteral("入金合計"))
        .setFontSize(12)
        .setBold();
    header.addRuntimeLabel(QStringLiteral("Label33"), {valueLeft, y, 60, 10})
        .setFontSize(18)
        .setBold()
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    header.addLine(QStringLiteral("Line4"), {0, y + 11.0, valueLeft + 60.0, y + 11.0}).setLineWidth(0.5);
    header.addLabel(QStringLiteral("Label24"), {valueLeft + 62.0, y, 50, 10}, QStringLiteral("円を領収しました。"))
        .setFontSize(11);

    // Column headings between two rules, over the detail columns below.
    y += 20.0;
    header.addLine(QStringLiteral("Line1"), {0, y, width, y});
    header.addLabel(QStringLiteral("Label12"), {0, y + 1, 22, 6}, QStringLiteral("コード")).setBold();
    header.addLabel(QStringLiteral("Label13"), {24, y + 1, 64, 6}, QStringLiteral("入金項目名")).setBold();
    header.addLabel(QStringLiteral("Label14"), {90, y + 1, 35, 6}, QStringLiteral("　　　入金額")).setBold();
    header.addLabel(QStringLiteral("Label15"), {130, y + 1, width - 130, 6}, QStringLiteral("備考")).setBold();
    header.addLine(QStringLiteral("Line2"), {0, y + 8, width, y + 8});
    header.setHeight(y + 10);

    auto& band = detail();
    band.setHeight(7);
    band.addField(QStringLiteral("Text1"), {0, 0.5, 22, 6}, QStringLiteral("RptCode"));
    band.addField(QStringLiteral("Text2"), {24, 0.5, 64, 6}, QStringLiteral("RptName"));
    band.addField(QStringLiteral("Text3"), {90, 0.5, 35, 6}, QStringLiteral("ReciptAmount"),
                  desk::convert::AmountFormat);
    band.addField(QStringLiteral("Text4"), {130, 0.5, width - 130, 6}, QStringLiteral("RptRemarks"));

    auto& footer = pageFooter();
    footer.setHeight(8);
    footer.addPageNumber(QStringLiteral("Label9"), {0, 1, width, 6});
}

} // namespace paymentapp
