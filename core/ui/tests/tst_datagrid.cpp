#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/Desk.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TempDataDir.h"
#include "ui/DataGridModel.h"
#include "ui/DataGridView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

using namespace desk;
using namespace Qt::StringLiterals;

namespace {

const QString Table = QStringLiteral("BTTempSalesDetail");

GridColumns salesColumns() {
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    return {
        {QStringLiteral("コード"), QStringLiteral("BTCmCode"), 60, Qt::AlignLeft | Qt::AlignVCenter, {}, true},
        {QStringLiteral("     商品名"), QStringLiteral("BTCMname"), 120, Qt::AlignLeft | Qt::AlignVCenter, {}, true},
        {QStringLiteral(" 数量"), QStringLiteral("BTQuantity"), 50, right, QStringLiteral("#,##0"), true},
        {QStringLiteral("    合計"), QStringLiteral("BTSubtotal2"), 80, right, QStringLiteral("#,##0"), false},
    };
}

// A line of a desk, written beside the grid as a store would.
void putLine(Connection& c, const QString& desk, const QString& code, double quantity, double total) {
    c.exec(QStringLiteral("INSERT INTO BTTempSalesDetail (Desk, BTcmcode, BTCMname, BTQuantity, BTSubTotal2) "
                          "VALUES (?, ?, '', ?, ?)"),
           {desk, code, quantity, total});
}

QStringList codesOfDesk(Connection& c, const QString& desk) {
    QStringList codes;
    QSqlQuery q(c.database());
    q.prepare(QStringLiteral("SELECT BTcmcode FROM BTTempSalesDetail WHERE Desk = ? ORDER BY RowKey"));
    q.addBindValue(desk);
    q.exec();
    while (q.next())
        codes << q.value(0).toString();
    return codes;
}

} // namespace

class TestDataGrid : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modelStaysConsistentThroughEdits();
    void showsOnlyThisDesksLinesFormatted();
    void typingIntoTheNewRowLineAddsARowOfThisDesk();
    void numberCells_data();
    void numberCells();
    void unchangedOrCancelledEditWritesNothing();
    void handlerMayReplaceAKey();
    void enterOnAReadOnlyCellMovesOn();
    void deleteRemovesTheSelectedRowOnly();
    void setFromCodeWritesAtOnce();

private:
    void showGrid();
    void typeInCell(int row, int column, const QString& text, int endKey = Qt::Key_Return);

    std::unique_ptr<test::TempDataDir> m_dir;
    std::shared_ptr<Connection> m_connection;
    std::unique_ptr<DataGridView> m_view;
    DataGridModel* m_model = nullptr;
};

void TestDataGrid::init() {
    qputenv("TESARO_DESK", "desk-a");
    m_dir = std::make_unique<test::TempDataDir>();
    QVERIFY(m_dir->isValid());
    m_connection = Connection::open(m_dir->path(), QString::fromLatin1(DbFile::Sales));
    putLine(*m_connection, QStringLiteral("desk-a"), QStringLiteral("101"), 2, 2310);
    putLine(*m_connection, QStringLiteral("desk-b"), QStringLiteral("999"), 1, 5);
    putLine(*m_connection, QStringLiteral("desk-a"), QStringLiteral("102"), 1234, 10.5);
}

void TestDataGrid::cleanup() {
    m_view.reset();
    m_model = nullptr;
    m_connection.reset();
    m_dir.reset();
    qunsetenv("TESARO_DESK");
}

void TestDataGrid::showGrid() {
    m_view = std::make_unique<DataGridView>();
    m_model = new DataGridModel(m_view.get());
    m_model->open(Connection::open(m_dir->path(), QString::fromLatin1(DbFile::Sales)), Table, salesColumns());
    m_view->setGridModel(m_model, salesColumns());
    m_view->resize(500, 300);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
    m_view->setFocus();
}

// Types into a cell as the clerk does: go there, type (which opens the editor), end the edit.
void TestDataGrid::typeInCell(int row, int column, const QString& text, int endKey) {
    m_view->setCurrentCell(row, column);
    QTest::keyClicks(m_view.get(), text.left(1));
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit*>(editor));
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, static_cast<Qt::Key>(endKey));
    QTRY_VERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
}

