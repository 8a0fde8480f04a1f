#pragma once

class QAbstractButton;
class QWidget;

namespace desk {

// Escape closes the window as its close button (終わり) does: the button's own action runs,
// so a window holding work not yet saved asks first exactly as its button asks, and a
// window with nothing to lose closes. Only an Escape that no box of the window takes for
// itself counts: an open cell editor or a dropped-down list still just cancels.
//
//     connect(m_ui->CmdEnd, &QPushButton::clicked, this, &QWidget::close);
//     desk::closeOnEscape(this, m_ui->CmdEnd);
void closeOnEscape(QWidget* window, QAbstractButton* closeButton);

} // namespace desk
