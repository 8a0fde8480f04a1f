#include "StayPlan.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"

#include <QVariant>

#include <algorithm>

namespace bookingsvc {

QString planText(const StayPlan& plan) {
    return plan.name + QStringLiteral("　@") + desk::convert::formatNumber(plan.price);
}

std::optional<StayPlan> planIn(const QList<StayPlan>& plans, const QString& code) {
    const QString key = code.trimmed();
    for (const StayPlan& plan : plans) {
        if (desk::convert::sameCode(plan.code, key))
            return plan;
    }
    return std::nullopt;
}

QString planLabel(const QList<StayPlan>& plans, const QString& code) {
    if (code.trimmed().isEmpty())
        return {};
    const std::optional<StayPlan> plan = planIn(plans, code);
    return plan ? planText(*plan) : QStringLiteral("（宿泊プランにないコードです）");
}

QString unknownPlan(const QString& code) {
    return QStringLiteral("「%1」は宿泊プランの商品コードではありません。").arg(code.trimmed());
}

QString stayRefusal(int nights, int guests, int children) {
    if (nights < 1 || nights > 365)
        return QStringLiteral("泊数は 1 から 365 までで入力してください。");
    if (children < 0 || children > std::max(guests, 0))
        return QStringLiteral("小人の人数 %1 人は、人数 %2 人を超えられません。").arg(children).arg(guests);
    return {};
}

StayPlans::StayPlans(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

QList<StayPlan> StayPlans::select(const QString& condition, const QVariantList& binds) const {
    // The accommodation class is told by its name; an inn that keeps its stays elsewhere
    // still finds every commodity that carries a room share.
    const QString statement =
        QStringLiteral("SELECT c.Ccode AS Ccode, c.cname AS cname, p.CMprice0 AS CMprice0 FROM Commodities c "
                       "LEFT JOIN CmPrice p ON p.Ccode = c.Ccode "
                       "LEFT JOIN CommodityClasify k ON k.CClassCode = c.Cclasify "
                       "WHERE (c.CRoomShare > 0 OR k.CClassName LIKE '%宿泊%')") +
        condition + QStringLiteral(" ORDER BY c.Ccode");
    desk::RowSet rows(desk::Connection::open(m_dirPath, QLatin1String(desk::DbFile::Sales)), statement, binds);
    QList<StayPlan> found;
    for (; !rows.eof(); rows.moveNext()) {
        found.append({desk::convert::textOf(rows.value(QStringLiteral("Ccode"))),
                      desk::convert::textOf(rows.value(QStringLiteral("cname"))),
                      desk::convert::int32Of(rows.value(QStringLiteral("CMprice0")))});
    }
    return found;
}

std::optional<StayPlan> StayPlans::find(const QString& code) const {
    if (code.trimmed().isEmpty())
        return std::nullopt;
    const QList<StayPlan> found = select(QStringLiteral(" AND c.Ccode = ?"), {code.trimmed()});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

QList<StayPlan> StayPlans::all() const {
    return select({}, {});
}

} // namespace bookingsvc
