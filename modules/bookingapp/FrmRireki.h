#pragma once

#include "arrivalsvc/StaySearch.h"
#include "entry/ModuleContext.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QButtonGroup;
class QLabel;

namespace Ui {
class FrmRireki;
}

namespace bookingapp {

// "お客さま履歴検索": a guest's earlier stays, found by name or by telephone number and
// optionally limited to a period of check-in dates. The condition of the last search
// stays with the window for its printout, also after the list was cleared.
class FrmRireki : public QMainWindow {
    Q_OBJECT

public:
    enum SearchBy { ByName = 0, ByTelNo = 1 };

    explicit FrmRireki(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmRireki() override;

    // Filled in by the reservation screen before it shows the window.
    void setSearchTexts(const QString& name, const QString& telNo);
    void setSearchBy(SearchBy option);
    SearchBy searchBy() const;

    // The condition of the last search; empty until one has run.
    QString searchCondition() const { return m_search ? m_search->condition() : QString(); }

private:
    void CmdSearch_Click();
    void CmdClear_Click();
    void CmdPrint_Click();
    // The search for the boxes as they stand; a period date that cannot be formed is a
    // desk::ConversionError.
    arrivalsvc::StaySearch typedSearch() const;
    void setStatusText(const QString& text);

    std::unique_ptr<Ui::FrmRireki> m_ui;
    desk::ModuleContext& m_context;
    QButtonGroup* m_option1 = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    std::optional<arrivalsvc::StaySearch> m_search;
};

} // namespace bookingapp
