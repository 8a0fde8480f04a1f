#include "FrmOption.h"

#include "ui_FrmOption.h"

#include "convert/Convert.h"
#include "firmsvc/InnProfile.h"
#include "firmsvc/InnSettings.h"
#include "taxsvc/TaxSettings.h"
#include "ui/Dialogs.h"
#include "ui/EscapeClose.h"
#include "ui/GuardedConnect.h"
#include "ui/TypedCells.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QRegularExpression>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace firmapp {

namespace {

enum RateColumn { Effective = 0, Standard = 1, Reduced = 2 };
enum LevyColumn { LevyKind = 0, LevyEffective = 1, LevyMethod = 2, LevyAmount = 3, LevyExemptBelow = 4, LevyBands = 5 };

// A cell that takes one of a few names: a drop-down list as its editor, so a clerk picks
// with the arrow keys instead of typing the name.
class ChoiceDelegate : public QStyledItemDelegate {
public:
    ChoiceDelegate(QStringList choices, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_choices(std::move(choices)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->addItems(m_choices);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QComboBox*>(editor);
        box->setCurrentIndex(std::max(0, box->findText(index.data().toString())));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText());
    }
    // The column is as wide as the list that edits it, so the name picked reads whole
    // instead of "入…".
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (!m_editorWidth) {
            QComboBox box(option.widget ? const_cast<QWidget*>(option.widget) : nullptr);
            box.setFont(option.font);
            box.addItems(m_choices);
            m_editorWidth = box.sizeHint().width();
        }
        size.setWidth(std::max(size.width(), m_editorWidth));
        return size;
    }

private:
    QStringList m_choices;
    mutable int m_editorWidth = 0;
};

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
    desk::onClicked(m_ui->cmdAddLevy, this, &FrmOption::cmdAddLevy_Click);
    desk::onClicked(m_ui->cmdRemoveLevy, this, &FrmOption::cmdRemoveLevy_Click);
    QStringList kinds;
    for (int k = 0; k < taxsvc::LevyKindCount; ++k)
        kinds << taxsvc::levyKindName(taxsvc::levyKindOf(k));
    QStringList methods;
    for (int m = 0; m < taxsvc::LevyMethodCount; ++m)
        methods << taxsvc::levyMethodName(taxsvc::levyMethodOf(m));
    m_ui->grdLevies->setItemDelegateForColumn(LevyKind, new ChoiceDelegate(kinds, m_ui->grdLevies));
    m_ui->grdLevies->setItemDelegateForColumn(LevyMethod, new ChoiceDelegate(methods, m_ui->grdLevies));
    m_ui->grdLevies->verticalHeader()->hide();
    m_ui->grdLevies->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ui->grdLevies->horizontalHeader()->setStretchLastSection(true);
    connect(m_ui->grdLevies, &QTableWidget::itemChanged, m_ui->lbMessage, &QLabel::clear);
    connect(m_ui->cmdEnd, &QPushButton::clicked, this, &QWidget::close);
    desk::closeOnEscape(this, m_ui->cmdEnd);
    // Any change clears the last confirmation, so it never speaks of older values.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::textEdited, m_ui->lbMessage, &QLabel::clear);
    connect(m_ui->grdRates, &QTableWidget::itemChanged, m_ui->lbMessage, &QLabel::clear);
    connect(m_ui->cmbTaxRounding, &QComboBox::activated, m_ui->lbMessage, &QLabel::clear);
    // What the clerk changed since the window showed the stored values; closing asks then.
    const auto changed = [this] {
        m_changed = true;
    };
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::textEdited, this, changed);
    connect(m_ui->grdRates, &QTableWidget::itemChanged, this, changed);
    connect(m_ui->grdLevies, &QTableWidget::itemChanged, this, changed);
    connect(m_ui->cmbTaxRounding, &QComboBox::activated, this, changed);
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
    {
        QSignalBlocker quietLevies(m_ui->grdLevies);
        m_ui->grdLevies->setRowCount(0);
        for (const taxsvc::LevyRule& rule : settings.levies.rules()) {
            const int row = m_ui->grdLevies->rowCount();
            m_ui->grdLevies->insertRow(row);
            const bool amount = rule.method == taxsvc::LevyMethod::Fixed || rule.method == taxsvc::LevyMethod::Percent;
            const QStringList cells{taxsvc::levyKindName(rule.kind),
                                    rule.effective.toString(QStringLiteral("yyyy/MM/dd")),
                                    taxsvc::levyMethodName(rule.method),
                                    amount ? taxsvc::rateText(rule.amount) : QString(),
                                    rule.exemptBelow != 0 ? QString::number(rule.exemptBelow) : QString(),
                                    taxsvc::bandsText(rule.bands)};
            for (int column = 0; column < cells.size(); ++column)
                m_ui->grdLevies->setItem(row, column, new QTableWidgetItem(cells[column]));
            for (int column : {LevyAmount, LevyExemptBelow})
                m_ui->grdLevies->item(row, column)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // Long band lists are cut in the cell; the whole list is a hover away.
            m_ui->grdLevies->item(row, LevyBands)->setToolTip(cells[LevyBands]);
        }
    }
    m_ui->txtServiceFee->setText(taxsvc::rateText(settings.serviceFee));
    m_ui->cmbTaxRounding->setCurrentIndex(static_cast<int>(settings.rounding));
    m_ui->txtInvoiceNo->setText(settings.invoiceNo);
    m_savedInvoiceNo = settings.invoiceNo;
    m_changed = false;
}

