#pragma once

#include "ui/Dialogs.h"

#include <QList>
#include <QQueue>
#include <QTemporaryDir>

#include <functional>

namespace desk::test {

// A Dialogs double: records what was shown and answers from queues. Installs itself
// for its lifetime (nested ones in turn). With an empty queue a message is answered with its default button (the first,
// No for YesNoDefaultNo), an input box is cancelled (empty text), a file choice is cancelled and a printer choice is
// accepted. An accepted printer never reaches a real printer: its output is redirected to a PDF file in a temporary
// folder (printFiles() lists them).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        enum class Kind { Message, Input, SaveFile, Printer } kind;
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString defaultText;
        std::optional<QPoint> pos;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void pushAnswer(Answer answer) { m_answers.enqueue(answer); }
    void pushInput(const QString& text) { m_inputs.enqueue(text); }
    void pushFileName(const QString& name) { m_fileNames.enqueue(name); }
    void pushPrinterChoice(bool accept) { m_printerChoices.enqueue(accept); }
    // The file the next accepted printer choice prints to, instead of one of the test's
    // own (a path that cannot be written makes the print fail).
    void pushPrintFile(const QString& file) { m_nextPrintFiles.enqueue(file); }
    // Runs hook with the text of every message box and input box, before it is answered:
    // for a step that must happen while the box is up (another desk writing to the file).
    void setMessageHook(std::function<void(const QString& text)> hook) { m_messageHook = std::move(hook); }

    const QList<Shown>& shown() const { return m_shown; }
    // Message boxes only, in order.
    QList<Shown> messages() const;
    QStringList messageTexts() const;
    int beeps() const { return m_beeps; }
    // The PDF files that accepted printer choices were redirected to, in order.
    const QStringList& printFiles() const { return m_printFiles; }
    void clear();

    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText,
                  std::optional<QPoint> pos) override;
    void beep() override { ++m_beeps; }
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter) override;
    bool choosePrinter(QWidget* parent, QPrinter* printer) override;

private:
    Dialogs* m_previous;
    std::function<void(const QString&)> m_messageHook;
    QQueue<Answer> m_answers;
    QQueue<QString> m_inputs;
    QQueue<QString> m_fileNames;
    QQueue<bool> m_printerChoices;
    QQueue<QString> m_nextPrintFiles;
    QList<Shown> m_shown;
    QStringList m_printFiles;
    QTemporaryDir m_printDir;
    int m_beeps = 0;
};

} // namespace desk::test
