#include "TallyKinds.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Engine.h"
#include "data/RowSet.h"
#include "data/Sql.h"

#include <algorithm>

namespace tallysvc {

namespace {

// The five guest classifications: code and name columns of QRYForClass.
struct GuestClass {
    const char* code;
    const char* name;
};
constexpr GuestClass guestClasses[] = {
    {"RvYearOldClass", "YearClass"}, {"RvGroupeSpec", "GroupeName"}, {"RvUseClass", "UClassName"},
    {"RvPayment", "PaymentName"},    {"ChoiceClass", "ChoiceName"},
};

} // namespace

int kindOf(int subject, int element) {
    switch (subject) {
    case 0:
        if (element == 3)
            return TaxRateKind;
        if (element == 4)
            return LevyKind;
        if (element == 5)
            return OccupancyKind;
        return element >= 0 && element <= 2 ? element : -1;
    case 1:
        return element >= 0 && element <= 1 ? 3 + element : -1;
    case 2:
        return element >= 0 && element <= 4 ? 5 + element : -1;
    default:
        return -1;
    }
}

QString fileName(int kind) {
    if (kind <= 2 || kind == TaxRateKind)
        return QString::fromLatin1(desk::DbFile::Sales);
    if (kind <= 4)
        return QString::fromLatin1(desk::DbFile::Recipt);
    // The occupancy reads four files itself and runs its literal rows in the reservations'.
    if (kind == OccupancyKind)
        return QString::fromLatin1(desk::DbFile::Reservation);
    // The levy kind reads all three files itself and runs its literal rows here.
    return QString::fromLatin1(desk::DbFile::DaySalesCliants);
}

QString statement(int kind, const QDate& first, const QDate& last, const desk::Engine& engine,
                  const taxsvc::RateTable& rates) {
    if (kind == TaxRateKind)
        return taxRateStatement(rates, first, last);
    const QString period = QStringLiteral(" BETWEEN ") + desk::Sql::dateLiteral(first) + QStringLiteral(" AND ") +
                           desk::Sql::dateLiteral(last);
    // Each result lists its own columns (the saved queries carry more than the grid shows)
    // and states its order, so screen, print and export agree line by line.
    switch (kind) {
    case 0:
        return QStringLiteral("SELECT BTSalesDate, SKubunName, Sum1, Sum2, Sum3, Sum4 FROM QRYForSyukeiUKubun "
                              "WHERE BTSalesDate") +
               period +
               // The saved query shows the class by its name only; its order is the class number's.
               QStringLiteral(" ORDER BY BTSalesDate, CASE SKubunName WHEN '宿泊掛売' THEN 0 WHEN '現金売' THEN 1 "
                              "WHEN '掛売' THEN 2 ELSE 3 END");
    case 1:
        return QStringLiteral("SELECT CclassName, Sum(SmallSum1) AS 合計1, Sum(SVfee) AS 合計2, Sum(SLTAX) AS 合計3, "
                              "Sum(Smallsum2) AS 合計4 FROM QRYForSyukei WHERE BTSalesDate") +
               period + QStringLiteral(" GROUP BY CclassName ORDER BY Min(Cclasify), CclassName");
    case 2:
        return QStringLiteral("SELECT BTCMcode, Cname, Sum(BTQuantity) AS 数量計, Sum(Smallsum2) AS 売上計 "
                              "FROM QRYForSyukei WHERE BTSalesDate") +
               period + QStringLiteral(" GROUP BY BTCMcode, Cname ORDER BY BTCMcode");
    case 3:
        return QStringLiteral("SELECT Spec, Sum(ReciptAmount) AS 合計1 FROM QRYForSyukeiRecipt WHERE ReciptDate") +
               period + QStringLiteral(" GROUP BY Spec ORDER BY Min(RptClass), Spec");
    case 4:
        // Filtered first: grouped by item over the whole join, the engine would walk every
        // payment line of the years in item order instead of the period's few.
        return QStringLiteral("WITH r AS ") + engine.materialized() +
               QStringLiteral(" (SELECT RptCode, RptName, ReciptAmount FROM QRYForSyukeiRecipt WHERE ReciptDate") +
               period +
               QStringLiteral(") SELECT RptCode, RptName, Sum(ReciptAmount) AS 合計 FROM r GROUP BY RptCode, RptName "
                              "ORDER BY RptCode");
    default: {
        const GuestClass& c = guestClasses[kind - 5];
        const QString code = QStringLiteral("COALESCE(") + QString::fromLatin1(c.code) + QStringLiteral(", '')");
        const QString name = QString::fromLatin1(c.name);
        // Guests are counted, not check-ins: the sum of each party's number of guests. A
        // guest the clerk classed under none of the entries is counted apart, never under
        // an entry of the list. Grouped and ordered by position: the literals become bound
        // values, and a server would not see a second copy of the expressions as the same.
        return QStringLiteral("SELECT ") + code + QStringLiteral(" AS FL1, CASE WHEN ") + code +
               QStringLiteral(" = '' THEN '未選択' ELSE ") + name +
               QStringLiteral(" END AS FL2, Sum(CheckInCliants) AS 合計 FROM QRYForClass WHERE CheckInDate") + period +
               QStringLiteral(" GROUP BY 1, 2 ORDER BY 1");
    }
    }
}

QString taxRateStatement(const taxsvc::RateTable& rates, const QDate& first, const QDate& last) {
    // The rate table becomes a list of periods [from, until) in the statement itself, so that
    // one grouped query assigns every line of the period; -1 stands for "no reduced rate".
    // Each is cut to the days asked for: the slips are then read by their date index over
    // those days only, not over every day a rate has been in force.
    const auto number = [](double value) {
        return QString::number(value, 'g', 12);
    };
    QStringList periods;
    const QList<taxsvc::RateRow>& rows = rates.rows();
    const QDate end = last.addDays(1);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QDate from = std::max(rows.at(i).effective, first);
        const QDate until = i + 1 < rows.size() ? std::min(rows.at(i + 1).effective, end) : end;
        if (from >= until)
            continue;
        periods << QStringLiteral("(%1, %2, %3, %4)")
                       .arg(desk::Sql::dateLiteral(from), desk::Sql::dateLiteral(until), number(rows.at(i).standard),
                            number(rows.at(i).reduced.value_or(-1)));
    }
    if (periods.isEmpty())
        periods << QStringLiteral("(#1900/1/1#, #1900/1/1#, 0, -1)");

