#include "MealSheet.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <functional>
#include <limits>
#include <tuple>

namespace tallysvc {

namespace {

using desk::convert::asciiFolded;
using desk::convert::dateOf;
using desk::convert::int32Of;
using desk::convert::sameCode;
using desk::convert::textOf;

// The longest stay looked for behind a day: a year (a long 湯治 stay included).
constexpr int LongestStay = 366;
// Values bound to one IN list: the engines' limits on bound values stay far off.
constexpr qsizetype KeysPerRead = 100;

QString iso(const QDate& day) {
    return day.toString(Qt::ISODate);
}

struct Commodity {
    QString name;
    bool dinner = false;
    bool breakfast = false;
    bool stay = false; // CRoomShare > 0
};
using Commodities = QHash<QString, Commodity>; // by folded code

Commodities readCommodities(const std::shared_ptr<desk::Connection>& sales) {
    Commodities all;
    desk::RowSet rows(sales, QStringLiteral("SELECT Ccode, cname, CRoomShare, CMealDinner, CMealBreakfast "
                                            "FROM Commodities"));
    for (; !rows.eof(); rows.moveNext()) {
        Commodity c;
        c.name = textOf(rows.value(QStringLiteral("cname")));
        c.stay = int32Of(rows.value(QStringLiteral("CRoomShare"))) > 0;
        c.dinner = int32Of(rows.value(QStringLiteral("CMealDinner"))) != 0;
        c.breakfast = int32Of(rows.value(QStringLiteral("CMealBreakfast"))) != 0;
        all.insert(asciiFolded(textOf(rows.value(QStringLiteral("Ccode")))), c);
    }
    return all;
}

// A party as read, with its nights [arrival, lastNight].
struct Stay {
    MealParty party;
    QDate lastNight;
    QDate checkOut; // of a settled stay
};

void readReservations(const std::shared_ptr<desk::Connection>& reservations, const QDate& from, const QDate& to,
                      QList<Stay>& stays) {
    if (from > to)
        return;
    desk::RowSet rows(reservations,
                      QStringLiteral("SELECT RvNo, RvUseDate, RvNights, RvName, RvClNumber, RvChildren, RvPlan, "
                                     "RvChildPlan, RvMealNote FROM Reserve WHERE Rvchkflg = 0 AND RvUseDate >= ? "
                                     "AND RvUseDate <= ? ORDER BY RvNo"),
                      {iso(from), iso(to)});
    for (; !rows.eof(); rows.moveNext()) {
        Stay stay;
        MealParty& p = stay.party;
        p.reservationNo = int32Of(rows.value(QStringLiteral("RvNo")));
        p.key = QStringLiteral("R%1").arg(p.reservationNo);
        p.name = textOf(rows.value(QStringLiteral("RvName")));
        p.guests = int32Of(rows.value(QStringLiteral("RvClNumber")));
        p.children = int32Of(rows.value(QStringLiteral("RvChildren")));
        p.plan = textOf(rows.value(QStringLiteral("RvPlan"))).trimmed();
        p.childPlan = textOf(rows.value(QStringLiteral("RvChildPlan"))).trimmed();
        p.note = textOf(rows.value(QStringLiteral("RvMealNote"))).trimmed();
        p.arrival = dateOf(rows.value(QStringLiteral("RvUseDate")));
        p.nights = std::max(1, int32Of(rows.value(QStringLiteral("RvNights"))));
        stay.lastNight = p.arrival.addDays(p.nights - 1);
        stays << stay;
    }
}

// The check-ins in the house that arrived by the day, and those settled on or after it that
// arrived by it (within a year: found by their day of arrival, which is indexed).
void readCheckIns(const std::shared_ptr<desk::Connection>& clients, const QDate& day, QList<Stay>& stays) {
    const QString columns =
        QStringLiteral("SELECT c.CheckInNO, c.CheckInDate, c.CheckInNights, c.CheckInName, c.CheckInRvNo, "
                       "c.CheckInPlan, c.CheckInChildPlan, c.CheckInChildren, c.CheckInMealNote, c.CheckOutFlag, "
                       "c.CheckOutDate, b.RvClNumber FROM CheckInCliants c "
                       "LEFT JOIN CheckInBadget b ON b.CheckInNO = c.CheckInNO WHERE ");
    const auto read = [&](desk::RowSet& rows) {
        for (; !rows.eof(); rows.moveNext()) {
            Stay stay;
            MealParty& p = stay.party;
            p.checkInNo = textOf(rows.value(QStringLiteral("CheckInNO")));
            p.reservationNo = int32Of(rows.value(QStringLiteral("CheckInRvNo")));
            p.key =
                p.reservationNo > 0 ? QStringLiteral("R%1").arg(p.reservationNo) : QStringLiteral("C") + p.checkInNo;
            p.checkedOut = int32Of(rows.value(QStringLiteral("CheckOutFlag"))) != 0;
            p.name = textOf(rows.value(QStringLiteral("CheckInName")));
            p.guests = int32Of(rows.value(QStringLiteral("RvClNumber")));
            p.children = int32Of(rows.value(QStringLiteral("CheckInChildren")));
            p.plan = textOf(rows.value(QStringLiteral("CheckInPlan"))).trimmed();
            p.childPlan = textOf(rows.value(QStringLiteral("CheckInChildPlan"))).trimmed();
            p.note = textOf(rows.value(QStringLiteral("CheckInMealNote"))).trimmed();
            p.arrival = dateOf(rows.value(QStringLiteral("CheckInDate")));
            if (!p.arrival.isValid())
                continue;
            if (p.checkedOut) {
                // The nights slept, whatever was booked.
                stay.checkOut = dateOf(rows.value(QStringLiteral("CheckOutDate")));
                if (!stay.checkOut.isValid())
                    continue;
                p.nights = std::max<qint64>(0, p.arrival.daysTo(stay.checkOut));
            } else {
                p.nights = std::max(1, int32Of(rows.value(QStringLiteral("CheckInNights"))));
            }
            stay.lastNight = p.arrival.addDays(p.nights - 1);
            stays << stay;
        }
    };
    desk::RowSet inHouse(clients, columns + QStringLiteral("c.CheckOutFlag = 0 AND c.CheckInDate <= ?"), {iso(day)});
    read(inHouse);
    desk::RowSet settled(clients,
                         columns + QStringLiteral("c.CheckOutFlag <> 0 AND c.CheckInDate >= ? AND c.CheckInDate <= ? "
                                                  "AND c.CheckOutDate >= ?"),
                         {iso(day.addDays(-LongestStay)), iso(day), iso(day)});
    read(settled);
}

// Runs statement + "(?, ?, …)" over the numbers a hundred at a time.
void readIn(const std::shared_ptr<desk::Connection>& connection, const QString& statement, const QVariantList& keys,
            const std::function<void(desk::RowSet&)>& onRows) {
    for (qsizetype from = 0; from < keys.size(); from += KeysPerRead) {
        const QVariantList part = keys.mid(from, KeysPerRead);
        const QStringList marks(part.size(), QStringLiteral("?"));
        desk::RowSet rows(connection, statement + QStringLiteral(" (") + marks.join(QStringLiteral(", ")) + u')', part);
        onRows(rows);
    }
}

// Runs statement + "column is one of the texts", compared as the files compare codes, with
// the texts bound as one list: one statement, however many.
void readTextsIn(const std::shared_ptr<desk::Connection>& connection, const QString& statement, const QString& column,
                 const QStringList& texts, const std::function<void(desk::RowSet&)>& onRows) {
    if (texts.isEmpty())
        return;
    const desk::Engine& engine = connection->engine();
    desk::RowSet rows(connection, statement + engine.caseBlindIn(column), {engine.caseBlindList(texts)});
    onRows(rows);
}

// The rooms of each party on the night that matters for the day (the day's own, else the
// one before), joined in the rooms' order.
void addRooms(const std::shared_ptr<desk::Connection>& reservations, const QHash<QString, int>& roomOrder,
              const QDate& day, QList<Stay>& stays) {
    QHash<int, qsizetype> byReservation;
    QHash<QString, qsizetype> byCheckIn;
    QVariantList reservationNos;
    QStringList checkInNos;
    for (qsizetype i = 0; i < stays.size(); ++i) {
        const MealParty& p = stays.at(i).party;
        if (!p.checkInNo.isEmpty()) {
            byCheckIn.insert(asciiFolded(p.checkInNo), i);
            checkInNos << p.checkInNo;
        } else {
            byReservation.insert(p.reservationNo, i);
            reservationNos << p.reservationNo;
        }
    }
    QList<QStringList> rooms(stays.size());
    const auto collect = [&](desk::RowSet& rows, bool ofCheckIn) {
        for (; !rows.eof(); rows.moveNext()) {
            qsizetype at = -1;
            if (ofCheckIn)
                at = byCheckIn.value(asciiFolded(textOf(rows.value(QStringLiteral("CheckInNO")))), -1);
            else if (textOf(rows.value(QStringLiteral("CheckInNO"))).isEmpty())
                at = byReservation.value(int32Of(rows.value(QStringLiteral("RvNo"))), -1);
            const QString room = textOf(rows.value(QStringLiteral("RoomCode"))).trimmed();
            if (at < 0 || room.isEmpty())
                continue;
            const Stay& stay = stays.at(at);
            const QDate night = stay.lastNight >= day ? day : day.addDays(-1);
            const QDate first = dateOf(rows.value(QStringLiteral("FirstNight")));
            const int nights = int32Of(rows.value(QStringLiteral("Nights")));
            if (first.isValid() && first <= night && night < first.addDays(nights) && !rooms[at].contains(room))
                rooms[at] << room;
        }
    };
    const QString statement =
        QStringLiteral("SELECT RoomCode, FirstNight, Nights, RvNo, CheckInNO FROM RoomStays WHERE ");
    readIn(reservations, statement + QStringLiteral("RvNo IN"), reservationNos,
           [&](desk::RowSet& rows) { collect(rows, false); });
    readTextsIn(reservations, statement, QStringLiteral("CheckInNO"), checkInNos,
                [&](desk::RowSet& rows) { collect(rows, true); });
    for (qsizetype i = 0; i < stays.size(); ++i) {
        std::sort(rooms[i].begin(), rooms[i].end(), [&](const QString& a, const QString& b) {
            return std::tuple(roomOrder.value(asciiFolded(a), std::numeric_limits<int>::max()), asciiFolded(a)) <
                   std::tuple(roomOrder.value(asciiFolded(b), std::numeric_limits<int>::max()), asciiFolded(b));
        });
        stays[i].party.rooms = rooms.at(i).join(QStringLiteral("・"));
    }
}

// Each room's place in the house's order (sort order, then code).
QHash<QString, int> readRoomOrder(const std::shared_ptr<desk::Connection>& option) {
    QHash<QString, int> order;
    desk::RowSet rows(option, QStringLiteral("SELECT RoomCode FROM Rooms ORDER BY SortOrder, RoomCode"));
    for (int i = 0; !rows.eof(); rows.moveNext(), ++i)
        order.insert(asciiFolded(textOf(rows.value(QStringLiteral("RoomCode")))), i);
    return order;
}

QString planName(const Commodities& commodities, const QString& code) {
    if (code.isEmpty())
        return {};
    const auto at = commodities.constFind(asciiFolded(code));
    return at == commodities.constEnd() || at->name.isEmpty() ? code : at->name;
}

int adultsOf(const MealParty& p) {
    return std::max(0, p.guests - std::clamp(p.children, 0, std::max(0, p.guests)));
}

int childrenOf(const MealParty& p) {
    return std::clamp(p.children, 0, std::max(0, p.guests));
}

// The children's plan: their own, else the adults'.
QString childPlanOf(const MealParty& p) {
    return p.childPlan.isEmpty() ? p.plan : p.childPlan;
}

void count(const Commodities& commodities, const QDate& day, const Stay& stay, MealParty& p,
           QHash<QString, MealPlanCount>& plans) {
    const bool dinnerTonight = p.arrival <= day && day <= stay.lastNight;
    const QDate yesterday = day.addDays(-1);
    const bool breakfastToday = p.arrival <= yesterday && yesterday <= stay.lastNight;
    const auto add = [&](const QString& code, int guests, bool children) {
        if (guests <= 0 || code.isEmpty())
            return;
        const Commodity plan = commodities.value(asciiFolded(code));
        MealCount meals;
        if (dinnerTonight && plan.dinner)
            (children ? meals.dinnerChildren : meals.dinnerAdults) = guests;
        if (breakfastToday && plan.breakfast)
            (children ? meals.breakfastChildren : meals.breakfastAdults) = guests;
        if (meals == MealCount{})
            return;
        p.meals += meals;
        MealPlanCount& row = plans[asciiFolded(code)];
        if (row.code.isEmpty()) {
            row.code = code;
            row.name = planName(commodities, code);
        }
        row.meals += meals;
    };
    add(p.plan, adultsOf(p), false);
    add(childPlanOf(p), childrenOf(p), true);
}

struct Printed {
    QString key;
    QString name;
    int guests = 0;
    int children = 0;
    QString plan;
    QString childPlan;
    QString rooms;
};

QDateTime readPrint(const std::shared_ptr<desk::Connection>& reservations, const QDate& day, QList<Printed>& parties) {
    const QVariant at =
        reservations->scalar(QStringLiteral("SELECT PrintedAt FROM MealSheetPrints WHERE SheetDay = ?"), {iso(day)});
    if (at.isNull())
        return {};
    desk::RowSet rows(reservations,
                      QStringLiteral("SELECT PartyKey, PartyName, Guests, Children, PlanCode, ChildPlanCode, Rooms "
                                     "FROM MealSheetParties WHERE SheetDay = ? ORDER BY RowKey"),
                      {iso(day)});
    for (; !rows.eof(); rows.moveNext()) {
        parties << Printed{
            textOf(rows.value(QStringLiteral("PartyKey"))), textOf(rows.value(QStringLiteral("PartyName"))),
            int32Of(rows.value(QStringLiteral("Guests"))),  int32Of(rows.value(QStringLiteral("Children"))),
            textOf(rows.value(QStringLiteral("PlanCode"))), textOf(rows.value(QStringLiteral("ChildPlanCode"))),
            textOf(rows.value(QStringLiteral("Rooms")))};
    }
    const QDateTime printed = QDateTime::fromString(at.toString(), Qt::ISODate);
    return printed.isValid() ? printed : QDateTime(day, QTime(0, 0));
}

void markChanges(const Commodities& commodities, const QList<Printed>& printed, QList<MealParty>& parties) {
    QHash<QString, const Printed*> byKey;
    for (const Printed& p : printed)
        byKey.insert(asciiFolded(p.key), &p);
    QSet<QString> seen;
    for (MealParty& party : parties) {
        const QString key = asciiFolded(party.key);
        seen.insert(key);
        const Printed* was = byKey.value(key);
        if (!was)
            party.change = MealChange::Added;
        else if (was->guests != party.guests || was->children != party.children || !sameCode(was->plan, party.plan) ||
                 !sameCode(was->childPlan, party.childPlan))
            party.change = MealChange::Changed;
    }
    for (const Printed& p : printed) {
        if (seen.contains(asciiFolded(p.key)))
            continue;
        MealParty gone;
        gone.key = p.key;
        gone.name = p.name;
        gone.guests = p.guests;
        gone.children = p.children;
        gone.plan = p.plan;
        gone.childPlan = p.childPlan;
        gone.planName = planName(commodities, p.plan);
        gone.childPlanName = planName(commodities, p.childPlan);
        gone.rooms = p.rooms;
        gone.change = MealChange::Cancelled;
        parties << gone;
    }
}

// Extra meals on the day's slips, and for a past day the plan lines of its settled stays.
void readSlips(const std::shared_ptr<desk::Connection>& sales, const Commodities& commodities, MealDay& result,
               const QList<Stay>& stays, bool reconcile) {
    QHash<QString, ExtraMeal> extras;
    desk::RowSet lines(sales,
                       QStringLiteral("SELECT d.BTcmcode, d.BTQuantity FROM BTSalesNo h JOIN BTSalesDetail d "
                                      "ON d.BTSalesNo = h.BTSalesNo WHERE h.BTSalesdate = ?"),
                       {iso(result.day)});
    for (; !lines.eof(); lines.moveNext()) {
        const QString code = textOf(lines.value(QStringLiteral("BTcmcode"))).trimmed();
        const Commodity c = commodities.value(asciiFolded(code));
        if (c.stay || (!c.dinner && !c.breakfast))
            continue;
        const int quantity = qRound(lines.value(QStringLiteral("BTQuantity")).toDouble());
        ExtraMeal& extra = extras[asciiFolded(code)];
        if (extra.code.isEmpty()) {
            extra.code = code;
            extra.name = c.name.isEmpty() ? code : c.name;
        }
        extra.dinners += c.dinner ? quantity : 0;
        extra.breakfasts += c.breakfast ? quantity : 0;
    }
    QStringList codes = extras.keys();
    std::sort(codes.begin(), codes.end());
    for (const QString& code : codes)
        result.extras << extras.value(code);

    if (!reconcile)
        return;
    result.reconciled = true;
    QStringList numbers;
    for (const Stay& stay : stays) {
        if (stay.party.checkInNo.isEmpty() || stay.party.meals == MealCount{})
            continue;
        if (stay.party.checkedOut)
            numbers << stay.party.checkInNo;
        else
            ++result.unsettled;
    }
    QHash<QString, double> charged; // folded check-in number + '\n' + folded code
    readTextsIn(sales,
                QStringLiteral("SELECT h.BTCheckInNo, d.BTcmcode, d.BTQuantity FROM BTSalesNo h JOIN BTSalesDetail d "
                               "ON d.BTSalesNo = h.BTSalesNo WHERE "),
                QStringLiteral("h.BTCheckInNo"), numbers, [&](desk::RowSet& rows) {
                    for (; !rows.eof(); rows.moveNext())
                        charged[asciiFolded(textOf(rows.value(QStringLiteral("BTCheckInNo")))) + u'\n' +
                                asciiFolded(textOf(rows.value(QStringLiteral("BTcmcode"))))] +=
                            rows.value(QStringLiteral("BTQuantity")).toDouble();
                });
    for (const Stay& stay : stays) {
        const MealParty& p = stay.party;
        if (p.checkInNo.isEmpty() || !p.checkedOut || p.meals == MealCount{})
            continue;
        // The guest-nights each meal plan of the stay should have been charged.
        QHash<QString, int> expected;
        expected[asciiFolded(p.plan)] += adultsOf(p) * p.nights;
        expected[asciiFolded(childPlanOf(p))] += childrenOf(p) * p.nights;
        QStringList differences;
        QStringList planCodes = expected.keys();
        std::sort(planCodes.begin(), planCodes.end());
        for (const QString& code : planCodes) {
            const Commodity c = commodities.value(code);
            if (code.isEmpty() || (!c.dinner && !c.breakfast))
                continue;
            const double onSlips = charged.value(asciiFolded(p.checkInNo) + u'\n' + code);
            if (qRound(onSlips) != expected.value(code))
                differences << QStringLiteral("%1 食数 %2名泊・伝票 %3")
                                   .arg(planName(commodities, code), QString::number(expected.value(code)),
                                        QString::number(qRound(onSlips)));
        }
        if (differences.isEmpty())
            ++result.settledMatching;
        else
            result.mismatches
                << QStringLiteral("%1 %2様: %3").arg(p.checkInNo, p.name, differences.join(QStringLiteral("、")));
    }
}

QString dayTitle(const QDate& day) {
    static const char16_t* const weekdays[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    return day.toString(QStringLiteral("MM/dd")) + u'(' + QString::fromUtf16(weekdays[day.dayOfWeek() - 1]) + u')';
}

QString number(int value) {
    return QString::number(value);
}

} // namespace

MealCount& MealCount::operator+=(const MealCount& other) {
    dinnerAdults += other.dinnerAdults;
    dinnerChildren += other.dinnerChildren;
    breakfastAdults += other.breakfastAdults;
    breakfastChildren += other.breakfastChildren;
    return *this;
}

QString mealChangeText(MealChange change) {
    switch (change) {
    case MealChange::Added:
        return QStringLiteral("追加");
    case MealChange::Changed:
        return QStringLiteral("変更");
    case MealChange::Cancelled:
        return QStringLiteral("取消");
    default:
        return {};
    }
}

MealSheet::MealSheet(QString dirPath, QDate today)
    : m_dirPath(std::move(dirPath))
    , m_today(today) {}

MealDay MealSheet::day(const QDate& day) const {
    MealDay result;
    result.day = day;
    const auto reservations = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Reservation));
    const auto clients = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::DaySalesCliants));
    const auto sales = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Sales));
    const auto option = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Option));
    const Commodities commodities = readCommodities(sales);

    QList<Stay> stays;
    readCheckIns(clients, day, stays);
    QSet<int> checkedIn;
    for (const Stay& stay : std::as_const(stays)) {
        if (stay.party.reservationNo > 0)
            checkedIn.insert(stay.party.reservationNo);
    }
    QList<Stay> booked;
    readReservations(reservations, std::max(m_today, day.addDays(-1 - LongestStay)), day, booked);
    for (const Stay& stay : std::as_const(booked)) {
        if (!checkedIn.contains(stay.party.reservationNo))
            stays << stay;
    }
    // Only the parties that sleep here the night before or the night of the day.
    const QDate yesterday = day.addDays(-1);
    stays.removeIf([&](const Stay& stay) {
        return stay.party.nights <= 0 || stay.lastNight < yesterday || stay.party.arrival > day;
    });

    const QHash<QString, int> roomOrder = readRoomOrder(option);
    addRooms(reservations, roomOrder, day, stays);

    QHash<QString, MealPlanCount> plans;
    for (Stay& stay : stays) {
        MealParty& p = stay.party;
        p.planName = planName(commodities, p.plan);
        p.childPlanName = planName(commodities, p.childPlan);
        count(commodities, day, stay, p, plans);
        result.total += p.meals;
    }
    QStringList planCodes = plans.keys();
    std::sort(planCodes.begin(), planCodes.end());
    for (const QString& code : planCodes)
        result.plans << plans.value(code);

    readSlips(sales, commodities, result, stays, day < m_today);

    // By room in the house's order, the unassigned last.
    const auto firstRoom = [&](const MealParty& p) {
        const QString room = p.rooms.section(QStringLiteral("・"), 0, 0);
        return std::tuple(room.isEmpty(), roomOrder.value(asciiFolded(room), std::numeric_limits<int>::max()),
                          asciiFolded(room), p.arrival, p.key);
    };
    std::sort(stays.begin(), stays.end(),
              [&](const Stay& a, const Stay& b) { return firstRoom(a.party) < firstRoom(b.party); });
    for (const Stay& stay : std::as_const(stays))
        result.parties << stay.party;

    QList<Printed> printed;
    result.printedAt = readPrint(reservations, day, printed);
    if (result.printedAt.isValid())
        markChanges(commodities, printed, result.parties);
    return result;
}

