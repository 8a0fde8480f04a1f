#pragma once

#include "report/ReportDocument.h"

#include <QString>

namespace desk::test {

// The text of a control that a composed report prints once; "<n items>" when it prints
// the control n times, so a test comparing texts says what went wrong.
inline QString controlText(const ReportDocument& doc, const QString& control) {
    const auto items = doc.byControl(control);
    return items.size() == 1 ? items[0].text : QStringLiteral("<%1 items>").arg(items.size());
}

} // namespace desk::test
