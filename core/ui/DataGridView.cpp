#include "DataGridView.h"

#include "DataGridModel.h"
#include "Dialogs.h"
#include "SlotGuard.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace desk {

namespace {

const char* OriginalText = "deskOriginalText";

// Digits (ASCII or full-width, as the input method types them), a sign, thousands
// separators and one decimal point.
const QRegularExpression& numberPattern() {
    static const QRegularExpression re(QStringLiteral(u"^\\s*[-－]?[0-9０-９,，]*([.．][0-9０-９]*)?\\s*$"));
    return re;
}

QString editText(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QLocale::c().toString(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

QString keyText(int key) {
    switch (key) {
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    default:
        return key >= 0x20 && key < 0x7f ? QString(QChar(key)) : QString();
    }
}

} // namespace

// Line editors that take what the column holds, and that write only a changed value.
class DataGridDelegate : public QStyledItemDelegate {
public:
    explicit DataGridDelegate(DataGridView* view)
        : QStyledItemDelegate(view)
        , m_view(view) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        DataGridModel* model = m_view->gridModel();
        if (!model || index.column() >= model->columns().size())
            return QStyledItemDelegate::createEditor(parent, option, index);
        // A line editor for every column: numbers are typed as text, as the clerk sees them.
        auto* line = new QLineEdit(parent);
        line->setFrame(false);
        line->setAlignment(model->columns().at(index.column()).alignment);
        if (model->isNumeric(index.column()))
            line->setValidator(new QRegularExpressionValidator(numberPattern(), line));
        return line;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line || !m_view->gridModel()) {
            QStyledItemDelegate::setEditorData(editor, index);
            return;
        }
        const QString text = editText(index.data(Qt::EditRole));
        line->setText(text);
        line->setProperty(OriginalText, text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        DataGridModel* grid = m_view->gridModel();
        if (!line || !grid || model != grid) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        // An edit that changed nothing writes nothing and raises no event.
        if (line->text() == line->property(OriginalText).toString())
            return;
        // Errors must not unwind through the view's own code: the view reports them once the
        // editor is closed.
        try {
            grid->setCellValue(index.row(), index.column(), line->text());
            line->setProperty(OriginalText, line->text());
            m_view->notePendingCommit(index);
        } catch (...) {
            const QString text = describeError(std::current_exception());
            QTimer::singleShot(0, m_view, [view = QPointer<DataGridView>(m_view), text] {
                if (view)
                    dialogs().message(view, text, QStringLiteral("警告"), Dialogs::Icon::Critical);
            });
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && m_view->filterKey(watched, static_cast<QKeyEvent*>(event)))
            return true;
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    DataGridView* m_view;
};

DataGridView::DataGridView(QWidget* parent)
    : QTableView(parent) {
    setItemDelegate(new DataGridDelegate(this));
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
}

DataGridView::~DataGridView() = default;

void DataGridView::setGridModel(QAbstractItemModel* model, const GridColumns& columns) {
    setModel(model);
    applyGridColumns(this, columns);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 3);
}

DataGridModel* DataGridView::gridModel() const {
    return qobject_cast<DataGridModel*>(model());
}

int DataGridView::currentRow() const {
    return currentIndex().row();
}

int DataGridView::currentColumn() const {
    return currentIndex().column();
}

void DataGridView::setCurrentCell(int row, int column) {
    if (!model())
        return;
    const QModelIndex index = model()->index(row, column);
    if (index.isValid())
        setCurrentIndex(index);
}

void DataGridView::postKey(int key, Qt::KeyboardModifiers modifiers) {
    QTimer::singleShot(0, this, [this, key, modifiers] {
        QWidget* target = QApplication::focusWidget();
        if (!target || (target != this && !isAncestorOf(target)))
            target = this;
        QKeyEvent press(QEvent::KeyPress, key, modifiers, keyText(key));
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, keyText(key));
        QCoreApplication::sendEvent(target, &release);
    });
}

bool DataGridView::filterKey(QObject* target, QKeyEvent* event) {
    if (m_inKeyHandler)
        return false;
    int key = event->key();
    const int original = key;
    emit keyPressed(key, event->modifiers(), currentColumn());
    if (key == original)
        return false;
    if (key != 0) {
        m_inKeyHandler = true;
        QKeyEvent replaced(QEvent::KeyPress, key, event->modifiers(), keyText(key));
        QCoreApplication::sendEvent(target, &replaced);
        m_inKeyHandler = false;
    }
    return true;
}

void DataGridView::keyPressEvent(QKeyEvent* event) {
    if (filterKey(this, event)) {
        event->accept();
        return;
    }
    const bool plain = !(event->modifiers() & ~(Qt::KeypadModifier));
    if (state() != EditingState && gridModel()) {
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::ShiftModifier && currentIndex().isValid()) {
            selectRow(currentRow());
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Delete && plain) {
            deleteSelectedRow();
            event->accept();
            return;
        }
        // Enter on a cell the clerk cannot type into (a worked-out total) goes on to the next
        // cell, from a line's last column to the next line, as Tab does: the keys carry on
        // through a line without stopping dead there.
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && plain && currentIndex().isValid() && !(currentIndex().flags() & Qt::ItemIsEditable)) {
            const QModelIndex next = moveCursor(MoveNext, Qt::NoModifier);
            if (next.isValid())
                setCurrentIndex(next);
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void DataGridView::deleteSelectedRow() {
    DataGridModel* grid = gridModel();
    if (!grid || !selectionModel())
        return;
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (index.row() < grid->lineCount())
            rows << index.row();
    }
    // Highest first, so the rows still to go keep their numbers.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (const int row : std::as_const(rows)) {
        if (!guarded(this, [&] {
                const QVariantList values = grid->lineValues(row);
                emit rowAboutToBeDeleted(row, values);
                grid->removeLine(row);
            }))
            return;
    }
}

void DataGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current != previous)
        emit currentCellChanged(current.row(), current.column());
}

void DataGridView::notePendingCommit(const QModelIndex& index) {
    m_committed = index;
}

void DataGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    if (!m_committed.isValid())
        return;
    const int row = m_committed.row();
    const int column = m_committed.column();
    m_committed = QPersistentModelIndex();
    // The window's handler runs once the editor is gone, so it may move the current cell.
    emit cellEditCommitted(row, column);
}

} // namespace desk
