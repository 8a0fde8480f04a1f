#include "payclasssvc/RptKbnCls.h"

#include "data/Connection.h"
#include "data/RowSet.h"
#include "testsupport/TempDataDir.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using payclasssvc::RptKbnCls;

namespace {

std::shared_ptr<desk::Connection> reciptFile(const desk::test::TempDataDir& dir) {
    return desk::Connection::open(dir.path(), QLatin1String(desk::DbFile::Recipt));
}

std::unique_ptr<RptKbnCls> connected(const desk::test::TempDataDir& dir) {
    auto store = std::make_unique<RptKbnCls>();
    store->setDirPath(dir.path());
    store->CntDb();
    return store;
}

// Empty class table, then 1 現金, 2 売掛, 3 前受.
void seed(const desk::test::TempDataDir& dir) {
    reciptFile(dir)->exec(u"DELETE FROM ReciptClass"_s);
    const QStringList names = {u"現金"_s, u"売掛"_s, u"前受"_s};
    for (int i = 0; i < names.size(); ++i) {
        auto store = connected(dir);
        store->setReciptClassCode(QString::number(i + 1));
        store->setReciptClassName(names[i]);
        store->SaveRs();
    }
}

QStringList classes(const desk::test::TempDataDir& dir) {
    QStringList result;
    auto store = connected(dir);
    for (desk::RowSet* rows = store->RsClkubunR(); !rows->eof(); rows->moveNext())
        result << rows->value(u"RptClassCode"_s).toString() + u':' + rows->value(u"RptClassName"_s).toString();
    return result;
}

} // namespace

class TestPayClassSvc : public QObject {
    Q_OBJECT

private slots:
    void lookups_data();
    void lookups();
    void searchThenEditRewritesOneRow();
};

void TestPayClassSvc::lookups_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("name");
    QTest::newRow("known") << u"2"_s << u"X"_s << u"売掛"_s;
    QTest::newRow("unknown") << u"7"_s << u""_s << u"X"_s;
    QTest::newRow("quote is no wildcard") << u"2' OR '1'='1"_s << u""_s << u"X"_s;
}

void TestPayClassSvc::lookups() {
    QFETCH(QString, code);
    QFETCH(QString, check);
    QFETCH(QString, name);
    desk::test::TempDataDir dir;
    seed(dir);
    QCOMPARE(connected(dir)->ReciptClassCodeCheck(code), check);
    QCOMPARE(connected(dir)->ReciptClassNameDisplay(code), name);
}

void TestPayClassSvc::searchThenEditRewritesOneRow() {
    desk::test::TempDataDir dir;
    seed(dir);
    auto store = connected(dir);
    store->setReciptClassCode(u"8"_s);
    store->SearchRs();
    QCOMPARE(store->ReciptClassCode(), u"X"_s);
    QCOMPARE(store->ReciptClassCode2(), QString());

    store = connected(dir);
    store->setReciptClassCode(u"2"_s);
    store->SearchRs();
    QCOMPARE(store->ReciptClassCode2(), u"2"_s);
    QCOMPARE(store->ReciptClassName(), u"売掛"_s);
    store->setReciptClassCode(u"5"_s);
    store->setReciptClassName(u"掛入金"_s);
    store->EditRs();
    QCOMPARE(classes(dir), (QStringList{u"1:現金"_s, u"5:掛入金"_s, u"3:前受"_s}));
}

QTEST_GUILESS_MAIN(TestPayClassSvc)
#include "tst_payclasssvc.moc"
