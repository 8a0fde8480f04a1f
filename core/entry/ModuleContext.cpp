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

CompanyProfile ModuleContext::profile() const {
    return {m_companyName, m_zipCode, m_address, m_telNo, m_faxNo, m_url, m_email, m_comment};
}

bool ModuleContext::setValue(const QString& name, const QString& value) {
    QString* target = nullptr;
    if (name == EntryMembers::DirPath)
        target = &m_dirPath;
    else if (name == EntryMembers::MyCompanyName)
        target = &m_companyName;
    else if (name == EntryMembers::MyZipCode)
        target = &m_zipCode;
    else if (name == EntryMembers::MyAddress)
        target = &m_address;
    else if (name == EntryMembers::MyTelNo)
        target = &m_telNo;
    else if (name == EntryMembers::MyFaxNo)
        target = &m_faxNo;
    else if (name == EntryMembers::MyURL)
        target = &m_url;
    else if (name == EntryMembers::MyEmail)
        target = &m_email;
    else if (name == EntryMembers::MyComment)
        target = &m_comment;
    if (!target)
        return false;
    const bool newFolder = target == &m_dirPath && value != m_dirPath;
    *target = value;
    if (newFolder)
        holdFiles();
    emit valueChanged(name);
    return true;
}

QString ModuleContext::value(const QString& name) const {
    if (name == EntryMembers::DirPath)
        return m_dirPath;
    if (name == EntryMembers::MyCompanyName)
        return m_companyName;
    if (name == EntryMembers::MyZipCode)
        return m_zipCode;
    if (name == EntryMembers::MyAddress)
        return m_address;
    if (name == EntryMembers::MyTelNo)
        return m_telNo;
    if (name == EntryMembers::MyFaxNo)
        return m_faxNo;
    if (name == EntryMembers::MyURL)
        return m_url;
    if (name == EntryMembers::MyEmail)
        return m_email;
    if (name == EntryMembers::MyComment)
        return m_comment;
    return {};
}

} // namespace desk
