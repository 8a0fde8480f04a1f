#include "ScriptedDialogs.h"

#include <QPrinter>
#include <QStringList>

namespace desk::test {

ScriptedDialogs::ScriptedDialogs()
    : m_previous(&Dialogs::instance()) {
    Dialogs::setInstance(this);
}

// A fixture made inside another's lifetime hands the dialogs back to the outer one.
ScriptedDialogs::~ScriptedDialogs() {
    Dialogs::setInstance(m_previous);
}

QList<ScriptedDialogs::Shown> ScriptedDialogs::messages() const {
    QList<Shown> result;
    for (const Shown& s : m_shown)
        if (s.kind == Shown::Kind::Message)
            result.append(s);
    return result;
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList result;
    for (const Shown& s : messages())
        result.append(s.text);
    return result;
}

void ScriptedDialogs::clear() {
    m_shown.clear();
    m_beeps = 0;
}

Dialogs::Answer ScriptedDialogs::message(QWidget*, const QString& text, const QString& title, Icon icon,
                                         Buttons buttons) {
    if (m_messageHook)
        m_messageHook(text);
    m_shown.append({Shown::Kind::Message, text, title, icon, buttons, {}, {}});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    switch (buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel:
        return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Retry;
    case Buttons::YesNoDefaultNo:
        return Answer::No;
    }
    return Answer::Ok;
}

QString ScriptedDialogs::input(QWidget*, const QString& prompt, const QString& title, const QString& defaultText,
                               std::optional<QPoint> pos) {
    if (m_messageHook)
        m_messageHook(prompt);
    m_shown.append({Shown::Kind::Input, prompt, title, Icon::None, Buttons::OkCancel, defaultText, pos});
    return m_inputs.isEmpty() ? QString() : m_inputs.dequeue();
}

QString ScriptedDialogs::saveFileName(QWidget*, const QString& caption, const QString& suggested, const QString&) {
    m_shown.append({Shown::Kind::SaveFile, caption, caption, Icon::None, Buttons::OkCancel, suggested, {}});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

bool ScriptedDialogs::choosePrinter(QWidget*, QPrinter* printer) {
    m_shown.append({Shown::Kind::Printer, {}, {}, Icon::None, Buttons::OkCancel, {}, {}});
    const bool accept = m_printerChoices.isEmpty() ? true : m_printerChoices.dequeue();
    if (accept && printer) {
        const QString file = m_nextPrintFiles.isEmpty()
                                 ? m_printDir.filePath(QStringLiteral("print-%1.pdf").arg(m_printFiles.size() + 1))
                                 : m_nextPrintFiles.dequeue();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        m_printFiles.append(file);
    }
    return accept;
}

} // namespace desk::test
