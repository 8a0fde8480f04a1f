#include "InputMethod.h"

#include <QLineEdit>

namespace desk::test {

bool commitText(const QObject* root, const QString& name, const QString& text) {
    auto* edit = root->findChild<QLineEdit*>(name);
    if (!edit)
        return false;
    edit->setFocus();
    edit->selectAll();
    edit->insert(text);
    return true;
}

} // namespace desk::test
