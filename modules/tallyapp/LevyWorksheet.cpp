#include "LevyWorksheet.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "taxsvc/TaxSettings.h"

#include <map>
#include <tuple>

namespace tallyapp {

namespace {

QString yen(qint64 amount) {
    return desk::convert::formatValue(amount, QStringLiteral("#,##0"));
}

// What a row of the return counts a stay under.
QString sectionOf(const taxsvc::LevyTable& levies, const QDate& day, const taxsvc::LevyCharge& charge) {
    if (charge.perGuestNight == 0)
        return QStringLiteral("課税なし");
    const std::optional<taxsvc::LevyRule> rule = levies.inForce(charge.kind, day);
    if (rule && rule->method == taxsvc::LevyMethod::Percent)
        return QStringLiteral("定率 %1%").arg(taxsvc::rateText(rule->amount));
    if (charge.band)
        return QStringLiteral("%1円以上 %2円").arg(yen(*charge.band), yen(charge.perGuestNight));
    return QStringLiteral("定額 %1円").arg(yen(charge.perGuestNight));
}

struct Counts {
    qint64 guests = 0;
    qint64 exempt = 0;
    qint64 guestNights = 0;
    qint64 taxedNights = 0;
    qint64 amount = 0;
};

} // namespace

QString levyWorksheet(const QString& dirPath, const QDate& first, const QDate& last) {
    const taxsvc::TaxSettings settings = taxsvc::TaxSettings::readFrom(dirPath);
    const auto clients = desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    const auto sales = desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Sales));

    // Keyed by day, levy and the section's order within the levy (bands by their bound).
    using Key = std::tuple<QDate, int, qint64, QString>;
    std::map<Key, Counts> rows;
    desk::RowSet stays(clients,
                       QStringLiteral("SELECT * FROM QRYStayLevy WHERE CheckOutFlag <> 0 AND CheckOutDate >= ? "
                                      "AND CheckOutDate <= ? ORDER BY CheckOutDate, CheckInNO"),
                       {first.toString(Qt::ISODate), last.toString(Qt::ISODate)});
    for (; !stays.eof(); stays.moveNext()) {
        const QDate day = desk::convert::dateOf(stays.value(QStringLiteral("CheckOutDate")));
        taxsvc::LevyStay stay;
        stay.guests = desk::convert::int32Of(stays.value(QStringLiteral("Guests")));
        stay.bathExempt = desk::convert::int32Of(stays.value(QStringLiteral("BathExempt")));
        stay.lodgingExempt = desk::convert::int32Of(stays.value(QStringLiteral("LodgingExempt")));
        stay.nights = taxsvc::stayNights(desk::convert::dateOf(stays.value(QStringLiteral("CheckInDate"))), day);
        {
            desk::RowSet lines(
                sales,
                QStringLiteral("SELECT BTQuantity, BTUnitPrice, BTServiceFee, CRoomShare FROM QRYCheckOutP "
                               "WHERE BTCheckInNo = ? AND CRoomShare > 0"),
                {stays.value(QStringLiteral("CheckInNO"))});
            for (; !lines.eof(); lines.moveNext()) {
                stay.lodged = true;
                stay.roomCharge += taxsvc::roomChargeOf(lines.value(QStringLiteral("BTQuantity")).toDouble() *
                                                            lines.value(QStringLiteral("BTUnitPrice")).toDouble(),
                                                        lines.value(QStringLiteral("BTServiceFee")).toDouble(),
                                                        lines.value(QStringLiteral("CRoomShare")).toDouble());
            }
        }
        for (const taxsvc::LevyCharge& charge : taxsvc::levyCharges(settings.levies, day, stay)) {
            const qint64 order = charge.perGuestNight == 0 ? -1 : charge.band.value_or(charge.perGuestNight);
            Counts& counts = rows[{day, int(charge.kind), order, sectionOf(settings.levies, day, charge)}];
            counts.guests += charge.guests;
            counts.exempt += charge.exempt;
            counts.guestNights += qint64(charge.guests) * charge.nights;
            if (charge.perGuestNight > 0)
                counts.taxedNights += qint64(charge.taxedGuests()) * charge.nights;
            counts.amount += charge.amount;
        }
    }

    QStringList selects;
    for (const auto& [key, counts] : rows) {
        const auto& [day, kind, order, section] = key;
        Q_UNUSED(order);
        selects << QStringLiteral("SELECT %1 AS No, %2 AS 日付, %3 AS 税目, %4 AS 区分, %5 AS 人数, %6 AS 免除人数, "
                                  "%7 AS 延べ泊数, %8 AS 課税泊数, %9 AS 税額")
                       .arg(QString::number(selects.size() + 1),
                            desk::Sql::quote(day.toString(QStringLiteral("yyyy/MM/dd"))),
                            desk::Sql::quote(taxsvc::levyKindName(taxsvc::levyKindOf(kind))), desk::Sql::quote(section),
                            QString::number(counts.guests), QString::number(counts.exempt),
                            QString::number(counts.guestNights), QString::number(counts.taxedNights),
                            QString::number(counts.amount));
    }
    if (selects.isEmpty())
        return QStringLiteral("SELECT 0 AS No, '' AS 日付, '' AS 税目, '' AS 区分, 0 AS 人数, 0 AS 免除人数, "
                              "0 AS 延べ泊数, 0 AS 課税泊数, 0 AS 税額 WHERE 1 = 0");
    return selects.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(" ORDER BY No");
}

} // namespace tallyapp
