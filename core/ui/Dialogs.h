#pragma once

#include <QPoint>
#include <QString>

#include <optional>

class QPrinter;
class QWidget;

namespace desk {

// Every message box, input box, beep and file or printer choice of the suite goes
// through here, so tests script the answers and read back what was shown.
class Dialogs {
public:
    enum class Icon { None, Information, Exclamation, Critical, Question };
    // YesNoDefaultNo: Yes and No with No as the default button (Enter and Escape answer No).
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, YesNoDefaultNo };
    enum class Answer { Ok, Cancel, Yes, No, Retry };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon = Icon::None,
                           Buttons buttons = Buttons::Ok) = 0;
    // The typed text, or an empty text when cancelled. pos places the box on the screen.
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText = {},
                          std::optional<QPoint> pos = {}) = 0;
    virtual void beep() = 0;
    // A file name to save to, or an empty text when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter) = 0;
    // Lets the user choose and set up the printer; false when cancelled.
    virtual bool choosePrinter(QWidget* parent, QPrinter* printer) = 0;

    // The instance the program uses: real dialogs unless one was installed.
    static Dialogs& instance();
    // Installs a replacement (not owned); nullptr goes back to the real dialogs.
    static void setInstance(Dialogs* dialogs);
};

// Shorthand used by windows.
inline Dialogs& dialogs() {
    return Dialogs::instance();
}

// The refusal of a date whose typed parts name no real calendar day: text (by default
// "日付が正しくありません。") under the title "警告" with the error icon. Screens whose
// design gives a date message of their own pass it.
void refuseDate(QWidget* parent, const QString& text = {});

// Qt's own texts (dialog buttons, file and printer choices), calendars and number formats
// in Japanese whatever the system locale. Every program calls it once, right after making
// its QApplication and before its first window.
void useJapanese();

// The title of a message or input box that has none of its own: the suite's name, never
// the name of the program file that shows it.
QString boxTitle(const QString& title);

// The real dialogs on the screen.
class WidgetDialogs : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText,
                  std::optional<QPoint> pos) override;
    void beep() override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter) override;
    bool choosePrinter(QWidget* parent, QPrinter* printer) override;
};

} // namespace desk
