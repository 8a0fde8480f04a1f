#pragma once

#include "report/Report.h"

#include <QTemporaryDir>

// A sales-slip style sample over rows it makes up itself, using every kind of control:
// for looking at fonts, formats and page breaks without a data directory.
class DemoReport : public desk::Report {
    Q_OBJECT

public:
    explicit DemoReport(int rows, QObject* parent = nullptr);
    ~DemoReport() override;

private:
    QTemporaryDir m_dir;
};
