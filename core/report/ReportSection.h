#pragma once

#include "report/ReportControl.h"

#include <QString>

#include <deque>
#include <functional>

namespace desk {

enum class SectionKind { ReportHeader, PageHeader, Detail, PageFooter, ReportFooter };

// A band of a report: a height and the controls placed on it, in the order they were
// added (the order in which the designer lists them). References returned by the add
// functions stay valid for the section's lifetime.
class ReportSection {
public:
    // nameTaken tells whether a control name is already used anywhere in the report.
    ReportSection(SectionKind kind, std::function<bool(const QString&)> nameTaken);

    SectionKind kind() const { return m_kind; }
    double height() const { return m_height; }
    void setHeight(double millimetres);

    // A label with a fixed caption (tokens allowed, see ReportControl).
    ReportControl& addLabel(const QString& name, const QRectF& rect, const QString& caption);
    // A label whose caption the report sets when it starts (Report::setLabel).
    ReportControl& addRuntimeLabel(const QString& name, const QRectF& rect);
    // A field bound to a column by name. With a number format the field is right-aligned.
    ReportControl& addField(const QString& name, const QRectF& rect, const QString& column, const QString& format = {});
    // The sum of a column over the rows printed so far (all rows in the report footer).
    ReportControl& addSum(const QString& name, const QRectF& rect, const QString& column, const QString& format = {});
    ReportControl& addLine(const QString& name, const QLineF& line);
    // "%p", centred.
    ReportControl& addPageNumber(const QString& name, const QRectF& rect);
    // "%D" (long) or "%d" (short).
    ReportControl& addPrintDate(const QString& name, const QRectF& rect, bool longForm = true);

    const std::deque<ReportControl>& controls() const { return m_controls; }
    ReportControl* control(const QString& name);
    const ReportControl* control(const QString& name) const;

private:
    ReportControl& add(ReportControl control);

    SectionKind m_kind;
    double m_height = 0.0;
    std::deque<ReportControl> m_controls;
    std::function<bool(const QString&)> m_nameTaken;
};

} // namespace desk
