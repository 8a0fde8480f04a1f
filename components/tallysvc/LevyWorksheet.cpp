#include "LevyWorksheet.h"

#include "LiteralTexts.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "taxsvc/TaxSettings.h"

#include <QHash>

#include <algorithm>
#include <map>
#include <tuple>

namespace tallysvc {

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

struct Stay {
    QString number;
    QDate day; // of check-out
    taxsvc::LevyStay levy;
};

// The stays checked out from first to last, without their room charges yet.
QList<Stay> settledStays(const std::shared_ptr<desk::Connection>& clients, const QDate& first, const QDate& last) {
    QList<Stay> settled;
    desk::RowSet stays(clients,
                       QStringLiteral("SELECT CheckInNO, CheckInDate, CheckOutDate, Guests, BathExempt, LodgingExempt "
                                      "FROM QRYStayLevy WHERE CheckOutFlag <> 0 AND CheckOutDate >= ? "
                                      "AND CheckOutDate <= ? ORDER BY CheckOutDate, CheckInNO"),
                       {first.toString(Qt::ISODate), last.toString(Qt::ISODate)});
    for (; !stays.eof(); stays.moveNext()) {
        Stay stay;
        stay.number = stays.value(QStringLiteral("CheckInNO")).toString();
        stay.day = desk::convert::dateOf(stays.value(QStringLiteral("CheckOutDate")));
        stay.levy.guests = desk::convert::int32Of(stays.value(QStringLiteral("Guests")));
        stay.levy.bathExempt = desk::convert::int32Of(stays.value(QStringLiteral("BathExempt")));
        stay.levy.lodgingExempt = desk::convert::int32Of(stays.value(QStringLiteral("LodgingExempt")));
        stay.levy.nights =
            taxsvc::stayNights(desk::convert::dateOf(stays.value(QStringLiteral("CheckInDate"))), stay.day);
        settled << stay;
    }
    return settled;
}

// Adds the room parts of the stays' accommodation lines, all stays in one statement with their
// numbers as one bound list: a statement per stay, or per hundred, is a trip to a server each.
void addRoomCharges(const std::shared_ptr<desk::Connection>& sales, QList<Stay>& settled) {
    if (settled.isEmpty())
        return;
    QHash<QString, qsizetype> stayAt;
    QStringList numbers;
    for (qsizetype i = 0; i < settled.size(); ++i) {
        stayAt.insert(settled.at(i).number.toCaseFolded(), i);
        numbers << settled.at(i).number;
    }
    const desk::Engine& engine = sales->engine();
    desk::RowSet lines(sales,
                       // From the slips of the stays to their lines: the bill's view would sort
                       // every line of the years first.
                       QStringLiteral("SELECT h.BTCheckInNo, d.BTQuantity, d.BTUnitPrice, d.BTServiceFee, "
                                      "m.CRoomShare FROM BTSalesNo h JOIN BTSalesDetail d ON d.BTSalesNo = "
                                      "h.BTSalesNo JOIN Commodities m ON m.Ccode = d.BTcmcode "
                                      "WHERE m.CRoomShare > 0 AND ") +
                           engine.caseBlindIn(QStringLiteral("h.BTCheckInNo")),
                       {engine.caseBlindList(numbers)});
    for (; !lines.eof(); lines.moveNext()) {
        const auto at = stayAt.constFind(lines.value(QStringLiteral("BTCheckInNo")).toString().toCaseFolded());
        if (at == stayAt.constEnd())
            continue;
        taxsvc::LevyStay& stay = settled[*at].levy;
        stay.lodged = true;
        stay.roomCharge += taxsvc::roomChargeOf(lines.value(QStringLiteral("BTQuantity")).toDouble() *
                                                    lines.value(QStringLiteral("BTUnitPrice")).toDouble(),
                                                lines.value(QStringLiteral("BTServiceFee")).toDouble(),
                                                lines.value(QStringLiteral("CRoomShare")).toDouble());
    }
}

// Keyed by day, levy and the section's order within the levy (bands by their bound).
using Key = std::tuple<QDate, int, qint64, QString>;

std::map<Key, Counts> countCharges(const taxsvc::LevyTable& levies, const QList<Stay>& settled) {
    std::map<Key, Counts> rows;
    for (const Stay& stay : settled) {
        for (const taxsvc::LevyCharge& charge : taxsvc::levyCharges(levies, stay.day, stay.levy)) {
            const qint64 order = charge.perGuestNight == 0 ? -1 : charge.band.value_or(charge.perGuestNight);
            Counts& counts = rows[{stay.day, int(charge.kind), order, sectionOf(levies, stay.day, charge)}];
            counts.guests += charge.guests;
            counts.exempt += charge.exempt;
            counts.guestNights += qint64(charge.guests) * charge.nights;
            if (charge.perGuestNight > 0)
                counts.taxedNights += qint64(charge.taxedGuests()) * charge.nights;
            counts.amount += charge.amount;
        }
    }
    return rows;
}

// The rows as literal rows in one VALUES list: a compound of one SELECT per row stops at 500
// rows on the file engine, fewer than a year of days and levies. The rows carry numbers only
// and name their texts (days, levies, sections) by number from a second list of each text
// once: every text literal becomes a bound value, and binding costs grow with the square of
// their count.
QString literalRows(const std::map<Key, Counts>& rows) {
    LiteralTexts texts;
    const auto numberOf = [&](const QString& text) {
        return texts.numberOf(text);
    };
    QStringList values;
    for (const auto& [key, counts] : rows) {
        const auto& [day, kind, order, section] = key;
        Q_UNUSED(order);
        values << QStringLiteral("(%1, %2, %3, %4, %5, %6, %7, %8, %9)")
                      .arg(QString::number(values.size() + 1), numberOf(day.toString(QStringLiteral("yyyy/MM/dd"))),
                           numberOf(taxsvc::levyKindName(taxsvc::levyKindOf(kind))), numberOf(section),
                           QString::number(counts.guests), QString::number(counts.exempt),
                           QString::number(counts.guestNights), QString::number(counts.taxedNights),
                           QString::number(counts.amount));
    }
    if (values.isEmpty())
        return QStringLiteral("SELECT 0 AS No, '' AS 日付, '' AS 税目, '' AS 区分, 0 AS 人数, 0 AS 免除人数, "
                              "0 AS 延べ泊数, 0 AS 課税泊数, 0 AS 税額 WHERE 1 = 0");
    return QStringLiteral("WITH v (No, d, k, s, guests, exempt, nights, taxed, amount) AS (VALUES ") +
           values.join(QStringLiteral(", ")) + QStringLiteral("), t (n, text) AS (VALUES ") + texts.values() +
           QStringLiteral(") SELECT v.No AS No, d.text AS 日付, k.text AS 税目, s.text AS 区分, v.guests AS 人数, "
                          "v.exempt AS 免除人数, v.nights AS 延べ泊数, v.taxed AS 課税泊数, v.amount AS 税額 FROM v "
                          "JOIN t d ON d.n = v.d JOIN t k ON k.n = v.k JOIN t s ON s.n = v.s ORDER BY v.No");
}

} // namespace

QString levyWorksheet(const QString& dirPath, const QDate& first, const QDate& last) {
    const taxsvc::TaxSettings settings = taxsvc::TaxSettings::readFrom(dirPath);
    QList<Stay> settled =
        settledStays(desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::DaySalesCliants)), first, last);
    addRoomCharges(desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Sales)), settled);
    return literalRows(countCharges(settings.levies, settled));
}

} // namespace tallysvc
