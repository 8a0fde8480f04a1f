#pragma once

#include "report/ColumnReport.h"

namespace payitemapp {

// "入金コード一覧票": every payment item with its remarks and the name of its class, under
// the inn's profile. Opens its own row set on the saved query QRYRptCodeTbl.
class DRRptName : public desk::ColumnReport {
    Q_OBJECT

public:
    DRRptName(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent = nullptr);
};

} // namespace payitemapp