void TestDataGrid::modelStaysConsistentThroughEdits() {
    showGrid();
    QAbstractItemModelTester tester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    typeInCell(2, 0, QStringLiteral("103"));
    typeInCell(2, 2, QStringLiteral("3"));
    m_model->requery();
    QCOMPARE(m_model->rowCount(), 4);
    m_view->setCurrentCell(0, 0);
    QTest::keyClick(m_view.get(), Qt::Key_Space, Qt::ShiftModifier);
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(m_model->rowCount(), 3);
}

void TestDataGrid::showsOnlyThisDesksLinesFormatted() {
    showGrid();
    QCOMPARE(m_model->rowCount(), 3); // two lines of desk-a and the new-row line
    QCOMPARE(m_model->index(0, 0).data().toString(), QStringLiteral("101"));
    QCOMPARE(m_model->index(1, 0).data().toString(), QStringLiteral("102"));
    QCOMPARE(m_model->index(1, 2).data().toString(), QStringLiteral("1,234"));
    QCOMPARE(m_model->index(0, 3).data().toString(), QStringLiteral("2,310"));
    QCOMPARE(m_model->index(1, 3).data(Qt::EditRole).toDouble(), 10.5);
    QCOMPARE(m_model->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(m_model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("     商品名"));
    QVERIFY(m_model->index(2, 0).data().toString().isEmpty());
    QVERIFY(!(m_model->flags(m_model->index(0, 3)) & Qt::ItemIsEditable));
}

void TestDataGrid::typingIntoTheNewRowLineAddsARowOfThisDesk() {
    showGrid();
    QSignalSpy committed(m_view.get(), &DataGridView::cellEditCommitted);
    typeInCell(2, 0, QStringLiteral("201"));
    QCOMPARE(committed.count(), 1);
    QCOMPARE(committed.at(0).at(0).toInt(), 2);
    QCOMPARE(committed.at(0).at(1).toInt(), 0);
    QCOMPARE(m_model->lineCount(), 3);
    QCOMPARE(m_model->rowCount(), 4);
    QCOMPARE(m_view->currentRow(), 2); // the clerk stays on the line just made
    QCOMPARE(codesOfDesk(*m_connection, QStringLiteral("desk-a")),
             QStringList({QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("201")}));
    QCOMPARE(codesOfDesk(*m_connection, QStringLiteral("desk-b")), QStringList({QStringLiteral("999")}));
    // A second desk's grid sees none of it.
    qputenv("TESARO_DESK", "desk-b");
    DataGridModel other;
    other.open(m_connection, Table, salesColumns());
    QCOMPARE(other.lineCount(), 1);
    QCOMPARE(other.cellValue(0, 0).toString(), QStringLiteral("999"));
}

void TestDataGrid::numberCells_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("refusal"); // the message of a refused number; the cell keeps 2
    QTest::newRow("plain") << QStringLiteral("12") << QVariant(12.0) << QStringLiteral("12") << QString();
    QTest::newRow("separators") << QStringLiteral("1,200") << QVariant(1200.0) << QStringLiteral("1,200") << QString();
    QTest::newRow("full-width") << QStringLiteral("２５") << QVariant(25.0) << QStringLiteral("25") << QString();
    QTest::newRow("full-width separator")
        << QStringLiteral("１，０００") << QVariant(1000.0) << QStringLiteral("1,000") << QString();
    QTest::newRow("full-width five digits")
        << QStringLiteral("１２，３４５") << QVariant(12345.0) << QStringLiteral("12,345") << QString();
    QTest::newRow("decimal") << QStringLiteral("1.5") << QVariant(1.5) << QStringLiteral("2") << QString();
    QTest::newRow("thousands") << QStringLiteral("12,000") << QVariant(12000.0) << QStringLiteral("12,000")
                               << QString();
    QTest::newRow("emptied") << QString() << QVariant() << QString() << QString();
    const auto notANumber = [](const QString& typed) {
        return QStringLiteral("「%1」は数値ではありません。").arg(typed);
    };
    QTest::newRow("letters") << QStringLiteral("abc") << QVariant(2.0) << QStringLiteral("2") << notANumber(u"abc"_s);
    QTest::newRow("letters after digits")
        << QStringLiteral("7ab") << QVariant(2.0) << QStringLiteral("2") << notANumber(u"7ab"_s);
    // A comma only between groups of three digits: anything else is no number.
    for (const QString& typed : {u"1,5"_s, u"1,2345"_s, u",5"_s, u"1234,567"_s})
        QTest::newRow(qPrintable(u"comma in "_s + typed))
            << typed << QVariant(2.0) << QStringLiteral("2") << notANumber(typed);
    QTest::newRow("largest amount") << QStringLiteral("2147483647") << QVariant(2147483647.0)
                                    << QStringLiteral("2,147,483,647") << QString();
    const QString over = QStringLiteral("数量は 2147483647 までです。");
    const QString under = QStringLiteral("数量は -2147483648 から 2147483647 までの数です。");
    QTest::newRow("beyond 32 bits") << QStringLiteral("2147483648") << QVariant(2.0) << QStringLiteral("2") << over;
    QTest::newRow("twenty digits") << QStringLiteral("12345678901234567890") << QVariant(2.0) << QStringLiteral("2")
                                   << over;
    QTest::newRow("three hundred digits")
        << QStringLiteral("9").repeated(300) << QVariant(2.0) << QStringLiteral("2") << over;
    QTest::newRow("below 32 bits") << QStringLiteral("-2147483649") << QVariant(2.0) << QStringLiteral("2") << under;
    QTest::newRow("minus alone") << QStringLiteral("-") << QVariant(2.0) << QStringLiteral("2") << notANumber(u"-"_s);
    QTest::newRow("point alone") << QStringLiteral(".") << QVariant(2.0) << QStringLiteral("2") << notANumber(u"."_s);
    QTest::newRow("minus point") << QStringLiteral("-.") << QVariant(2.0) << QStringLiteral("2") << notANumber(u"-."_s);
}

