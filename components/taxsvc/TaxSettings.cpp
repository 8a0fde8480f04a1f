#include "TaxSettings.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"

#include <algorithm>

namespace taxsvc {

TaxSettings TaxSettings::read(const std::shared_ptr<desk::Connection>& option) {
    TaxSettings settings;
    QList<RateRow> rows;
    {
        desk::RowSet rates(option, QStringLiteral("SELECT EffectiveDate, StandardRate, ReducedRate FROM TaxRates "
                                                  "ORDER BY EffectiveDate"));
        for (; !rates.eof(); rates.moveNext()) {
            RateRow row;
            row.effective = desk::convert::dateOf(rates.value(QStringLiteral("EffectiveDate")));
            row.standard = rates.value(QStringLiteral("StandardRate")).toDouble();
            const QVariant reduced = rates.value(QStringLiteral("ReducedRate"));
            if (!reduced.isNull())
                row.reduced = reduced.toDouble();
            rows << row;
        }
    }
    settings.rates = RateTable(rows);
    QList<LevyRule> levies;
    {
        desk::RowSet rules(option, QStringLiteral("SELECT LevyKind, EffectiveDate, Method, Amount, ExemptBelow "
                                                  "FROM LevyRules ORDER BY LevyKind, EffectiveDate"));
        for (; !rules.eof(); rules.moveNext()) {
            LevyRule rule;
            rule.kind = levyKindOf(rules.value(QStringLiteral("LevyKind")).toInt());
            rule.effective = desk::convert::dateOf(rules.value(QStringLiteral("EffectiveDate")));
            rule.method = levyMethodOf(rules.value(QStringLiteral("Method")).toInt());
            rule.amount = rules.value(QStringLiteral("Amount")).toDouble();
            rule.exemptBelow = desk::convert::int32Of(rules.value(QStringLiteral("ExemptBelow")));
            levies << rule;
        }
    }
    {
        desk::RowSet bands(option, QStringLiteral("SELECT LevyKind, EffectiveDate, LowerBound, Yen FROM LevyBands "
                                                  "ORDER BY LevyKind, EffectiveDate, LowerBound"));
        for (; !bands.eof(); bands.moveNext()) {
            const LevyKind kind = levyKindOf(bands.value(QStringLiteral("LevyKind")).toInt());
            const QDate effective = desk::convert::dateOf(bands.value(QStringLiteral("EffectiveDate")));
            for (LevyRule& rule : levies) {
                if (rule.kind == kind && rule.effective == effective)
                    rule.bands.append({desk::convert::int32Of(bands.value(QStringLiteral("LowerBound"))),
                                       desk::convert::int32Of(bands.value(QStringLiteral("Yen")))});
            }
        }
    }
    settings.levies = LevyTable(levies);
    desk::RowSet profile(option, QStringLiteral("SELECT ServiceFee, TaxRounding, InvoiceNo FROM CompanyProfile "
                                                "ORDER BY RowKey"));
    if (!profile.eof()) {
        settings.serviceFee = profile.value(QStringLiteral("ServiceFee")).toDouble();
        settings.rounding = roundingOf(profile.value(QStringLiteral("TaxRounding")).toInt());
        settings.invoiceNo = desk::convert::textOf(profile.value(QStringLiteral("InvoiceNo")));
    }
    return settings;
}

TaxSettings TaxSettings::readFrom(const QString& dirPath) {
    const auto option = desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Option));
    return read(option);
}

namespace {

QString dayText(const QDate& day) {
    return day.toString(QStringLiteral("yyyy/MM/dd"));
}

// `what` (an aggregate) over the rows of `table` whose day column falls in [from, until)
// (until null: from then on).
QVariant overDays(desk::Connection& connection, const QString& what, const QString& table, const QString& dayColumn,
                  const QDate& from, const QDate& until) {
    QString statement = QStringLiteral("SELECT %1 FROM %2 WHERE %3 >= ?").arg(what, table, dayColumn);
    QVariantList binds{from.toString(Qt::ISODate)};
    if (until.isValid()) {
        statement += QStringLiteral(" AND %1 < ?").arg(dayColumn);
        binds << until.toString(Qt::ISODate);
    }
    return connection.scalar(statement, binds);
}

qint64 rowsBetween(desk::Connection& connection, const QString& table, const QString& dayColumn, const QDate& from,
                   const QDate& until) {
    return overDays(connection, QStringLiteral("COUNT(*)"), table, dayColumn, from, until).toLongLong();
}

// The latest day of `table`'s day column in [from, until).
QDate lastBetween(desk::Connection& connection, const QString& table, const QString& dayColumn, const QDate& from,
                  const QDate& until) {
    return desk::convert::dateOf(
        overDays(connection, QStringLiteral("MAX(%1)").arg(dayColumn), table, dayColumn, from, until));
}

} // namespace

