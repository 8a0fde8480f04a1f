// Shows the date and number input controls and an editable data grid (over a scratch data
// directory) side by side with an event log.
//   gallery [--screenshot FILE]   with --screenshot the window saves a picture of itself and quits.

#include "calfield/DateTextBox.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "digitfield/UserControl1.h"
#include "ui/DataGridModel.h"
#include "ui/DataGridView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
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

void logEvents(desk::DataGridView* grid, QPlainTextEdit* log) {
    auto line = [log](const QString& text) {
        log->appendPlainText(QStringLiteral("明細: ") + text);
    };
    QObject::connect(grid, &desk::DataGridView::cellEditCommitted, log, [line](int row, int column) {
        line(QStringLiteral("cellEditCommitted row %1 column %2").arg(row).arg(column));
    });
    QObject::connect(grid, &desk::DataGridView::keyPressed, log, [line](int& key, Qt::KeyboardModifiers, int column) {
        line(QStringLiteral("keyPressed %1 column %2").arg(key).arg(column));
    });
    QObject::connect(grid, &desk::DataGridView::rowAboutToBeDeleted, log,
                     [line](int row, const QVariantList&) { line(QStringLiteral("rowAboutToBeDeleted %1").arg(row)); });
}

// The sales lines grid as the sales window shows it, over a scratch copy of the work table.
desk::DataGridView* salesGrid(const QString& dirPath, QWidget* parent) {
    desk::Schema::createDataDirectory(dirPath);
    const auto connection = desk::Connection::open(dirPath, QString::fromLatin1(desk::DbFile::Sales));
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const QString amount = desk::convert::AmountFormat;
    const desk::GridColumns columns{
        {QStringLiteral("コード"), QStringLiteral("BTCmCode"), 60, left, {}, true},
        {QStringLiteral("     商品名"), QStringLiteral("BTCMname"), 120, left, {}, true},
        {QStringLiteral("    摘要"), QStringLiteral("BTSpec"), 90, left, {}, true},
        {QStringLiteral(" 数量"), QStringLiteral("BTQuantity"), 50, right, amount, true},
        {QStringLiteral(" 単価"), QStringLiteral("BTUnitprice"), 70, right, amount, true},
        {QStringLiteral("   小計"), QStringLiteral("BTSubtotal1"), 80, right, amount, false},
        {QStringLiteral("    合計"), QStringLiteral("BTSubtotal2"), 80, right, amount, false},
    };
    auto* grid = new desk::DataGridView(parent);
    auto* model = new desk::DataGridModel(grid);
    model->open(connection, QStringLiteral("BTTempSalesDetail"), columns);
    // Two lines written as the clerk would, on the new-row line.
    model->setRowValues(0, {{0, QStringLiteral("101")},
                            {1, QStringLiteral("夕食 会席")},
                            {2, QStringLiteral("2名様")},
                            {3, 2},
                            {4, 6500},
                            {5, 13000},
                            {6, 15730}});
    model->setRowValues(
        1, {{0, QStringLiteral("301")}, {1, QStringLiteral("ビール")}, {3, 3}, {4, 650}, {5, 1950}, {6, 2145}});
    grid->setGridModel(model, columns);
    grid->setMinimumHeight(150);
    return grid;
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

    QTemporaryDir scratch;
    layout->addWidget(new QLabel(QStringLiteral("売上明細（入力できます。Shift+Space で行選択、Delete で行削除）")));
    desk::DataGridView* grid = salesGrid(scratch.path() + QLatin1Char('/'), &window);
    layout->addWidget(grid);
    logEvents(grid, log);

    layout->addWidget(new QLabel(QStringLiteral("イベント")));
    layout->addWidget(log);
    window.setWindowTitle(QStringLiteral("入力コントロール"));
    window.resize(640, 640);
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