    const QString own = QStringLiteral("COALESCE(d.BTSalesTax, 0)");
    const QString service = QStringLiteral("COALESCE(d.BTServiceFee, 0)");
    const QString subTotal = QStringLiteral("COALESCE(d.BTQuantity, 0) * COALESCE(d.BTUnitPrice, 0)");
    const QString reduced =
        QStringLiteral("%1 <> 0 AND abs(%1 - r.reduced) < 0.000001").arg(own); // rates are stored as doubles
    return QStringLiteral("WITH r (fromDay, untilDay, standard, reduced) AS (VALUES ") +
           periods.join(QStringLiteral(", ")) + QStringLiteral("), l AS (SELECT h.BTSalesNo AS slip, CASE WHEN ") +
           reduced + QStringLiteral(" THEN r.reduced ELSE r.standard END AS rate, CASE WHEN ") + reduced +
           QStringLiteral(" THEN 1 ELSE 0 END AS isReduced, CASE WHEN ") + own + QStringLiteral(" <> 0 THEN ") +
           subTotal + QStringLiteral(" ELSE 0 END + ") + subTotal + QStringLiteral(" * ") + service +
           QStringLiteral(" / 100.0 AS base FROM BTSalesNo h JOIN BTSalesDetail d ON d.BTSalesNo = h.BTSalesNo "
                          "JOIN r ON h.BTSalesdate >= r.fromDay AND h.BTSalesdate < r.untilDay "
                          "WHERE h.BTSalesdate BETWEEN ") +
           desk::Sql::dateLiteral(first) + QStringLiteral(" AND ") + desk::Sql::dateLiteral(last) +
           QStringLiteral(" AND (") + own + QStringLiteral(" <> 0 OR ") + service +
           QStringLiteral(" <> 0)) SELECT rate, isReduced AS reduced, Sum(base) AS base, Count(DISTINCT slip) AS slips "
                          "FROM l GROUP BY rate, isReduced ORDER BY rate DESC, isReduced");
}

