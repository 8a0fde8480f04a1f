#include "Dryoyaku1.h"

#include "ListHeader.h"

#include "bookingsvc/Bookings.h"
#include "convert/Convert.h"
#include "data/RowSet.h"

namespace deskmain {

Dryoyaku1::Dryoyaku1(const QString& dataDir, const desk::CompanyProfile& profile, const QString& todayText,
                     QObject* parent)
    : Report(parent) {
    setTitle(QStringLiteral("本日予約一覧表"));
    const double w = printableWidth();

    desk::ReportSection& header = pageHeader();
    addListHeader(header, w, QStringLiteral("本日予約一覧表"));
    header.addLabel(QStringLiteral("Label7"), {0, 43, 60, 6}, QStringLiteral("お客様名")).setBold();
    header.addLabel(QStringLiteral("Label8"), {62, 43, 36, 6}, QStringLiteral("連絡先")).setBold();
    header.addLabel(QStringLiteral("Label9"), {100, 43, 50, 6}, QStringLiteral("住所")).setBold();
    header.addLabel(QStringLiteral("Label10"), {150, 43, w - 150, 6}, QStringLiteral("到着/チェックイン時間"))
        .setBold();
    header.addLine(QStringLiteral("Line3"), {0, 49.5, w, 49.5});

    desk::ReportSection& rows = detail();
    rows.setHeight(21);
    rows.addField(QStringLiteral("Text1"), {0, 1, 60, 6}, QStringLiteral("RvName")).setFontSize(10).setBold();
    rows.addField(QStringLiteral("Text2"), {62, 1, 36, 6}, QStringLiteral("RvTelNo"));
    rows.addField(QStringLiteral("Text4"), {100, 1, 50, 6}, QStringLiteral("RvAddress1"));
    rows.addField(QStringLiteral("Text7"), {150, 1, 20, 6}, QStringLiteral("RvArvTime"));
    rows.addField(QStringLiteral("Text8"), {170, 1, w - 170, 6}, QStringLiteral("RvChkInTime"));
    rows.addField(QStringLiteral("Text3"), {0, 7, 12, 6}, QStringLiteral("RvClNumber"))
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows.addLabel(QStringLiteral("Label3"), {12.5, 7, 6, 6}, QStringLiteral("人"));
    // The budget is the one amount of the band, and the one number format of the report.
    rows.addField(QStringLiteral("Text6"), {20, 7, 24, 6}, QStringLiteral("RvBadget"), desk::convert::AmountFormat);
    rows.addLabel(QStringLiteral("Label4"), {44.5, 7, 6, 6}, QStringLiteral("円"));
    rows.addField(QStringLiteral("Text5"), {100, 7, 50, 6}, QStringLiteral("RvAddress2"));
    rows.addField(QStringLiteral("Text9"), {0, 13, 98, 6}, QStringLiteral("RvRemarks1"));
    rows.addLabel(QStringLiteral("Label5"), {100, 13, 20, 6}, QStringLiteral("グループ名："));
    rows.addField(QStringLiteral("Text10"), {120, 13, 28, 6}, QStringLiteral("RvGroupe"));
    rows.addLabel(QStringLiteral("Label6"), {150, 13, 15, 6}, QStringLiteral("旅行社："));
    rows.addField(QStringLiteral("Text11"), {165, 13, w - 165, 6}, QStringLiteral("RvTravelAg"));
    rows.addLine(QStringLiteral("Line1"), {0, 20.5, w, 20.5});

    desk::ReportSection& footer = pageFooter();
    footer.setHeight(8);
    footer.addPageNumber(QStringLiteral("Label11"), {0, 2, w, 5});

    setDataSource(bookingsvc::Bookings(dataDir).listFor(desk::convert::dateOfDayText(todayText)));
    setCompanyLabels(profile);
}

} // namespace deskmain
