#include "DRChkOut.h"

#include "ListHeader.h"

#include "data/Connection.h"

namespace deskmain {

DRChkOut::DRChkOut(const QString& dataDir, const desk::CompanyProfile& profile, QObject* parent)
    : Report(parent) {
    setTitle(QStringLiteral("未チェックアウト一覧"));
    const double w = printableWidth();

    desk::ReportSection& header = pageHeader();
    addListHeader(header, w, QStringLiteral("未チェックアウト一覧"));
    header.addLabel(QStringLiteral("Label7"), {0, 43, 24, 6}, QStringLiteral("イン番号")).setBold();
    header.addLabel(QStringLiteral("Label8"), {25, 43, 24, 6}, QStringLiteral("イン日付")).setBold();
    header.addLabel(QStringLiteral("Label9"), {50, 43, 20, 6}, QStringLiteral("部屋番号")).setBold();
    header.addLabel(QStringLiteral("Label10"), {71, 43, 50, 6}, QStringLiteral("グループ名")).setBold();
    header.addLabel(QStringLiteral("Label3"), {122, 43, 52, 6}, QStringLiteral("お客様名")).setBold();
    header.addLabel(QStringLiteral("Label4"), {175, 43, w - 175, 6}, QStringLiteral("人数"))
        .setBold()
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    header.addLine(QStringLiteral("Line3"), {0, 49.5, w, 49.5});

    desk::ReportSection& rows = detail();
    rows.setHeight(8);
    rows.addField(QStringLiteral("Text1"), {0, 1, 24, 6}, QStringLiteral("CheckInNo"));
    rows.addField(QStringLiteral("Text3"), {25, 1, 24, 6}, QStringLiteral("CheckInDate"));
    rows.addField(QStringLiteral("Text5"), {50, 1, 20, 6}, QStringLiteral("CheckiNroomNo"));
    rows.addField(QStringLiteral("Text6"), {71, 1, 50, 6}, QStringLiteral("CheckInGroupe"));
    rows.addField(QStringLiteral("Text2"), {122, 1, 52, 6}, QStringLiteral("CheckInName"));
    rows.addField(QStringLiteral("Text4"), {175, 1, w - 175, 6}, QStringLiteral("CheckInCliants"))
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    desk::ReportSection& footer = pageFooter();
    footer.setHeight(6);
    footer.addLine(QStringLiteral("Line1"), {0, 2, w, 2});

    openDataSource(dataDir, QLatin1String(desk::DbFile::DaySalesCliants),
                   QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE CheckOutFlag = False"));
    setCompanyLabels(profile);
}

} // namespace deskmain
