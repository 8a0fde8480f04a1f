#include "paymentsvc/ReciptSlp.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using paymentsvc::ReciptSlp;

namespace {

struct Line {
    QString code;
    double amount;
};

std::shared_ptr<desk::Connection> reciptFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Recipt));
}

std::unique_ptr<ReciptSlp> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<ReciptSlp>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

qint64 count(const desk::test::TempDataDir& dir, const QString& table, const QString& where = QStringLiteral("1 = 1")) {
    return reciptFile(dir)->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where)).toLongLong();
}

// Empty slip and work tables, with two payment items to name the lines.
void reset(const desk::test::TempDataDir& dir) {
    auto file = reciptFile(dir);
    for (const auto* table : {"BTPaymentNo", "BTPaymentDtl", "BTReciptTemp"})
        file->exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
    file->exec(QStringLiteral("DELETE FROM ReciptCode WHERE RptCode IN ('P1', 'P2')"));
    file->exec(QStringLiteral("INSERT INTO ReciptCode (RptCode, RptName, RptClass) VALUES ('P1', '現金', 1), "
                              "('P2', 'カード', 2)"));
}

void putWork(const desk::test::TempDataDir& dir, const QList<Line>& lines) {
    auto file = reciptFile(dir);
    for (const Line& line : lines)
        file->exec(QStringLiteral("INSERT INTO BTReciptTemp (RptCode, ReciptAmount, RptRemarks) VALUES (?, ?, ?)"),
                   {line.code, line.amount, QStringLiteral("備考")});
}

void fill(ReciptSlp& store, const QString& number, const QString& checkInNo) {
    store.setSlipNo(number);
    store.setSlipDate(QDate(2002, 3, 2));
    store.setSlipCliantCode(checkInNo);
    store.setUrKubun(1);
}

// As the payment screen saves: Msave and MDsave in one transaction, then the work table emptied.
void saveSlip(const desk::test::TempDataDir& dir, int number, const QList<Line>& lines,
              const QString& checkInNo = QStringLiteral("C100")) {
    putWork(dir, lines);
    auto store = connected(dir);
    fill(*store, QString::number(number), checkInNo);
    desk::Transaction transaction(store->connection());
    store->Msave();
    store->MDsave();
    store->ClearTemp();
    transaction.commit();
}

QStringList workLines(const desk::test::TempDataDir& dir) {
    QStringList lines;
    desk::RowSet work(reciptFile(dir), QStringLiteral("BTReciptTemp"));
    for (; !work.eof(); work.moveNext())
        lines << QStringLiteral("%1/%2/%3/%4")
                     .arg(work.value(QStringLiteral("RptNO")).toString(),
                          work.value(QStringLiteral("RptCode")).toString(),
                          work.value(QStringLiteral("RptName")).toString())
                     .arg(work.value(QStringLiteral("ReciptAmount")).toDouble());
    return lines;
}

} // namespace

class TestPaymentSvc : public QObject {
    Q_OBJECT

private slots:
    void numbering_data();
    void numbering();
    void findByNumber_data();
    void findByNumber();
    void recallLoadsLinesWithNames();
    void recallOfUnknownSlipChangesNothing();
    void correctionReplacesLines_data();
    void correctionReplacesLines();
    void deleteTakesHeaderAndLines();
    void clearTempOnEmptyTable();
    void saveRefusesATakenNumber();
    void screenSaveIsAllOrNothing();
    void numberMustBeANumber();
};

void TestPaymentSvc::numbering_data() {
    QTest::addColumn<QList<int>>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty table") << QList<int>{} << QStringLiteral("1");
    QTest::newRow("one to seven") << QList<int>{1, 2, 3, 4, 5, 6, 7} << QStringLiteral("8");
    QTest::newRow("only seven") << QList<int>{7} << QStringLiteral("8");
}

void TestPaymentSvc::numbering() {
    QFETCH(QList<int>, existing);
    QFETCH(QString, expected);
    desk::test::TempDataDir dir;
    reset(dir);
    for (int number : existing)
        saveSlip(dir, number, {});
    auto store = connected(dir);
    store->SendReciptNo();
    QCOMPARE(store->SlipNo(), expected);
}

void TestPaymentSvc::findByNumber_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("disp");
    QTest::addColumn<QString>("duplicate");
    QTest::newRow("existing") << QStringLiteral("5") << QStringLiteral("5") << QStringLiteral("X");
    QTest::newRow("missing") << QStringLiteral("6") << QString() << QString();
    QTest::newRow("not a number") << QStringLiteral("abc") << QString() << QString();
    QTest::newRow("quote") << QStringLiteral("5' OR '1'='1") << QString() << QString();
}

void TestPaymentSvc::findByNumber() {
    QFETCH(QString, number);
    QFETCH(QString, disp);
    QFETCH(QString, duplicate);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 3, {});
    saveSlip(dir, 5, {});
    QCOMPARE(connected(dir)->DispSlip(number), disp);
    QCOMPARE(connected(dir)->DuplicateCheck(number), duplicate);
}

void TestPaymentSvc::recallLoadsLinesWithNames() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 4, {{QStringLiteral("P2"), 700}});
    saveSlip(dir, 5, {{QStringLiteral("P1"), 10000}, {QStringLiteral("P2"), 5000}, {QStringLiteral("P1"), 250}},
             QStringLiteral("C'7"));

    auto store = connected(dir);
    store->setSlipNo(QStringLiteral("5"));
    store->EDsearch();
    QCOMPARE(store->SlipNo(), QStringLiteral("5"));
    QCOMPARE(store->SlipDate(), QDate(2002, 3, 2));
    QCOMPARE(store->SlipCliantCode(), QStringLiteral("C'7"));
    QCOMPARE(store->UrKubun(), qint16(1));
    QCOMPARE(workLines(dir), (QStringList{QStringLiteral("5/P1/現金/10000"), QStringLiteral("5/P2/カード/5000"),
                                          QStringLiteral("5/P1/現金/250")}));
}

