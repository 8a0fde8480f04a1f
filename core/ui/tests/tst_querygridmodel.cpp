#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "testsupport/TempDataDir.h"
#include "ui/QueryGridModel.h"

#include <QAbstractItemModelTester>
#include <QTableView>
#include <QTest>

using namespace desk;

// The model over the payment aggregation's saved query: typed dates, amounts in the
// display format, bound values, the columns a window declares and those it does not.
class TestQueryGridModel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void showsResultInDeclaredLayout();
    void headingsWithoutRows();
    void bindsValuesInsteadOfPastingThem_data();
    void bindsValuesInsteadOfPastingThem();
    void columnsBindByNameOrPosition();
    void failureLeavesNoStaleRows();
    void rowSetShowsAsTheStatement();

private:
    static GridColumns paymentColumns();
    static constexpr auto Statement = "SELECT RptCode, RptName, ReciptDate, ReciptAmount FROM QRYForSyukeiRecipt "
                                      "WHERE ReciptDate BETWEEN ? AND ? ORDER BY RptNO";
    test::TempDataDir m_dir;
    std::shared_ptr<Connection> m_conn;
};

GridColumns TestQueryGridModel::paymentColumns() {
    return {
        {QStringLiteral("コード"), QStringLiteral("RptCode"), 60, Qt::AlignLeft | Qt::AlignVCenter, {}, false},
        {QStringLiteral("入金項目"), QStringLiteral("rptname"), 120, Qt::AlignLeft | Qt::AlignVCenter, {}, false},
        {QStringLiteral("入金日"), QStringLiteral("ReciptDate"), 90, Qt::AlignLeft | Qt::AlignVCenter, {}, false},
        {QStringLiteral("入金額"), QStringLiteral("ReciptAmount"), 90, Qt::AlignRight | Qt::AlignVCenter,
         QStringLiteral("#,##0"), false},
    };
}

void TestQueryGridModel::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_conn = Connection::open(m_dir.path(), QString::fromLatin1(DbFile::Recipt));
    Transaction tx(m_conn);
    m_conn->exec(QStringLiteral("INSERT INTO ReciptCode (RptCode, RptName, RptClass) VALUES ('T1', '現金', NULL)"));
    m_conn->exec(QStringLiteral("INSERT INTO BTPaymentNo (RptNO, ReciptDate, RptcheckInNo, Rptkubun) VALUES "
                                "(9001, '2024-05-02', 'A', 0), (9002, '2024-05-20', 'B', 0), "
                                "(9003, '2024-06-01', 'C', 0)"));
    m_conn->exec(QStringLiteral("INSERT INTO BTPaymentDtl (RptNO, RptCode, ReciptAmount) VALUES "
                                "(9001, 'T1', 1234567), (9002, 'T1', 800), (9003, 'T1', 5)"));
    tx.commit();
}

void TestQueryGridModel::showsResultInDeclaredLayout() {
    QueryGridModel model(paymentColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setQuery(m_conn, QString::fromLatin1(Statement), {QDate(2024, 5, 1), QDate(2024, 5, 31)});

    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("入金額"));
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("現金"));
    QCOMPARE(model.index(0, 3).data().toString(), QStringLiteral("1,234,567"));
    QCOMPARE(model.index(0, 3).data(Qt::EditRole).toDouble(), 1234567.0);
    QCOMPARE(Qt::Alignment(model.index(0, 3).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
    // Dates come back as dates, shown as the suite shows dates.
    QCOMPARE(model.index(1, 2).data(Qt::EditRole).typeId(), QMetaType::QDate);
    QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("2024/05/20"));
    QCOMPARE(model.columnSum(3), 1235367.0);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

    // A view over it takes the declared widths.
    QTableView view;
    view.setModel(&model);
    applyGridColumns(&view, paymentColumns());
    QCOMPARE(view.columnWidth(1), 120);
}

void TestQueryGridModel::headingsWithoutRows() {
    QueryGridModel model(paymentColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("コード"));

    model.setQuery(m_conn, QString::fromLatin1(Statement), {QDate(2030, 1, 1), QDate(2030, 12, 31)});
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("入金日"));
    QCOMPARE(model.columnSum(3), 0.0);
}

