#pragma once

#include <QString>
#include <QStringView>

#include <array>

namespace desk {

// The inn's eight profile values as the main menu hands them to every module. It lives
// below both the entry contract, which carries it, and the reports, which print it.
struct CompanyProfile {
    QString MyCompanyName;
    QString MyZipCode;
    QString MyAddress;
    QString MyTelNo;
    QString MyFaxNo;
    QString MyURL;
    QString MyEmail;
    QString MyComment;

    // The value of a member name ("MyTelNo"); nullptr for a name that is not a profile value.
    QString* field(QStringView name);
    const QString* field(QStringView name) const;

    friend bool operator==(const CompanyProfile&, const CompanyProfile&) = default;
};

struct CompanyProfileField {
    QStringView name;
    QString CompanyProfile::*member;
};

// Every value with its member name, as the entry contract names it: the one table that
// reads and writes the profile by name.
inline constexpr std::array<CompanyProfileField, 8> companyProfileFields{{
    {u"MyCompanyName", &CompanyProfile::MyCompanyName},
    {u"MyZipCode", &CompanyProfile::MyZipCode},
    {u"MyAddress", &CompanyProfile::MyAddress},
    {u"MyTelNo", &CompanyProfile::MyTelNo},
    {u"MyFaxNo", &CompanyProfile::MyFaxNo},
    {u"MyURL", &CompanyProfile::MyURL},
    {u"MyEmail", &CompanyProfile::MyEmail},
    {u"MyComment", &CompanyProfile::MyComment},
}};

inline QString* CompanyProfile::field(QStringView name) {
    for (const CompanyProfileField& f : companyProfileFields)
        if (f.name == name)
            return &(this->*f.member);
    return nullptr;
}

inline const QString* CompanyProfile::field(QStringView name) const {
    for (const CompanyProfileField& f : companyProfileFields)
        if (f.name == name)
            return &(this->*f.member);
    return nullptr;
}

} // namespace desk
