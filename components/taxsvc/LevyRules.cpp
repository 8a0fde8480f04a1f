#include "LevyRules.h"

#include "TaxRules.h"

#include "convert/Convert.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace taxsvc {

LevyKind levyKindOf(int stored) {
    switch (stored) {
    case int(LevyKind::LodgingPrefecture):
        return LevyKind::LodgingPrefecture;
    case int(LevyKind::LodgingMunicipality):
        return LevyKind::LodgingMunicipality;
    default:
        return LevyKind::Bathing;
    }
}

LevyMethod levyMethodOf(int stored) {
    switch (stored) {
    case int(LevyMethod::Fixed):
        return LevyMethod::Fixed;
    case int(LevyMethod::Bands):
        return LevyMethod::Bands;
    case int(LevyMethod::Percent):
        return LevyMethod::Percent;
    default:
        return LevyMethod::None;
    }
}

QString levyKindName(LevyKind kind) {
    switch (kind) {
    case LevyKind::LodgingPrefecture:
        return QStringLiteral("宿泊税（都道府県）");
    case LevyKind::LodgingMunicipality:
        return QStringLiteral("宿泊税（市町村）");
    case LevyKind::Bathing:
        break;
    }
    return QStringLiteral("入湯税");
}

QString levyMethodName(LevyMethod method) {
    switch (method) {
    case LevyMethod::Fixed:
        return QStringLiteral("定額");
    case LevyMethod::Bands:
        return QStringLiteral("段階");
    case LevyMethod::Percent:
        return QStringLiteral("定率");
    case LevyMethod::None:
        break;
    }
    return QStringLiteral("課さない");
}

std::optional<LevyKind> levyKindNamed(const QString& name) {
    for (int k = 0; k < LevyKindCount; ++k) {
        if (levyKindName(levyKindOf(k)) == name.trimmed())
            return levyKindOf(k);
    }
    return std::nullopt;
}

std::optional<LevyMethod> levyMethodNamed(const QString& name) {
    for (int m = 0; m < LevyMethodCount; ++m) {
        if (levyMethodName(levyMethodOf(m)) == name.trimmed())
            return levyMethodOf(m);
    }
    return std::nullopt;
}

QString bandsText(const QList<LevyBand>& bands) {
    QStringList parts;
    for (const LevyBand& band : bands)
        parts << QStringLiteral("%1:%2").arg(band.lowerBound).arg(band.yen);
    return parts.join(QStringLiteral(", "));
}

std::optional<QList<LevyBand>> typedBands(const QString& text, QString* refusal) {
    static const QString shape =
        QStringLiteral("段階は「下限:円」をコンマで区切って入力してください（例: 0:200, 6000:400, 20000:1000）。");
    QString plain = desk::convert::asciiDigits(text);
    plain.replace(QChar(0xFF1A), QLatin1Char(':')); // ：
    plain.replace(QChar(0x3001), QLatin1Char(',')); // 、
    // No thousands commas: "0:200,600:300" must not read as one band of 200,600 yen.
    QList<LevyBand> bands;
    static const QRegularExpression band(QStringLiteral(R"(^\s*(\d{1,9})\s*:\s*(\d{1,9})\s*$)"));
    for (const QString& part : plain.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const auto match = band.match(part);
        if (!match.hasMatch()) {
            if (refusal)
                *refusal = shape;
            return std::nullopt;
        }
        bands.append({match.captured(1).toInt(), match.captured(2).toInt()});
    }
    if (bands.isEmpty()) {
        if (refusal)
            *refusal = shape;
        return std::nullopt;
    }
    std::stable_sort(bands.begin(), bands.end(),
                     [](const LevyBand& a, const LevyBand& b) { return a.lowerBound < b.lowerBound; });
    for (qsizetype i = 1; i < bands.size(); ++i) {
        if (bands[i].lowerBound == bands[i - 1].lowerBound) {
            if (refusal)
                *refusal = QStringLiteral("段階の下限 %1 円が二つあります。").arg(bands[i].lowerBound);
            return std::nullopt;
        }
    }
    return bands;
}

LevyTable::LevyTable(QList<LevyRule> rules)
    : m_rules(std::move(rules)) {
    std::stable_sort(m_rules.begin(), m_rules.end(), [](const LevyRule& a, const LevyRule& b) {
        return int(a.kind) != int(b.kind) ? int(a.kind) < int(b.kind) : a.effective < b.effective;
    });
}

std::optional<LevyRule> LevyTable::inForce(LevyKind kind, const QDate& day) const {
    std::optional<LevyRule> found;
    for (const LevyRule& rule : m_rules) {
        if (rule.kind == kind && rule.effective <= day)
            found = rule;
    }
    return found;
}

QList<std::pair<QDate, QDate>> LevyTable::periodsChangedBy(LevyKind kind, const LevyTable& other) const {
    QList<QDate> days;
    for (const LevyTable* table : {this, &other}) {
        for (const LevyRule& rule : table->m_rules) {
            if (rule.kind == kind)
                days << rule.effective;
        }
    }
    return changedPeriods(days, [&](const QDate& day) { return inForce(kind, day) == other.inForce(kind, day); });
}

