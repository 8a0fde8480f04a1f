#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace tallysvc {

// The meals of one day: dinners on its evening (the guests who sleep there that night),
// breakfasts on its morning (the guests who slept there the night before), adults and
// children apart.
struct MealCount {
    int dinnerAdults = 0;
    int dinnerChildren = 0;
    int breakfastAdults = 0;
    int breakfastChildren = 0;

    int dinners() const { return dinnerAdults + dinnerChildren; }
    int breakfasts() const { return breakfastAdults + breakfastChildren; }
    MealCount& operator+=(const MealCount& other);
    bool operator==(const MealCount& other) const = default;
};

// What happened to a party since the sheet of its day was last printed.
enum class MealChange { None, Added, Changed, Cancelled };
QString mealChangeText(MealChange change); // "", "追加", "変更", "取消"

// One party of the day: a reservation not yet checked in, or a check-in (in the house, or
// checked out for a past day). A party that the last print listed and the day no longer
// holds is kept as Cancelled, with the guests and plans printed and no meals.
struct MealParty {
    QString key; // "R" and the reservation number, or "C" and a walk-in's check-in number
    int reservationNo = 0;
    QString checkInNo; // empty before check-in
    bool checkedOut = false;
    QString name;
    QString rooms; // the room codes of the night ("201・202"), empty when unassigned
    int guests = 0;
    int children = 0;
    QString plan; // commodity codes
    QString childPlan;
    QString planName; // the commodity's name, the code when it is no commodity
    QString childPlanName;
    QDate arrival;
    int nights = 0;
    MealCount meals;
    QString note; // 食事の注意
    MealChange change = MealChange::None;
};

// The meals one plan (a commodity) gives on the day: the adults booked on it, and the
// children on it (their own plan, or the adults' when the party has none for them).
struct MealPlanCount {
    QString code;
    QString name;
    MealCount meals;
};

// Meals rung up on the day's slips as commodities of their own (no stay: CRoomShare 0) that
// say which meal they are: counted by commodity on the slip's day, adults and children
// together (a slip does not tell them apart).
struct ExtraMeal {
    QString code;
    QString name;
    int dinners = 0;
    int breakfasts = 0;
};

struct MealDay {
    QDate day;
    MealCount total;            // the plans' meals; the extras are apart
    QList<MealPlanCount> plans; // by commodity code
    QList<MealParty> parties;   // by room (sort order of the rooms), unassigned last
    QList<ExtraMeal> extras;    // by commodity code
    QDateTime printedAt;        // invalid: never printed
    // For a day before today: each stay with a meal on the day that was settled, its plan
    // lines on its slips compared with the guest-nights of its plans. The texts of the
    // stays that disagree; how many agree; how many are not settled yet.
    bool reconciled = false; // true when the check below was made (past days only)
    QStringList mismatches;
    int settledMatching = 0;
    int unsettled = 0;
};

// The kitchen's meal counts (食数表) of the inn in dirPath, read from the reservations not
// yet checked in (arriving today or later: one whose day has passed did not come), the
// check-ins, the stay plans' meals (CMealDinner / CMealBreakfast), the rooms of the stays
// and the sheet as last printed. Every call opens its own connections; desk::DbError on a
// failed read or write.
class MealSheet {
public:
    explicit MealSheet(QString dirPath, QDate today = QDate::currentDate());

    MealDay day(const QDate& day) const;

    // Keeps the sheet of the day as printed now (its parties, guests and plans), replacing
    // the print before: the next sheet marks what changed since. One transaction.
    void recordPrint(const MealDay& printed, const QDateTime& at = QDateTime::currentDateTime()) const;

    // The lines of the printed sheet and of its CSV, one per row, for the days given: the
    // totals, the plans, the parties with their notes, the extras and the check of a past day.
    struct Line {
        QString day;     // "12/08(火)"
        QString section; // 合計, プラン, 部屋, 追加, 照合
        QString room;
        QString name;
        QString plan;
        QString dinnerAdults;
        QString dinnerChildren;
        QString breakfastAdults;
        QString breakfastChildren;
        QString change;
        QString note;
    };
    static QList<Line> lines(const QList<MealDay>& days);
    // The headings of the line's fields in their order, as the sheet, its CSV and the
    // statement below name them.
    static QStringList headings();
    static QStringList fields(const Line& line);
    // The lines as literal rows of a statement (columns named by headings(), in order), for
    // the printed sheet; every text is bound once.
    static QString statement(const QList<Line>& lines);

private:
    QString m_dirPath;
    QDate m_today;
};

} // namespace tallysvc
