#pragma once

#include "report/CodeTableReport.h"

namespace payclassapp {

// "入金区分一覧票": every payment class under the inn's profile, from the table
// ReciptClass. No page number.
class DataReport1 : public desk::CodeTableReport {
    Q_OBJECT

public:
    DataReport1(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent = nullptr);
};

} // namespace payclassapp
