#include "report/CompanyLabels.h"

#include "report/ReportSection.h"

namespace desk {

QStringList CompanyLabelStyle::texts(const CompanyProfile& profile) const {
    QStringList result;
    for (const Item item : order) {
        switch (item) {
        case Item::Name:
            result << profile.MyCompanyName;
            break;
        case Item::ZipCode:
            result << profile.MyZipCode;
            break;
        case Item::Address:
            result << profile.MyAddress;
            break;
        case Item::Tel:
            result << (telFaxPrefixes ? QStringLiteral("TEL") + profile.MyTelNo : profile.MyTelNo);
            break;
        case Item::Fax:
            result << (telFaxPrefixes ? QStringLiteral("FAX") + profile.MyFaxNo : profile.MyFaxNo);
            break;
        case Item::Email:
            result << profile.MyEmail;
            break;
        case Item::URL:
            result << profile.MyURL;
            break;
        case Item::Comment:
            result << profile.MyComment;
            break;
        }
    }
    return result;
}

QStringList CompanyLabelStyle::labelNames() {
    QStringList names;
    for (int i = 16; i <= 23; ++i)
        names << QStringLiteral("Label%1").arg(i);
    return names;
}

void addCompanyLabels(ReportSection& section, const QRectF& area) {
    const QStringList names = CompanyLabelStyle::labelNames();
    const double x = area.left();
    const double w = area.width();
    const double half = w / 2.0;
    double y = area.top();
    section.addRuntimeLabel(names[0], {x, y, w, 7.0}).setFontSize(13).setBold();
    y += 7.5;
    section.addRuntimeLabel(names[1], {x, y, 22.0, 4.5}).setFontSize(8);
    section.addRuntimeLabel(names[2], {x + 22.0, y, w - 22.0, 4.5}).setFontSize(8);
    y += 4.5;
    section.addRuntimeLabel(names[3], {x, y, half, 4.5}).setFontSize(8);
    section.addRuntimeLabel(names[4], {x + half, y, half, 4.5}).setFontSize(8);
    y += 4.5;
    section.addRuntimeLabel(names[5], {x, y, half, 4.5}).setFontSize(8);
    section.addRuntimeLabel(names[6], {x + half, y, half, 4.5}).setFontSize(8);
    y += 4.5;
    section.addRuntimeLabel(names[7], {x, y, w, 4.5}).setFontSize(8);
}

} // namespace desk
