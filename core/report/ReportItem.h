#pragma once

#include "report/ReportSection.h"

#include <QLineF>
#include <QRectF>
#include <QString>

namespace desk {

// One thing drawn on a page of a composed report. Coordinates are millimetres from the
// top-left corner of the printable area (inside the page margins).
struct ReportItem {
    enum class Kind { Text, Line };

    Kind kind = Kind::Text;
    int page = 1; // from 1
    SectionKind section = SectionKind::Detail;
    QString control; // name of the control that drew it
    int row = -1;    // row of the data source (from 0) for detail items, -1 otherwise
    QString text;
    QRectF rect;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    double fontSize = 9.0;
    bool bold = false;
    // The text runs over several lines of its box (the whole text, as composed).
    bool wrap = false;
    QLineF line;
    double lineWidth = 0.25;
};

} // namespace desk
