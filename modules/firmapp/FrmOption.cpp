#include "FrmOption.h"

#include "ui_FrmOption.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "firmsvc/OptionDataClass.h"
#include "taxsvc/TaxSettings.h"
#include "ui/Dialogs.h"
#include "ui/GuardedConnect.h"

#include <QHeaderView>
#include <QRegularExpression>

namespace firmapp {

namespace {

enum RateColumn { Effective = 0, Standard = 1, Reduced = 2 };

const QString Title = QStringLiteral("初期登録");

QString cellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text().trimmed() : QString();
}

// "2019/10/01", "2019/10/1", "2019-10-01", full-width digits too; nothing for no real day.
std::optional<QDate> typedDay(const QString& text) {
    const QStringList parts = desk::convert::asciiDigits(text).split(QRegularExpression(QStringLiteral("[/\\-.．／]")));
    if (parts.size() != 3)
        return std::nullopt;
    return desk::convert::strictDate(parts[0], parts[1], parts[2]);
}

// A cell still being typed in counts as typed: an access key saves without leaving it.
void commitOpenEditor(QTableWidget* grid) {
    const QModelIndex current = grid->currentIndex();
    if (QWidget* editor = grid->indexWidget(current))
        emit grid->itemDelegateForIndex(current)->commitData(editor);
}

} // namespace

FrmOption::FrmOption(desk::ModuleContext& context, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::FrmOption>())
    , m_context(context) {
    m_ui->setupUi(this);
    for (int r = 0; r < 3; ++r)
        m_ui->cmbTaxRounding->addItem(taxsvc::roundingName(taxsvc::roundingOf(r)));
    m_ui->grdRates->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_ui->grdRates->verticalHeader()->hide();
    desk::onClicked(m_ui->CmdEdit, this, &FrmOption::CmdEdit_Click);
    desk::onClicked(m_ui->cmdAddRate, this, &FrmOption::cmdAddRate_Click);
    desk::onClicked(m_ui->cmdRemoveRate, this, &FrmOption::cmdRemoveRate_Click);
    connect(m_ui->cmdEnd, &QPushButton::clicked, this, &QWidget::close);
    // Any change clears the last confirmation, so it never speaks of older values.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::textEdited, m_ui->lbMessage, &QLabel::clear);
    connect(m_ui->grdRates, &QTableWidget::itemChanged, m_ui->lbMessage, &QLabel::clear);
    connect(m_ui->cmbTaxRounding, &QComboBox::activated, m_ui->lbMessage, &QLabel::clear);
    load();
    m_ui->txtName->setFocus();
}

FrmOption::~FrmOption() = default;

void FrmOption::load() {
    firmsvc::OptionDataClass profile;
    profile.setDirPath(m_context.DirPath());
    profile.ConnectDb();
    profile.DisplyData();
    m_ui->txtName->setText(profile.MyCompanyName());
    m_ui->txtAddrress->setText(profile.MyAddress());
    m_ui->txtZipCode->setText(profile.MyZipCode());
    m_ui->txtTelNo->setText(profile.MyTelNo());
    m_ui->txtFaxNo->setText(profile.MyFaxNo());
    m_ui->txtURL->setText(profile.MyURL());
    m_ui->txtEmailAd->setText(profile.MyEmail());
    m_ui->txtComment->setText(profile.MyComment());
    loadTaxSettings();
    move(0, 0);
}

void FrmOption::loadTaxSettings() {
    const taxsvc::TaxSettings settings = taxsvc::TaxSettings::readFrom(m_context.DirPath());
    QSignalBlocker quiet(m_ui->grdRates);
    m_ui->grdRates->setRowCount(0);
    for (const taxsvc::RateRow& rate : settings.rates.rows()) {
        const int row = m_ui->grdRates->rowCount();
        m_ui->grdRates->insertRow(row);
        m_ui->grdRates->setItem(row, Effective,
                                new QTableWidgetItem(rate.effective.toString(QStringLiteral("yyyy/MM/dd"))));
        m_ui->grdRates->setItem(row, Standard, new QTableWidgetItem(taxsvc::rateText(rate.standard)));
        m_ui->grdRates->setItem(row, Reduced,
                                new QTableWidgetItem(rate.reduced ? taxsvc::rateText(*rate.reduced) : QString()));
        for (int column : {Standard, Reduced})
            m_ui->grdRates->item(row, column)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    m_ui->txtServiceFee->setText(taxsvc::rateText(settings.serviceFee));
    m_ui->cmbTaxRounding->setCurrentIndex(static_cast<int>(settings.rounding));
    m_ui->txtInvoiceNo->setText(settings.invoiceNo);
    m_savedInvoiceNo = settings.invoiceNo;
}

void FrmOption::refuse(const QString& text, QWidget* target) {
    desk::dialogs().message(this, text, Title, desk::Dialogs::Icon::Exclamation);
    target->setFocus();
}

std::optional<taxsvc::RateTable> FrmOption::typedRates() {
    QTableWidget* grid = m_ui->grdRates;
    QList<taxsvc::RateRow> rows;
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QString day = cellText(grid, row, Effective);
        const QString standard = cellText(grid, row, Standard);
        const QString reduced = cellText(grid, row, Reduced);
        if (day.isEmpty() && standard.isEmpty() && reduced.isEmpty())
            continue;
        const auto refuseCell = [&](int column, const QString& text) {
            grid->setCurrentCell(row, column);
            refuse(text, grid);
            return std::nullopt;
        };
        taxsvc::RateRow rate;
        const std::optional<QDate> effective = typedDay(day);
        if (!effective)
            return refuseCell(Effective, QStringLiteral("税率の適用開始日は 2019/10/01 の形で入力してください。"));
        rate.effective = *effective;
        const std::optional<double> standardRate = desk::convert::typedNumber(standard);
        if (!standardRate)
            return refuseCell(Standard, QStringLiteral("%1 からの標準税率を入力してください。")
                                            .arg(effective->toString(QStringLiteral("yyyy/MM/dd"))));
        rate.standard = *standardRate;
        if (!reduced.isEmpty()) {
            const std::optional<double> reducedRate = desk::convert::typedNumber(reduced);
            if (!reducedRate)
                return refuseCell(Reduced,
                                  QStringLiteral("%1 からの軽減税率は数で入力してください（ない期間は空欄です）。")
                                      .arg(effective->toString(QStringLiteral("yyyy/MM/dd"))));
            rate.reduced = *reducedRate;
        }
        rows << rate;
    }
    return taxsvc::RateTable(rows);
}

