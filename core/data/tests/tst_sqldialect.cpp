#include "data/Connection.h"
#include "data/Criterion.h"
#include "data/DbError.h"
#include "data/Sql.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

Q_DECLARE_METATYPE(std::function<void()>)

using namespace desk;
using namespace Qt::StringLiterals;

class TestSqlDialect : public QObject {
    Q_OBJECT

private slots:
    void translate_data();
    void translate();
    void malformed_data();
    void malformed();
    void clerkReadsJapanese_data();
    void clerkReadsJapanese();
    void quote_data();
    void quote();
    void dateLiteral_data();
    void dateLiteral();
    void spelledAs_data();
    void spelledAs();
};

void TestSqlDialect::translate_data() {
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("expected");
    QTest::newRow("day text date") << QStringLiteral("RvUseDate = #2002/3/1#")
                                   << QStringLiteral("RvUseDate = '2002-03-01'");
    QTest::newRow("short date") << QStringLiteral("RvUseDate =#2002/03/01#")
                                << QStringLiteral("RvUseDate ='2002-03-01'");
    QTest::newRow("month/day/year") << QStringLiteral("d = #12/31/2001#") << QStringLiteral("d = '2001-12-31'");
    QTest::newRow("date with time") << QStringLiteral("d = #2002/3/1 9:05#")
                                    << QStringLiteral("d = '2002-03-01 09:05:00'");
    QTest::newRow("midnight is the day") << QStringLiteral("d = #2002/3/1 0:00:00#")
                                         << QStringLiteral("d = '2002-03-01'");
    QTest::newRow("glued GROUP BY") << QStringLiteral("WHERE d BETWEEN #2002/03/01# and #2002/03/31#GROUP BY a")
                                    << QStringLiteral("WHERE d BETWEEN '2002-03-01' and '2002-03-31' GROUP BY a");
    QTest::newRow("bang inside an aggregate") << QStringLiteral("SELECT Max(Reserve!RvNo) as RvNoM FROM Reserve")
                                              << QStringLiteral("SELECT Max(Reserve.RvNo) as RvNoM FROM Reserve");
    QTest::newRow("bracketed bang") << QStringLiteral("Max([BTSalesNo]![BTSalesNo])")
                                    << QStringLiteral("Max([BTSalesNo].[BTSalesNo])");
    QTest::newRow("booleans") << QStringLiteral("WHERE CheckOutFlag = False OR x = TRUE")
                              << QStringLiteral("WHERE CheckOutFlag = 0 OR x = 1");
    QTest::newRow("words that only contain true stay")
        << QStringLiteral("SELECT TrueName, IsFalse FROM t") << QStringLiteral("SELECT TrueName, IsFalse FROM t");
    QTest::newRow("literals are left alone") << QStringLiteral("WHERE a = 'It''s #1# True a!b' AND b = True")
                                             << QStringLiteral("WHERE a = 'It''s #1# True a!b' AND b = 1");
    QTest::newRow("japanese aliases and trailing semicolon")
        << QStringLiteral("SELECT Sum(SmallSum1) AS 合計1 FROM QRYForSyukei GROUP BY CclassName;")
        << QStringLiteral("SELECT Sum(SmallSum1) AS 合計1 FROM QRYForSyukei GROUP BY CclassName");
    QTest::newRow("jet functions") << QStringLiteral("SELECT Nz(a, 0), UCase(b), Len (c), Mid(d, 1, 2) FROM t")
                                   << QStringLiteral(
                                          "SELECT ifnull(a, 0), upper(b), length (c), substr(d, 1, 2) FROM t");
    QTest::newRow("a column named like a function stays")
        << QStringLiteral("SELECT Len FROM t") << QStringLiteral("SELECT Len FROM t");
}

void TestSqlDialect::translate() {
    QFETCH(QString, dialect);
    QFETCH(QString, expected);
    QCOMPARE(Sql::translate(dialect), expected);
}

void TestSqlDialect::malformed_data() {
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("message"); // the clerk reads it: Japanese, not the parser's English
    QTest::newRow("no such day") << QStringLiteral("d = #2002/2/30#")
                                 << QStringLiteral("「#2002/2/30#」は日付になりません。");
    QTest::newRow("not a date") << QStringLiteral("d = #today#") << QStringLiteral("「#today#」は日付になりません。");
    QTest::newRow("unclosed date") << QStringLiteral("d = #2002/3/1")
                                   << QStringLiteral("日付の「#」が閉じていません。");
    QTest::newRow("unclosed text") << QStringLiteral("d = 'abc") << QStringLiteral("文字列の引用符が閉じていません。");
    QTest::newRow("unclosed name") << QStringLiteral("[d = 1") << QStringLiteral("名前の角かっこが閉じていません。");
}

