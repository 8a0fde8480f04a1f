#include "BenchData.h"

#include "data/Connection.h"
#include "data/Engine.h"
#include "data/Schema.h"
#include "taxsvc/TaxSettings.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace deskbench {

namespace {

// Each generated value depends only on its row number and a salt, so every table of one
// record can be written in its own pass and still agree with the others.
quint64 mix(quint64 n, quint64 salt) {
    quint64 z = n * 0x9E3779B97F4A7C15ULL + salt * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int pick(quint64 n, quint64 salt, int count) {
    return static_cast<int>(mix(n, salt) % quint64(count));
}

const char* const FamilyNames[] = {"山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤",
                                   "吉田", "山本", "松本", "井上", "木村", "林",   "清水", "山口", "斎藤", "森"};
const char* const GivenNames[] = {"太郎", "花子", "一郎",   "美咲", "健",   "直樹", "陽子", "誠", "由美", "大輔",
                                  "恵",   "翔",   "さくら", "拓也", "明美", "浩",   "真理", "亮", "愛",   "修"};
const char* const Prefectures[] = {"東京都", "神奈川県", "埼玉県", "千葉県", "愛知県", "大阪府", "長野県", "新潟県"};

struct Goods {
    const char* code;
    int price;
};
const Goods Items[] = {{"101", 12000}, {"102", 8500}, {"201", 5000}, {"202", 1500}, {"301", 650},
                       {"302", 700},   {"303", 550},  {"304", 300},  {"401", 4500}, {"402", 2000}};

QString name(qint64 n) {
    return QString::fromUtf8(FamilyNames[pick(n, 1, 20)]) + QLatin1Char(' ') +
           QString::fromUtf8(GivenNames[pick(n, 2, 20)]);
}

QString telephone(qint64 n) {
    return QStringLiteral("0%1-%2-%3").arg(3 + pick(n, 3, 90)).arg(100 + pick(n, 4, 900)).arg(1000 + pick(n, 5, 9000));
}

QString iso(const QDate& d) {
    return d.toString(Qt::ISODate);
}

class Period {
public:
    Period(const QDate& today, int years)
        : m_first(today.addYears(-years).addDays(1))
        , m_days(m_first.daysTo(today) + 1) {}
    // The day of the i-th of `count` records spread evenly over the period (1-based).
    QDate day(qint64 i, qint64 count) const { return m_first.addDays((i - 1) * m_days / count); }

private:
    QDate m_first;
    qint64 m_days;
};

void fill(const std::shared_ptr<desk::Connection>& c, const QString& statement, qint64 count,
          const std::function<void(qint64, QVariantList&)>& row) {
    qint64 i = 0;
    c->execEach(statement, [&](QVariantList& binds) {
        if (++i > count)
            return false;
        row(i, binds);
        return true;
    });
}

} // namespace

Scale Scale::forYears(int years) {
    Scale s;
    s.years = years;
    s.reservations = 5000LL * years;
    s.checkIns = 4500LL * years;
    s.salesSlips = 9000LL * years;
    s.salesLines = s.salesSlips * 5;
    s.paymentSlips = 5600LL * years;
    s.paymentLines = s.paymentSlips + s.paymentSlips / 4;
    return s;
}

QString Scale::label() const {
    return QStringLiteral("%1 years: %2 reservations, %3 check-ins, %4 sales slips / %5 lines, %6 payment slips / "
                          "%7 lines, levies, 30 rooms")
        .arg(years)
        .arg(reservations)
        .arg(checkIns)
        .arg(salesSlips)
        .arg(salesLines)
        .arg(paymentSlips)
        .arg(paymentLines);
}

QString lastAdded(const desk::Connection& connection, const QString& table, const QString& column,
                  const QString& where) {
    const desk::Engine& engine = connection.engine();
    return QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + table +
           (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) + QStringLiteral(" ORDER BY ") +
           engine.rowKey() + QStringLiteral(" DESC") + engine.limit(1);
}

QString checkInNumber(qint64 n) {
    return QString::number(100000 + n);
}

void buildDataDirectory(const QString& dir, const Scale& scale, const QDate& today, QTextStream& progress) {
    QElapsedTimer timer;
    timer.start();
    desk::Schema::createDataDirectory(dir);
    const Period period(today, scale.years);
    const auto open = [&](const char* file) {
        auto c = desk::Connection::open(dir, QString::fromLatin1(file));
        c->prepareBulkLoad();
        return c;
    };

    {
        const auto c = open(desk::DbFile::Reservation);
        desk::Transaction t(*c);
        fill(c,
             QStringLiteral("INSERT INTO Reserve (RvNo, RvUseDate, RvDate, RvName, RvZip, RvAddress1, RvAddress2, "
                            "RvTelNo, RvClNumber, RvBadget, RvArvtime, Rvchkflg, RvProc) "
                            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'o')"),
             scale.reservations, [&](qint64 i, QVariantList& b) {
                 const QDate use = period.day(i, scale.reservations);
                 b << i << iso(use) << iso(use.addDays(-1 - pick(i, 6, 60))) << name(i)
                   << QStringLiteral("%1-%2").arg(100 + pick(i, 7, 900)).arg(1000 + pick(i, 8, 9000))
                   << QString::fromUtf8(Prefectures[pick(i, 9, 8)])
                   << QStringLiteral("中央%1-%2").arg(pick(i, 10, 9) + 1).arg(pick(i, 11, 30) + 1) << telephone(i)
                   << 1 + pick(i, 12, 4) << (8 + pick(i, 13, 8)) * 1000
                   << QStringLiteral("%1:00").arg(14 + pick(i, 14, 5)) << (use < today && i % 10 != 0 ? 1 : 0);
             });
        c->exec(c->engine().insertOrReplace(QStringLiteral("SchemaMeta"),
                                            {QStringLiteral("Name"), QStringLiteral("Value")}) +
                    QStringLiteral(" VALUES ('BenchScale', ?), ('BenchToday', ?)"),
                {scale.label(), iso(today)});
        t.commit();
    }
    progress << "  reservations   " << timer.elapsed() << " ms\n";
    progress.flush();

    {
        const auto c = open(desk::DbFile::DaySalesCliants);
        desk::Transaction t(*c);
        const qint64 n = scale.checkIns;
        const auto day = [&](qint64 i) {
            return period.day(i, n);
        };
        fill(c,
             QStringLiteral("INSERT INTO CheckInCliants (CheckInNO, CheckInDate, CheckInName, CheckInRoomNo, "
                            "CheckInRemarks, CheckOutFlag, CheckOutDate) VALUES (?, ?, ?, ?, '', ?, ?)"),
             n, [&](qint64 i, QVariantList& b) {
                 // Settled stays of one to three nights, which the levy return reads.
                 const bool settled = day(i) < today.addDays(-2);
                 b << checkInNumber(i) << iso(day(i)) << name(i) << QString::number(101 + (i % 20)) << (settled ? 1 : 0)
                   << (settled ? QVariant(iso(day(i).addDays(1 + pick(i, 25, 3)))) : QVariant());
             });
        fill(c,
             QStringLiteral("INSERT INTO CheckInAdrs (CheckInNO, CheckInAdrs1, CheckInAdrs2, CheckInAdrs3, "
                            "CheckInTelNo, CheckInEMAdrs, CheckInFaxNo) VALUES (?, ?, '', '', ?, '', '')"),
             n, [&](qint64 i, QVariantList& b) {
                 b << checkInNumber(i) << QString::fromUtf8(Prefectures[pick(i, 9, 8)]) << telephone(i);
             });
        fill(c,
             QStringLiteral("INSERT INTO CheckInGroupe (CheckInNO, CheckInGroupe, CheckInCName, CheckInTravelAg) "
                            "VALUES (?, '', '', '')"),
             n, [&](qint64 i, QVariantList& b) { b << checkInNumber(i); });
        fill(c,
             QStringLiteral("INSERT INTO CheckInClasify (CheckInNO, RvUseClass, RvYearOldClass, RvPayment, "
                            "RvGroupespec, ChoiceClass) VALUES (?, ?, ?, ?, ?, ?)"),
             n, [&](qint64 i, QVariantList& b) {
                 b << checkInNumber(i) << QStringLiteral("U%1").arg(pick(i, 20, 5))
                   << QStringLiteral("A%1").arg(pick(i, 21, 7)) << QStringLiteral("P%1").arg(pick(i, 22, 5))
                   << QStringLiteral("G%1").arg(pick(i, 23, 6)) << QStringLiteral("C%1").arg(1 + pick(i, 24, 6));
             });
        fill(c, QStringLiteral("INSERT INTO CheckInBadget (CheckInNO, RvClNumber, RvBadget) VALUES (?, ?, ?)"), n,
             [&](qint64 i, QVariantList& b) {
                 b << checkInNumber(i) << 1 + pick(i, 12, 4) << (8 + pick(i, 13, 8)) * 1000;
             });
        fill(c,
             QStringLiteral("INSERT INTO CheckInCliantDetail (CheckInNO, RvNo, RvDate, RvArvtime, RvChkInTime) "
                            "VALUES (?, ?, NULL, '', '')"),
             n, [&](qint64 i, QVariantList& b) { b << checkInNumber(i) << (i <= scale.reservations ? i : 0); });
        t.commit();
    }
    progress << "  check-ins      " << timer.elapsed() << " ms\n";
    progress.flush();

    {
        // Thirty rooms on two floors; each check-in's stay in the first room free on its first
        // night (one that finds none stays unassigned), its nights up to its check-out day.
        const auto option = open(desk::DbFile::Option);
        desk::Transaction t(*option);
        QStringList codes;
        for (int floor = 1; floor <= 2; ++floor) {
            for (int r = 1; r <= 15; ++r)
                codes << QString::number(floor * 100 + r);
        }
        fill(option,
             QStringLiteral("INSERT INTO Rooms (RoomCode, RoomName, RoomType, Capacity, MinGuests, Floor, SortOrder) "
                            "VALUES (?, '', ?, ?, 1, ?, ?)"),
             codes.size(), [&](qint64 i, QVariantList& b) {
                 const QString& code = codes.at(i - 1);
                 b << code << (i % 3 == 0 ? QStringLiteral("洋室") : QStringLiteral("和室")) << 2 + int(i % 4)
                   << QString(code.left(1) + QStringLiteral("階")) << int(i * 10);
             });
        t.commit();

        const auto c = open(desk::DbFile::Reservation);
        desk::Transaction stays(*c);
        QList<QDate> freeFrom(codes.size());
        const qint64 n = scale.checkIns;
        fill(c,
             QStringLiteral("INSERT INTO RoomStays (RoomCode, FirstNight, Nights, Guests, RvNo, CheckInNO, StayState) "
                            "VALUES (?, ?, ?, ?, ?, ?, ?)"),
             n, [&](qint64 i, QVariantList& b) {
                 const QDate first = period.day(i, n);
                 const bool settled = first < today.addDays(-2);
                 const int nights = settled ? 1 + int(pick(i, 25, 3)) : 1;
                 QString room = QStringLiteral("");
                 for (qsizetype r = 0; r < codes.size(); ++r) {
                     if (!freeFrom.at(r).isValid() || freeFrom.at(r) <= first) {
                         room = codes.at(r);
                         freeFrom[r] = first.addDays(nights);
                         break;
                     }
                 }
                 b << room << iso(first) << nights << 1 + int(pick(i, 12, 4))
                   << (i <= scale.reservations ? QVariant(i) : QVariant()) << checkInNumber(i) << (settled ? 2 : 1);
             });
        stays.commit();
    }
    progress << "  rooms          " << timer.elapsed() << " ms\n";
    progress.flush();

    {
        const auto c = open(desk::DbFile::Sales);
        desk::Transaction t(*c);
        const qint64 slips = scale.salesSlips;
        const auto owner = [&](qint64 s) {
            return (s - 1) * scale.checkIns / slips + 1;
        };
        fill(c,
             QStringLiteral("INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (?, ?, ?, ?)"),
             slips, [&](qint64 s, QVariantList& b) {
                 b << s << iso(period.day(owner(s), scale.checkIns).addDays(s % 2)) << checkInNumber(owner(s))
                   << (s % 20 == 0 ? 1 : (s % 50 == 0 ? 2 : 0));
             });
        const qint64 perSlip = scale.salesLines / slips;
        fill(c,
             QStringLiteral("INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, "
                            "BTServiceFee, BTSalesTax) VALUES (?, ?, '', ?, ?, 10, 5)"),
             scale.salesLines, [&](qint64 l, QVariantList& b) {
                 const Goods& g = Items[pick(l, 30, 10)];
                 b << (l - 1) / perSlip + 1 << QString::fromLatin1(g.code) << 1 + pick(l, 31, 3) << g.price;
             });
        t.commit();
    }
    progress << "  sales          " << timer.elapsed() << " ms\n";
    progress.flush();

    {
        const auto c = open(desk::DbFile::Recipt);
        desk::Transaction t(*c);
        const qint64 slips = scale.paymentSlips;
        const auto owner = [&](qint64 p) {
            return (p - 1) * scale.checkIns / slips + 1;
        };
        fill(c,
             QStringLiteral("INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) VALUES (?, ?, ?, ?)"),
             slips, [&](qint64 p, QVariantList& b) {
                 b << p << iso(period.day(owner(p), scale.checkIns).addDays(1)) << checkInNumber(owner(p))
                   << pick(p, 40, 3);
             });
        // Every fourth slip has a second line: slip p's lines are numbered from first(p).
        const auto slipOfLine = [](qint64 l) {
            const qint64 group = (l - 1) / 5; // 5 lines per 4 slips
            const qint64 within = (l - 1) % 5;
            return group * 4 + (within < 4 ? within : 3) + 1;
        };
        fill(c,
             QStringLiteral("INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) VALUES (?, ?, ?, '')"),
             scale.paymentLines, [&](qint64 l, QVariantList& b) {
                 b << slipOfLine(l) << QStringLiteral("0%1").arg(1 + pick(l, 41, 8)) << (5 + pick(l, 42, 40)) * 1000;
             });
        t.commit();
    }
    progress << "  payments       " << timer.elapsed() << " ms\n";
    progress.flush();

    {
        // A bathing tax at a fixed amount and an accommodation tax by price bands, in force
        // over the whole period, so that the levy return has stays to work out.
        const auto c = open(desk::DbFile::Option);
        desk::Transaction t(*c);
        const QDate from = today.addYears(-scale.years - 1);
        taxsvc::LevyRule bathing{taxsvc::LevyKind::Bathing, from, taxsvc::LevyMethod::Fixed, 150, 0, {}};
        taxsvc::LevyRule lodging{
            taxsvc::LevyKind::LodgingPrefecture, from, taxsvc::LevyMethod::Bands, 0, 0, {{0, 100}, {10000, 200}}};
        taxsvc::writeLevies(*c, taxsvc::LevyTable({bathing, lodging}));
        t.commit();
    }
    progress << "  levy rules     " << timer.elapsed() << " ms\n";
    progress.flush();

    for (const QString& file : desk::Schema::fileNames())
        desk::Schema::syncToDisk(dir + file);
}

QString builtLabel(const QString& dir, QDate* today) {
    if (!QFileInfo(dir + QString::fromLatin1(desk::DbFile::Reservation)).isFile())
        return {};
    const auto c = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Reservation));
    if (today)
        *today = QDate::fromString(
            c->scalar(QStringLiteral("SELECT Value FROM SchemaMeta WHERE Name = 'BenchToday'")).toString(),
            Qt::ISODate);
    return c->scalar(QStringLiteral("SELECT Value FROM SchemaMeta WHERE Name = 'BenchScale'")).toString();
}

