#include "DRyoyaku.h"

#include "bookingsvc/Bookings.h"
#include "convert/Convert.h"
#include "data/RowSet.h"

namespace bookingapp {

DRyoyaku::DRyoyaku(const QString& dirPath, qint32 reserveNo, const desk::CompanyProfile& profile, QObject* parent)
    : desk::Report(parent) {
    setTitle(QStringLiteral("予約確認票"));
    layOut();
    setDataSource(bookingsvc::Bookings(dirPath).rowsOf(reserveNo));
    setCompanyLabels(profile);
}

void DRyoyaku::layOut() {
    const double width = printableWidth();

    auto& header = pageHeader();
    header.setHeight(48);
    desk::addCompanyLabels(header, {0, 0, 110, 30});
    header.addPrintDate(QStringLiteral("Label15"), {width - 60, 0, 60, 6})
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    header.addLabel(QStringLiteral("Label14"), {0, 33, width, 10}, QStringLiteral("予約確認票"))
        .setFontSize(18)
        .setBold()
        .setAlignment(Qt::AlignCenter);
    header.addLine(QStringLiteral("Line1"), {0, 45, width, 45}).setLineWidth(0.5);

    // One reservation per band: captions on the left, values beside them.
    auto& band = detail();
    const double row = 9.0;
    const double captionWidth = 42.0;
    const double valueLeft = 48.0;
    const double valueWidth = width - valueLeft;
    double y = 4.0;
    const auto pair = [&](const QString& label, const QString& caption, const QString& field, const QString& column,
                          const QString& format = {}, double fieldWidth = 0.0) {
        band.addLabel(label, {0, y, captionWidth, row - 2}, caption).setFontSize(10).setBold();
        auto& value =
            band.addField(field, {valueLeft, y, fieldWidth > 0 ? fieldWidth : valueWidth, row - 2}, column, format);
        value.setFontSize(11);
        y += row;
        return &value;
    };

    pair(QStringLiteral("Label1"), QStringLiteral("予約番号"), QStringLiteral("Text2"), QStringLiteral("RvNo"), {}, 40)
        ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pair(QStringLiteral("Label2"), QStringLiteral("お客様名"), QStringLiteral("Text1"), QStringLiteral("RvName"))
        ->setFontSize(14);
    pair(QStringLiteral("Label3"), QStringLiteral("予約受付日"), QStringLiteral("Text3"), QStringLiteral("RvDate"));
    pair(QStringLiteral("Label4"), QStringLiteral("ご利用日"), QStringLiteral("Text4"), QStringLiteral("RvUseDate"))
        ->setBold();
    pair(QStringLiteral("Label5"), QStringLiteral("電話番号"), QStringLiteral("Text5"), QStringLiteral("RvTelNo"));

    // The address takes four lines: postal code, then the three address lines.
    band.addLabel(QStringLiteral("Label6"), {0, y, captionWidth, row - 2}, QStringLiteral("住所"))
        .setFontSize(10)
        .setBold();
    band.addField(QStringLiteral("Text6"), {valueLeft, y, 40, row - 2}, QStringLiteral("RvZip")).setFontSize(11);
    y += row - 2;
    for (const auto& [name, column] : {std::pair{QStringLiteral("Text14"), QStringLiteral("RvAddress1")},
                                       std::pair{QStringLiteral("Text15"), QStringLiteral("RvAddress2")},
                                       std::pair{QStringLiteral("Text16"), QStringLiteral("RvAddress3")}}) {
        band.addField(name, {valueLeft, y, valueWidth, row - 2}, column).setFontSize(11);
        y += row - 2;
    }
    y += 2;

    pair(QStringLiteral("Label7"), QStringLiteral("ご利用人数"), QStringLiteral("Text7"), QStringLiteral("RvClNumber"),
         desk::convert::AmountFormat, 30)
        ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pair(QStringLiteral("Label8"), QStringLiteral("予算"), QStringLiteral("Text8"), QStringLiteral("RvBadget"),
         desk::convert::AmountFormat, 30)
        ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pair(QStringLiteral("Label9"), QStringLiteral("特記事項"), QStringLiteral("Text9"), QStringLiteral("RvRemarks1"));
    pair(QStringLiteral("Label10"), QStringLiteral("到着予定"), QStringLiteral("Text10"), QStringLiteral("RvArvTime"));
    pair(QStringLiteral("Label11"), QStringLiteral("チェックイン予定"), QStringLiteral("Text11"),
         QStringLiteral("RvChkInTime"));
    pair(QStringLiteral("Label12"), QStringLiteral("旅行社名"), QStringLiteral("Text12"), QStringLiteral("RvTravelAg"));
    pair(QStringLiteral("Label13"), QStringLiteral("グループ名"), QStringLiteral("Text13"), QStringLiteral("RvGroupe"));
    band.setHeight(y + 4);
}

} // namespace bookingapp
