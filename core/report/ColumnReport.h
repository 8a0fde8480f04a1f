#pragma once

#include "report/Report.h"

#include <QList>
#include <QString>

namespace desk {

// One column of a list report: heading, bound column, width, alignment, display format
// (through convert::formatValue) and whether the report footer prints its sum.
struct ReportColumn {
    ReportColumn() = default;
    ReportColumn(QString headingText, QString boundField, double widthMm = 0.0, QString displayFormat = {},
                 bool withSum = false)
        : heading(std::move(headingText))
        , field(std::move(boundField))
        , width(widthMm)
        , format(std::move(displayFormat))
        , summed(withSum) {}

    QString heading;
    QString field;
    // Millimetres including the gap to the next column; 0 shares what the fixed columns
    // leave of the line with the other such columns.
    double width = 0.0;
    QString format;
    bool summed = false;
    // Left when no format is given, right for a number format; set to override.
    Qt::Alignment alignment = {};
    // Control names of the heading, the field and the sum; Head<n>, Text<n> and
    // Function<n> (n from 1 in column order) when empty.
    QString headingName;
    QString fieldName;
    QString sumName;
};

using ReportColumns = QList<ReportColumn>;

// The frame of a list report around its columns. Names address the controls in tests
// and in setLabel(); the defaults suit a report whose design names nothing else.
struct ColumnReportFrame {
    // The inn's eight profile values (Label16..Label23) or its name alone (Label16).
    enum class Company { Profile, NameOnly };
    // Under the title: nothing, a text of the caller's, or the period of an aggregation.
    enum class SubTitle { None, Text, Period };

    Company company = Company::Profile;
    QString titleName = QStringLiteral("Title");
    QString printDateName = QStringLiteral("PrintDate"); // empty: no print date
    QString pageNumberName = QStringLiteral("PageNo");   // empty: no page number
    SubTitle subTitle = SubTitle::None;
    QString subTitleName = QStringLiteral("SubTitle");
    // The period line: caption, first day, caption, last day.
    QStringList periodNames{QStringLiteral("Label2"), QStringLiteral("Label3"), QStringLiteral("Label4"),
                            QStringLiteral("Label5")};
    QStringList periodCaptions{QStringLiteral("集計開始日"), QStringLiteral("集計終了日")};
    // Printed at the left of the totals line when some column is summed.
    QString totalCaption = QStringLiteral("合計");
    QString totalName = QStringLiteral("LabelTotal");
};

// A list report built from a column table: on every page the inn's profile, the title,
// the optional sub-title or period line, the print date and the column headings; one
// line per row; a totals line in the report footer with the sum of every summed column
// (0 when there are no rows); the page number at the foot of every page. Prints in
// landscape when the columns do not fit the width of a portrait page, and squeezes the
// columns to the sheet when even landscape is too narrow. Text that does not fit its
// column shrinks and then ends in "…".
//
// Usage: construct with the columns, then setDataSource()/openDataSource() and
// setCompany() (and setSubTitle() or setPeriod() where the frame has them).
class ColumnReport : public Report {
    Q_OBJECT

public:
    ColumnReport(const QString& title, const ReportColumns& columns, const ColumnReportFrame& frame = {},
                 QObject* parent = nullptr);

    const ReportColumns& columns() const { return m_columns; }
    const ColumnReportFrame& frame() const { return m_frame; }

    // Fills the company labels the frame carries.
    void setCompany(const CompanyProfile& profile);
    // The text under the title (frame with SubTitle::Text).
    void setSubTitle(const QString& text);
    // The period of an aggregation, its days in short date form (frame with SubTitle::Period).
    void setPeriod(const QDate& first, const QDate& last);

    // Placement of each column across the line, in millimetres (after any squeeze).
    struct Span {
        double left;
        double width;
    };
    QList<Span> spans() const { return m_spans; }

protected:
    // For a report that learns its columns later (from its source): setColumns() once.
    explicit ColumnReport(const QString& title, const ColumnReportFrame& frame = {}, QObject* parent = nullptr);
    void setColumns(const ReportColumns& columns);

private:
    void layOut();
    QList<Span> placeColumns(double lineWidth) const;

    ReportColumns m_columns;
    ColumnReportFrame m_frame;
    QList<Span> m_spans;
};

} // namespace desk
