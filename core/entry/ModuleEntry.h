#pragma once

#include "EntryMembers.h"

#include "StayRequest.h"

#include "convert/CompanyProfile.h"

#include <QString>

#include <functional>

namespace desk {

// Caller side of the module entry contract: the entry object through which the main
// menu opens a module program.
//
//     auto entry = desk::EntryRegistry::instance().create(QStringLiteral("bookingapp.Class1"));
//     entry->setDirPath(dataDir);
//     entry->setProfile(profile); // the eight profile values, in the main menu's order
//     entry->ShowForm();          // throws desk::EntryError
//
// All values travel as text, in the order they were set. ShowForm hands them to the
// module program, starting it when it is not running, and returns once the module's
// window is shown (modal entries such as firmapp.StartCls: once it is closed again).
// A value set after ShowForm reaches the running module at once, so what the window reads
// later (a report printed afterwards) sees it; what it read while loading stays as it was.
// Releasing the entry object never closes the module's window.
class ModuleEntry {
public:
    virtual ~ModuleEntry() = default;

    // The registered class identifier the entry was created from, e.g. "bookingapp.Class1".
    virtual QString classId() const = 0;

    // Write-only properties. An entry class without profile values (firmapp.StartCls)
    // refuses the eight My… members with an EntryError.
    void setDirPath(const QString& value) { setValue(EntryMembers::DirPath, value); }
    void setMyCompanyName(const QString& value) { setValue(EntryMembers::MyCompanyName, value); }
    void setMyZipCode(const QString& value) { setValue(EntryMembers::MyZipCode, value); }
    void setMyAddress(const QString& value) { setValue(EntryMembers::MyAddress, value); }
    void setMyTelNo(const QString& value) { setValue(EntryMembers::MyTelNo, value); }
    void setMyFaxNo(const QString& value) { setValue(EntryMembers::MyFaxNo, value); }
    void setMyURL(const QString& value) { setValue(EntryMembers::MyURL, value); }
    void setMyEmail(const QString& value) { setValue(EntryMembers::MyEmail, value); }
    void setMyComment(const QString& value) { setValue(EntryMembers::MyComment, value); }
    // The guest the window opens for, by check-in number (sales, payment, check-out only;
    // the others refuse it with an EntryError). Set it after the other values.
    void setCheckInNo(const QString& value) { setValue(EntryMembers::CheckInNo, value); }
    // What the booking or check-in window opens on (those two only; the others refuse it
    // with an EntryError). Set it after the other values.
    void setStay(const StayRequest& request) { setValue(EntryMembers::Stay, request.toText()); }
    // The eight My… values at once, in the main menu's order.
    void setProfile(const CompanyProfile& profile) {
        for (const QString& name : EntryMembers::profileOrder())
            setValue(name, *profile.field(name));
    }

    // A property by its member name (see EntryMembers).
    virtual void setValue(const QString& name, const QString& value) = 0;

    // Shows the module's window; see above. Throws EntryError with a Japanese text when the
    // program is missing, does not start or answer, or its window failed to load.
    virtual void ShowForm() = 0;

    // Runs handler (from the caller's event loop) each time the module's main window, shown
    // through this object, is closed; the main menu refreshes its lists then.
    void setOnWindowClosed(std::function<void()> handler) { m_onWindowClosed = std::move(handler); }

protected:
    void windowClosed() const {
        if (m_onWindowClosed)
            m_onWindowClosed();
    }

private:
    std::function<void()> m_onWindowClosed;
};

} // namespace desk
