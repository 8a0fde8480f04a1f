#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace bookingsvc {

// A stay plan: a commodity of the accommodation class (宿泊) or one that carries a room
// share, priced per guest and night at its standard price.
struct StayPlan {
    QString code;
    QString name;
    qint32 price = 0;

    bool operator==(const StayPlan&) const = default;
};

// How a plan box shows its plan: the name and the price per guest and night, as the sales
// window shows a commodity ("宿泊料金（1泊2食）　@12,000").
QString planText(const StayPlan& plan);

// The plan of `code` among `plans` (codes compared as the key does), or nothing.
std::optional<StayPlan> planIn(const QList<StayPlan>& plans, const QString& code);
// What a plan box's label shows for the typed code: nothing for no code, the plan's text,
// or that no plan has the code.
QString planLabel(const QList<StayPlan>& plans, const QString& code);
// The message refusing a typed code that names no plan.
QString unknownPlan(const QString& code);

// The stay's counts as the clerk typed them: the first rule broken, in the clerk's words, or
// empty. Nights run from 1 to 365; the children are some of the guests.
QString stayRefusal(int nights, int guests, int children);

// The plans of one data directory (BTSales.mdb), read afresh by each call. Failures are
// thrown (desk::DbError).
class StayPlans {
public:
    explicit StayPlans(QString dirPath);

    // The plan of the code (ASCII letters case-blind), or nothing when no commodity of the
    // accommodation class has it.
    std::optional<StayPlan> find(const QString& code) const;
    // Every plan, in code order.
    QList<StayPlan> all() const;

private:
    QList<StayPlan> select(const QString& condition, const QVariantList& binds) const;

    QString m_dirPath;
};

} // namespace bookingsvc
