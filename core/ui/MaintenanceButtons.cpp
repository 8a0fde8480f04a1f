#include "MaintenanceButtons.h"

namespace desk {

void MaintenanceButtons::setCalledUp(bool calledUp) {
    Q_ASSERT(m_recorde && m_call && m_edit && m_delete);
    // Keep this order: a focused button switched off hands the focus to the next button
    // open at that moment, and the windows' focus moves were made with it.
    m_recorde->setEnabled(!calledUp);
    m_call->setEnabled(true);
    m_edit->setEnabled(calledUp);
    m_delete->setEnabled(calledUp);
}

} // namespace desk
