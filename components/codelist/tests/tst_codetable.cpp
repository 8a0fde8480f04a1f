#include "codelist/CodeTable.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

using namespace Qt::StringLiterals;
using desk::CodeField;
using desk::CodeRecord;
using desk::CodeTable;

namespace {

// A table of several kinds of columns, as the reference lists beyond code and name have.
const desk::CodeTableDef rooms{desk::DbFile::Option,
                               u"TestRooms"_s,
                               u"客室"_s,
                               {{u"RmCode"_s},
                                {u"RmName"_s},
                                {u"RmType"_s},
                                {u"RmCapacity"_s, CodeField::Int16},
                                {u"RmSort"_s, CodeField::Int32},
                                {u"RmInService"_s, CodeField::Flag},
                                {u"RmNote"_s}}};

std::shared_ptr<desk::Connection> optionFile(const QString& dir) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::Option));
}

void createRooms(const QString& dir) {
    const auto c = optionFile(dir);
    const desk::Engine& engine = c->engine();
    using Declared = desk::Engine::Declared;
    const QString text = engine.columnType(Declared::CaseBlindText);
    c->exec(u"CREATE TABLE TestRooms (RmCode %1, RmName %1, RmType %1, RmCapacity %2, RmSort %3, RmInService %4, "
            "RmNote %1, RowKey %5)"_s.arg(text, engine.columnType(Declared::SmallInt),
                                          engine.columnType(Declared::Integer), engine.columnType(Declared::YesNo),
                                          engine.rowKeyType()));
}

CodeRecord room(const QString& code, const QString& name, qint16 capacity = 2, bool inService = true) {
    return {code, name, u"和室"_s, capacity, qint32(10), inService, QString()};
}

QStringList stored(const QString& dir) {
    QStringList out;
    for (const CodeRecord& r : CodeTable(rooms, dir).rows())
        out << r.value(0).toString() + u':' + r.value(1).toString();
    return out;
}

} // namespace

class TestCodeTable : public QObject {
    Q_OBJECT

private slots:
    void recordsKeepTheirKinds();
    void writesRefuseACodeAnotherRowHas_data();
    void writesRefuseACodeAnotherRowHas();
    void aRowGoneOrAValueOutOfRangeWritesNothing();
};

void TestCodeTable::recordsKeepTheirKinds() {
    desk::test::TempDataDir dir;
    createRooms(dir.path());
    const CodeTable table(rooms, dir.path());
    QCOMPARE(table.add({u"201"_s, u"桜"_s, u"和室"_s, qint16(5), qint32(120), false, u"修理中"_s}),
             CodeTable::Write::Written);
    QCOMPARE(table.add(room(u"101"_s, u"梅"_s)), CodeTable::Write::Written);

    const std::optional<CodeRecord> found = table.find(u"201"_s);
    QVERIFY(found);
    QCOMPARE(*found, (CodeRecord{u"201"_s, u"桜"_s, u"和室"_s, qint16(5), qint32(120), false, u"修理中"_s}));
    QCOMPARE(found->value(5).typeId(), QMetaType::Bool);
    // A text left unset is stored as an empty text and read back as one.
    QCOMPARE(table.find(u"101"_s)->value(6), QVariant(QString()));
    QCOMPARE(optionFile(dir.path())->scalar(u"SELECT COUNT(*) FROM TestRooms WHERE RmNote IS NULL"_s).toInt(), 0);
    // In the order the rows were added.
    QCOMPARE(stored(dir.path()), (QStringList{u"201:桜"_s, u"101:梅"_s}));
    QVERIFY(!table.find(u"301"_s));
}

void TestCodeTable::writesRefuseACodeAnotherRowHas_data() {
    QTest::addColumn<QString>("called");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QStringList>("after");
    // called empty: a new row.
    QTest::newRow("new, free") << QString() << u"301"_s << true << QStringList{u"101:梅"_s, u"ab:竹"_s, u"301:新"_s};
    QTest::newRow("new, taken in other case") << QString() << u"AB"_s << false << QStringList{u"101:梅"_s, u"ab:竹"_s};
    QTest::newRow("new, quote in the code")
        << QString() << u"1'1"_s << true << QStringList{u"101:梅"_s, u"ab:竹"_s, u"1'1:新"_s};
    QTest::newRow("renumbered onto another's") << u"101"_s << u"ab"_s << false << QStringList{u"101:梅"_s, u"ab:竹"_s};
    QTest::newRow("renumbered, free") << u"101"_s << u"102"_s << true << QStringList{u"102:新"_s, u"ab:竹"_s};
    QTest::newRow("own code in other case") << u"ab"_s << u"AB"_s << true << QStringList{u"101:梅"_s, u"AB:新"_s};
}

void TestCodeTable::writesRefuseACodeAnotherRowHas() {
    QFETCH(QString, called);
    QFETCH(QString, code);
    QFETCH(bool, written);
    QFETCH(QStringList, after);
    desk::test::TempDataDir dir;
    createRooms(dir.path());
    const CodeTable table(rooms, dir.path());
    table.add(room(u"101"_s, u"梅"_s));
    table.add(room(u"ab"_s, u"竹"_s));

    const CodeTable::Write result =
        called.isEmpty() ? table.add(room(code, u"新"_s)) : table.correct(called, room(code, u"新"_s));
    QCOMPARE(result == CodeTable::Write::Written, written);
    QCOMPARE(stored(dir.path()), after);
}

void TestCodeTable::aRowGoneOrAValueOutOfRangeWritesNothing() {
    desk::test::TempDataDir dir;
    createRooms(dir.path());
    const CodeTable table(rooms, dir.path());
    table.add(room(u"101"_s, u"梅"_s));

    // Deleted at another desk meanwhile: the correction and the delete fail, naming it.
    try {
        table.correct(u"999"_s, room(u"999"_s, u"新"_s));
        QFAIL("a correction of a row that is gone succeeded");
    } catch (const desk::DbError& e) {
        QVERIFY2(e.text().contains(u"訂正する客室 (コード 999) が見つかりません。"_s), qPrintable(e.text()));
    }
    QVERIFY_THROWS_EXCEPTION(desk::DbError, table.remove(u"999"_s));

    // Beyond the 16-bit column: nothing of the row is written.
    CodeRecord tooMany = room(u"101"_s, u"大広間"_s);
    tooMany[3] = 40000;
    QVERIFY_THROWS_EXCEPTION(desk::ConversionError, table.correct(u"101"_s, tooMany));
    QCOMPARE(table.find(u"101"_s)->value(1).toString(), u"梅"_s);

    table.remove(u"101"_s);
    QCOMPARE(stored(dir.path()), QStringList());
}

QTEST_GUILESS_MAIN(TestCodeTable)
#include "tst_codetable.moc"
