#pragma once

#include "report/CodeTableReport.h"

namespace payitemapp {

// "入金コード一覧票": every payment item with its remarks and the name of its class, under
// the inn's profile, from the saved query QRYRptCodeTbl.
class DRRptName : public desk::CodeTableReport {
    Q_OBJECT

public:
    DRRptName(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent = nullptr);
};

} // namespace payitemapp
