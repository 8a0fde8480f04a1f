#include "TypedCells.h"

#include "DataGridView.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>

namespace desk {

bool commitTypedCells(QWidget* window) {
    if (!window)
        return true;
    const QList<QAbstractItemView*> views = window->window()->findChildren<QAbstractItemView*>();
    for (QAbstractItemView* view : views) {
        if (auto* grid = qobject_cast<DataGridView*>(view)) {
            if (!grid->commitEditor())
                return false;
            continue;
        }
        // Any other grid: what its delegate does on Enter, for the editor being typed in.
        const QModelIndex current = view->currentIndex();
        QWidget* editor = current.isValid() ? view->indexWidget(current) : nullptr;
        const QWidget* focus = QApplication::focusWidget();
        if (!editor || !focus || (focus != editor && !editor->isAncestorOf(focus)))
            continue;
        QAbstractItemDelegate* delegate = view->itemDelegateForIndex(current);
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    }
    return true;
}

} // namespace desk
