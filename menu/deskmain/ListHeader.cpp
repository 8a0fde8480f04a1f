#include "ListHeader.h"

#include "report/CompanyLabels.h"

namespace deskmain {

void addListHeader(desk::ReportSection& header, double width, const QString& title) {
    header.setHeight(50);
    desk::addCompanyLabels(header, {0, 0, 120, 26});
    header.addLabel(QStringLiteral("Label1"), {0, 29, width, 9}, title)
        .setFontSize(16)
        .setBold()
        .setAlignment(Qt::AlignCenter);
    header.addLabel(QStringLiteral("Label2"), {width - 60, 0, 60, 5}, QStringLiteral("%D"))
        .setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    header.addLine(QStringLiteral("Line2"), {0, 42, width, 42});
}

} // namespace deskmain
