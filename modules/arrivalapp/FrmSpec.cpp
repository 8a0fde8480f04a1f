#include "FrmSpec.h"

#include "ui_FrmSpec.h"

#include "convert/Convert.h"
#include "data/RowSet.h"
#include "guestcatsvc/GuestClassLists.h"
#include "ui/EscapeClose.h"

#include <QGuiApplication>
#include <QScreen>

namespace arrivalapp {

namespace {

// The code a list holds for its entries, and the code an entry of a called-up check-in
// keeps while it matches none of them.
constexpr int CodeRole = Qt::UserRole;
const char* const keptCodeProperty = "keptCode";

void fill(QComboBox* list, desk::RowSet& rows, const QString& codeColumn, const QString& nameColumn) {
    list->clear();
    if (rows.isEmpty())
        return;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const QString code = desk::convert::textOf(rows.value(codeColumn));
        // The age list names its entries by the table's first column.
        const QString name = desk::convert::textOf(nameColumn.isEmpty() ? rows.value(0) : rows.value(nameColumn));
        list->addItem(code + QStringLiteral(" : ") + name, code);
    }
}

} // namespace

FrmSpec::FrmSpec(const QString& dirPath, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::FrmSpec>()) {
    m_ui->setupUi(this);
    connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QDialog::accept);
    desk::closeOnEscape(this, m_ui->CmdEnd);
    fillLists(dirPath);
    clearEntries();
}

FrmSpec::~FrmSpec() = default;

QList<QComboBox*> FrmSpec::lists() const {
    return {m_ui->RvcmbSpec, m_ui->RvcmbYearOld, m_ui->RvcmbUser, m_ui->RvcmbPayment, m_ui->CmbChkIn};
}

void FrmSpec::reload(const QString& dirPath) {
    QStringList codes;
    for (const QComboBox* list : lists())
        codes << selectedCode(list);
    fillLists(dirPath);
    const QList<QComboBox*> all = lists();
    for (qsizetype i = 0; i < all.size(); ++i)
        showCode(all[i], codes[i]);
}

void FrmSpec::fillLists(const QString& dirPath) {
    m_emptyLists.clear();
    guestcatsvc::OptionDataClass lists;
    lists.setDirPath(dirPath);
    lists.CntDb();
    const struct {
        QComboBox* list;
        QLabel* caption;
        desk::RowSet* rows;
        const char* code;
        const char* name;
    } order[] = {
        {m_ui->RvcmbPayment, m_ui->LabelRv13, lists.RsPay(), "PCode", "PaymentName"},
        {m_ui->RvcmbSpec, m_ui->LabelRv27, lists.RsG(), "GCode", "Groupename"},
        {m_ui->CmbChkIn, m_ui->Label32, lists.RsC(), "ChCode", "ChoiceName"},
        {m_ui->RvcmbUser, m_ui->LabelRv9, lists.RsAim(), "UCode", "UclassName"},
        {m_ui->RvcmbYearOld, m_ui->LabelRv26, lists.RsYear(), "YCode", ""},
    };
    for (const auto& entry : order) {
        fill(entry.list, *entry.rows, QLatin1String(entry.code), QLatin1String(entry.name));
        if (entry.list->count() == 0)
            m_emptyLists << entry.caption->text();
    }
}

void FrmSpec::setGuest(const QString& checkInNo, const QString& name) {
    m_ui->txtCheckInNo->setText(checkInNo);
    m_ui->txtChkInName->setText(name);
}

void FrmSpec::clearEntries() {
    setGuest({}, {});
    for (QComboBox* list : {m_ui->RvcmbSpec, m_ui->RvcmbYearOld, m_ui->RvcmbUser, m_ui->RvcmbPayment}) {
        list->setProperty(keptCodeProperty, QVariant());
        list->setPlaceholderText({});
        list->setCurrentIndex(list->count() > 0 ? 0 : -1);
    }
    showCode(m_ui->CmbChkIn, {});
}

void FrmSpec::showBeside(const QWidget* beside) {
    adjustSize();
    const QRect frame = beside->frameGeometry();
    QPoint place(frame.right() + 1, frame.top());
    if (const QScreen* screen = beside->screen()) {
        // A window that would leave the screen stays at its right edge, over the check-in screen.
        const QRect area = screen->availableGeometry();
        const QSize size = frameGeometry().size().expandedTo(sizeHint());
        place.setX(std::max(area.left(), std::min(place.x(), area.right() + 1 - size.width())));
        place.setY(std::max(area.top(), std::min(place.y(), area.bottom() + 1 - size.height())));
    }
    move(place);
    show();
    raise();
    activateWindow();
    m_ui->RvcmbSpec->setFocus(Qt::ActiveWindowFocusReason);
}

int FrmSpec::codePosition(const QComboBox* list, const QString& code) {
    for (int i = 0; i < list->count(); ++i) {
        if (desk::convert::sameCode(list->itemData(i, CodeRole).toString(), code))
            return i;
    }
    return -1;
}

void FrmSpec::showCode(QComboBox* list, const QString& code) {
    const int position = codePosition(list, code);
    if (position >= 0) {
        list->setProperty(keptCodeProperty, QVariant());
        list->setPlaceholderText({});
        list->setCurrentIndex(position);
        return;
    }
    // Showing the first entry here would save its code over the guest's on correction.
    list->setProperty(keptCodeProperty, code);
    list->setPlaceholderText(code.isEmpty() ? QStringLiteral("（未選択）")
                                            : code + QStringLiteral(" : （一覧にない区分）"));
    list->setCurrentIndex(-1);
}

void FrmSpec::showCodes(const QString& choice, const QString& age, const QString& groupe, const QString& user,
                        const QString& pay) {
    showCode(m_ui->CmbChkIn, choice);
    showCode(m_ui->RvcmbYearOld, age);
    showCode(m_ui->RvcmbSpec, groupe);
    showCode(m_ui->RvcmbUser, user);
    showCode(m_ui->RvcmbPayment, pay);
}

QString FrmSpec::selectedCode(const QComboBox* list) {
    if (list->currentIndex() >= 0)
        return list->currentData(CodeRole).toString();
    return list->property(keptCodeProperty).toString();
}

QString FrmSpec::ChoiceClass() const {
    return selectedCode(m_ui->CmbChkIn);
}
QString FrmSpec::AgeClass() const {
    return selectedCode(m_ui->RvcmbYearOld);
}
QString FrmSpec::GroupeClass() const {
    return selectedCode(m_ui->RvcmbSpec);
}
QString FrmSpec::UserClass() const {
    return selectedCode(m_ui->RvcmbUser);
}
QString FrmSpec::PayClass() const {
    return selectedCode(m_ui->RvcmbPayment);
}

} // namespace arrivalapp
