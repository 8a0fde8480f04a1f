#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The bathing tax and the accommodation tax as the inn's bills work them out: per guest and
// night, outside the consumption tax. Pure rules; the settings are read by TaxSettings.
namespace taxsvc {

// The levies an inn may collect (LevyRules.LevyKind): the accommodation tax may be stacked,
// one of the prefecture and one of the municipality.
enum class LevyKind { Bathing = 0, LodgingPrefecture = 1, LodgingMunicipality = 2 };
inline constexpr int LevyKindCount = 3;
// How a levy is worked out per guest-night (LevyRules.Method).
enum class LevyMethod { None = 0, Fixed = 1, Bands = 2, Percent = 3 };
inline constexpr int LevyMethodCount = 4;

// Unknown stored values read as the first choice.
LevyKind levyKindOf(int stored);
LevyMethod levyMethodOf(int stored);
// "入湯税", "宿泊税（都道府県）", "宿泊税（市町村）".
QString levyKindName(LevyKind kind);
// "課さない", "定額", "段階", "定率".
QString levyMethodName(LevyMethod method);
// The kind or method of a name above; none for any other text.
std::optional<LevyKind> levyKindNamed(const QString& name);
std::optional<LevyMethod> levyMethodNamed(const QString& name);

// From this price per guest-night on, this many yen per guest-night.
struct LevyBand {
    qint32 lowerBound = 0;
    qint32 yen = 0;
    bool operator==(const LevyBand&) const = default;
};

// One levy's rule from a day on (a row of LevyRules with its bands).
struct LevyRule {
    LevyKind kind = LevyKind::Bathing;
    QDate effective;
    LevyMethod method = LevyMethod::None;
    double amount = 0;      // yen per guest-night (Fixed) or percent of the price (Percent)
    qint32 exemptBelow = 0; // a price per guest-night below this is not taxed
    QList<LevyBand> bands;  // lowest bound first (Bands)
    bool operator==(const LevyRule&) const = default;
};

// Bands as the settings window shows them: "0:200, 6000:400".
QString bandsText(const QList<LevyBand>& bands);
// Bands typed in that form (full-width digits, "：" and "、" taken too; no thousands
// commas), sorted; none with the reason in `refusal` when they cannot be read.
std::optional<QList<LevyBand>> typedBands(const QString& text, QString* refusal);

// Every levy's rules by effective date.
class LevyTable {
public:
    LevyTable() = default;
    // Kept by kind, then date, oldest first.
    explicit LevyTable(QList<LevyRule> rules);

    const QList<LevyRule>& rules() const { return m_rules; }
    // The kind's rule in force on a day: its last rule effective on or before it.
    std::optional<LevyRule> inForce(LevyKind kind, const QDate& day) const;
    // The periods [from, until) in which the other table puts another rule of the kind in
    // force (until is null for "from then on"), oldest first.
    QList<std::pair<QDate, QDate>> periodsChangedBy(LevyKind kind, const LevyTable& other) const;

private:
    QList<LevyRule> m_rules;
};

// Why the rules cannot be saved, in the clerk's words; empty when they can.
QString levyRefusal(const LevyTable& table);

// Nights of a stay settled on `settled`: the days since check-in, at least 1.
qint32 stayNights(const QDate& checkIn, const QDate& settled);
// The room part of one accommodation line: its room share of the subtotal and of the
// line's service charge.
double roomChargeOf(double subTotal, double serviceRate, double roomShare);
// The price per guest-night of a stay, in whole yen below (fractions of a yen never lift a
// stay into a higher band); 0 for no guest.
qint32 pricePerGuestNight(double roomCharge, qint32 guests, qint32 nights);

// What the levies read of a stay.
struct LevyStay {
    bool lodged = false;      // has an accommodation line (room share above 0)
    double roomCharge = 0;    // the room parts of its accommodation lines
    qint32 guests = 0;        // the party
    qint32 bathExempt = 0;    // guests exempt from the bathing tax
    qint32 lodgingExempt = 0; // guests exempt from the accommodation tax
    qint32 nights = 1;
};

// One levy on a stay.
struct LevyCharge {
    LevyKind kind = LevyKind::Bathing;
    QString title;     // "入湯税", "宿泊税" (with its level when two are stacked)
    qint32 price = 0;  // per guest-night
    qint32 guests = 0; // the party
    qint32 exempt = 0; // of them not taxed
    qint32 nights = 0;
    qint32 perGuestNight = 0;   // yen; 0 when the price is below the exempt point or every band
    std::optional<qint32> band; // the lower bound of the band applied (Bands)
    qint32 amount = 0;          // perGuestNight × taxed guests × nights

    qint32 taxedGuests() const { return guests - exempt; }
    // "入湯税 150円×2名×1泊", as the bill prints it.
    QString billText() const;
};

// The levies on a stay settled on a day, in kind order: one for every levy whose rule in
// force on that day levies something, amounts of 0 included (the worksheet counts those
// guests). A stay without an accommodation line bears none. Amounts beyond 32 bits raise
// desk::ConversionError.
QList<LevyCharge> levyCharges(const LevyTable& table, const QDate& settled, const LevyStay& stay);

} // namespace taxsvc
