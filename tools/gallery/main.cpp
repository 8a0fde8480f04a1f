// Shows the date and number input controls side by side with an event log.
//   gallery [--screenshot FILE]   with --screenshot the window saves a picture of itself and quits.

#include "calfield/DateTextBox.h"
#include "digitfield/UserControl1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

void logEvents(calfield::DateTextBox* box, const QString& name, QPlainTextEdit* log) {
    auto line = [log, name](const QString& text) {
        log->appendPlainText(name + QStringLiteral(": ") + text);
    };
    QObject::connect(box, &calfield::DateTextBox::KeyPress, log,
                     [line](int& code) { line(QStringLiteral("KeyPress %1").arg(code)); });
    QObject::connect(box, &calfield::DateTextBox::KeyDown, log,
                     [line](int key, int shift) { line(QStringLiteral("KeyDown %1 shift %2").arg(key).arg(shift)); });
    QObject::connect(box, &calfield::DateTextBox::Click, log, [line] { line(QStringLiteral("Click")); });
}

void logEvents(digitfield::UserControl1* field, const QString& name, QPlainTextEdit* log) {
    auto line = [log, name](const QString& text) {
        log->appendPlainText(name + QStringLiteral(": ") + text);
    };
    QObject::connect(field, &digitfield::UserControl1::KeyPress, log,
                     [line](int& code) { line(QStringLiteral("KeyPress %1").arg(code)); });
    QObject::connect(field, &digitfield::UserControl1::Change, log,
                     [line, field] { line(QStringLiteral("Change \"%1\"").arg(field->Text())); });
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("コントロール見本"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 10));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to <file> and quit."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto* log = new QPlainTextEdit;
    log->setReadOnly(true);
    log->setPlaceholderText(QStringLiteral("ここにイベントが表示されます"));

    auto* fourDigit = new calfield::DateTextBox;
    form->addRow(QStringLiteral("利用日（西暦4桁）"), fourDigit);
    logEvents(fourDigit, QStringLiteral("利用日"), log);

    auto* twoDigit = new calfield::DateTextBox;
    twoDigit->setYearMode(1);
    form->addRow(QStringLiteral("日付（年2桁）"), twoDigit);

    auto* filled = new calfield::DateTextBox;
    filled->setDateValue(QStringLiteral("2002/3/1"));
    filled->resize(240, 33);
    form->addRow(QStringLiteral("売上日（2002/3/1）"), filled);

    auto* locked = new calfield::DateTextBox;
    locked->setDateValue(QStringLiteral("2024-02-29"));
    locked->setLocked(true);
    locked->setTextBackColor(QColor(0xff, 0xf4, 0xd6));
    locked->setTextForeColor(QColor(0x80, 0x20, 0x20));
    form->addRow(QStringLiteral("入金日（変更不可）"), locked);

    auto* price = new digitfield::UserControl1;
    price->setText(QStringLiteral("0"));
    form->addRow(QStringLiteral("標準価格"), price);
    logEvents(price, QStringLiteral("標準価格"), log);

    auto* rightAligned = new digitfield::UserControl1;
    rightAligned->setAlignment(1);
    rightAligned->setText(QStringLiteral("-1250.5"));
    form->addRow(QStringLiteral("数値（右寄せ）"), rightAligned);

    layout->addWidget(new QLabel(QStringLiteral("イベント")));
    layout->addWidget(log);
    window.setWindowTitle(QStringLiteral("入力コントロール"));
    window.resize(420, 380);
    window.show();

    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(500, &window, [&window, file] {
            const bool saved = window.grab().save(file);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
