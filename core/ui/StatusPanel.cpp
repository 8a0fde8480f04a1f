#include "StatusPanel.h"

#include <QLabel>
#include <QStatusBar>

namespace desk {

QLabel* addStatusPanel(QStatusBar* bar, const QString& name, int stretch, int minimumWidth) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(name);
    // A long message must not widen the window past the screen: the panel takes the width
    // the bar gives it.
    panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    if (minimumWidth > 0)
        panel->setMinimumWidth(minimumWidth);
    bar->addWidget(panel, stretch);
    return panel;
}

} // namespace desk
