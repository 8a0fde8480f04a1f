#include "guestcatsvc/OptionDataClass.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowSet.h"
#include "data/Sql.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using guestcatsvc::OptionDataClass;

namespace {

// By kind number.
const char* const tables[] = {"AgeClass", "GroupeClass", "UserClass", "PaymentClass", "ChoiceClass"};
const char* const codes[] = {"YCode", "GCode", "UCode", "PCode", "ChCode"};
const char* const names[] = {"yearclass", "Groupename", "UclassName", "PaymentName", "ChoiceName"};

std::unique_ptr<OptionDataClass> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<OptionDataClass>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

std::shared_ptr<desk::Connection> raw(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::DaySalesCliants));
}

// A code and name of list `kind` that are not on its first row, so a look-up has to search.
std::pair<QString, QString> lastEntry(const desk::test::TempDataDir& dir, int kind) {
    auto connection = raw(dir);
    desk::RowSet rs(connection, QLatin1String(tables[kind]));
    rs.moveLast();
    return {rs.value(QLatin1String(codes[kind])).toString(), rs.value(QLatin1String(names[kind])).toString()};
}

// Every entry of every list as "table code name", to show that nothing else changed.
QStringList allEntries(const desk::test::TempDataDir& dir) {
    QStringList entries;
    auto connection = raw(dir);
    for (int kind = 0; kind < 5; ++kind) {
        desk::RowSet rs(connection, QLatin1String(tables[kind]));
        for (rs.moveFirst(); !rs.isEmpty() && !rs.eof(); rs.moveNext())
            entries << QLatin1String(tables[kind]) + QLatin1Char(' ') +
                           rs.value(QLatin1String(codes[kind])).toString() + QLatin1Char(' ') +
                           rs.value(QLatin1String(names[kind])).toString();
    }
    return entries;
}

} // namespace

class TestGuestCatSvc : public QObject {
    Q_OBJECT

private slots:
    void displayName_data();
    void displayName();
    void lookUpSearchesForwardFromCurrentRow();
    void rename_data();
    void rename();
    void renameOfUnknownFlagChangesNothing_data();
    void renameOfUnknownFlagChangesNothing();
    void renameOfUnknownCodeIsAnError();
    void rates();
};

void TestGuestCatSvc::displayName_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("present");
    for (int kind = 0; kind < 5; ++kind) {
        QTest::addRow("kind %d present", kind) << kind << true;
        QTest::addRow("kind %d absent", kind) << kind << false;
    }
    QTest::newRow("kind 5") << 5 << true;
    QTest::newRow("kind -1") << -1 << true;
}

void TestGuestCatSvc::displayName() {
    QFETCH(int, kind);
    QFETCH(bool, present);
    desk::test::TempDataDir dir;
    auto store = connected(dir);
    if (kind < 0 || kind > 4) {
        QCOMPARE(store->DispClassData(kind, QStringLiteral("A0")), QString());
        return;
    }
    const auto [code, name] = lastEntry(dir, kind);
    QVERIFY(!code.isEmpty());
    if (present)
        QCOMPARE(store->DispClassData(kind, code), name);
    else
        QCOMPARE(store->DispClassData(kind, QStringLiteral("Z'")), QStringLiteral("x"));
}

void TestGuestCatSvc::lookUpSearchesForwardFromCurrentRow() {
    desk::test::TempDataDir dir;
    auto store = connected(dir);
    const auto [code, name] = lastEntry(dir, 0);
    desk::RowSet* rs = store->RsYear();
    QCOMPARE(rs, store->RsYear()); // the store's own row set, not a copy
    rs->moveLast();
    rs->moveNext();
    QCOMPARE(store->DispClassData(0, code), QStringLiteral("x"));
    rs->moveFirst();
    QCOMPARE(store->DispClassData(0, code), name);
    // Found again from where the last look-up stopped.
    QCOMPARE(store->DispClassData(0, code), name);
}

void TestGuestCatSvc::rename_data() {
    QTest::addColumn<int>("kind");
    for (int kind = 0; kind < 5; ++kind)
        QTest::addRow("flag %d", kind) << kind;
}

void TestGuestCatSvc::rename() {
    QFETCH(int, kind);
    desk::test::TempDataDir dir;
    const auto [code, name] = lastEntry(dir, kind);
    const QString renamed = QStringLiteral("新しい名前 '%1'").arg(kind);
    {
        auto store = connected(dir);
        store->setCheckFlag(QString::number(kind));
        store->setCheckEditData(code);
        const QStringList candidates{QStringLiteral("age"), QStringLiteral("groupe"), QStringLiteral("user"),
                                     QStringLiteral("payment"), QStringLiteral("reason")};
        // Every name property holds something; only the one of the chosen list may be written.
        store->setMyAge(kind == 0 ? renamed : candidates[0]);
        store->setMyGroupe(kind == 1 ? renamed : candidates[1]);
        store->setMyUser(kind == 2 ? renamed : candidates[2]);
        store->setMyPayment(kind == 3 ? renamed : candidates[3]);
        store->setMyReason(kind == 4 ? renamed : candidates[4]);
        store->RecEdit();
    }
    const QStringList after = allEntries(dir);
    QCOMPARE(connected(dir)->DispClassData(kind, code), renamed);
    // Exactly one entry differs from the original lists: the renamed one, code kept.
    desk::test::TempDataDir pristine;
    const QStringList original = allEntries(pristine);
    QCOMPARE(after.size(), original.size());
    int differing = 0;
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (after[i] != original[i]) {
            ++differing;
            QCOMPARE(after[i], QLatin1String(tables[kind]) + QLatin1Char(' ') + code + QLatin1Char(' ') + renamed);
        }
    }
    QCOMPARE(differing, 1);
}

void TestGuestCatSvc::renameOfUnknownFlagChangesNothing_data() {
    QTest::addColumn<QString>("flag");
    QTest::newRow("9") << QStringLiteral("9");
    QTest::newRow("empty") << QString();
    QTest::newRow("5") << QStringLiteral("5");
    QTest::newRow("two digits") << QStringLiteral("01");
}

void TestGuestCatSvc::renameOfUnknownFlagChangesNothing() {
    QFETCH(QString, flag);
    desk::test::TempDataDir dir;
    const QStringList before = allEntries(dir);
    auto store = connected(dir);
    store->setCheckFlag(flag);
    store->setCheckEditData(lastEntry(dir, 1).first);
    store->setMyAge(QStringLiteral("書換"));
    store->setMyGroupe(QStringLiteral("書換"));
    store->RecEdit();
    QCOMPARE(allEntries(dir), before);
}

void TestGuestCatSvc::renameOfUnknownCodeIsAnError() {
    desk::test::TempDataDir dir;
    const QStringList before = allEntries(dir);
    auto store = connected(dir);
    store->setCheckFlag(QStringLiteral("3"));
    store->setCheckEditData(QStringLiteral("P'"));
    store->setMyPayment(QStringLiteral("書換"));
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store->RecEdit());
    QCOMPARE(allEntries(dir), before);
}

void TestGuestCatSvc::rates() {
    OptionDataClass store;
    store.setServiceFee(10.4);
    store.setSalesTax(5);
    QCOMPARE(store.ServiceFee(), 10.0);
    QCOMPARE(store.SalesTax(), 0.0);
    QVERIFY_THROWS_EXCEPTION(desk::DbError, store.RsPay());
}

QTEST_GUILESS_MAIN(TestGuestCatSvc)
#include "tst_guestcatsvc.moc"