QString taxRateResult(desk::RowSet& grouped, taxsvc::Rounding rounding) {
    QStringList rows;
    for (grouped.moveFirst(); !grouped.eof(); grouped.moveNext()) {
        const double rate = grouped.value(QStringLiteral("rate")).toDouble();
        const bool reduced = grouped.value(QStringLiteral("reduced")).toInt() != 0;
        // The base in whole yen as the bill keeps its sums; the tax rounded once per rate.
        const qint64 base =
            static_cast<qint64>(desk::convert::roundHalfEven(grouped.value(QStringLiteral("base")).toDouble()));
        const qint64 tax = taxsvc::roundTax(static_cast<double>(base) * rate / 100.0, rounding);
        const QString title =
            taxsvc::rateText(rate) + QStringLiteral("%") + (reduced ? QStringLiteral("（軽減）") : QString());
        rows << QStringLiteral("SELECT %1 AS No, %2 AS 税率, %3 AS 対象額, %4 AS 消費税, %5 AS 伝票数")
                    .arg(QString::number(rows.size() + 1), desk::Sql::quote(title), QString::number(base),
                         QString::number(tax), grouped.value(QStringLiteral("slips")).toString());
    }
    if (rows.isEmpty())
        return QStringLiteral("SELECT 0 AS No, '' AS 税率, 0 AS 対象額, 0 AS 消費税, 0 AS 伝票数 WHERE 1 = 0");
    return rows.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(" ORDER BY No");
}

int layoutOf(int kind) {
    if (kind == TaxRateKind)
        return 6;
    if (kind == LevyKind)
        return 7;
    if (kind == OccupancyKind)
        return 8;
    return kind < 5 ? kind : 5;
}

QString reportTitle(int kind) {
    static const char16_t* const titles[] = {
        u"売上区分別集計表", u"商品区分別集計表",     u"商品別集計表", u"入金区分別集計表", u"入金項目別集計表",
        u"年齢層別集計",     u"グループ別集計",       u"利用目的別",   u"支払方法別集計",   u"選択理由別",
        u"税率別売上集計表", u"入湯税・宿泊税集計表", u"客室稼働率"};
    return kind >= 0 && kind < KindCount ? QString::fromUtf16(titles[kind]) : QString();
}

QStringList summedFields(int kind) {
    switch (layoutOf(kind)) {
    case 0:
        return {QStringLiteral("Sum1"), QStringLiteral("Sum2"), QStringLiteral("Sum3"), QStringLiteral("Sum4")};
    case 1:
        return {QStringLiteral("合計1"), QStringLiteral("合計2"), QStringLiteral("合計3"), QStringLiteral("合計4")};
    case 2:
        // Quantities of different commodities do not add up to anything.
        return {QStringLiteral("売上計")};
    case 3:
        return {QStringLiteral("合計1")};
    case 6:
        // A slip with lines at two rates counts under both: its slips do not add up.
        return {QStringLiteral("対象額"), QStringLiteral("消費税")};
    case 7:
        // A guest counts once under each levy: only the amounts of the levies add up.
        return {QStringLiteral("税額")};
    case 8:
        // The period's own line carries the sums and the rates of the period.
        return {};
    default:
        return {QStringLiteral("合計")};
    }
}

} // namespace tallysvc
