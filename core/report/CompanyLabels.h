#pragma once

#include "convert/CompanyProfile.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>

namespace desk {

class ReportSection;

// How the eight company labels Label16..Label23 are filled: which value goes to which
// label, and whether the telephone and fax numbers carry "TEL" and "FAX" in front.
struct CompanyLabelStyle {
    enum class Item { Name, ZipCode, Address, Tel, Fax, Email, URL, Comment };

    std::array<Item, 8> order{Item::Name, Item::ZipCode, Item::Address, Item::Tel,
                              Item::Fax,  Item::Email,   Item::URL,     Item::Comment};
    bool telFaxPrefixes = true;

    // Name, zip code, address, "TEL"+tel, "FAX"+fax, e-mail, URL, comment: nearly every report.
    static CompanyLabelStyle standard() { return {}; }
    // Name, zip code, address, tel, fax, URL, e-mail, comment with no prefixes: the
    // commodity class list.
    static CompanyLabelStyle classList() {
        return {{Item::Name, Item::ZipCode, Item::Address, Item::Tel, Item::Fax, Item::URL, Item::Email, Item::Comment},
                false};
    }

    // The eight captions in label order (Label16 first).
    QStringList texts(const CompanyProfile& profile) const;
    // "Label16" .. "Label23".
    static QStringList labelNames();
};

// Places run-time labels Label16..Label23 in a block at the top-left of area (millimetres
// within the section): the name in large type, then address lines, numbers and comment.
// For reports whose own design leaves their placement open.
void addCompanyLabels(ReportSection& section, const QRectF& area);

} // namespace desk
