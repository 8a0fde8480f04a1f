#pragma once

#include <QColor>
#include <QList>
#include <QPalette>
#include <QString>
#include <QWidget>

class QKeyEvent;
class QLineEdit;
class QMouseEvent;

namespace desk {

// What the input controls (the date and the number input) share: their event signals,
// raised the same way from the boxes inside them, and the colours of those boxes.
//
// Event signals are delivered synchronously (direct connections only):
// - KeyPress passes a character code by reference; a handler may replace it, or set it to
//   0 to drop the key.
// - KeyDown/KeyUp carry the Qt::Key and a shift mask (1 Shift, 2 Ctrl, 4 Alt).
// - Mouse signals carry the button (1 left, 2 right, 4 middle), the shift mask and the
//   position in pixels within the box or surface that was used; a click is a left press
//   and release on the same one.
// Every property write raises PropertyChanged with the property's name; so do the enabled
// state and the font.
class InputControl : public QWidget {
    Q_OBJECT

public:
    explicit InputControl(QWidget* parent = nullptr);
    ~InputControl() override;

signals:
    void PropertyChanged(const QString& name);
    void Change();
    void Click();
    void DblClick();
    void KeyPress(int& KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void KeyDown(int KeyCode, int Shift);
    void MouseDown(int Button, int Shift, double X, double Y);
    void MouseMove(int Button, int Shift, double X, double Y);
    void MouseUp(int Button, int Shift, double X, double Y);

protected:
    // The boxes the text colours apply to; the first one answers for all.
    void setBoxes(const QList<QLineEdit*>& boxes);
    QColor boxColor(QPalette::ColorRole role) const;
    void setBoxColor(QPalette::ColorRole role, const QColor& color, const char* property);
    // A colour of the control's own surface (around the boxes).
    QColor surfaceColor(QPalette::ColorRole role) const;
    void setSurfaceColor(QPalette::ColorRole role, const QColor& color, const char* property);
    // Input-method mode: 0 as the system likes, 2/7/8 Latin input, 3 input method off; the
    // other values leave the input method on. hints: what the box takes.
    static void applyImeMode(QLineEdit* box, int mode, Qt::InputMethodHints hints);

    // Re-raises a mouse event of a box (or of the control's surface) as the mouse signals
    // and Click/DblClick.
    void passMouseEvent(QMouseEvent* event, QWidget* source);
    void emitKeyDown(const QKeyEvent* event);
    void emitKeyUp(const QKeyEvent* event);

    void changeEvent(QEvent* event) override;

private:
    QList<QLineEdit*> m_boxes;
    // Where the left button went down, for telling a click.
    QWidget* m_clickSource = nullptr;
};

} // namespace desk
