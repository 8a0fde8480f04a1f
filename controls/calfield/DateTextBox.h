#pragma once

#include <QColor>
#include <QDate>
#include <QFont>
#include <QString>

#include "ui/InputControl.h"

#include <optional>

class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMouseEvent;

namespace calfield {

// The date input of the screens: three digit-only boxes for year, month and day, each
// followed by its unit "年", "月", "日". Each part is checked when the user leaves its box;
// a refused part shows its message and keeps the focus. Screens read and write the parts
// as text (YearText, MonthText, DayText) and build the date from them themselves.
//
// Children by object name: TextYear, LabelY, TextMonth, LabelM, TextDay, LabelD.
//
// The event signals and colours are InputControl's. KeyPress is raised for digits, and for
// any key while Ctrl alone or Alt alone is held (or Escape and Backspace); other characters
// never reach the boxes. Mouse signals come from the boxes and the control's surface.
// The refusal rules of the parts are desk::convert's (DateParts.h).
//
// A refused part also stops what would have left the box: the click or access key
// (Alt+letter) of the control that was to take the focus, and Enter where it presses a
// default button (dialogs) never act; the message shows once and the focus stays in the
// box. Windows need no code of their own for this. The controls that only leave or
// discard the entry (終わり, 表示消去, a call-up that replaces every box, a picker that
// only browses) must work whatever the boxes hold: the window marks them once with
//
//     calfield::DateTextBox::setLeaveOnly(m_ui->CmdEnd);
//
// Moving the focus to a marked control (or into one, for composite widgets) is not
// checked. Closing the window, the title-bar close and Escape are never checked.
class DateTextBox : public desk::InputControl {
    Q_OBJECT
    Q_PROPERTY(int IMEMode READ IMEMode WRITE setIMEMode)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QColor TextForeColor READ TextForeColor WRITE setTextForeColor)
    Q_PROPERTY(QColor TextBackColor READ TextBackColor WRITE setTextBackColor)
    Q_PROPERTY(bool SelTextOnFocus READ SelTextOnFocus WRITE setSelTextOnFocus)
    Q_PROPERTY(int YearMode READ YearMode WRITE setYearMode)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(bool IsValidate READ IsValidate)
    Q_PROPERTY(bool MoveFocus READ MoveFocus WRITE setMoveFocus)
    Q_PROPERTY(bool ExitFocusOnFull READ ExitFocusOnFull WRITE setExitFocusOnFull)
    Q_PROPERTY(QString DateValue READ DateValue WRITE setDateValue)
    Q_PROPERTY(QString YearText READ YearText WRITE setYearText)
    Q_PROPERTY(QString MonthText READ MonthText WRITE setMonthText)
    Q_PROPERTY(QString DayText READ DayText WRITE setDayText)
    Q_PROPERTY(bool IsEmpty READ IsEmpty)

public:
    explicit DateTextBox(QWidget* parent = nullptr);
    ~DateTextBox() override;

    // Input-method mode of the three boxes: 0 as the system likes, 2/7/8 Latin input,
    // 3 input method off; the other values leave the input method on.
    int IMEMode() const { return m_imeMode; }
    void setIMEMode(int mode);

    // The control's own enabled state (QWidget::setEnabled); disabling it disables the boxes.
    bool Enabled() const { return isEnabled(); }

    // Background and foreground of the control around the boxes (the unit labels).
    QColor BackColor() const;
    void setBackColor(const QColor& color);
    QColor ForeColor() const;
    void setForeColor(const QColor& color);

    // The control's font (QWidget::setFont); the boxes and labels follow it.
    QFont Font() const { return font(); }

    // Text colour and background of the three boxes.
    QColor TextForeColor() const;
    void setTextForeColor(const QColor& color);
    QColor TextBackColor() const;
    void setTextBackColor(const QColor& color);

    // Select a box's whole text when it receives the focus.
    bool SelTextOnFocus() const { return m_selTextOnFocus; }
    void setSelTextOnFocus(bool on);

    // 0: four-digit year; 1: two-digit year; any other value: up to four digits, unchecked.
    int YearMode() const { return m_yearMode; }
    void setYearMode(int mode);

