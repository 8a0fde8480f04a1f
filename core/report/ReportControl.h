#pragma once

#include <QLineF>
#include <QRectF>
#include <QString>

namespace desk {

// One control of a report section. Positions and sizes are millimetres from the
// top-left corner of the section (the section spans the printable width of the page);
// font sizes are points.
//
// A fixed label's caption may carry the tokens %p (page number), %D (print date, long:
// "2026年12月7日"), %d (print date, short: "2026/12/07") and %% (a percent sign). A
// run-time label prints the caption set on the report as it stands: its text comes from
// data and is never read for tokens.
struct ReportControl {
    enum class Kind { Label, RuntimeLabel, Field, Sum, Line };

    Kind kind = Kind::Label;
    QString name;
    QRectF rect;    // text controls
    QLineF line;    // lines
    QString text;   // label caption, or the column of a field or sum
    QString format; // "#,##0" or "##,###,###" for numbers; empty prints the plain value
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    double fontSize = 9.0;
    bool bold = false;
    double lineWidth = 0.25; // mm
    // Text wider than its box shrinks to a readable size and then wraps (a box of several
    // lines) or ends in "…", rather than being cut at the box edge (desk::fitText).
    bool fit = true;

    ReportControl& setAlignment(Qt::Alignment value) {
        alignment = value;
        return *this;
    }
    ReportControl& setFontSize(double points) {
        fontSize = points;
        return *this;
    }
    ReportControl& setBold(bool value = true) {
        bold = value;
        return *this;
    }
    ReportControl& setLineWidth(double millimetres) {
        lineWidth = millimetres;
        return *this;
    }

    bool isText() const { return kind != Kind::Line; }
};

} // namespace desk
