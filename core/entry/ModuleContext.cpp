#include "ModuleContext.h"

#include "EntryMembers.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Schema.h"

namespace desk {

void ModuleContext::setDirPath(const QString& value) {
    setValue(EntryMembers::DirPath, value);
}
void ModuleContext::setMyCompanyName(const QString& value) {
    setValue(EntryMembers::MyCompanyName, value);
}
void ModuleContext::setMyZipCode(const QString& value) {
    setValue(EntryMembers::MyZipCode, value);
}
void ModuleContext::setMyAddress(const QString& value) {
    setValue(EntryMembers::MyAddress, value);
}
void ModuleContext::setMyTelNo(const QString& value) {
    setValue(EntryMembers::MyTelNo, value);
}
void ModuleContext::setMyFaxNo(const QString& value) {
    setValue(EntryMembers::MyFaxNo, value);
}
void ModuleContext::setMyURL(const QString& value) {
    setValue(EntryMembers::MyURL, value);
}
void ModuleContext::setMyEmail(const QString& value) {
    setValue(EntryMembers::MyEmail, value);
}
void ModuleContext::setMyComment(const QString& value) {
    setValue(EntryMembers::MyComment, value);
}

ModuleContext::~ModuleContext() = default;

void ModuleContext::holdFiles() {
    m_inUse.clear();
    if (m_dirPath.isEmpty())
        return;
    for (const QString& name : Schema::fileNames()) {
        try {
            m_inUse.push_back(Connection::open(m_dirPath, name));
        } catch (const DbError&) {
            // The window that needs the file says what is wrong with it.
        }
    }
}

void ModuleContext::setProfile(const CompanyProfile& profile) {
    for (const CompanyProfileField& f : companyProfileFields)
        setValue(f.name.toString(), profile.*f.member);
}

bool ModuleContext::setValue(const QString& name, const QString& value) {
    if (name == EntryMembers::DirPath) {
        const bool newFolder = value != m_dirPath;
        m_dirPath = value;
        if (newFolder)
            holdFiles();
    } else if (QString* target = m_profile.field(name)) {
        *target = value;
    } else if (name == EntryMembers::CheckInNo) {
        m_guest = value;
        emit valueChanged(name);
        emit guestHandedOver();
        return true;
    } else if (name == EntryMembers::Stay) {
        m_stay = value;
        emit valueChanged(name);
        emit stayHandedOver();
        return true;
    } else {
        return false;
    }
    emit valueChanged(name);
    return true;
}

QString ModuleContext::value(const QString& name) const {
    if (name == EntryMembers::DirPath)
        return m_dirPath;
    if (const QString* source = m_profile.field(name))
        return *source;
    if (name == EntryMembers::CheckInNo)
        return m_guest;
    if (name == EntryMembers::Stay)
        return m_stay;
    return {};
}

} // namespace desk
