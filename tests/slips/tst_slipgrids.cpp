// The two slip windows, 売上 and 入金, type their lines into the same kind of grid: what the
// clerk types there is never lost to a button, an access key, the window's closing or a click.

#include "chargeapp/FrmSales.h"
#include "paymentapp/FrmRptBill.h"

#include "calfield/DateTextBox.h"
#include "data/Connection.h"
#include "testsupport/WindowFixture.h"
#include "ui/DataGridModel.h"
#include "ui/DataGridView.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <functional>

using namespace desk::test;
using namespace Qt::StringLiterals;
using Answer = desk::Dialogs::Answer;

namespace {

// What tells the two windows apart here.
struct SlipWindow {
    std::function<std::unique_ptr<QWidget>(desk::ModuleContext&)> open;
    QString grid;
    QString checkInBox;
    QString dateBox;
    QString numberLabel;
    const char* file;
    QString storedValue; // the value column of a stored line, by slip number
    QString workValues;  // the value column of this desk's work lines
    // Enter presses from a line's code to its value (quantity, amount), each moving on.
    int entersToValue;
    QString code;
    QString otherCode;
    QString saved; // the message line after register, %1 the number
};

SlipWindow slipWindow(const QString& name) {
    if (name == u"売上"_s)
        return {[](desk::ModuleContext& c) { return std::make_unique<chargeapp::FrmSales>(c); },
                u"DbGridSales"_s,
                u"txtSalesCkInNo"_s,
                u"DateTextBoxSales"_s,
                u"lbSalesNo"_s,
                desk::DbFile::Sales,
                u"SELECT BTQuantity FROM BTSalesDetail WHERE BTSalesNo = ?"_s,
                u"SELECT BTQuantity FROM BTTempSalesDetail"_s,
                2,
                u"201"_s,
                u"202"_s,
                u"売上番号 %1 を登録しました。"_s};
    return {[](desk::ModuleContext& c) { return std::make_unique<paymentapp::FrmRptBill>(c); },
            u"DataGrid1"_s,
            u"txtChkInNoRecipt"_s,
            u"DateTextBoxRecipt"_s,
            u"lbReciptNo"_s,
            desk::DbFile::Recipt,
            u"SELECT ReciptAmount FROM BTPaymentDtl WHERE RptNO = ?"_s,
            u"SELECT ReciptAmount FROM BTReciptTemp"_s,
            2, // the item's name, filled from the code, is passed over
            u"01"_s,
            u"02"_s,
            u"入金番号 %1 を登録しました。"_s};
}

void keys(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

void key(Qt::Key k) {
    QTest::keyClick(QApplication::focusWidget(), k);
    // A key the window turns into two (Enter after a price) sends the second after this one.
    QTest::qWait(1);
    QCoreApplication::processEvents();
}

QLineEdit* cellEditor(desk::DataGridView* grid) {
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return editor && grid->viewport()->isAncestorOf(editor) ? editor : nullptr;
}

} // namespace

class TestSlipGrids : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typedCellIsWrittenFirst_data();
    void typedCellIsWrittenFirst();
    void refusedCellStopsTheAction_data();
    void refusedCellStopsTheAction();
    void aClickNeverEatsAKey_data();
    void aClickNeverEatsAKey();
    void callUpAsksOnlyWhatWouldBeLost_data();
    void callUpAsksOnlyWhatWouldBeLost();

private:
    void openWindow();
    // The guest's number typed, the focus on the new line's code.
    void startLine();
    // Code, Enter until the value cell, and the value typed: its editor still open.
    void typeUpToTheValue(const QString& value);
    void act(const QString& action);
    QVariant stored(const QString& statement, const QVariantList& binds = {}) const {
        return desk::Connection::open(m_f->dirPath(), QString::fromLatin1(m_slip.file))->scalar(statement, binds);
    }
    desk::DataGridView* grid() const { return child<desk::DataGridView>(m_window.get(), m_slip.grid); }

