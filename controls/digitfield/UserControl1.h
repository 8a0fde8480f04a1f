#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include "ui/InputControl.h"

class QEvent;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;

namespace digitfield {

// A text box that accepts digits only (数字のみ入力可能なテキストボックス): whole or decimal
// numbers, with at most one decimal point and a minus sign only as the first character.
// The inner box Text1 fills the control. Typing never leaves it empty: backspace on the
// last character, or Delete leaving one character or none, puts "0" back, and a digit or
// a minus sign typed over a lone "0" replaces it. Text written by code is not filtered.
//
// The event signals and colours are InputControl's. KeyPress passes the character code
// after filtering (0 for a refused key); mouse signals come from Text1. Validate is raised
// when the focus leaves Text1 for another control; setting Cancel keeps the focus in Text1.
class UserControl1 : public desk::InputControl {
    Q_OBJECT
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText)
    Q_PROPERTY(int SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(int IMEMode READ IMEMode WRITE setIMEMode)
    Q_PROPERTY(float TabIndex READ TabIndex WRITE setTabIndex)

public:
    explicit UserControl1(QWidget* parent = nullptr);
    ~UserControl1() override;

    // Background and text colour of Text1.
    QColor BackColor() const;
    void setBackColor(const QColor& color);
    QColor ForeColor() const;
    void setForeColor(const QColor& color);

    // The control's own enabled state (QWidget::setEnabled); Text1 follows it.
    bool Enabled() const { return isEnabled(); }

    // The control's font (QWidget::setFont); Text1 follows it.
    QFont Font() const { return font(); }

    // 0: no border, otherwise the usual frame around Text1.
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);

    // 0 left, 1 right, 2 centred.
    int Alignment() const { return m_alignment; }
    void setAlignment(int alignment);

    // The content of Text1, written unfiltered. A new control holds "Text1".
    QString Text() const;
    void setText(const QString& text);

    // Input-method mode of Text1: 0 as the system likes, 2/7/8 Latin input, 3 input
    // method off; the other values leave the input method on.
    int IMEMode() const { return m_imeMode; }
    void setIMEMode(int mode);

    // Kept for the form and stored with it; they do not act on Text1.
    int BackStyle() const { return m_backStyle; }
    void setBackStyle(int style);
    QString ToolTipText() const { return m_toolTipText; }
    void setToolTipText(const QString& text);
    int SelStart() const { return m_selStart; }
    void setSelStart(int start);
    QString SelText() const { return m_selText; }
    void setSelText(const QString& text);
    int SelLength() const { return m_selLength; }
    void setSelLength(int length);

    // The position in the form's tab order, kept as given; Text1 carries it rounded to a
    // whole number (halves to even) as its dynamic property "TabIndex".
    float TabIndex() const { return m_tabIndex; }
    void setTabIndex(float index);

    // Size of a text in Text1's font, in pixels.
    int TextHeight(const QString& text) const;
    int TextWidth(const QString& text) const;
    // Repaints the control.
    void Refresh();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Validate(bool& Cancel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool handleKeyPress(QKeyEvent* event);
    void handleKeyRelease(QKeyEvent* event);
    void handleCommittedText(QInputMethodEvent* event);
    int filterCharacter(int code);
    void typeCharacter(int code);
    bool handleFocusOut(QEvent* event);

    QLineEdit* m_text = nullptr;
    int m_backStyle = 0;
    int m_borderStyle = 1;
    int m_alignment = 0;
    QString m_toolTipText;
    int m_selStart = 0;
    QString m_selText;
    int m_selLength = 0;
    int m_imeMode = 0;
    float m_tabIndex = 0;

    bool m_hasFocus = false;
};

} // namespace digitfield
