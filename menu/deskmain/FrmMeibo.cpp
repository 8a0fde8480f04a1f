#include "FrmMeibo.h"

#include "ui_FrmMeibo.h"

#include "DRMeibo.h"
#include "GuestRegisterCsv.h"

#include "arrivalsvc/CheckInClass.h"
#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "data/RowSet.h"
#include "report/ReportPreview.h"
#include "report/ShowReport.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/GuardedConnect.h"

#include <QDir>

namespace deskmain {

namespace {

std::optional<QDate> dayOf(const calfield::DateTextBox* box) {
    return desk::convert::strictDate(box->YearText(), box->MonthText(), box->DayText());
}

void showDay(calfield::DateTextBox* box, const QDate& day) {
    box->setYearText(QString::number(day.year()));
    box->setMonthText(QString::number(day.month()));
    box->setDayText(QString::number(day.day()));
}

} // namespace

FrmMeibo::FrmMeibo(const QString& dataDir, const desk::CompanyProfile& profile, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::FrmMeibo>())
    , m_dataDir(dataDir)
    , m_profile(profile) {
    m_ui->setupUi(this);
    const QDate today = QDate::currentDate();
    showDay(m_ui->DateTextBox1, QDate(today.year(), today.month(), 1));
    showDay(m_ui->DateTextBox2, QDate(today.year(), today.month(), today.daysInMonth()));
    calfield::DateTextBox::setLeaveOnly(m_ui->CmdEnd);
    desk::onClicked(m_ui->CmdPreview, this, &FrmMeibo::CmdPreview_Click);
    desk::onClicked(m_ui->CmdCsv, this, &FrmMeibo::CmdCsv_Click);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->DateTextBox1->setFocus();
}

FrmMeibo::~FrmMeibo() = default;

std::optional<std::pair<QDate, QDate>> FrmMeibo::period() {
    const std::optional<QDate> first = dayOf(m_ui->DateTextBox1);
    const std::optional<QDate> last = dayOf(m_ui->DateTextBox2);
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
    const QString suggested = QDir::home().filePath(
        QStringLiteral("宿泊者名簿_%1-%2.csv")
            .arg(days->first.toString(QStringLiteral("yyyyMMdd")), days->second.toString(QStringLiteral("yyyyMMdd"))));
    QString fileName =
        desk::dialogs().saveFileName(this, QStringLiteral("CSV出力"), suggested, QStringLiteral("CSVファイル (*.csv)"));
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".csv");
    bool written = false;
    int guests = 0;
    {
        desk::BusyCursor busy;
        arrivalsvc::CheckInClass store;
        store.setDirPath(m_dataDir);
        store.CntDB();
        const std::unique_ptr<desk::RowSet> rows = store.RsGuestRegister(days->first, days->second);
        const QByteArray bytes = guestRegisterCsv(*rows);
        guests = int(readGuestRegisterCsv(bytes).size()) - 1;
        written = writeGuestRegisterFile(fileName, bytes);
    }
    if (!written) {
        desk::dialogs().message(
            this, QStringLiteral("ファイルに書き込めませんでした。\n") + QDir::toNativeSeparators(fileName),
            QStringLiteral("警告"), desk::Dialogs::Icon::Critical);
        return;
    }
    m_ui->lbMessage->setText(
        QStringLiteral("%1 人分を %2 に書き出しました。").arg(guests).arg(QDir::toNativeSeparators(fileName)));
}

} // namespace deskmain
