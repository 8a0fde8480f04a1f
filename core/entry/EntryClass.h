#pragma once

#include <QString>

namespace desk {

// One registered class identifier and the module program behind it.
struct EntryClass {
    enum class Show { Modeless, Modal };

    QString classId;            // "bookingapp.Class1"
    QString program;            // program file name in the programs folder, "bookingapp"
    Show show = Show::Modeless; // Modal: ShowForm returns when the window closes
    bool profileValues = true;  // false: the entry has DirPath and ShowForm only
    bool search = false;        // the outside search module behind the main menu's "検索" button
    bool guest = false;         // takes CheckInNo: the window opens for that guest
    bool stays = false;         // takes Stay (StayRequest): the booking and check-in windows
};

} // namespace desk
