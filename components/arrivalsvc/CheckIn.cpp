#include "CheckIn.h"

#include <QStringList>

namespace arrivalsvc {

QString joinedAddress(const QString& adrs1, const QString& adrs2, const QString& adrs3) {
    QStringList parts;
    for (const QString& part : {adrs1, adrs2, adrs3}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

std::optional<CheckIn::ExemptRefusal> CheckIn::exemptRefusal() const {
    for (const auto& [levy, exempt, tax] : {std::tuple{Levy::Bathing, bathExempt, QStringLiteral("入湯税")},
                                            std::tuple{Levy::Lodging, lodgingExempt, QStringLiteral("宿泊税")}}) {
        if (exempt < 0 || exempt > guests)
            return ExemptRefusal{levy,
                                 QStringLiteral("%1を免除する人数は 0 から利用人数（%2 人）までで入力してください。")
                                     .arg(tax)
                                     .arg(guests)};
    }
    return std::nullopt;
}

QList<CheckInGuest> CheckIn::savedParty() const {
    if (!party.isEmpty())
        return party;
    return {{name, joinedAddress(address1, address2, address3), telNo}};
}

void CheckIn::classifyUnclassified() {
    for (auto [code, none] : {std::pair{&userClass, "U0"}, std::pair{&ageClass, "A0"}, std::pair{&payClass, "P0"},
                              std::pair{&groupeClass, "G0"}}) {
        if (code->isEmpty())
            *code = QString::fromLatin1(none);
    }
}

bool CheckIn::partyFollowsRepresentative() const {
    const CheckInGuest first = party.value(0);
    return first.name == name && first.address == joinedAddress(address1, address2, address3) && first.telNo == telNo;
}

} // namespace arrivalsvc
