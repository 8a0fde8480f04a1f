#include "CommodityClasses.h"

#include "data/Connection.h"

using namespace Qt::StringLiterals;

namespace goodsclasssvc {

desk::CodeTableDef commodityClassTable() {
    return {desk::DbFile::Sales, u"CommodityClasify"_s, u"商品区分"_s, {{u"CClassCode"_s}, {u"CClassName"_s}}};
}

desk::CodeTable commodityClasses(const QString& dirPath) {
    return desk::CodeTable(commodityClassTable(), dirPath);
}

} // namespace goodsclasssvc