    std::unique_ptr<WindowFixture> m_f;
    SlipWindow m_slip;
    std::unique_ptr<QWidget> m_window;
};

void TestSlipGrids::init() {
    qputenv("TESARO_DESK", "front-1");
    m_f = std::make_unique<WindowFixture>(true);
    QVERIFY(m_f->isValid());
}

void TestSlipGrids::cleanup() {
    m_window.reset();
    m_f.reset();
    qunsetenv("TESARO_DESK");
}

void TestSlipGrids::openWindow() {
    QFETCH(QString, window);
    m_slip = slipWindow(window);
    m_window = m_slip.open(m_f->context());
    QVERIFY(showActive(m_window.get()));
}

void TestSlipGrids::startLine() {
    QVERIFY(typeInto(m_window.get(), m_slip.checkInBox, u"1001"_s));
    grid()->setFocus();
    grid()->setCurrentCell(grid()->gridModel()->lineCount(), 0);
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
}

void TestSlipGrids::typeUpToTheValue(const QString& value) {
    keys(m_slip.code);
    for (int i = 0; i < m_slip.entersToValue; ++i)
        key(Qt::Key_Return);
    QCOMPARE(grid()->currentColumn(), 3);
    keys(value);
    QVERIFY(cellEditor(grid()));
}

void TestSlipGrids::act(const QString& action) {
    if (action == u"access key"_s)
        pressAccessKey(m_window.get(), Qt::Key_T);
    else if (action == u"mouse"_s)
        QVERIFY(mouseClick(m_window.get(), u"CmdRecord"_s));
    else
        m_window->close();
}

void TestSlipGrids::typedCellIsWrittenFirst_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("action"); // 登録 by its access key or the mouse, or the window's closing
    for (const QString& window : {u"売上"_s, u"入金"_s}) {
        for (const QString& action : {u"access key"_s, u"mouse"_s, u"closing"_s})
            QTest::newRow(qPrintable(window + u", "_s + action)) << window << action;
    }
}

// The last value typed and 登録 pressed without Enter: the slip holds it.
void TestSlipGrids::typedCellIsWrittenFirst() {
    QFETCH(QString, action);
    openWindow();
    startLine();
    typeUpToTheValue(u"3"_s);
    const qint32 number = textOf(m_window.get(), m_slip.numberLabel).toInt();
    m_f->dialogs().pushAnswer(Answer::No); // the closing asks about the lines: they stay
    act(action);

    if (action == u"closing"_s) {
        QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"登録していない明細があります。終了しますか？"_s});
        QVERIFY(m_window->isVisible());
        QCOMPARE(stored(m_slip.workValues).toDouble(), 3.0);
        return;
    }
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    QCOMPARE(textOf(m_window.get(), u"lbStatus"_s), m_slip.saved.arg(number));
    QCOMPARE(stored(m_slip.storedValue, {number}).toDouble(), 3.0);
}

void TestSlipGrids::refusedCellStopsTheAction_data() {
    typedCellIsWrittenFirst_data();
}

// A value the cell refuses stops the action with the cell's own message; the text stays in
// the cell with the focus, to be put right.
void TestSlipGrids::refusedCellStopsTheAction() {
    QFETCH(QString, action);
    openWindow();
    startLine();
    typeUpToTheValue(u"1,5"_s);
    const qint32 number = textOf(m_window.get(), m_slip.numberLabel).toInt();
    act(action);

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList{u"「1,5」は数値ではありません。"_s});
    QVERIFY(m_window->isVisible());
    QLineEdit* editor = cellEditor(grid());
    QVERIFY(editor);
    QCOMPARE(editor->text(), u"1,5"_s);
    QCOMPARE(grid()->currentColumn(), 3);
    QVERIFY(stored(u"SELECT COUNT(*) FROM "_s + (m_slip.file == desk::DbFile::Sales ? u"BTSalesNo WHERE BTSalesNo = ?"_s
                                                                                    : u"BTPaymentNo WHERE RptNO = ?"_s),
                   {number})
                .toInt() == 0);

    // Put right, the slip is registered with it.
    editor->selectAll();
    keys(u"2"_s);
    m_f->dialogs().clear();
    pressAccessKey(m_window.get(), Qt::Key_T);
    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    QCOMPARE(stored(m_slip.storedValue, {number}).toDouble(), 2.0);
}