void TestQueryGridModel::bindsValuesInsteadOfPastingThem_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("rows");
    QTest::newRow("plain") << QStringLiteral("T1") << 3;
    QTest::newRow("quote") << QStringLiteral("T1' OR '1'='1") << 0;
    QTest::newRow("date-like") << QStringLiteral("#2002/3/1#") << 0;
}

void TestQueryGridModel::bindsValuesInsteadOfPastingThem() {
    QFETCH(QString, code);
    QFETCH(int, rows);
    QueryGridModel model(paymentColumns());
    model.setQuery(m_conn,
                   QStringLiteral("SELECT RptCode, RptName, ReciptDate, ReciptAmount FROM QRYForSyukeiRecipt "
                                  "WHERE RptCode = ?"),
                   {code});
    QCOMPARE(model.rowCount(), rows);
}

void TestQueryGridModel::columnsBindByNameOrPosition() {
    // One declared column bound by position, one by name out of the statement's order, the
    // column neither binds shown after them under its own name.
    GridColumns columns = {
        {QStringLiteral(" 番号"), QString(), 50, Qt::AlignLeft, {}, false},
        {QStringLiteral("金額"), QStringLiteral("ReciptAmount"), 90, Qt::AlignRight, QStringLiteral("#,##0"), false},
    };
    QueryGridModel model(columns);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.columnCount(), 2);
    model.setQuery(m_conn,
                   QStringLiteral("SELECT RptNO, RptCode, ReciptAmount FROM QRYForSyukeiRecipt ORDER BY RptNO"));
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral(" 番号"));
    QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("9003"));
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("1,234,567"));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("RptCode"));
    QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("T1"));
    QCOMPARE(model.value(0, QStringLiteral("rptcode")).toString(), QStringLiteral("T1"));

    model.setShowUnboundFields(false);
    QCOMPARE(model.columnCount(), 2);
}

void TestQueryGridModel::failureLeavesNoStaleRows() {
    QueryGridModel model(paymentColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setQuery(m_conn, QString::fromLatin1(Statement), {QDate(2024, 1, 1), QDate(2024, 12, 31)});
    QCOMPARE(model.rowCount(), 3);

    QVERIFY_THROWS_EXCEPTION(DbError, model.setQuery(m_conn, QStringLiteral("SELECT RptCode FROM NoSuchQuery")));
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 4);

    // A declared field the result lacks is named, not shown as an empty column.
    QVERIFY_THROWS_EXCEPTION(DbError, model.setQuery(m_conn, QStringLiteral("SELECT RptCode FROM QRYForSyukeiRecipt")));
    QCOMPARE(model.rowCount(), 0);
}

void TestQueryGridModel::rowSetShowsAsTheStatement() {
    QueryGridModel bound(paymentColumns());
    bound.setQuery(m_conn, QString::fromLatin1(Statement), {QDate(2024, 5, 1), QDate(2024, 6, 30)});

    RowSet rows(m_conn, QStringLiteral("SELECT RptCode, RptName, ReciptDate, ReciptAmount FROM QRYForSyukeiRecipt "
                                       "WHERE ReciptDate BETWEEN ") +
                            Sql::dateLiteral(QDate(2024, 5, 1)) + QStringLiteral(" AND ") +
                            Sql::dateLiteral(QDate(2024, 6, 30)) + QStringLiteral(" ORDER BY RptNO"));
    QueryGridModel read(paymentColumns());
    QAbstractItemModelTester tester(&read, QAbstractItemModelTester::FailureReportingMode::QtTest);
    read.setRows(rows);

    QCOMPARE(read.rowCount(), 3);
    QCOMPARE(read.columnCount(), bound.columnCount());
    for (int row = 0; row < read.rowCount(); ++row) {
        for (int column = 0; column < read.columnCount(); ++column)
            QCOMPARE(read.index(row, column).data().toString(), bound.index(row, column).data().toString());
    }
    // The row set stays usable for a report that prints it next.
    QVERIFY(!rows.eof());
    QCOMPARE(rows.value(QStringLiteral("ReciptAmount")).toDouble(), 1234567.0);
}

QTEST_MAIN(TestQueryGridModel)
#include "tst_querygridmodel.moc"
