#pragma once

#include "StayRequest.h"

#include "convert/CompanyProfile.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace desk {

class Connection;

// The nine module-wide values of a module program: the data directory and the inn's
// profile. Written only by the entry contract (each ShowForm, and every value the caller
// sets afterwards), read by the module's windows and reports whenever they need them.
// A window that copies a value while loading keeps that copy; one that reads here at
// print time sees the latest value.
// While it names a data directory, the module keeps a connection on each of its files, so
// that a restore or an upgrade sees the module at work whatever its window shows.
class ModuleContext : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ModuleContext() override;

    QString DirPath() const { return m_dirPath; }
    QString MyCompanyName() const { return m_profile.MyCompanyName; }
    QString MyZipCode() const { return m_profile.MyZipCode; }
    QString MyAddress() const { return m_profile.MyAddress; }
    QString MyTelNo() const { return m_profile.MyTelNo; }
    QString MyFaxNo() const { return m_profile.MyFaxNo; }
    QString MyURL() const { return m_profile.MyURL; }
    QString MyEmail() const { return m_profile.MyEmail; }
    QString MyComment() const { return m_profile.MyComment; }
    // The guest a caller last handed over (EntryMembers::CheckInNo), once: the window that
    // opens for the guest takes it, and a later showing without one finds none.
    QString takeGuest() { return std::exchange(m_guest, {}); }
    // What a caller last asked the booking or check-in window to open on
    // (EntryMembers::Stay), once, like takeGuest; nothing for a text no caller writes.
    std::optional<StayRequest> takeStay() { return StayRequest::fromText(std::exchange(m_stay, {})); }
    // The eight profile values as reports print them, as the caller last handed them over:
    // read it at print time so a report shows the latest values.
    CompanyProfile profile() const { return m_profile; }

    void setDirPath(const QString& value);
    void setMyCompanyName(const QString& value);
    void setMyZipCode(const QString& value);
    void setMyAddress(const QString& value);
    void setMyTelNo(const QString& value);
    void setMyFaxNo(const QString& value);
    void setMyURL(const QString& value);
    void setMyEmail(const QString& value);
    void setMyComment(const QString& value);
    // All eight profile values at once, each announced as if set on its own.
    void setProfile(const CompanyProfile& profile);

    // Sets a value by its member name ("DirPath", "MyTelNo", ...); false for an unknown name.
    bool setValue(const QString& name, const QString& value);
    // A value by its member name; empty for an unknown name.
    QString value(const QString& name) const;

signals:
    // Emitted after every write, also when the value stays the same.
    void valueChanged(const QString& name);
    // A caller handed over a guest (takeGuest) for the window already open.
    void guestHandedOver();
    // A caller asked for a stay (takeStay) for the window already open.
    void stayHandedOver();

private:
    void holdFiles();

    std::vector<std::shared_ptr<Connection>> m_inUse;
    QString m_dirPath;
    CompanyProfile m_profile;
    QString m_guest;
    QString m_stay;
};

} // namespace desk
