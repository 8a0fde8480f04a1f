#pragma once

#include "entry/ModuleContext.h"
#include "tallysvc/MealSheet.h"

#include <QWidget>

#include <memory>

class QTableWidget;

namespace Ui {
class FrmMeals;
}

namespace tallyapp {

// "食数表": the kitchen's meal counts of a day and the next, side by side (today and
// tomorrow when it opens); a new day typed counts again. Prints the two days (which
// becomes the print the next marks of changes are made against) and writes them as CSV.
class FrmMeals : public QWidget {
    Q_OBJECT

public:
    explicit FrmMeals(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmMeals() override;

    const QList<tallysvc::MealDay>& days() const { return m_days; }

private:
    void showDays(const QDate& first);
    void fillGrid(QTableWidget* grid, const tallysvc::MealDay& day);
    void DateTextBox1_Change();
    void CmdPrint_Click();
    void CmdCsv_Click();

    std::unique_ptr<Ui::FrmMeals> m_ui;
    desk::ModuleContext& m_context;
    QList<tallysvc::MealDay> m_days;
};

} // namespace tallyapp