void MealSheet::recordPrint(const MealDay& printed, const QDateTime& at) const {
    const auto reservations = desk::Connection::open(m_dirPath, QString::fromLatin1(desk::DbFile::Reservation));
    desk::Transaction tx(reservations);
    const QString day = iso(printed.day);
    reservations->exec(QStringLiteral("DELETE FROM MealSheetParties WHERE SheetDay = ?"), {day});
    reservations->exec(QStringLiteral("DELETE FROM MealSheetPrints WHERE SheetDay = ?"), {day});
    reservations->exec(QStringLiteral("INSERT INTO MealSheetPrints (SheetDay, PrintedAt) VALUES (?, ?)"),
                       {day, at.toString(Qt::ISODate)});
    for (const MealParty& p : printed.parties) {
        if (p.change == MealChange::Cancelled)
            continue;
        reservations->exec(QStringLiteral("INSERT INTO MealSheetParties (SheetDay, PartyKey, PartyName, Guests, "
                                          "Children, PlanCode, ChildPlanCode, Rooms) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                           {day, p.key, p.name, p.guests, p.children, p.plan, p.childPlan, p.rooms});
    }
    tx.commit();
}

QList<MealSheet::Line> MealSheet::lines(const QList<MealDay>& days) {
    QList<Line> all;
    for (const MealDay& d : days) {
        const QString title = dayTitle(d.day);
        const auto counts = [](Line& line, const MealCount& meals) {
            line.dinnerAdults = number(meals.dinnerAdults);
            line.dinnerChildren = number(meals.dinnerChildren);
            line.breakfastAdults = number(meals.breakfastAdults);
            line.breakfastChildren = number(meals.breakfastChildren);
        };
        Line total;
        total.day = title;
        total.section = QStringLiteral("合計");
        counts(total, d.total);
        total.note =
            QStringLiteral("夕食 %1食・朝食 %2食").arg(number(d.total.dinners()), number(d.total.breakfasts()));
        if (d.printedAt.isValid())
            total.note += QStringLiteral("（前回印刷 %1）").arg(d.printedAt.toString(QStringLiteral("MM/dd HH:mm")));
        all << total;
        for (const MealPlanCount& plan : d.plans) {
            Line line;
            line.day = title;
            line.section = QStringLiteral("プラン");
            line.plan = plan.name;
            counts(line, plan.meals);
            all << line;
        }
        for (const MealParty& p : d.parties) {
            Line line;
            line.day = title;
            line.section = QStringLiteral("部屋");
            line.room = p.rooms.isEmpty() ? QStringLiteral("未割当") : p.rooms;
            line.name = p.name.isEmpty() ? QString() : p.name + QStringLiteral("様");
            line.plan = p.plan.isEmpty() ? QStringLiteral("（プラン未設定）") : p.planName;
            if (!p.childPlan.isEmpty() && !sameCode(p.childPlan, p.plan))
                line.plan += QStringLiteral("／小人 ") + p.childPlanName;
            counts(line, p.meals);
            line.change = mealChangeText(p.change);
            QStringList note;
            note << (childrenOf(p) > 0 ? QStringLiteral("%1名（子%2）").arg(number(p.guests), number(childrenOf(p)))
                                       : QStringLiteral("%1名").arg(number(p.guests)));
            if (!p.note.isEmpty())
                note << p.note;
            line.note = note.join(QStringLiteral(" "));
            all << line;
        }
        for (const ExtraMeal& extra : d.extras) {
            Line line;
            line.day = title;
            line.section = QStringLiteral("追加");
            line.plan = extra.name;
            QStringList note;
            if (extra.dinners)
                note << QStringLiteral("夕食 %1食").arg(number(extra.dinners));
            if (extra.breakfasts)
                note << QStringLiteral("朝食 %1食").arg(number(extra.breakfasts));
            line.note = note.join(QStringLiteral("・")) + QStringLiteral("（伝票、大人・子供の別なし）");
            all << line;
        }
        if (d.reconciled) {
            Line line;
            line.day = title;
            line.section = QStringLiteral("照合");
            line.note = d.mismatches.isEmpty()
                            ? QStringLiteral("精算済みの%1組は伝票の宿泊プランと一致").arg(number(d.settledMatching))
                            : QStringLiteral("伝票と食数の違い %1組（一致 %2組）")
                                  .arg(number(int(d.mismatches.size())), number(d.settledMatching));
            if (d.unsettled > 0)
                line.note += QStringLiteral("、未精算 %1組").arg(number(d.unsettled));
            all << line;
            for (const QString& mismatch : d.mismatches) {
                Line differs;
                differs.day = title;
                differs.section = QStringLiteral("照合");
                differs.note = mismatch;
                all << differs;
            }
        }
    }
    return all;
}

QStringList MealSheet::headings() {
    return {QStringLiteral("日付"),     QStringLiteral("区分"),     QStringLiteral("部屋"),
            QStringLiteral("お名前"),   QStringLiteral("プラン"),   QStringLiteral("夕食大人"),
            QStringLiteral("夕食子供"), QStringLiteral("朝食大人"), QStringLiteral("朝食子供"),
            QStringLiteral("変更"),     QStringLiteral("備考")};
}

QStringList MealSheet::fields(const Line& line) {
    return {line.day,
            line.section,
            line.room,
            line.name,
            line.plan,
            line.dinnerAdults,
            line.dinnerChildren,
            line.breakfastAdults,
            line.breakfastChildren,
            line.change,
            line.note};
}

QString MealSheet::statement(const QList<Line>& lines) {
    const QStringList names = headings();
    QStringList texts;
    QHash<QString, int> textNumber;
    QStringList values;
    for (const Line& line : lines) {
        QStringList row{QString::number(values.size() + 1)};
        for (const QString& text : fields(line)) {
            auto at = textNumber.constFind(text);
            if (at == textNumber.constEnd()) {
                at = textNumber.insert(text, int(texts.size()));
                texts << QStringLiteral("(%1, %2)").arg(QString::number(texts.size()), desk::Sql::quote(text));
            }
            row << QString::number(*at);
        }
        values << u'(' + row.join(QStringLiteral(", ")) + u')';
    }
    QStringList columns{QStringLiteral("No")};
    QStringList shown;
    QStringList joins;
    for (int i = 0; i < names.size(); ++i) {
        columns << QStringLiteral("c%1").arg(i);
        shown << QStringLiteral("t%1.text AS %2").arg(QString::number(i), names.at(i));
        joins << QStringLiteral("JOIN t t%1 ON t%1.n = v.c%1").arg(i);
    }
    if (values.isEmpty()) {
        QStringList empty;
        for (const QString& name : names)
            empty << QStringLiteral("'' AS ") + name;
        return QStringLiteral("SELECT ") + empty.join(QStringLiteral(", ")) + QStringLiteral(" WHERE 1 = 0");
    }
    return QStringLiteral("WITH v (") + columns.join(QStringLiteral(", ")) + QStringLiteral(") AS (VALUES ") +
           values.join(QStringLiteral(", ")) + QStringLiteral("), t (n, text) AS (VALUES ") +
           texts.join(QStringLiteral(", ")) + QStringLiteral(") SELECT ") + shown.join(QStringLiteral(", ")) +
           QStringLiteral(" FROM v ") + joins.join(u' ') + QStringLiteral(" ORDER BY v.No");
}

} // namespace tallysvc
