#pragma once

#include "entry/ModuleContext.h"

#include <QWidget>

#include <memory>

class QChartView;

namespace Ui {
class FrmSyukei;
}

namespace desk {
class QueryGridModel;
}

namespace tallysvc {
class TallyResult;
}

namespace tallyapp {

using tallysvc::TallyResult;

// "集計データ": the period and the result of the last run, as a grid and as a chart; prints
// the kind's report and writes the result as CSV for the accountant.
class FrmSyukei : public QWidget {
    Q_OBJECT

public:
    explicit FrmSyukei(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmSyukei() override;

    // Shows a new result: period, grid in the kind's layout, chart.
    void showResult(std::shared_ptr<TallyResult> result);

    const desk::QueryGridModel& model() const { return *m_model; }
    QChartView* chartView() const { return m_chartView; }
    int kind() const;

private:
    void CmdPrint_Click();
    void CmdCsv_Click();
    void CmdChartPrint_Click();
    void CmdChartSave_Click();
    void fitColumns();

    std::unique_ptr<Ui::FrmSyukei> m_ui;
    desk::ModuleContext& m_context;
    desk::QueryGridModel* m_model = nullptr;
    QChartView* m_chartView = nullptr;
    std::shared_ptr<TallyResult> m_result;
};

} // namespace tallyapp