void FrmOption::closeEvent(QCloseEvent* event) {
    // A cell still being typed in is a change too.
    desk::commitTypedCells(this);
    if (m_changed) {
        const auto answer =
            desk::dialogs().message(this, QStringLiteral("保存していない変更があります。終了しますか？"), Title,
                                    desk::Dialogs::Icon::Question, desk::Dialogs::Buttons::YesNoDefaultNo);
        if (answer != desk::Dialogs::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
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

std::optional<taxsvc::LevyTable> FrmOption::typedLevies() {
    QTableWidget* grid = m_ui->grdLevies;
    QList<taxsvc::LevyRule> rules;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int column = LevyKind; column <= LevyBands; ++column)
            cells << cellText(grid, row, column);
        if (std::all_of(cells.cbegin(), cells.cend(), [](const QString& c) { return c.isEmpty(); }))
            continue;
        const auto refuseCell = [&](int column, const QString& text) {
            grid->setCurrentCell(row, column);
            refuse(text, grid);
            return std::nullopt;
        };
        taxsvc::LevyRule rule;
        const std::optional<taxsvc::LevyKind> kind = taxsvc::levyKindNamed(cells[LevyKind]);
        if (!kind)
            return refuseCell(
                LevyKind, QStringLiteral("税目は 入湯税、宿泊税（都道府県）、宿泊税（市町村）から選んでください。"));
        rule.kind = *kind;
        const std::optional<QDate> effective = typedDay(cells[LevyEffective]);
        if (!effective)
            return refuseCell(LevyEffective, QStringLiteral("%1の適用開始日は 2026/03/01 の形で入力してください。")
                                                 .arg(taxsvc::levyKindName(rule.kind)));
        rule.effective = *effective;
        const QString which =
            QStringLiteral("%1 からの%2")
                .arg(effective->toString(QStringLiteral("yyyy/MM/dd")), taxsvc::levyKindName(rule.kind));
        const std::optional<taxsvc::LevyMethod> method = taxsvc::levyMethodNamed(cells[LevyMethod]);
        if (!method)
            return refuseCell(LevyMethod,
                              which + QStringLiteral("の方式は 定額、段階、定率、課さない から選んでください。"));
        rule.method = *method;
        if (rule.method == taxsvc::LevyMethod::Fixed || rule.method == taxsvc::LevyMethod::Percent) {
            const std::optional<double> amount = desk::convert::typedNumber(cells[LevyAmount]);
            if (!amount)
                return refuseCell(LevyAmount, which + (rule.method == taxsvc::LevyMethod::Fixed
                                                           ? QStringLiteral("の1人1泊の金額（円）を入力してください。")
                                                           : QStringLiteral("の税率（%）を入力してください。")));
            rule.amount = *amount;
        }
        if (!cells[LevyExemptBelow].isEmpty()) {
            const std::optional<double> below = desk::convert::typedNumber(cells[LevyExemptBelow]);
            if (!below || *below < 0 || *below > 10000000 || *below != std::floor(*below))
                return refuseCell(LevyExemptBelow,
                                  which + QStringLiteral("の免税点は 1人1泊の料金（円、整数）で入力してください。"));
            rule.exemptBelow = static_cast<qint32>(*below);
        }
        if (rule.method == taxsvc::LevyMethod::Bands) {
            QString why;
            const std::optional<QList<taxsvc::LevyBand>> bands = taxsvc::typedBands(cells[LevyBands], &why);
            if (!bands)
                return refuseCell(LevyBands, which + QStringLiteral("：") + why);
            rule.bands = *bands;
        }
        if (const QString refusal = taxsvc::levyRefusal(taxsvc::LevyTable({rule})); !refusal.isEmpty())
            return refuseCell(rule.method == taxsvc::LevyMethod::Bands ? LevyBands : LevyAmount, refusal);
        rules << rule;
    }
    const taxsvc::LevyTable table(rules);
    if (const QString refusal = taxsvc::levyRefusal(table); !refusal.isEmpty()) {
        refuse(refusal, grid);
        return std::nullopt;
    }
    return table;
}

void FrmOption::cmdAddLevy_Click() {
    QTableWidget* grid = m_ui->grdLevies;
    const int row = grid->rowCount();
    grid->insertRow(row);
    // A new row starts as the commonest levy, ready to be changed.
    QSignalBlocker quiet(grid);
    grid->setItem(row, LevyKind, new QTableWidgetItem(taxsvc::levyKindName(taxsvc::LevyKind::Bathing)));
    grid->setItem(row, LevyMethod, new QTableWidgetItem(taxsvc::levyMethodName(taxsvc::LevyMethod::Fixed)));
    grid->setCurrentCell(row, LevyKind);
    grid->setFocus();
    m_changed = true;
}

void FrmOption::cmdRemoveLevy_Click() {
    removeCurrentRow(m_ui->grdLevies);
}

void FrmOption::cmdAddRate_Click() {
    const int row = m_ui->grdRates->rowCount();
    m_ui->grdRates->insertRow(row);
    m_ui->grdRates->setCurrentCell(row, Effective);
    m_ui->grdRates->setFocus();
    m_changed = true;
}

void FrmOption::cmdRemoveRate_Click() {
    removeCurrentRow(m_ui->grdRates);
}

void FrmOption::removeCurrentRow(QTableWidget* grid) {
    const int row = grid->currentRow();
    if (row < 0) {
        desk::dialogs().beep();
        return;
    }
    // Nothing is stored until 編集; the row is simply gone from the table on screen.
    grid->removeRow(row);
    m_changed = true;
    m_ui->lbMessage->clear();
    grid->setFocus();
}

void FrmOption::CmdEdit_Click() {
    // The cell being typed in was written by desk::onClicked before this runs.
    // Everything is checked before the transaction: the clerk is never asked inside it.
    const std::optional<taxsvc::RateTable> rates = typedRates();
    if (!rates)
        return;
    const std::optional<taxsvc::LevyTable> levies = typedLevies();
    if (!levies)
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
    if (const auto refusal = firmsvc::changeRefusal(m_context.DirPath(), *rates, *levies, QDate::currentDate())) {
        refuse(refusal->text,
               refusal->part == firmsvc::SettingsRefusal::Part::Rates ? m_ui->grdRates : m_ui->grdLevies);
        return;
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

    const desk::CompanyProfile profile{m_ui->txtName->text(),    m_ui->txtZipCode->text(), m_ui->txtAddrress->text(),
                                       m_ui->txtTelNo->text(),   m_ui->txtFaxNo->text(),   m_ui->txtURL->text(),
                                       m_ui->txtEmailAd->text(), m_ui->txtComment->text()};
    firmsvc::saveSettings(m_context.DirPath(),
                          {profile, *fee, m_ui->cmbTaxRounding->currentIndex(), invoiceNo, *rates, *levies});
    // Shown as stored: the rates in date order, the service charge whole, the number plain.
    loadTaxSettings();
    m_ui->lbMessage->setText(QStringLiteral("会社情報を保存しました。"));
}

} // namespace firmapp