void TestDataGrid::numberCells() {
    QFETCH(QString, typed);
    QFETCH(QVariant, stored);
    QFETCH(QString, shown);
    QFETCH(QString, refusal);
    test::ScriptedDialogs dialogs;
    showGrid();
    m_view->setCurrentCell(0, 2);
    QTest::keyClick(m_view.get(), Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("2"));
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    for (const QChar c : typed) {
        if (c.unicode() < 0x80)
            QTest::keyClick(editor, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QTest::keyClick(editor, Qt::Key_Tab);
    if (refusal.isEmpty()) {
        QTRY_COMPARE(m_view->currentColumn(), 3);
        QVERIFY(dialogs.messages().isEmpty());
    } else {
        // In the clerk's words, as a refusal of what was typed, not as a failure; the text
        // stays in the cell to be put right, or taken back with Escape.
        QCOMPARE(dialogs.messageTexts(), QStringList{refusal});
        QCOMPARE(dialogs.messages().at(0).title, QStringLiteral("警告"));
        QCOMPARE(m_view->currentColumn(), 2);
        QCOMPARE(QApplication::focusWidget(), editor);
        QCOMPARE(editor->text(), typed);
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    }
    QCOMPARE(m_connection->scalar(QStringLiteral("SELECT BTQuantity FROM BTTempSalesDetail WHERE BTcmcode = '101'")),
             stored);
    QCOMPARE(m_model->index(0, 2).data().toString(), shown);
}

void TestDataGrid::unchangedOrCancelledEditWritesNothing() {
    showGrid();
    QSignalSpy committed(m_view.get(), &DataGridView::cellEditCommitted);
    // Opened and left as it was.
    m_view->setCurrentCell(0, 1);
    QTest::keyClick(m_view.get(), Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    // Typed into, then cancelled with Escape.
    m_view->setCurrentCell(0, 0);
    QTest::keyClicks(m_view.get(), QStringLiteral("5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    // Typed into the new-row line, then cancelled: no row appears.
    m_view->setCurrentCell(2, 0);
    QTest::keyClicks(m_view.get(), QStringLiteral("7"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::qWait(20);
    QCOMPARE(committed.count(), 0);
    QCOMPARE(codesOfDesk(*m_connection, QStringLiteral("desk-a")),
             QStringList({QStringLiteral("101"), QStringLiteral("102")}));
    QCOMPARE(m_model->rowCount(), 3);
}

void TestDataGrid::handlerMayReplaceAKey() {
    showGrid();
    QList<int> seenColumns;
    connect(m_view.get(), &DataGridView::keyPressed, this, [&](int& key, Qt::KeyboardModifiers, int column) {
        seenColumns << column;
        if (key == Qt::Key_Return && column == 0)
            key = Qt::Key_Tab;
        else if (key == Qt::Key_Return && column == 1)
            key = 0;
    });
    // Enter in an open editor of column 0 becomes Tab: the value is written and the cell moves on
    // (into the editor of the next column).
    m_view->setCurrentCell(0, 0);
    QTest::keyClick(m_view.get(), Qt::Key_1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("50"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(m_view->currentColumn(), 1);
    QCOMPARE(m_model->cellValue(0, 0).toString(), QStringLiteral("150"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    // A swallowed Enter does nothing at all.
    QTest::keyClick(m_view.get(), Qt::Key_Return);
    QCOMPARE(m_view->currentColumn(), 1);
    QVERIFY(seenColumns.contains(0));
    QVERIFY(seenColumns.contains(1));
    // A posted key arrives after the current event.
    m_view->postKey(Qt::Key_Tab);
    QTRY_COMPARE(m_view->currentColumn(), 2);
}

void TestDataGrid::enterOnAReadOnlyCellMovesOn() {
    showGrid();
    // The total is the line's last column and cannot be typed into: Enter goes on to the
    // next line's first cell.
    m_view->setCurrentCell(0, 3);
    QTest::keyClick(m_view.get(), Qt::Key_Return);
    QCOMPARE(m_view->currentRow(), 1);
    QCOMPARE(m_view->currentColumn(), 0);
    // On a cell that can be typed into, Enter stays where it is.
    QTest::keyClick(m_view.get(), Qt::Key_Return);
    QCOMPARE(m_view->currentRow(), 1);
    QCOMPARE(m_view->currentColumn(), 0);
}

void TestDataGrid::deleteRemovesTheSelectedRowOnly() {
    showGrid();
    QSignalSpy aboutToGo(m_view.get(), &DataGridView::rowAboutToBeDeleted);
    // A cell alone is not a selected row: Delete leaves the line.
    m_view->setCurrentCell(1, 0);
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(m_model->lineCount(), 2);
    // On the new-row line there is nothing to delete.
    m_view->setCurrentCell(2, 0);
    QTest::keyClick(m_view.get(), Qt::Key_Space, Qt::ShiftModifier);
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(aboutToGo.count(), 0);
    // The selected row goes, its values announced first.
    m_view->setCurrentCell(1, 0);
    QTest::keyClick(m_view.get(), Qt::Key_Space, Qt::ShiftModifier);
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(aboutToGo.count(), 1);
    QCOMPARE(aboutToGo.at(0).at(0).toInt(), 1);
    const QVariantList values = aboutToGo.at(0).at(1).toList();
    QCOMPARE(values.at(0).toString(), QStringLiteral("102"));
    QCOMPARE(values.at(3).toDouble(), 10.5);
    QCOMPARE(codesOfDesk(*m_connection, QStringLiteral("desk-a")), QStringList({QStringLiteral("101")}));
    QCOMPARE(codesOfDesk(*m_connection, QStringLiteral("desk-b")), QStringList({QStringLiteral("999")}));
}

void TestDataGrid::setFromCodeWritesAtOnce() {
    showGrid();
    QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
    m_model->setRowValues(0, {{1, QStringLiteral("夕食")}, {3, 4620.0}});
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_connection->scalar(QStringLiteral("SELECT BTCMname FROM BTTempSalesDetail WHERE BTcmcode = '101'"))
                 .toString(),
             QStringLiteral("夕食"));
    QCOMPARE(m_model->index(0, 3).data().toString(), QStringLiteral("4,620"));
    // Code may write a column the clerk may not; it may not write a text into a number.
    QVERIFY_THROWS_EXCEPTION(ConversionError, m_model->setCellValue(0, 2, QStringLiteral("abc")));
    // Writing on the new-row line adds a row of this desk.
    m_model->setCellValue(2, 0, QStringLiteral("301"));
    QCOMPARE(m_model->lineCount(), 3);
    QCOMPARE(codesOfDesk(*m_connection, QStringLiteral("desk-a")).last(), QStringLiteral("301"));
}

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