    // Read-only boxes.
    bool Locked() const;
    void setLocked(bool locked);

    // Typing the parts never updates DateValue: the control does not validate into it.
    bool IsValidate() const { return false; }

    // Kept for the forms that set them; no behaviour depends on them.
    bool MoveFocus() const { return m_moveFocus; }
    void setMoveFocus(bool on);
    bool ExitFocusOnFull() const { return m_exitFocusOnFull; }
    void setExitFocusOnFull(bool on);

    // A date as text ("2002/3/1", "2002-03-01", "2002年3月1日", optionally with a time), or
    // empty. Writing a date fills the three boxes with its plain numbers; writing empty text
    // empties them; any other text is ignored. Reads return the text last accepted.
    QString DateValue() const { return m_dateValue; }
    void setDateValue(const QString& value);

    // The texts of the three boxes, written unfiltered.
    QString YearText() const;
    void setYearText(const QString& text);
    QString MonthText() const;
    void setMonthText(const QString& text);
    QString DayText() const;
    void setDayText(const QString& text);

    // True while all three boxes are empty.
    bool IsEmpty() const;

    // The day the three boxes name, if they name a day of the calendar (strictly: no month
    // 13, no 31 November).
    std::optional<QDate> typedDay() const;
    // Fills the three boxes with the day's plain numbers, leaving DateValue as it is.
    void showDay(const QDate& day);

    // The parts as slips and bills print a date: "2024/03/09" when they name a day of the
    // calendar, otherwise as typed, joined by "/".
    QString printedText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The date that DateValue accepts for a text, if it reads as one.
    static std::optional<QDate> readDate(const QString& text);

    // Marks a control whose use neither reads nor commits the date parts: leaving a box
    // for it (or for a widget inside it) is not checked. See the class comment.
    static void setLeaveOnly(QWidget* widget, bool leaveOnly = true);
    static bool isLeaveOnly(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Refusal {
        QString text;
        QString title;
    };
    class ActionGate;

    bool handleKeyPress(QLineEdit* box, QKeyEvent* event);
    void handleCommittedText(QLineEdit* box, QInputMethodEvent* event);
    bool admitCharacter(QLineEdit* box, int& code);
    void typeCharacter(QLineEdit* box, int code);
    bool handleFocusOut(QLineEdit* box, QFocusEvent* event);
    std::optional<Refusal> refusalFor(const QLineEdit* box) const;
    // Keeps the focus in box and shows the refusal once the current event is over.
    void refuse(QLineEdit* box, const Refusal& refusal);
    bool enterPressesButton() const;
    // Input of the whole program while a box holds the focus or a refusal waits.
    bool gateEvent(QObject* watched, QEvent* event);
    void updateGate();
    int lengthLimit(const QLineEdit* box) const;
    void layoutParts();
    void setBoxText(QLineEdit* box, const QString& text, const char* name);

    QLineEdit* m_year = nullptr;
    QLineEdit* m_month = nullptr;
    QLineEdit* m_day = nullptr;
    QLabel* m_labelY = nullptr;
    QLabel* m_labelM = nullptr;
    QLabel* m_labelD = nullptr;

    int m_imeMode = 0;
    bool m_selTextOnFocus = true;
    int m_yearMode = 0;
    bool m_moveFocus = true;
    bool m_exitFocusOnFull = false;
    QString m_dateValue;

    // Set by the last key-down in any box: Escape, Backspace, Ctrl alone or Alt alone.
    bool m_specialKey = false;
    // The box that last received the focus and has not lost it since; only its leave is checked.
    QLineEdit* m_focusedBox = nullptr;
    // The box that held the focus when the window was last deactivated: it gets it back as
    // the clerk left it. Any other box focused on activation (the window opening on it) is
    // entered afresh, its text selected.
    QLineEdit* m_heldOnDeactivate = nullptr;
    // A box focused by a mouse press selects its text when the button is released.
    QLineEdit* m_selectOnRelease = nullptr;
    bool m_messagePending = false;
    ActionGate* m_gate = nullptr;
};

} // namespace calfield
