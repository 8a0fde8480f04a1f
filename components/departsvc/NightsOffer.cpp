#include "NightsOffer.h"

#include "arrivalsvc/CheckInDesk.h"
#include "convert/Convert.h"
#include "chargesvc/SalesSlipBook.h"
#include "chargesvc/SalesSlipStore.h"
#include "goodssvc/Commodities.h"
#include "taxsvc/LevyRules.h"
#include "taxsvc/TaxSettings.h"

#include <algorithm>

namespace departsvc {

namespace {

struct Due {
    QString code;
    qint32 guests = 0;
    QString who; // "大人", "小人", or empty when adults and children share the plan
};

} // namespace

NightsOffer offeredNights(const QString& dirPath, const QString& checkInNo, const QDate& settledOn) {
    NightsOffer offer;
    offer.checkInNo = checkInNo;
    offer.settledOn = settledOn.isValid() ? settledOn : QDate::currentDate();
    const std::optional<arrivalsvc::CheckIn> stay = arrivalsvc::CheckInDesk(dirPath).callUp(checkInNo);
    if (!stay)
        return offer;
    const qint32 children = std::clamp<qint32>(stay->children, 0, std::max<qint32>(stay->guests, 0));
    const qint32 adults = std::max<qint32>(stay->guests, 0) - children;
    const QString childPlan = stay->childPlan.isEmpty() ? stay->plan : stay->childPlan;
    QList<Due> dues;
    if (!stay->plan.isEmpty() && desk::convert::sameCode(stay->plan, childPlan)) {
        dues.append({stay->plan, adults + children, {}});
    } else {
        if (!stay->plan.isEmpty())
            dues.append({stay->plan, adults, QStringLiteral("大人")});
        if (!childPlan.isEmpty())
            dues.append({childPlan, children, QStringLiteral("小人")});
    }
    dues.removeIf([](const Due& due) { return due.guests <= 0; });
    if (dues.isEmpty())
        return offer;

    const qint32 nights = taxsvc::stayNights(stay->date, offer.settledOn);
    QStringList codes;
    for (const Due& due : dues)
        codes << due.code;
    offer.rungUp = chargesvc::SalesSlipStore::open(dirPath).quantitiesOf(checkInNo, codes);
    const taxsvc::TaxSettings settings = taxsvc::TaxSettings::readFrom(dirPath);
    const goodssvc::Commodities commodities(dirPath);
    for (const Due& due : dues) {
        const double owed = double(due.guests) * nights - offer.rungUp.value(due.code);
        if (owed <= 0)
            continue;
        // A plan deleted from the commodities since the check-in can be offered no price.
        const std::optional<goodssvc::Commodity> plan = commodities.find(due.code);
        if (!plan)
            continue;
        const chargesvc::NewLineRates rates =
            chargesvc::newLineRates(settings, plan->service, plan->taxClass, offer.settledOn);
        NightsOffer::Line offered;
        chargesvc::SalesSlipLine& line = offered.line;
        line.code = plan->code;
        line.name = plan->name;
        line.spec = QStringLiteral("%1%2名×%3泊").arg(due.who).arg(due.guests).arg(nights);
        if (offer.rungUp.value(due.code) > 0)
            line.spec += QStringLiteral("（計上済み %1 を除く）").arg(offer.rungUp.value(due.code));
        line.quantity = owed;
        line.unitPrice = plan->price;
        line.serviceRate = rates.serviceRate;
        line.taxRate = rates.taxRate;
        line.work();
        offered.roomShare = plan->roomShare;
        offer.lines.append(offered);
    }
    return offer;
}

qint32 ringUpNights(const QString& dirPath, const NightsOffer& offer) {
    if (offer.isEmpty())
        return 0;
    QList<chargesvc::SalesSlipLine> lines;
    for (const NightsOffer::Line& offered : offer.lines)
        lines.append(offered.line);
    // Class 0 is 宿泊掛売: the stay's charges go on the guest's bill.
    const slipkit::SlipHeader header{0, offer.settledOn, offer.checkInNo, 0};
    return chargesvc::SalesSlipBook(dirPath).registerWorkedOut(header, lines, offer.rungUp);
}

} // namespace departsvc
