#pragma once

#include "entry/ModuleContext.h"

#include <QWidget>

#include <memory>

namespace Ui {
class FrmOption;
}

namespace firmapp {

// "初期登録": the inn's profile, the single row of CompanyProfile, in eight boxes.
// Loading reads the profile; a data directory whose profile cannot be read fails the
// load (the error goes back to the caller of ShowForm).
class FrmOption : public QWidget {
    Q_OBJECT

public:
    explicit FrmOption(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmOption() override;

private:
    void load();
    void CmdEdit_Click();

    std::unique_ptr<Ui::FrmOption> m_ui;
    desk::ModuleContext& m_context;
};

} // namespace firmapp