void FrmOption::cmdAddRate_Click() {
    const int row = m_ui->grdRates->rowCount();
    m_ui->grdRates->insertRow(row);
    m_ui->grdRates->setCurrentCell(row, Effective);
    m_ui->grdRates->setFocus();
}

void FrmOption::cmdRemoveRate_Click() {
    const int row = m_ui->grdRates->currentRow();
    if (row < 0) {
        desk::dialogs().beep();
        return;
    }
    // Nothing is stored until 編集; the row is simply gone from the table on screen.
    m_ui->grdRates->removeRow(row);
    m_ui->lbMessage->clear();
    m_ui->grdRates->setFocus();
}

void FrmOption::CmdEdit_Click() {
    commitOpenEditor(m_ui->grdRates);
    // Everything is checked before the transaction: the clerk is never asked inside it.
    const std::optional<taxsvc::RateTable> rates = typedRates();
    if (!rates)
        return;
    const QString feeText = m_ui->txtServiceFee->text().trimmed();
    const std::optional<double> fee =
        feeText.isEmpty() ? std::optional<double>(0) : desk::convert::typedNumber(feeText);
    if (!fee || *fee < 0 || *fee >= 100) {
        refuse(QStringLiteral("サービス料は 0 から 99 までの数（%）で入力してください。"), m_ui->txtServiceFee);
        return;
    }
    const QString invoiceNo = taxsvc::plainInvoiceNumber(m_ui->txtInvoiceNo->text());
    if (const QString refusal = taxsvc::invoiceNumberRefusal(invoiceNo); !refusal.isEmpty()) {
        refuse(refusal, m_ui->txtInvoiceNo);
        return;
    }
    {
        const taxsvc::TaxSettings saved = taxsvc::TaxSettings::readFrom(m_context.DirPath());
        const auto sales = desk::Connection::open(m_context.DirPath(), QString::fromLatin1(desk::DbFile::Sales));
        const QString refusal = taxsvc::rateChangeRefusal(saved.rates, *rates, QDate::currentDate(), *sales);
        if (!refusal.isEmpty()) {
            refuse(refusal, m_ui->grdRates);
            return;
        }
    }
    // A sole proprietor's number need not hold the check digit: asked, never refused.
    if (!invoiceNo.isEmpty() && invoiceNo != m_savedInvoiceNo && !taxsvc::invoiceCheckDigitHolds(invoiceNo)) {
        const auto answer = desk::dialogs().message(
            this,
            QStringLiteral("登録番号 %1 は検査用数字（先頭の数字）が合いません。番号をお確かめください。\n"
                           "このまま保存しますか？")
                .arg(invoiceNo),
            Title, desk::Dialogs::Icon::Question, desk::Dialogs::Buttons::YesNoDefaultNo);
        if (answer != desk::Dialogs::Answer::Yes) {
            m_ui->txtInvoiceNo->setFocus();
            return;
        }
    }

    firmsvc::OptionDataClass profile;
    profile.setDirPath(m_context.DirPath());
    profile.ConnectDb();
    profile.setMyCompanyName(m_ui->txtName->text());
    profile.setMyAddress(m_ui->txtAddrress->text());
    profile.setMyZipCode(m_ui->txtZipCode->text());
    profile.setMyTelNo(m_ui->txtTelNo->text());
    profile.setMyFaxNo(m_ui->txtFaxNo->text());
    profile.setMyURL(m_ui->txtURL->text());
    profile.setMyEmail(m_ui->txtEmailAd->text());
    profile.setMyComment(m_ui->txtComment->text());
    profile.setServiceFee(*fee);
    profile.setTaxRounding(m_ui->cmbTaxRounding->currentIndex());
    profile.setInvoiceNo(invoiceNo);
    {
        desk::Transaction transaction(profile.connection());
        profile.EditData();
        taxsvc::writeRates(profile.connection(), *rates);
        transaction.commit();
    }
    // Shown as stored: the rates in date order, the service charge whole, the number plain.
    loadTaxSettings();
    m_ui->lbMessage->setText(QStringLiteral("会社情報を保存しました。"));
}

} // namespace firmapp
