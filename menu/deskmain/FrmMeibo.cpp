#include "FrmMeibo.h"

#include "ui_FrmMeibo.h"

#include "DRMeibo.h"
#include "GuestRegisterCsv.h"

#include "arrivalsvc/CheckInClass.h"
#include "calfield/DateTextBox.h"
#include "convert/Csv.h"
#include "data/RowSet.h"
#include "report/ReportPreview.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/CsvFile.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"

#include <QDir>

namespace deskmain {

FrmMeibo::FrmMeibo(const QString& dataDir, const desk::CompanyProfile& profile, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::FrmMeibo>())
    , m_dataDir(dataDir)
    , m_profile(profile) {
    m_ui->setupUi(this);
    const QDate today = QDate::currentDate();
    m_ui->DateTextBox1->showDay(QDate(today.year(), today.month(), 1));
    m_ui->DateTextBox2->showDay(QDate(today.year(), today.month(), today.daysInMonth()));
    calfield::DateTextBox::setLeaveOnly(m_ui->CmdEnd);
    desk::onClicked(m_ui->CmdPreview, this, &FrmMeibo::CmdPreview_Click);
    desk::onClicked(m_ui->CmdCsv, this, &FrmMeibo::CmdCsv_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QDialog::reject);
    desk::closeOnEscape(this, m_ui->CmdEnd);
    m_ui->DateTextBox1->setFocus();
}

FrmMeibo::~FrmMeibo() = default;

std::optional<std::pair<QDate, QDate>> FrmMeibo::period() {
    const std::optional<QDate> first = m_ui->DateTextBox1->typedDay();
    const std::optional<QDate> last = m_ui->DateTextBox2->typedDay();
    if (!first || !last) {
        desk::refuseDate(this);
        (first ? m_ui->DateTextBox2 : m_ui->DateTextBox1)->setFocus();
        return std::nullopt;
    }
    if (*last < *first) {
        desk::dialogs().message(this, QStringLiteral("期間の終わりが始まりより前です。"), QStringLiteral("警告"),
                                desk::Dialogs::Icon::Exclamation);
        m_ui->DateTextBox2->setFocus();
        return std::nullopt;
    }
    return std::pair{*first, *last};
}

void FrmMeibo::CmdPreview_Click() {
    const auto days = period();
    if (!days)
        return;
    // A new period gives a new preview; the one showing the old period goes.
    if (m_preview)
        m_preview->close();
    m_preview = desk::showReport(std::make_unique<DRMeibo>(m_dataDir, m_profile, days->first, days->second), this);
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
}

void FrmMeibo::CmdCsv_Click() {
    const auto days = period();
    if (!days)
        return;
    const QString fileName = desk::askCsvFileName(this, QStringLiteral("宿泊者名簿"), days->first, days->second);
    if (fileName.isEmpty())
        return;
    QByteArray bytes;
    int guests = 0;
    {
        desk::BusyCursor busy;
        arrivalsvc::CheckInClass store;
        store.setDirPath(m_dataDir);
        store.CntDB();
        const std::unique_ptr<desk::RowSet> rows = store.RsGuestRegister(days->first, days->second);
        bytes = guestRegisterCsv(*rows);
        guests = int(desk::csv::read(bytes).size()) - 1;
    }
    if (!desk::writeCsvFile(this, fileName, bytes, QStringLiteral("警告")))
        return;
    m_ui->lbMessage->setText(
        QStringLiteral("%1 人分を %2 に書き出しました。").arg(guests).arg(QDir::toNativeSeparators(fileName)));
}

} // namespace deskmain