QString levyRefusal(const LevyTable& table) {
    const QList<LevyRule>& rules = table.rules();
    const auto which = [](const LevyRule& rule) {
        return QStringLiteral("%1 からの%2")
            .arg(rule.effective.toString(QStringLiteral("yyyy/MM/dd")), levyKindName(rule.kind));
    };
    for (qsizetype i = 0; i < rules.size(); ++i) {
        if (!rules[i].effective.isValid())
            return QStringLiteral("%1の適用開始日を入力してください。").arg(levyKindName(rules[i].kind));
        if (i > 0 && rules[i - 1].kind == rules[i].kind && rules[i - 1].effective == rules[i].effective)
            return which(rules[i]) + QStringLiteral("が二つあります。");
    }
    for (const LevyRule& rule : rules) {
        if (rule.exemptBelow < 0)
            return which(rule) + QStringLiteral("の免税点は 0 円以上で入力してください。");
        switch (rule.method) {
        case LevyMethod::Fixed:
            if (rule.amount <= 0 || rule.amount != std::floor(rule.amount) || rule.amount > 100000)
                return which(rule) + QStringLiteral("の金額は 1 円から 100,000 円までの整数で入力してください。");
            break;
        case LevyMethod::Percent:
            if (rule.amount <= 0 || rule.amount >= 100)
                return which(rule) + QStringLiteral("の税率は 0 より大きく 100 未満（%）で入力してください。");
            break;
        case LevyMethod::Bands:
            if (rule.bands.isEmpty())
                return which(rule) + QStringLiteral("の段階を入力してください（例: 0:200, 6000:400）。");
            for (const LevyBand& band : rule.bands) {
                if (band.lowerBound < 0 || band.yen < 0 || band.yen > 100000)
                    return which(rule) + QStringLiteral("の段階の金額は 0 円から 100,000 円までで入力してください。");
            }
            break;
        case LevyMethod::None:
            break;
        }
    }
    return {};
}

qint32 stayNights(const QDate& checkIn, const QDate& settled) {
    if (!checkIn.isValid() || !settled.isValid())
        return 1;
    return static_cast<qint32>(std::max<qint64>(1, checkIn.daysTo(settled)));
}

double roomChargeOf(double subTotal, double serviceRate, double roomShare) {
    return (subTotal + subTotal * serviceRate / 100) * roomShare / 100;
}

qint32 pricePerGuestNight(double roomCharge, qint32 guests, qint32 nights) {
    if (guests <= 0)
        return 0;
    const double price = roomCharge / (double(guests) * std::max(1, nights));
    // Decided on the amount as written, to the millionth of a yen, as the tax is.
    return desk::convert::toInt32(std::floor(std::round(price * 1e6) / 1e6));
}

QString LevyCharge::billText() const {
    return QStringLiteral("%1 %2円×%3名×%4泊")
        .arg(title, desk::convert::formatValue(perGuestNight, QStringLiteral("#,##0")))
        .arg(taxedGuests())
        .arg(nights);
}

QList<LevyCharge> levyCharges(const LevyTable& table, const QDate& settled, const LevyStay& stay) {
    QList<LevyCharge> charges;
    if (!stay.lodged)
        return charges;
    const qint32 price = pricePerGuestNight(stay.roomCharge, stay.guests, stay.nights);
    const auto levied = [&](LevyKind kind) {
        const std::optional<LevyRule> rule = table.inForce(kind, settled);
        return rule && rule->method != LevyMethod::None ? rule : std::nullopt;
    };
    const bool stacked = levied(LevyKind::LodgingPrefecture) && levied(LevyKind::LodgingMunicipality);
    for (int k = 0; k < LevyKindCount; ++k) {
        const LevyKind kind = levyKindOf(k);
        const std::optional<LevyRule> rule = levied(kind);
        if (!rule)
            continue;
        LevyCharge charge;
        charge.kind = kind;
        charge.title = kind == LevyKind::Bathing || stacked ? levyKindName(kind) : QStringLiteral("宿泊税");
        charge.price = price;
        charge.guests = std::max(0, stay.guests);
        const qint32 exempt = kind == LevyKind::Bathing ? stay.bathExempt : stay.lodgingExempt;
        charge.exempt = std::clamp(exempt, 0, charge.guests);
        charge.nights = std::max(1, stay.nights);
        if (price >= rule->exemptBelow) {
            switch (rule->method) {
            case LevyMethod::Fixed:
                charge.perGuestNight = desk::convert::toInt32(rule->amount);
                break;
            case LevyMethod::Percent:
                // Whole yen per guest-night, fractions dropped.
                charge.perGuestNight =
                    desk::convert::toInt32(std::floor(std::round(price * rule->amount / 100 * 1e6) / 1e6));
                break;
            case LevyMethod::Bands:
                for (const LevyBand& band : rule->bands) {
                    if (band.lowerBound <= price) {
                        charge.band = band.lowerBound;
                        charge.perGuestNight = band.yen;
                    }
                }
                break;
            case LevyMethod::None:
                break;
            }
        }
        charge.amount = desk::convert::toInt32(double(charge.perGuestNight) * charge.taxedGuests() * charge.nights);
        charges << charge;
    }
    return charges;
}

} // namespace taxsvc
