#pragma once

#include <QString>

class QWidget;

#include <memory>
#include <optional>

namespace deskmain {

class FrmMain;

// The data directory named by DPath.txt in programDir. When the file is missing or holds
// no path, the user hears the beep and is told what to do, and there is no directory.
std::optional<QString> findDataDirectory(const QString& programDir);

// The automatic backup at the first start of each day (DeskBackup.ini beside DPath.txt
// may name the folder and how many to keep). A failure is told to the clerk.
void dailyBackup(const QString& programDir, const QString& dataDir, QWidget* parent);

// The start of the main menu: the data directory, then the main window loaded and shown.
// nullptr when the program has to end; the user has been told why (also when the data
// directory's files cannot be opened).
std::unique_ptr<FrmMain> startUp(const QString& programDir);

} // namespace deskmain
