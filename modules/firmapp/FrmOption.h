#pragma once

#include "entry/ModuleContext.h"

#include <QWidget>

#include <memory>
#include <optional>

class QTableWidget;

namespace Ui {
class FrmOption;
}

namespace taxsvc {
class LevyTable;
class RateTable;
} // namespace taxsvc

namespace firmapp {

// "初期登録": the inn's profile, the single row of CompanyProfile, in eight boxes, and the
// inn's tax settings: the consumption-tax rates by effective date, the service charge, the
// rounding of a bill's tax and the invoice registration number, and the bathing and
// accommodation taxes by effective date. One 編集 saves them all in
// one transaction; closing with changes not saved asks first. Loading reads the profile; a data directory whose profile
// cannot be read fails the load (the error goes back to the caller of ShowForm).
class FrmOption : public QWidget {
    Q_OBJECT

public:
    explicit FrmOption(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmOption() override;

protected:
    // Asks before typed changes that were not saved are thrown away.
    void closeEvent(QCloseEvent* event) override;

private:
    void load();
    void loadTaxSettings();
    void CmdEdit_Click();
    void cmdAddRate_Click();
    void cmdRemoveRate_Click();
    void cmdAddLevy_Click();
    void cmdRemoveLevy_Click();
    void removeCurrentRow(QTableWidget* grid);

    // The rate rows as typed (rows left wholly empty are skipped); nothing after telling
    // the clerk what is wrong, with the cell at fault current.
    std::optional<taxsvc::RateTable> typedRates();
    // The levy rows as typed, in the same way.
    std::optional<taxsvc::LevyTable> typedLevies();
    // Tells the clerk text and puts the focus on target.
    void refuse(const QString& text, QWidget* target);

    std::unique_ptr<Ui::FrmOption> m_ui;
    desk::ModuleContext& m_context;
    // The number as stored: only a new number whose check digit fails is asked about.
    QString m_savedInvoiceNo;
    // Something typed, chosen, added or removed since the stored values were shown.
    bool m_changed = false;
};

} // namespace firmapp