void addStatementSlips(const QString& dir, const QString& guest, const QDate& lastDay, bool oneSlipADay) {
    using namespace Qt::StringLiterals;
    const auto sales = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Sales));
    if (sales->scalar(u"SELECT COUNT(*) FROM BTSalesNo WHERE BTCheckInNo = ?"_s, {guest}).toInt() > 0)
        return;
    {
        desk::Transaction transaction(*sales);
        const qint32 first = sales->scalar(u"SELECT ifnull(Max(BTSalesNo), 0) + 1 FROM BTSalesNo"_s).toInt();
        for (int slip = first; slip < first + 4; ++slip) {
            const QDate day = oneSlipADay ? lastDay.addDays(slip - first - 3) : lastDay;
            sales->exec(u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (?, ?, ?, 0)"_s,
                        {slip, day, guest});
            // Two rates on every slip: each fourth line at the reduced rate without service.
            for (int line = 0; line < 10; ++line) {
                const bool reduced = line % 4 == 3;
                sales->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, "
                            "BTServiceFee, BTSalesTax) VALUES (?, '301', '', ?, 650, ?, ?)"_s,
                            {slip, 1 + line % 3, !reduced && line % 2 ? 10 : 0, reduced ? 8 : 10});
            }
        }
        transaction.commit();
    }
    const auto recipt = desk::Connection::open(dir, QString::fromLatin1(desk::DbFile::Recipt));
    desk::Transaction transaction(*recipt);
    const qint32 first = recipt->scalar(u"SELECT ifnull(Max(RptNO), 0) + 1 FROM BTPaymentNo"_s).toInt();
    for (int slip = first; slip < first + 3; ++slip) {
        recipt->exec(u"INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) VALUES (?, ?, ?, 0)"_s,
                     {slip, lastDay, guest});
        recipt->exec(u"INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount, RptRemarks) VALUES (?, '01', ?, '')"_s,
                     {slip, 10000 * (slip - first + 1)});
    }
    transaction.commit();
}

} // namespace deskbench
