#pragma once

#include <QString>

class QLabel;
class QStatusBar;

namespace desk {

// A panel of a status bar, as the design's status bars have them: a label named `name`
// ("Panel1") added after the bar's other panels, taking `stretch` of the spare width.
QLabel* addStatusPanel(QStatusBar* bar, const QString& name, int stretch = 0, int minimumWidth = 0);

} // namespace desk
