#include "SampleData.h"

#include "convert/Convert.h"

#include "data/Connection.h"
#include "data/DataLocation.h"
#include "data/DbError.h"
#include "data/Schema.h"

#include <QVariantList>

#include <algorithm>

namespace desk::Schema {

namespace {

QString iso(const QDate& date) {
    return date.toString(Qt::ISODate);
}

struct Line {
    const char* code;
    double quantity;
    double price;
    double serviceRate;
    double taxRate;
    const char* remark;
};

struct Slip {
    int number;
    int dayOffset;
    const char* checkIn;
    int kubun;
    std::initializer_list<Line> lines;
};

struct Stay {
    const char* number;
    int dayOffset;
    const char* name;
    const char* room;
    const char* remarks;
    bool checkedOut;
    const char* adrs1;
    const char* adrs2;
    const char* adrs3;
    const char* tel;
    const char* mail;
    const char* groupe;
    const char* companions;
    const char* agency;
    const char* useClass;
    const char* ageClass;
    const char* payClass;
    const char* groupClass;
    const char* choiceClass;
    int guests;
    int budget;
    int reservation;
    const char* arrival;
};

QString u(const char* text) {
    return QString::fromUtf8(text);
}

const Stay stays[] = {
    {"0997",
     -10,
     "中村 誠",
     "203",
     "",
     true,
     "東京都",
     "世田谷区",
     "桜新町1-2-3",
     "03-3333-1111",
     "nakamura@example.jp",
     "",
     "",
     "",
     "U2",
     "A4",
     "P2",
     "G1",
     "C3",
     1,
     12000,
     0,
     ""},
    {"0998", -3,         "伊藤 直樹",    "101",       "記念日のお祝い",
     true,   "神奈川県", "横浜市港北区", "日吉2-4-6", "045-222-3333",
     "",     "",         "伊藤 恵",      "",          "U1",
     "A3",   "P2",       "G2",           "C2",        2,
     12000,  6,          "15:00"},
    {"0999", -2, "小林 由美",        "102", "",   true, "愛知県", "名古屋市中区", "栄3-5-7", "052-444-5555", "",
     "",     "", "日本旅行センター", "U1",  "A5", "P3", "G3",     "C1",           1,         8500,           0,
     ""},
    {"1000",
     -1,
     "渡辺 陽子",
     "201",
     "2泊",
     false,
     "大阪府",
     "大阪市北区",
     "梅田1-1-1",
     "06-6666-7777",
     "watanabe@example.jp",
     "",
     "渡辺 健一、渡辺 さくら",
     "",
     "U1",
     "A4",
     "P1",
     "G2",
     "C5",
     3,
     12000,
     7,
     "16:00"},
    {"1001", 0,        "山田 太郎", "105", "夕食は18時半", false, "長野県", "松本市", "中央2-3-4", "0263-11-2222",
     "",     "山田会", "山田 花子", "",    "U3",           "A6",  "P1",     "G2",     "C1",        2,
     12000,  1,        "15:30"},
};

const Slip slips[] = {
    {1, -10, "0997", 0, {{"101", 1, 12000, 10, 5, ""}, {"301", 2, 650, 10, 5, ""}}},
    {2, -9, "0997", 0, {{"202", 1, 1500, 10, 5, ""}}},
    {3, -3, "0998", 0, {{"101", 2, 12000, 10, 5, ""}, {"305", 1, 3500, 10, 5, "記念日"}}},
    {4, -2, "0999", 0, {{"102", 1, 8500, 10, 5, ""}, {"302", 2, 700, 10, 5, ""}}},
    {5, -1, "1000", 0, {{"101", 3, 12000, 10, 5, ""}, {"301", 3, 650, 10, 5, ""}, {"304", 2, 300, 0, 5, ""}}},
    {6, 0, "1000", 0, {{"402", 1, 2000, 0, 5, ""}, {"401", 1, 4500, 10, 5, "ご主人様"}}},
    {7, 0, "1001", 0, {{"101", 2, 12000, 10, 5, ""}, {"302", 2, 700, 10, 5, ""}}},
    {8, 0, "", 1, {{"501", 2, 1000, 0, 5, "お持ち帰り"}, {"502", 1, 1800, 0, 5, ""}}},
};

// What the bill asks of a guest: service charge and tax worked out as at check-out.
double billTotal(const char* checkIn) {
    double service = 0, subtotal = 0, taxable = 0;
    for (const Slip& slip : slips) {
        if (qstrcmp(slip.checkIn, checkIn) != 0)
            continue;
        for (const Line& line : slip.lines) {
            const double amount = line.quantity * line.price;
            if (line.serviceRate != 0)
                service = convert::roundHalfEven(service + line.serviceRate * amount / 100);
            subtotal = convert::roundHalfEven(subtotal + amount);
            if (line.taxRate != 0)
                taxable = convert::roundHalfEven(taxable + amount);
        }
    }
    const double tax = convert::roundHalfEven((service + taxable) * 5 / 100);
    return service + subtotal + tax;
}

void addReservations(const QString& dir, const QDate& today) {
    struct Booking {
        int number;
        int useOffset;
        int takenOffset;
        const char* name;
        const char* zip;
        const char* adrs1;
        const char* adrs2;
        const char* adrs3;
        const char* tel;
        int guests;
        int budget;
        const char* remarks;
        const char* arrival;
        const char* checkInTime;
        const char* groupe;
        const char* agency;
        bool checkedIn;
    };
    static const Booking bookings[] = {
        {1, 0, -20, "山田 太郎", "390-0811", "長野県", "松本市", "中央2-3-4", "0263-11-2222", 2, 12000, "夕食は18時半",
         "15:30", "15:30", "山田会", "", true},
        {2, 0, -14, "佐藤 花子", "150-0001", "東京都", "渋谷区", "神宮前4-5-6", "03-1234-5678", 3, 15000, "和室希望",
         "16:00", "", "", "", false},
        {3, 0, -2, "鈴木 一郎", "460-0008", "愛知県", "名古屋市中区", "栄1-2-3", "052-111-2222", 1, 8500, "朝食のみ",
         "19:00", "", "", "", false},
        {4, 1, -7, "高橋 美咲", "530-0001", "大阪府", "大阪市北区", "梅田3-3-3", "06-1111-2222", 2, 12000, "", "15:00",
         "", "", "", false},
        {5, 1, -30, "田中 健", "980-0811", "宮城県", "仙台市青葉区", "一番町2-2-2", "022-333-4444", 4, 10000,
         "お子様2名", "17:00", "", "田中家", "日本旅行センター", false},
        {6, -3, -40, "伊藤 直樹", "223-0061", "神奈川県", "横浜市港北区", "日吉2-4-6", "045-222-3333", 2, 12000,
         "記念日のお祝い", "15:00", "15:00", "", "", true},
        {7, -1, -10, "渡辺 陽子", "530-0001", "大阪府", "大阪市北区", "梅田1-1-1", "06-6666-7777", 3, 12000, "2泊",
         "16:00", "16:10", "", "", true},
    };
    const auto c = Connection::open(dir, QString::fromLatin1(DbFile::Reservation));
    c->prepareBulkLoad();
    Transaction transaction(*c);
    for (const Booking& b : bookings) {
        c->exec(QStringLiteral("INSERT INTO Reserve (RvNo, RvUseDate, RvDate, RvName, RvZip, RvAddress1, RvAddress2, "
                               "RvAddress3, RvTelNo, RvClNumber, RvBadget, RvRemarks1, RvArvtime, RvChkInTime, "
                               "RvGroupe, RvTravelAg, Rvchkflg, RvProc) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'o')"),
                {b.number, iso(today.addDays(b.useOffset)), iso(today.addDays(b.takenOffset)), u(b.name), u(b.zip),
                 u(b.adrs1), u(b.adrs2), u(b.adrs3), u(b.tel), b.guests, b.budget, u(b.remarks), u(b.arrival),
                 u(b.checkInTime), u(b.groupe), u(b.agency), b.checkedIn ? 1 : 0});
    }
    transaction.commit();
}

// A guest who has gone left the day after the last slip rung up for the stay (at least one
// night); one still in the house has no check-out day.
QVariant checkOutDay(const Stay& s, const QDate& today) {
    if (!s.checkedOut)
        return {};
    int last = s.dayOffset;
    for (const Slip& slip : slips) {
        if (qstrcmp(slip.checkIn, s.number) == 0)
            last = std::max(last, slip.dayOffset);
    }
    return iso(today.addDays(std::min(last + 1, 0)));
}

void addStays(const QString& dir, const QDate& today) {
    const auto c = Connection::open(dir, QString::fromLatin1(DbFile::DaySalesCliants));
    c->prepareBulkLoad();
    Transaction transaction(*c);
    for (const Stay& s : stays) {
        const QString no = u(s.number);
        c->exec(QStringLiteral("INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckInRoomNo, "
                               "CheckInRemarks, CheckOutFlag, CheckOutDate) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {no, iso(today.addDays(s.dayOffset)), u(s.name), u(s.room), u(s.remarks), s.checkedOut ? 1 : 0,
                 checkOutDay(s, today)});
        c->exec(QStringLiteral("INSERT INTO CheckInAdrs (CheckInNO, CheckInAdrs1, CheckInAdrs2, CheckInAdrs3, "
                               "CheckInTelNo, CheckInEMAdrs, CheckInFaxNo) VALUES (?, ?, ?, ?, ?, ?, '')"),
                {no, u(s.adrs1), u(s.adrs2), u(s.adrs3), u(s.tel), u(s.mail)});
        c->exec(QStringLiteral("INSERT INTO CheckInGroupe (CheckInNO, CheckInGroupe, CheckInCName, CheckInTravelAg) "
                               "VALUES (?, ?, ?, ?)"),
                {no, u(s.groupe), u(s.companions), u(s.agency)});
        c->exec(QStringLiteral("INSERT INTO CheckInClasify (CheckInNO, RvUseClass, RvYearOldClass, RvPayment, "
                               "RvGroupespec, ChoiceClass) VALUES (?, ?, ?, ?, ?, ?)"),
                {no, u(s.useClass), u(s.ageClass), u(s.payClass), u(s.groupClass), u(s.choiceClass)});
        c->exec(QStringLiteral("INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES (?, ?, ?)"),
                {no, s.guests, s.budget});
        c->exec(QStringLiteral("INSERT INTO CheckInCliantDetail (CheckInNO, RvNo, RvDate, RvArvtime, RvChkInTime) "
                               "VALUES (?, ?, ?, ?, ?)"),
                {no, s.reservation, s.reservation ? QVariant(iso(today.addDays(s.dayOffset - 14))) : QVariant(),
                 u(s.arrival), u(s.arrival)});
        // The representative heads the party's guest list, as a check-in saves it.
        QStringList address;
        for (const char* part : {s.adrs1, s.adrs2, s.adrs3}) {
            if (*part)
                address << u(part);
        }
        c->exec(QStringLiteral("INSERT INTO CheckInGuests (CheckInNO, GuestNo, GuestName, GuestAdrs, GuestTelNo, "
                               "Abroad, Nationality, PassportNo) VALUES (?, 1, ?, ?, ?, 0, '', '')"),
                {no, u(s.name), address.join(QLatin1Char(' ')), u(s.tel)});
    }
    transaction.commit();
}

void addSales(const QString& dir, const QDate& today) {
    const auto c = Connection::open(dir, QString::fromLatin1(DbFile::Sales));
    c->prepareBulkLoad();
    Transaction transaction(*c);
    for (const Slip& slip : slips) {
        c->exec(QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) "
                               "VALUES (?, ?, ?, ?)"),
                {slip.number, iso(today.addDays(slip.dayOffset)), u(slip.checkIn), slip.kubun});
        for (const Line& line : slip.lines) {
            c->exec(
                QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, "
                               "BTServiceFee, BTSalesTax) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {slip.number, u(line.code), u(line.remark), line.quantity, line.price, line.serviceRate, line.taxRate});
        }
    }
    transaction.commit();
}

void addPayments(const QString& dir, const QDate& today) {
    struct Payment {
        int number;
        int dayOffset;
        const char* checkIn;
        int kubun;
        const char* code;
        double amount; // 0: the whole bill of a guest who has left
        const char* remark;
    };
    static const Payment payments[] = {
        {1, -9, "0997", 0, "03", 0, ""},           {2, -3, "0998", 0, "02", 10000, "予約金"},
        {3, -2, "0998", 0, "01", 0, ""},           {4, -1, "0999", 1, "06", 0, "日本旅行センター"},
        {5, -1, "1000", 0, "02", 20000, "予約金"}, {6, 0, "", 2, "01", 0, "売店"},
    };
    const auto c = Connection::open(dir, QString::fromLatin1(DbFile::Recipt));
    c->prepareBulkLoad();
    Transaction transaction(*c);
    for (const Payment& p : payments) {
        double amount = p.amount;
        if (amount == 0) {
            amount = billTotal(p.checkIn);
            for (const Payment& other : payments) {
                if (&other != &p && qstrcmp(other.checkIn, p.checkIn) == 0)
                    amount -= other.amount;
            }
        }
        c->exec(QStringLiteral("INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) "
                               "VALUES (?, ?, ?, ?)"),
                {p.number, iso(today.addDays(p.dayOffset)), u(p.checkIn), p.kubun});
        c->exec(QStringLiteral("INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) "
                               "VALUES (?, ?, ?, ?)"),
                {p.number, u(p.code), amount, u(p.remark)});
    }
    transaction.commit();
}

// Twelve rooms over two floors.
void addRooms(const QString& dir) {
    struct RoomRow {
        const char* code;
        const char* name;
        const char* type;
        int capacity;
    };
    static const RoomRow rooms[] = {
        {"101", "桜", "和室", 2},   {"102", "梅", "和室", 3},   {"103", "松", "和室", 4},
        {"104", "竹", "洋室", 2},   {"105", "萩", "和洋室", 4}, {"106", "藤", "洋室", 2},
        {"201", "菊", "和室", 5},   {"202", "椿", "和室", 4},   {"203", "楓", "和洋室", 3},
        {"204", "菖蒲", "洋室", 2}, {"205", "桔梗", "和室", 5}, {"206", "百合", "和洋室", 4},
    };
    const auto c = Connection::open(dir, QString::fromLatin1(DbFile::Option));
    Transaction transaction(*c);
    int order = 0;
    for (const RoomRow& r : rooms) {
        c->exec(
            QStringLiteral("INSERT INTO Rooms (RoomCode, RoomName, RoomType, Capacity, MinGuests, Floor, SortOrder) "
                           "VALUES (?, ?, ?, ?, 1, ?, ?)"),
            {u(r.code), u(r.name), u(r.type), r.capacity, r.code[0] == '1' ? u("1階") : u("2階"), order += 10});
    }
    transaction.commit();
}

// The rooms of the check-ins (their nights up to the check-out day, two for the party staying
// two nights) and of the reservations still to come; 鈴木 一郎's is left to assign.
void addRoomStays(const QString& dir, const QDate& today) {
    const auto c = Connection::open(dir, QString::fromLatin1(DbFile::Reservation));
    Transaction transaction(*c);
    const QString insert = QStringLiteral("INSERT INTO RoomStays (RoomCode, FirstNight, Nights, Guests, RvNo, "
                                          "CheckInNO, StayState) VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const Stay& s : stays) {
        const QDate first = today.addDays(s.dayOffset);
        const QVariant out = checkOutDay(s, today);
        const int nights = out.isNull() ? (qstrcmp(s.remarks, "2泊") == 0 ? 2 : 1)
                                        : int(first.daysTo(QDate::fromString(out.toString(), Qt::ISODate)));
        c->exec(insert, {u(s.room), iso(first), std::max(1, nights), s.guests,
                         s.reservation ? QVariant(s.reservation) : QVariant(), u(s.number), s.checkedOut ? 2 : 1});
    }
    struct Booked {
        int reservation;
        const char* room;
        int offset;
        int guests;
    };
    static const Booked booked[] = {{2, "202", 0, 3}, {3, "", 0, 1}, {4, "103", 1, 2}, {5, "205", 1, 4}};
    for (const Booked& b : booked)
        c->exec(insert, {u(b.room), iso(today.addDays(b.offset)), 1, b.guests, b.reservation, QVariant(), 0});
    transaction.commit();
}

} // namespace

void addSampleData(const QString& dirPath, const QDate& today) {
    if (!today.isValid())
        throw DbError(QStringLiteral("Sample data needs a valid date for today"));
    addReservations(dirPath, today);
    addStays(dirPath, today);
    addRooms(dirPath);
    addRoomStays(dirPath, today);
    addSales(dirPath, today);
    addPayments(dirPath, today);
    // Files flushed to disk, a server's statistics gathered for what was loaded.
    DataLocation::of(dirPath)->settle();
}

} // namespace desk::Schema
