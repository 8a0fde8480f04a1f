#include "Dialogs.h"

#include "data/DbError.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTranslator>

namespace desk {

namespace {
Dialogs* g_installed = nullptr;

QMessageBox::StandardButtons standardButtons(Dialogs::Buttons buttons) {
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return QMessageBox::Ok;
    case Dialogs::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo:
    case Dialogs::Buttons::YesNoDefaultNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Dialogs::Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::None:
        return QMessageBox::NoIcon;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Dialogs& Dialogs::instance() {
    static WidgetDialogs real;
    return g_installed ? *g_installed : real;
}

void Dialogs::setInstance(Dialogs* dialogs) {
    g_installed = dialogs;
}

Dialogs::Answer WidgetDialogs::message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                                       Buttons buttons) {
    // The engine's or driver's own words (often English) that close a message sit behind
    // the details button: the clerk reads the Japanese, support reads the rest.
    QString shown = text;
    QString details;
    const qsizetype at = text.lastIndexOf(QStringLiteral("\r\n\r\n") + DbError::detailHeading());
    if (at > 0) {
        shown = text.left(at);
        details = text.mid(at + 4 + DbError::detailHeading().size());
    }
    QMessageBox box(boxIcon(icon), boxTitle(title), shown, standardButtons(buttons), parent);
    if (!details.isEmpty())
        box.setDetailedText(details);
    if (buttons == Buttons::YesNoDefaultNo) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Cancel;
    }
}

QString WidgetDialogs::input(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText,
                             std::optional<QPoint> pos) {
    QInputDialog box(parent);
    box.setWindowTitle(boxTitle(title));
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    if (pos)
        box.move(*pos);
    if (box.exec() != QDialog::Accepted)
        return {};
    return box.textValue();
}

void WidgetDialogs::beep() {
    QApplication::beep();
}

QString WidgetDialogs::saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                    const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

bool WidgetDialogs::choosePrinter(QWidget* parent, QPrinter* printer) {
    QPrintDialog box(printer, parent);
    return box.exec() == QDialog::Accepted;
}

void useJapanese() {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto* qtTexts = new QTranslator(QCoreApplication::instance());
    if (qtTexts->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}

QString boxTitle(const QString& title) {
    return title.isEmpty() ? QStringLiteral("テサロさん") : title;
}

void refuseDate(QWidget* parent, const QString& text) {
    dialogs().message(parent, text.isEmpty() ? QStringLiteral("日付が正しくありません。") : text,
                      QStringLiteral("警告"), Dialogs::Icon::Critical);
}

} // namespace desk