void TestPaymentSvc::recallOfUnknownSlipChangesNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {{QStringLiteral("P1"), 100}});
    putWork(dir, {{QStringLiteral("P2"), 300}});
    auto store = connected(dir);
    store->setSlipCliantCode(QStringLiteral("前"));
    store->setUrKubun(2);
    store->setSlipNo(QStringLiteral("9"));
    store->EDsearch();
    QCOMPARE(store->SlipNo(), QStringLiteral("0"));
    QCOMPARE(store->SlipCliantCode(), QStringLiteral("前"));
    QCOMPARE(store->UrKubun(), qint16(2));
    QCOMPARE(count(dir, QStringLiteral("BTReciptTemp")), 1);
}

void TestPaymentSvc::correctionReplacesLines_data() {
    QTest::addColumn<QString>("newNumber");
    QTest::newRow("same number") << QStringLiteral("2");
    QTest::newRow("renumbered") << QStringLiteral("12");
}

void TestPaymentSvc::correctionReplacesLines() {
    QFETCH(QString, newNumber);
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {{QStringLiteral("P1"), 100}, {QStringLiteral("P1"), 200}});
    saveSlip(dir, 3, {{QStringLiteral("P2"), 300}});
    putWork(dir, {{QStringLiteral("P2"), 999}});

    auto store = connected(dir);
    fill(*store, newNumber, QStringLiteral("C555"));
    store->setSlipNo2(QStringLiteral("2"));
    {
        desk::Transaction transaction(store->connection());
        store->Medit();
        store->MeditD1();
        store->MDsave();
        store->ClearTemp();
        transaction.commit();
    }
    QCOMPARE(count(dir, QStringLiteral("BTPaymentNo")), 2);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentNo"),
                   QStringLiteral("RptNO = %1 AND RptcheckInNo = 'C555'").arg(newNumber)),
             1);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentDtl"), QStringLiteral("RptNO = %1").arg(newNumber)), 1);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentDtl"), QStringLiteral("ReciptAmount = 999")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentDtl"), QStringLiteral("RptNO = 3")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentDtl")), 2);
}

void TestPaymentSvc::deleteTakesHeaderAndLines() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 2, {{QStringLiteral("P1"), 100}, {QStringLiteral("P1"), 200}});
    saveSlip(dir, 3, {{QStringLiteral("P2"), 300}});
    auto store = connected(dir);
    store->setSlipNo2(QStringLiteral("2"));
    store->Mdelete();
    QCOMPARE(count(dir, QStringLiteral("BTPaymentNo")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentDtl")), 1);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentDtl"), QStringLiteral("RptNO = 2")), 0);

    auto again = connected(dir);
    again->setSlipNo2(QStringLiteral("2"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, again->Mdelete());
}

void TestPaymentSvc::clearTempOnEmptyTable() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 1, {{QStringLiteral("P1"), 100}});
    connected(dir)->ClearTemp();
    QCOMPARE(count(dir, QStringLiteral("BTReciptTemp")), 0);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentDtl")), 1);
}

void TestPaymentSvc::saveRefusesATakenNumber() {
    desk::test::TempDataDir dir;
    reset(dir);
    saveSlip(dir, 4, {{QStringLiteral("P1"), 100}});
    auto store = connected(dir);
    fill(*store, QStringLiteral("4"), QStringLiteral("C999"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->Msave());
    QCOMPARE(count(dir, QStringLiteral("BTPaymentNo")), 1);

    // Renumbering a slip onto another one's number is refused the same way.
    saveSlip(dir, 5, {});
    auto editor = connected(dir);
    fill(*editor, QStringLiteral("4"), QStringLiteral("C999"));
    editor->setSlipNo2(QStringLiteral("5"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, editor->Medit());
    QCOMPARE(count(dir, QStringLiteral("BTPaymentNo"), QStringLiteral("RptNO = 5")), 1);
}

void TestPaymentSvc::screenSaveIsAllOrNothing() {
    desk::test::TempDataDir dir;
    reset(dir);
    putWork(dir, {{QStringLiteral("P1"), 100}, {QStringLiteral("P2"), 200}});
    reciptFile(dir)->exec(QStringLiteral("CREATE TRIGGER refuseLine BEFORE INSERT ON BTPaymentDtl "
                                         "WHEN NEW.RptCode = 'P2' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    auto store = connected(dir);
    fill(*store, QStringLiteral("1"), QStringLiteral("C100"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, {
        desk::Transaction transaction(store->connection());
        store->Msave();
        store->MDsave();
        transaction.commit();
    });
    QCOMPARE(count(dir, QStringLiteral("BTPaymentNo")), 0);
    QCOMPARE(count(dir, QStringLiteral("BTPaymentDtl")), 0);
    QCOMPARE(count(dir, QStringLiteral("BTReciptTemp")), 2);
}

void TestPaymentSvc::numberMustBeANumber() {
    desk::test::TempDataDir dir;
    reset(dir);
    auto store = connected(dir);
    fill(*store, QStringLiteral("1; DROP TABLE BTPaymentNo"), QStringLiteral("C100"));
    QVERIFY_THROWS_EXCEPTION(desk::ConversionError, store->Msave());
    store->setSlipNo2(QStringLiteral("1 OR 1=1"));
    QVERIFY_THROWS_EXCEPTION(desk::ConversionError, store->MeditD1());
    QCOMPARE(count(dir, QStringLiteral("BTPaymentNo")), 0);
}

QTEST_GUILESS_MAIN(TestPaymentSvc)
#include "tst_paymentsvc.moc"