void TestSqlDialect::malformed() {
    QFETCH(QString, dialect);
    QFETCH(QString, message);
    try {
        Sql::translate(dialect);
        QFAIL("accepted");
    } catch (const DbError& e) {
        QCOMPARE(e.statement(), dialect);
        QCOMPARE(e.message(), message);
    }
}

// Screens show a DbError's message as it is: whatever the cause, the clerk reads Japanese.
void TestSqlDialect::clerkReadsJapanese_data() {
    QTest::addColumn<std::function<void()>>("fail");
    const auto criterion = [](const char* text) {
        return std::function<void()>([text] { Criterion::parse(QString::fromUtf8(text)); });
    };
    QTest::newRow("criterion without comparison") << criterion("RptCode '01'");
    QTest::newRow("criterion with a bare quote") << criterion("RptCode = 'O'Brien'");
    QTest::newRow("criterion date that is no day") << criterion("RvUseDate = #2002/2/30#");
    QTest::newRow("criterion Null with <") << criterion("RvDate < Null");
    QTest::newRow("criterion bare word") << criterion("RptCode = abc");
    QTest::newRow("engine failure without a known cause") << std::function<void()>([] {
        throw DbError::fromEngine(QStringLiteral("no such column: Nothing"), QStringLiteral("SELECT Nothing"), {});
    });
    QTest::newRow("file created in a missing folder") << std::function<void()>([] {
        QTemporaryDir dir;
        Connection::create(dir.filePath(QStringLiteral("gone/BTSales.mdb")));
    });
}

void TestSqlDialect::clerkReadsJapanese() {
    QFETCH(std::function<void()>, fail);
    try {
        fail();
        QFAIL("no error");
    } catch (const DbError& e) {
        const QString text = e.message();
        const bool japanese = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
            return c.script() == QChar::Script_Hiragana || c.script() == QChar::Script_Katakana ||
                   c.script() == QChar::Script_Han;
        });
        QVERIFY2(japanese, qPrintable(text));
    }
}

void TestSqlDialect::quote_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringLiteral("山田") << QStringLiteral("'山田'");
    QTest::newRow("apostrophe") << QStringLiteral("O'Brien") << QStringLiteral("'O''Brien'");
    QTest::newRow("only quotes") << QStringLiteral("''") << QStringLiteral("''''''");
    QTest::newRow("empty") << QString() << QStringLiteral("''");
}

void TestSqlDialect::quote() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Sql::quote(text), expected);
    // Quoted text survives translation untouched.
    QCOMPARE(Sql::translate(QStringLiteral("x = ") + Sql::quote(text + QStringLiteral(" #1# True"))),
             QStringLiteral("x = ") + Sql::quote(text + QStringLiteral(" #1# True")));
}

void TestSqlDialect::dateLiteral_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QString>("translated");
    QTest::newRow("day text") << QDate(2002, 3, 1) << QStringLiteral("#2002/3/1#") << QStringLiteral("'2002-03-01'");
    QTest::newRow("year end") << QDate(2002, 12, 31) << QStringLiteral("#2002/12/31#")
                              << QStringLiteral("'2002-12-31'");
    // Years the date box lets through with leading zeros ("0312") still make a date.
    QTest::newRow("three-digit year") << QDate(312, 2, 1) << QStringLiteral("#0312/2/1#")
                                      << QStringLiteral("'0312-02-01'");
    QTest::newRow("year one") << QDate(1, 1, 1) << QStringLiteral("#0001/1/1#") << QStringLiteral("'0001-01-01'");
    QTest::newRow("no date") << QDate() << QStringLiteral("Null") << QStringLiteral("Null");
}

void TestSqlDialect::dateLiteral() {
    QFETCH(QDate, date);
    QFETCH(QString, literal);
    QFETCH(QString, translated);
    QCOMPARE(Sql::dateLiteral(date), literal);
    QCOMPARE(Sql::translate(literal), translated);
}

// A name as a statement spells it: a whole word, outside literals, in any case.
void TestSqlDialect::spelledAs_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("other case") << u"checkinno"_s << u"SELECT CheckInNO FROM t"_s << u"CheckInNO"_s;
    QTest::newRow("qualified") << u"rvno"_s << u"SELECT r.RvNo FROM Reserve r"_s << u"RvNo"_s;
    QTest::newRow("part of a longer word") << u"rvno"_s << u"SELECT RvNoM, RVNO FROM t"_s << u"RVNO"_s;
    QTest::newRow("inside a literal only") << u"rvno"_s << u"SELECT 'RvNo' AS x FROM t"_s << u"rvno"_s;
    QTest::newRow("beside Japanese") << u"name"_s << u"SELECT 名Name FROM t"_s << u"name"_s;
    QTest::newRow("nowhere") << u"cname"_s << u"SELECT a FROM t"_s << u"cname"_s;
}

void TestSqlDialect::spelledAs() {
    QFETCH(QString, name);
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(Sql::spelledAs(name, statement), expected);
}

QTEST_GUILESS_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
