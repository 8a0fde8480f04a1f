#include "DRRireki.h"

#include "data/Connection.h"

namespace bookingapp {

namespace {

struct Column {
    const char16_t* label;
    const char16_t* heading;
    const char16_t* field;
    const char16_t* source;
    double width; // mm; 0 takes the rest of the line
    const char16_t* format;
};

// Headings and fields side by side, each field under the heading of its meaning.
constexpr Column columns[] = {
    {u"Label2", u"番号", u"Text1", u"checkinno", 18, u""},
    {u"Label3", u"利用日", u"Text2", u"CheckInDate", 22, u""},
    {u"Label4", u"名前", u"Text5", u"CheckInName", 30, u""},
    {u"Label5", u"部屋", u"Text3", u"CheckInRoomNo", 16, u""},
    {u"Label6", u"利用者名", u"Text4", u"CheckInCname", 30, u""},
    {u"Label7", u"人数", u"Text6", u"CheckInCliants", 12, u"#,##0"},
    {u"Label8", u"予算", u"Text7", u"RvBadget", 20, u"#,##0"},
    {u"Label9", u"備考", u"Text8", u"CheckInRemarks", 0, u""},
};

} // namespace

DRRireki::DRRireki(const QString& dirPath, const QString& condition, const desk::CompanyProfile& profile,
                   QObject* parent)
    : desk::Report(parent) {
    setTitle(QStringLiteral("利用履歴一覧票"));
    layOut();
    openDataSource(dirPath, QLatin1String(desk::DbFile::DaySalesCliants), query(condition));
    setCompanyLabels(profile);
}

QString DRRireki::query(const QString& condition) {
    return QStringLiteral("SELECT * FROM QRYCliantsDaySale WHERE ") + condition;
}

void DRRireki::layOut() {
    const double width = printableWidth();

    auto& header = pageHeader();
    header.setHeight(52);
    desk::addCompanyLabels(header, {0, 0, 110, 30});
    header.addLabel(QStringLiteral("Label1"), {0, 32, width, 10}, QStringLiteral("利用履歴一覧票"))
        .setFontSize(16)
        .setBold()
        .setAlignment(Qt::AlignCenter);
    header.addLine(QStringLiteral("Line1"), {0, 44, width, 44}).setLineWidth(0.5);

    auto& band = detail();
    band.setHeight(7);
    double x = 0.0;
    for (const Column& column : columns) {
        const double w = column.width > 0 ? column.width : width - x;
        const QString format = QString::fromUtf16(column.format);
        // Amounts stand right-aligned with a gap before the next column.
        const double inner = format.isEmpty() ? w - 1.0 : w - 3.0;
        auto& heading =
            header.addLabel(QString::fromUtf16(column.label), {x, 45.5, inner, 6}, QString::fromUtf16(column.heading));
        heading.setBold();
        if (!format.isEmpty())
            heading.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        band.addField(QString::fromUtf16(column.field), {x, 0.5, inner, 6}, QString::fromUtf16(column.source), format);
        x += w;
    }

    auto& footer = pageFooter();
    footer.setHeight(8);
    footer.addPageNumber(QStringLiteral("Label24"), {width / 2 - 15, 2, 30, 6});
}

} // namespace bookingapp
