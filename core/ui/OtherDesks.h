#pragma once

#include <QString>

#include <functional>

class QObject;

namespace desk {

// Runs refresh when another desk has saved to fileName (one of DbFile; empty: to any of the
// five) on the server of dataDir, once for a burst of saves (a check-in writes several
// databases), a moment after the first; for as long as receiver lives. On files nothing is
// ever announced: windows read again when they are activated.
void onOtherDesksSaved(QObject* receiver, const QString& dataDir, const QString& fileName,
                       const std::function<void()>& refresh);

} // namespace desk
