#include "Occupancy.h"

#include "LiteralTexts.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace tallysvc {

namespace {

using desk::convert::asciiFolded;
using desk::convert::dateOf;
using desk::convert::int32Of;
using desk::convert::textOf;

// The longest stay looked for before the period: a year.
constexpr int LongestStay = 366;

QString iso(const QDate& day) {
    return day.toString(Qt::ISODate);
}

struct Night {
    QSet<QString> rooms;
    qint64 guests = 0;
    double charges = 0;
};

struct CheckIn {
    QDate arrival;
    int nights = 1;
    double charges = 0;
};

QString percent(qint64 part, qint64 whole) {
    if (whole <= 0)
        return QStringLiteral("0.0");
    return QString::number(100.0 * double(part) / double(whole), 'f', 1);
}

} // namespace

QString occupancyStatement(const QString& dirPath, const QDate& first, const QDate& last) {
    qint64 inService = 0;
    qint64 capacity = 0;
    {
        desk::RowSet rooms(desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Option)),
                           QStringLiteral("SELECT Capacity FROM Rooms WHERE InService <> 0"));
        for (; !rooms.eof(); rooms.moveNext()) {
            ++inService;
            capacity += std::max(0, int32Of(rooms.value(QStringLiteral("Capacity"))));
        }
    }

    const qint64 days = first.daysTo(last) + 1;
    QList<Night> nights(std::max<qint64>(0, days));
    {
        desk::RowSet stays(desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Reservation)),
                           QStringLiteral("SELECT RoomCode, FirstNight, Nights, Guests FROM RoomStays "
                                          "WHERE RoomCode <> '' AND FirstNight >= ? AND FirstNight <= ?"),
                           {iso(first.addDays(-LongestStay)), iso(last)});
        for (; !stays.eof(); stays.moveNext()) {
            const QDate from = dateOf(stays.value(QStringLiteral("FirstNight")));
            const int count = int32Of(stays.value(QStringLiteral("Nights")));
            const QString room = asciiFolded(textOf(stays.value(QStringLiteral("RoomCode"))).trimmed());
            for (int n = 0; from.isValid() && n < count; ++n) {
                const qint64 at = first.daysTo(from.addDays(n));
                if (at < 0 || at >= days)
                    continue;
                // A room counts once a night, however its stays were cut.
                nights[at].rooms.insert(room);
                nights[at].guests += std::max(0, int32Of(stays.value(QStringLiteral("Guests"))));
            }
        }
    }

    // The room charges of the check-ins with a night in the period, spread over their nights.
    QHash<QString, CheckIn> checkIns;
    QStringList numbers;
    {
        desk::RowSet rows(desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::DaySalesCliants)),
                          QStringLiteral("SELECT CheckInNO, CheckInDate, CheckInNights, CheckOutFlag, CheckOutDate "
                                         "FROM CheckInCliants WHERE CheckInDate >= ? AND CheckInDate <= ?"),
                          {iso(first.addDays(-LongestStay)), iso(last)});
        for (; !rows.eof(); rows.moveNext()) {
            CheckIn stay;
            stay.arrival = dateOf(rows.value(QStringLiteral("CheckInDate")));
            const QDate left = dateOf(rows.value(QStringLiteral("CheckOutDate")));
            if (int32Of(rows.value(QStringLiteral("CheckOutFlag"))) != 0 && left.isValid())
                stay.nights = int(std::max<qint64>(1, stay.arrival.daysTo(left)));
            else
                stay.nights = std::max(1, int32Of(rows.value(QStringLiteral("CheckInNights"))));
            if (stay.arrival.addDays(stay.nights - 1) < first)
                continue;
            const QString number = textOf(rows.value(QStringLiteral("CheckInNO")));
            checkIns.insert(asciiFolded(number), stay);
            numbers << number;
        }
    }
    const auto sales = desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Sales));
    if (!checkIns.isEmpty()) {
        // Every stay's lines in one statement, the numbers bound as one list.
        const desk::Engine& engine = sales->engine();
        desk::RowSet lines(sales,
                           QStringLiteral("SELECT h.BTCheckInNo, d.BTQuantity, d.BTUnitPrice FROM BTSalesNo h "
                                          "JOIN BTSalesDetail d ON d.BTSalesNo = h.BTSalesNo JOIN Commodities m "
                                          "ON m.Ccode = d.BTcmcode WHERE m.CRoomShare > 0 AND ") +
                               engine.caseBlindIn(QStringLiteral("h.BTCheckInNo")),
                           {engine.caseBlindList(numbers)});
        for (; !lines.eof(); lines.moveNext()) {
            const auto at = checkIns.find(asciiFolded(textOf(lines.value(QStringLiteral("BTCheckInNo")))));
            if (at != checkIns.end())
                at->charges += lines.value(QStringLiteral("BTQuantity")).toDouble() *
                               lines.value(QStringLiteral("BTUnitPrice")).toDouble();
        }
    }
    for (const CheckIn& stay : std::as_const(checkIns)) {
        const double share = stay.charges / stay.nights;
        for (int n = 0; n < stay.nights; ++n) {
            const qint64 at = first.daysTo(stay.arrival.addDays(n));
            if (at >= 0 && at < days)
                nights[at].charges += share;
        }
    }

    // The rows carry numbers only and name their texts by number from a second list of each
    // text once, as the levy return does: every text literal is a bound value.
    LiteralTexts texts;
    const auto numberOf = [&](const QString& text) {
        return texts.numberOf(text);
    };
    QStringList values;
    qint64 soldTotal = 0;
    qint64 guestsTotal = 0;
    double chargesTotal = 0;
    const auto row = [&](const QString& day, qint64 sold, qint64 service, qint64 guests, qint64 beds, double charges) {
        const qint64 yen = qint64(std::llround(charges));
        const qint64 average = sold > 0 ? qint64(std::llround(charges / double(sold))) : 0;
        values << QStringLiteral("(%1, %2, %3, %4, %5, %6, %7, %8, %9, %10)")
                      .arg(QString::number(values.size() + 1), numberOf(day), QString::number(sold),
                           QString::number(service), numberOf(percent(sold, service)), QString::number(guests),
                           QString::number(beds), numberOf(percent(guests, beds)), QString::number(yen),
                           QString::number(average));
    };
    for (qint64 i = 0; i < days; ++i) {
        const Night& night = nights.at(i);
        row(first.addDays(i).toString(QStringLiteral("yyyy/MM/dd")), night.rooms.size(), inService, night.guests,
            capacity, night.charges);
        soldTotal += night.rooms.size();
        guestsTotal += night.guests;
        chargesTotal += night.charges;
    }
    if (days > 0)
        row(QStringLiteral("期間計"), soldTotal, inService * days, guestsTotal, capacity * days, chargesTotal);
    if (values.isEmpty())
        return QStringLiteral("SELECT 0 AS No, '' AS 日付, 0 AS 販売室数, 0 AS 稼働室数, '' AS 客室稼働率, "
                              "0 AS 宿泊人数, 0 AS 定員, '' AS 定員稼働率, 0 AS 室料, 0 AS 平均室料 WHERE 1 = 0");
    return QStringLiteral("WITH v (No, d, sold, rooms, occupancy, guests, beds, filled, charges, average) AS "
                          "(VALUES ") +
           values.join(QStringLiteral(", ")) + QStringLiteral("), t (n, text) AS (VALUES ") + texts.values() +
           QStringLiteral(") SELECT v.No AS No, d.text AS 日付, v.sold AS 販売室数, v.rooms AS 稼働室数, "
                          "o.text AS 客室稼働率, v.guests AS 宿泊人数, v.beds AS 定員, f.text AS 定員稼働率, "
                          "v.charges AS 室料, v.average AS 平均室料 FROM v JOIN t d ON d.n = v.d "
                          "JOIN t o ON o.n = v.occupancy JOIN t f ON f.n = v.filled ORDER BY v.No");
}

} // namespace tallysvc
