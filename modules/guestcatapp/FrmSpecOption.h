#pragma once

#include "entry/ModuleContext.h"

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace Ui {
class FrmSpecOption;
}

namespace guestcatsvc {
class OptionDataClass;
}

namespace guestcatapp {

// "選択項目のメインテナンス": the five guest classification lists, one tab each (the tab
// number is the list's kind number). An entry chosen in a list shows its code and name;
// the name can be corrected, an entry added under a new two-character code, or deleted
// while no check-in uses its code. Every action works on the current tab only.
class FrmSpecOption : public QWidget {
    Q_OBJECT

public:
    explicit FrmSpecOption(desk::ModuleContext& context, QWidget* parent = nullptr);
    ~FrmSpecOption() override;

private:
    struct Tab {
        QListWidget* list;
        QLineEdit* name;
        QLabel* code;
    };

    void CmdRecorde_Click();
    void CmdCall_Click();
    void CmdEdit_Click();
    void CmdDelete_Click();
    void CmdClear_Click();

    std::unique_ptr<guestcatsvc::OptionDataClass> connectedStore() const;
    void fillList(int kind);
    void selectEntry(int kind);
    void clearTab(int kind);
    int currentKind() const;
    void refuse(const QString& text);
    void showMessage(const QString& text);

    std::unique_ptr<Ui::FrmSpecOption> m_ui;
    desk::ModuleContext& m_context;
    std::array<Tab, 5> m_tabs{};
    // The code chosen in each tab; empty until an entry is chosen after the list was filled.
    std::array<QString, 5> m_label1;
    bool m_filling = false;
};

} // namespace guestcatapp
