#pragma once

#include "report/CodeTableReport.h"

namespace goodsapp {

// "商品コード一覧票": every commodity with its standard price, class name, tax class and
// service charge mark, from the saved query CodeTable in code order, under the inn's
// profile. Opens its own row set, so each showing lists the commodities as they stand.
class DRSyohin : public desk::CodeTableReport {
    Q_OBJECT

public:
    DRSyohin(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent = nullptr);
};

} // namespace goodsapp
