#pragma once

#include "report/ColumnReport.h"

namespace payclassapp {

// "入金区分一覧票": every payment class under the inn's profile, from its own row set on
// the table ReciptClass. No page number.
class DataReport1 : public desk::ColumnReport {
    Q_OBJECT

public:
    DataReport1(const QString& dirPath, const desk::CompanyProfile& profile, QObject* parent = nullptr);
};

} // namespace payclassapp