QString rateChangeRefusal(const RateTable& saved, const RateTable& changed, const QDate& today,
                          desk::Connection& sales) {
    for (const RateRow& row : changed.rows()) {
        if (!row.effective.isValid())
            return QStringLiteral("税率の適用開始日を入力してください。");
        if (row.standard <= 0 || row.standard >= 100)
            return QStringLiteral("%1 からの標準税率は 0 より大きく 100 未満で入力してください。")
                .arg(dayText(row.effective));
        if (row.reduced && (*row.reduced <= 0 || *row.reduced >= row.standard))
            return QStringLiteral("%1 からの軽減税率は 0 より大きく標準税率より小さく入力してください。")
                .arg(dayText(row.effective));
    }
    for (qsizetype i = 1; i < changed.rows().size(); ++i) {
        if (changed.rows()[i].effective == changed.rows()[i - 1].effective)
            return QStringLiteral("%1 からの税率が二つあります。").arg(dayText(changed.rows()[i].effective));
    }
    for (const auto& [from, until] : saved.periodsChangedBy(changed)) {
        if (from > today)
            continue;
        const qint64 slips =
            rowsBetween(sales, QStringLiteral("BTSalesNo"), QStringLiteral("BTSalesdate"), from, until);
        if (slips == 0)
            continue;
        return QStringLiteral("%1 からの税率は、その期間の伝票（%2 件）があるため変更できません。"
                              "税率が変わるときは、新しい適用開始日の行を加えてください。")
            .arg(dayText(from))
            .arg(slips);
    }
    return {};
}

QString levyChangeRefusal(const LevyTable& saved, const LevyTable& changed, const QDate& today,
                          desk::Connection& clients) {
    for (int k = 0; k < LevyKindCount; ++k) {
        const LevyKind kind = levyKindOf(k);
        for (const auto& [from, until] : saved.periodsChangedBy(kind, changed)) {
            if (from > today)
                continue;
            const qint64 stays =
                rowsBetween(clients, QStringLiteral("CheckInCliants"), QStringLiteral("CheckOutDate"), from, until);
            if (stays == 0)
                continue;
            // The clerk is usually adding a rule, not changing one: name the first day a rule
            // may start without taxing a settled stay anew.
            const QDate last =
                lastBetween(clients, QStringLiteral("CheckInCliants"), QStringLiteral("CheckOutDate"), from, until);
            return QStringLiteral(
                       "%1 からの%2では、チェックアウト済みの宿泊（%3 件、最後は %4）の税額が変わってしまいます。"
                       "新しい規則は、変わる宿泊の最後のチェックアウトより後にしか始められません。"
                       "適用開始日を %5 以降にしてください。")
                .arg(dayText(from), levyKindName(kind))
                .arg(stays)
                .arg(dayText(last), dayText(last.addDays(1)));
        }
    }
    return {};
}

void writeRates(desk::Connection& option, const RateTable& rates) {
    desk::Transaction transaction(option);
    option.exec(QStringLiteral("DELETE FROM TaxRates"));
    for (const RateRow& row : rates.rows()) {
        option.exec(
            QStringLiteral("INSERT INTO TaxRates (EffectiveDate, StandardRate, ReducedRate) VALUES (?, ?, ?)"),
            {row.effective.toString(Qt::ISODate), row.standard, row.reduced ? QVariant(*row.reduced) : QVariant()});
    }
    transaction.commit();
}

void writeLevies(desk::Connection& option, const LevyTable& levies) {
    desk::Transaction transaction(option);
    option.exec(QStringLiteral("DELETE FROM LevyBands"));
    option.exec(QStringLiteral("DELETE FROM LevyRules"));
    for (const LevyRule& rule : levies.rules()) {
        const QString day = rule.effective.toString(Qt::ISODate);
        option.exec(QStringLiteral("INSERT INTO LevyRules (LevyKind, EffectiveDate, Method, Amount, ExemptBelow) "
                                   "VALUES (?, ?, ?, ?, ?)"),
                    {int(rule.kind), day, int(rule.method), rule.amount, rule.exemptBelow});
        // Bands are kept only where they are read: a rule of another method has none.
        if (rule.method != LevyMethod::Bands)
            continue;
        for (const LevyBand& band : rule.bands)
            option.exec(
                QStringLiteral("INSERT INTO LevyBands (LevyKind, EffectiveDate, LowerBound, Yen) VALUES (?, ?, ?, ?)"),
                {int(rule.kind), day, band.lowerBound, band.yen});
    }
    transaction.commit();
}

QStringList missingRates(const RateTable& rates, const QDate& today, desk::Connection& sales) {
    QStringList missing;
    if (!rates.inForce(today))
        missing << QStringLiteral("今日 (%1) に適用される消費税率がありません。").arg(dayText(today));
    const QDate first = rates.rows().isEmpty() ? QDate() : rates.rows().first().effective;
    const QVariant earliest = sales.scalar(QStringLiteral("SELECT MIN(BTSalesdate) FROM BTSalesNo"));
    const QDate earliestSlip = desk::convert::dateOf(earliest);
    if (earliestSlip.isValid() && (!first.isValid() || earliestSlip < first)) {
        // An invalid first day counts every slip from the earliest on.
        const qint64 slips =
            rowsBetween(sales, QStringLiteral("BTSalesNo"), QStringLiteral("BTSalesdate"), earliestSlip, first);
        missing << QStringLiteral("%1 からの伝票 %2 件に適用される消費税率がありません。")
                       .arg(dayText(earliestSlip))
                       .arg(slips);
    }
    return missing;
}

QStringList missingRoomShares(const LevyTable& levies, desk::Connection& sales) {
    const bool levied = std::any_of(levies.rules().cbegin(), levies.rules().cend(),
                                    [](const LevyRule& rule) { return rule.method != LevyMethod::None; });
    if (!levied || sales.scalar(QStringLiteral("SELECT COUNT(*) FROM Commodities WHERE CRoomShare > 0")).toInt() > 0)
        return {};
    return {QStringLiteral("入湯税・宿泊税が設定されていますが、宿泊料の割合が入った商品がありません。"
                           "商品登録で宿泊の商品に「宿泊料」の割合を入れてください（素泊まりは 100）。")};
}

} // namespace taxsvc
