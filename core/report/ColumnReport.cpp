#include "report/ColumnReport.h"

#include "convert/Convert.h"

#include <QPageLayout>

#include <algorithm>
#include <stdexcept>

namespace desk {

namespace {

// A column of width 0 gets at least this much before the sheet turns to landscape.
constexpr double minimumShare = 20.0;
// Space kept before the next column: more after right-aligned numbers, so that an
// amount never reads as part of the text beside it.
constexpr double textGap = 1.0;
constexpr double numberGap = 3.0;
constexpr double headingHeight = 6.0;
constexpr double lineHeight = 7.0;

bool isNumberFormat(const QString& format) {
    return format.contains(QLatin1Char('#')) || format == QStringLiteral("0");
}

Qt::Alignment alignmentOf(const ReportColumn& column) {
    if (column.alignment != Qt::Alignment())
        return column.alignment;
    return (isNumberFormat(column.format) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QString nameOr(const QString& name, const char* prefix, qsizetype index) {
    return name.isEmpty() ? QLatin1String(prefix) + QString::number(index + 1) : name;
}

} // namespace

ColumnReport::ColumnReport(const QString& title, const ReportColumns& columns, const ColumnReportFrame& frame,
                           QObject* parent)
    : ColumnReport(title, frame, parent) {
    setColumns(columns);
}

ColumnReport::ColumnReport(const QString& title, const ColumnReportFrame& frame, QObject* parent)
    : Report(parent)
    , m_frame(frame) {
    setTitle(title);
}

void ColumnReport::setColumns(const ReportColumns& columns) {
    if (!m_spans.isEmpty() || !m_columns.isEmpty())
        throw std::logic_error("the columns of a list report are laid out once");
    if (columns.isEmpty())
        throw std::invalid_argument("a list report needs at least one column");
    m_columns = columns;
    layOut();
}

QList<ColumnReport::Span> ColumnReport::placeColumns(double lineWidth) const {
    double fixed = 0.0;
    int shared = 0;
    for (const ReportColumn& column : m_columns) {
        if (column.width > 0.0)
            fixed += column.width;
        else
            ++shared;
    }
    const double needed = fixed + shared * minimumShare;
    // Too wide even for this sheet: every column gives up the same share of its width.
    const double squeeze = needed > lineWidth ? lineWidth / needed : 1.0;
    const double share = shared == 0 ? 0.0 : std::max(minimumShare * squeeze, (lineWidth - fixed * squeeze) / shared);

    QList<Span> spans;
    double x = 0.0;
    for (const ReportColumn& column : m_columns) {
        const double w = column.width > 0.0 ? column.width * squeeze : share;
        spans.append({x, w});
        x += w;
    }
    return spans;
}

void ColumnReport::layOut() {
    // Landscape only when the columns need more than the portrait line.
    double needed = 0.0;
    for (const ReportColumn& column : m_columns)
        needed += column.width > 0.0 ? column.width : minimumShare;
    if (needed > printableWidth() + 0.001) {
        QPageLayout layout = pageLayout();
        layout.setOrientation(QPageLayout::Landscape);
        setPageLayout(layout);
    }
    const double width = printableWidth();
    m_spans = placeColumns(width);

    ReportSection& head = pageHeader();
    double y = 0.0;
    if (m_frame.company == ColumnReportFrame::Company::Profile) {
        addCompanyLabels(head, {0.0, 0.0, std::min(120.0, width * 0.6), 26.0});
        y = 27.0;
    } else {
        head.addRuntimeLabel(CompanyLabelStyle::labelNames().constFirst(), {0.0, 0.0, width * 0.6, 8.0})
            .setFontSize(13)
            .setBold();
        y = 9.0;
    }
    if (!m_frame.printDateName.isEmpty())
        head.addPrintDate(m_frame.printDateName, {width - 60.0, 0.0, 60.0, 5.0})
            .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    head.addLabel(m_frame.titleName, {0.0, y + 1.0, width, 9.0}, title())
        .setFontSize(16)
        .setBold()
        .setAlignment(Qt::AlignCenter);
    y += 11.0;
    switch (m_frame.subTitle) {
    case ColumnReportFrame::SubTitle::None:
        break;
    case ColumnReportFrame::SubTitle::Text:
        head.addRuntimeLabel(m_frame.subTitleName, {0.0, y, width, 6.0}).setAlignment(Qt::AlignCenter);
        y += 7.0;
        break;
    case ColumnReportFrame::SubTitle::Period: {
        if (m_frame.periodNames.size() != 4 || m_frame.periodCaptions.size() != 2)
            throw std::invalid_argument("a period line has two captions and four label names");
        head.addLabel(m_frame.periodNames[0], {0.0, y, 22.0, 6.0}, m_frame.periodCaptions[0]);
        head.addRuntimeLabel(m_frame.periodNames[1], {22.0, y, 30.0, 6.0});
        head.addLabel(m_frame.periodNames[2], {56.0, y, 22.0, 6.0}, m_frame.periodCaptions[1]);
        head.addRuntimeLabel(m_frame.periodNames[3], {78.0, y, 30.0, 6.0});
        y += 7.0;
        break;
    }
    }
    head.addLine(QStringLiteral("Line1"), {0.0, y + 1.0, width, y + 1.0}).setLineWidth(0.4);
    const double headingTop = y + 1.5;
    head.addLine(QStringLiteral("Line2"),
                 {0.0, headingTop + headingHeight + 0.5, width, headingTop + headingHeight + 0.5});
    head.setHeight(headingTop + headingHeight + 2.0);

    ReportSection& body = detail();
    body.setHeight(lineHeight);

    bool anySum = false;
    for (const ReportColumn& column : m_columns)
        anySum |= column.summed;
    ReportSection& foot = reportFooter();
    if (anySum) {
        foot.setHeight(8.0);
        foot.addLine(QStringLiteral("Line3"), {0.0, 0.5, width, 0.5}).setLineWidth(0.4);
        // The caption stands in the first column unless that column has a sum of its own.
        if (!m_frame.totalCaption.isEmpty()) {
            const QRectF box = m_columns.constFirst().summed ? QRectF(0.0, 1.5, 0.0, 0.0)
                                                             : QRectF(0.0, 1.5, m_spans.constFirst().width, 6.0);
            if (box.width() > 0.0)
                foot.addLabel(m_frame.totalName, box, m_frame.totalCaption).setBold();
        }
    }

    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        const ReportColumn& column = m_columns.at(i);
        const Qt::Alignment align = alignmentOf(column);
        const double gap = (align & Qt::AlignRight) ? numberGap : textGap;
        const double inner = std::max(1.0, m_spans[i].width - gap);
        const double x = m_spans[i].left;
        head.addLabel(nameOr(column.headingName, "Head", i), {x, headingTop, inner, headingHeight}, column.heading)
            .setBold()
            .setAlignment(align);
        body.addField(nameOr(column.fieldName, "Text", i), {x, 0.5, inner, 6.0}, column.field, column.format)
            .setAlignment(align);
        if (column.summed)
            foot.addSum(nameOr(column.sumName, "Function", i), {x, 1.5, inner, 6.0}, column.field,
                        column.format.isEmpty() ? desk::convert::AmountFormat : column.format)
                .setBold()
                .setAlignment(align);
    }

    ReportSection& pageFoot = pageFooter();
    pageFoot.setHeight(8.0);
    pageFoot.addLine(QStringLiteral("Line4"), {0.0, 1.0, width, 1.0}).setLineWidth(0.15);
    if (!m_frame.pageNumberName.isEmpty())
        pageFoot.addPageNumber(m_frame.pageNumberName, {0.0, 2.0, width, 5.0});
}

void ColumnReport::setCompany(const CompanyProfile& profile) {
    if (m_frame.company == ColumnReportFrame::Company::Profile)
        setCompanyLabels(profile);
    else
        setLabel(CompanyLabelStyle::labelNames().constFirst(), profile.MyCompanyName);
}

void ColumnReport::setSubTitle(const QString& text) {
    if (m_frame.subTitle != ColumnReportFrame::SubTitle::Text)
        throw std::logic_error("this list report has no sub-title line");
    setLabel(m_frame.subTitleName, text);
}

void ColumnReport::setPeriod(const QDate& first, const QDate& last) {
    if (m_frame.subTitle != ColumnReportFrame::SubTitle::Period)
        throw std::logic_error("this list report has no period line");
    setLabel(m_frame.periodNames[1], convert::shortDateText(first));
    setLabel(m_frame.periodNames[3], convert::shortDateText(last));
}

} // namespace desk