void TestSlipGrids::aClickNeverEatsAKey_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("currentCell"); // else the code cell of the line above
    for (const QString& window : {u"売上"_s, u"入金"_s}) {
        QTest::newRow(qPrintable(window + u", the current cell"_s)) << window << true;
        QTest::newRow(qPrintable(window + u", another cell"_s)) << window << false;
    }
}

// A line finished, Tab brings the cursor to the new line's code; a click on a cell and a code
// typed at once: the cell holds every key of it.
void TestSlipGrids::aClickNeverEatsAKey() {
    QFETCH(bool, currentCell);
    openWindow();
    startLine();
    typeUpToTheValue(u"3"_s);
    auto* view = grid();
    for (int tabs = 0; tabs < 10 && view->currentRow() < view->gridModel()->lineCount(); ++tabs)
        key(Qt::Key_Tab);
    QCOMPARE(view->currentRow(), 1);
    QCOMPARE(view->currentColumn(), 0);
    // Tab out of an editor opens the next one (入金): the clerk looks at the cell, not into it.
    if (cellEditor(view))
        key(Qt::Key_Escape);
    QVERIFY(!cellEditor(view));
    QVERIFY(view->selectionModel()->isSelected(view->currentIndex()));

    const QModelIndex clicked = currentCell ? view->currentIndex() : view->model()->index(0, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(clicked).center());
    QCOMPARE(view->currentIndex(), clicked);
    keys(m_slip.otherCode);
    key(Qt::Key_Return);

    QCOMPARE(m_f->dialogs().messageTexts(), QStringList());
    QCOMPARE(view->gridModel()->cellValue(clicked.row(), 0).toString(), m_slip.otherCode);
}

void TestSlipGrids::callUpAsksOnlyWhatWouldBeLost_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("shown"); // what is on screen besides today's date
    QTest::addColumn<bool>("asked");
    for (const QString& window : {u"売上"_s, u"入金"_s}) {
        QTest::newRow(qPrintable(window + u", nothing"_s)) << window << u"nothing"_s << false;
        QTest::newRow(qPrintable(window + u", a line"_s)) << window << u"a line"_s << true;
        QTest::newRow(qPrintable(window + u", a guest's number"_s)) << window << u"a number"_s << true;
        QTest::newRow(qPrintable(window + u", another day"_s)) << window << u"another day"_s << true;
    }
}

void TestSlipGrids::callUpAsksOnlyWhatWouldBeLost() {
    QFETCH(QString, shown);
    QFETCH(bool, asked);
    openWindow();
    if (shown == u"a line"_s)
        grid()->gridModel()->setCellValue(0, 0, m_slip.code);
    else if (shown == u"a number"_s)
        QVERIFY(typeInto(m_window.get(), m_slip.checkInBox, u"1001"_s));
    else if (shown == u"another day"_s)
        child<calfield::DateTextBox>(m_window.get(), m_slip.dateBox)->setYearText(u"2001"_s);
    m_f->dialogs().clear();
    m_f->dialogs().pushAnswer(Answer::No);
    pressAccessKey(m_window.get(), Qt::Key_C);

    const QString question = u"表示されているデータが消去されます。"_s;
    if (asked) {
        QCOMPARE(m_f->dialogs().messageTexts(), QStringList{question});
        return;
    }
    // Straight to the number: nothing asked first.
    QCOMPARE(m_f->dialogs().shown().size(), 1);
    QCOMPARE(m_f->dialogs().shown().constFirst().kind, ScriptedDialogs::Shown::Kind::Input);
}

QTEST_MAIN(TestSlipGrids)
#include "tst_slipgrids.moc"
