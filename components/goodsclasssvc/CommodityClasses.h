#pragma once

#include "codelist/CodeTable.h"

namespace goodsclasssvc {

// The commodity classes (CommodityClasify in BTSales.mdb) as a code table: code and name.
desk::CodeTableDef commodityClassTable();
desk::CodeTable commodityClasses(const QString& dirPath);

} // namespace goodsclasssvc
