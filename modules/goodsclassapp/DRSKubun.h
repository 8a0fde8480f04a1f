#pragma once

#include "report/CodeTableReport.h"

namespace goodsclassapp {

// "商品区分一覧票": every commodity class in table order, under the inn's profile (its
// numbers without "TEL"/"FAX", the web address before the e-mail address) and the date
// of printing. Opens its own row set, so each showing lists the classes as they stand.
class DRSKubun : public desk::CodeTableReport {
    Q_OBJECT

public:
    DRSKubun(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent = nullptr);
};

} // namespace goodsclassapp
