#include "DataGridView.h"

#include "DataGridModel.h"
#include "Dialogs.h"
#include "SlotGuard.h"
#include "TypedCells.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace desk {

namespace {

const char* OriginalText = "deskOriginalText";

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
        // A line editor for every column: numbers are typed as text, as the clerk sees them
        // (full-width digits from the input method too). A text that is no number is not
        // dropped key by key but refused with its message when the cell is written.
        auto* line = new QLineEdit(parent);
        m_view->m_openEditor = line;
        line->setFrame(false);
        line->setAlignment(model->columns().at(index.column()).alignment);
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
        if (line->text() == line->property(OriginalText).toString()) {
            m_view->clearRefusal();
            return;
        }
        // Errors must not unwind through the view's own code: the view keeps the editor open
        // and tells the clerk.
        try {
            grid->setCellValue(index.row(), index.column(), line->text());
            line->setProperty(OriginalText, line->text());
            m_view->clearRefusal();
            m_view->notePendingCommit(index);
        } catch (...) {
            m_view->noteRefusal(editor, describeError(std::current_exception()));
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && m_view->filterKey(watched, static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Another window (a message box, another program) or a popup has the keys for a
            // while: the cell is still being typed in when the window gets them back.
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return false;
            const QScopedValueRollback leaving(m_view->m_leavingEditor, true);
            return QStyledItemDelegate::eventFilter(watched, event);
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    DataGridView* m_view;
};

DataGridView::DataGridView(QWidget* parent)
    : QTableView(parent) {
    setItemDelegate(new DataGridDelegate(this));
    // No edit on a click of the current cell: Qt opens that editor only after the double-click
    // time, and a key typed meanwhile would be lost.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
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
    // A key the editor passed on that moves to another cell: the cell is written first, or
    // the move waits until it is put right.
    if (state() == EditingState) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            if (!commitEditor()) {
                event->accept();
                return;
            }
            break;
        default:
            break;
        }
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

void DataGridView::keyboardSearch(const QString& search) {
    // In lines being typed, letters where no editor opens (a worked-out total) never move the
    // current line; a read-only grid still finds a row by its first letters.
    if (!gridModel())
        QTableView::keyboardSearch(search);
}

void DataGridView::mousePressEvent(QMouseEvent* event) {
    // While a cell holds a text it refused, a click elsewhere in the grid does not leave it.
    if (holdsRefusedText()) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void DataGridView::mouseReleaseEvent(QMouseEvent* event) {
    if (holdsRefusedText()) {
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void DataGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (holdsRefusedText()) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

bool DataGridView::commitEditor() {
    QWidget* editor = m_openEditor;
    if (state() != EditingState || !editor)
        return true;
    m_handlerRefused = false;
    QTableView::commitData(editor);
    if (editor == m_refusedEditor) {
        reportRefusal();
        return false;
    }
    closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    return !std::exchange(m_handlerRefused, false);
}

void DataGridView::refuseCommittedEdit() {
    m_handlerRefused = true;
}

void DataGridView::noteRefusal(QWidget* editor, const QString& message) {
    m_refusedEditor = editor;
    m_refusal = message;
}

void DataGridView::clearRefusal() {
    m_refusedEditor = nullptr;
    m_refusal.clear();
}

bool DataGridView::holdsRefusedText() const {
    return m_refusedEditor && m_refusedEditor == m_openEditor && state() == EditingState;
}

void DataGridView::reportRefusal() {
    if (m_refusal.isEmpty())
        return;
    const QString text = std::exchange(m_refusal, QString());
    if (QWidget* editor = m_refusedEditor) {
        editor->setFocus(Qt::OtherFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->selectAll();
    }
    dialogs().message(this, text, QStringLiteral("警告"), Dialogs::Icon::Critical);
}

void DataGridView::queueReport() {
    if (m_reportQueued)
        return;
    m_reportQueued = true;
    QTimer::singleShot(0, this, &DataGridView::reportOnceTheMouseIsUp);
}

void DataGridView::reportOnceTheMouseIsUp() {
    // A button pressed on the way out of the cell clicks on its release, and its click tells
    // the clerk itself; a box shown while the button is still down would swallow that release.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(20, this, &DataGridView::reportOnceTheMouseIsUp);
        return;
    }
    m_reportQueued = false;
    reportRefusal();
}

void DataGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor && editor == m_refusedEditor) {
        if (hint != QAbstractItemDelegate::RevertModelCache) {
            // The text stays in the cell for the clerk to put right, or to take back with Escape.
            if (m_leavingEditor)
                queueReport();
            else
                reportRefusal();
            return;
        }
        clearRefusal();
    }
    QTableView::closeEditor(editor, hint);
    if (!m_committed.isValid())
        return;
    const int row = m_committed.row();
    const int column = m_committed.column();
    m_committed = QPersistentModelIndex();
    // The window's handler runs once the editor is gone, so it may move the current cell.
    emit cellEditCommitted(row, column);
}

void DataGridView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    // The window's closing writes the cell being typed in first, as its buttons do.
    QWidget* top = window();
    if (top == this || top == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top;
    top->installEventFilter(this);
}

bool DataGridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedWindow && event->type() == QEvent::Close && !commitTypedCells(m_watchedWindow)) {
        event->ignore();
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace desk
