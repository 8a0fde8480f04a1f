#pragma once

#include "convert/CompanyProfile.h"
#include "report/ReportPreview.h"

#include <QDate>
#include <QDialog>
#include <QPointer>

#include <memory>
#include <optional>
#include <utility>

namespace Ui {
class FrmMeibo;
}

namespace deskmain {

// "宿泊者名簿": the period of check-in dates (this month when opened) and the register of
// its guests, to the preview (print, PDF) or to a CSV file.
class FrmMeibo : public QDialog {
    Q_OBJECT

public:
    FrmMeibo(const QString& dataDir, const desk::CompanyProfile& profile, QWidget* parent = nullptr);
    ~FrmMeibo() override;

    // The preview last opened from here, while it is open.
    desk::ReportPreview* preview() const { return m_preview; }

private:
    // The two typed days, or a refusal shown and nothing.
    std::optional<std::pair<QDate, QDate>> period();
    void CmdPreview_Click();
    void CmdCsv_Click();

    std::unique_ptr<Ui::FrmMeibo> m_ui;
    QString m_dataDir;
    desk::CompanyProfile m_profile;
    QPointer<desk::ReportPreview> m_preview;
};

} // namespace deskmain
