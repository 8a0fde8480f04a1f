#include "Commodities.h"

#include "ComodityInn.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Sql.h"
#include "taxsvc/TaxRules.h"

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace goodssvc {

namespace {

std::unique_ptr<ComodityInn> connected(const QString& dirPath) {
    auto store = std::make_unique<ComodityInn>();
    store->setDirPath(dirPath);
    store->CntDb();
    return store;
}

void setProperties(ComodityInn& store, const Commodity& c) {
    store.setMdCode(c.code);
    store.setMname(c.name);
    store.setMclasify(c.classCode);
    store.setMunite(c.unit);
    store.setMremarks(c.remarks);
    store.setMprice0(c.price);
    store.setMtaxClass(c.taxClass);
    store.setMservice(c.service);
    store.setMroomShare(c.roomShare);
    store.setMmealDinner(c.dinner);
    store.setMmealBreakfast(c.breakfast);
}

} // namespace

std::optional<int> roomShareOf(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return 0;
    const std::optional<double> share = desk::convert::typedNumber(text);
    if (!share || *share < 0 || *share > 100 || *share != std::floor(*share))
        return std::nullopt;
    return static_cast<int>(*share);
}

Commodities::Commodities(QString dirPath)
    : m_dirPath(std::move(dirPath)) {}

std::optional<Commodity> Commodities::find(const QString& code) const {
    const auto store = connected(m_dirPath);
    store->setMdCode(code);
    store->EDsearch();
    // The bookmark is set only by a hit, so a commodity whose code is "X" is found too.
    if (store->MbookMark().isEmpty())
        return std::nullopt;
    return Commodity{store->MdCode(),     store->Mname(),       store->Mclasify(),      store->Munite(),
                     store->Mremarks(),   store->Mprice0(),     store->MtaxClass(),     store->Mservice(),
                     store->MroomShare(), store->MmealDinner(), store->MmealBreakfast()};
}

bool Commodities::isTaken(const QString& code) const {
    return connected(m_dirPath)->hasCode(code);
}

Commodities::Write Commodities::add(const Commodity& commodity) const {
    const auto store = connected(m_dirPath);
    desk::Transaction transaction(store->connection());
    if (store->hasCode(commodity.code))
        return Write::Taken;
    setProperties(*store, commodity);
    store->Msave();
    transaction.commit();
    return Write::Written;
}

Commodities::Write Commodities::correct(const QString& calledCode, const Commodity& commodity) const {
    const auto store = connected(m_dirPath);
    desk::Transaction transaction(store->connection());
    // Asked of a store of its own: the look-up searches forward and would leave the writing
    // store past the row it is to correct. The open transaction holds the write lock, so
    // what it reads stays true until the commit.
    if (!desk::convert::sameCode(commodity.code, calledCode) && connected(m_dirPath)->hasCode(commodity.code))
        return Write::Taken;
    setProperties(*store, commodity);
    store->setMdCode2(calledCode);
    store->Medit();
    transaction.commit();
    return Write::Written;
}

void Commodities::remove(const QString& code) const {
    const auto store = connected(m_dirPath);
    store->setMdCode2(code);
    store->Mdelete();
}

QString Commodities::listStatement() {
    QString taxClass = u"CASE m.CTaxClass"_s;
    for (const auto c : {taxsvc::TaxClass::Reduced, taxsvc::TaxClass::Exempt})
        taxClass += u" WHEN %1 THEN %2"_s.arg(static_cast<int>(c)).arg(desk::Sql::quote(taxsvc::taxClassName(c)));
    taxClass += u" ELSE %1 END"_s.arg(desk::Sql::quote(taxsvc::taxClassName(taxsvc::TaxClass::Standard)));
    return u"SELECT c.*, %1 AS CTaxClassName, CASE WHEN m.CService <> 0 THEN '○' ELSE '' END AS CServiceMark "
           "FROM CodeTable c LEFT JOIN Commodities m ON m.Ccode = c.Ccode ORDER BY c.Ccode"_s.arg(taxClass);
}

} // namespace goodssvc
