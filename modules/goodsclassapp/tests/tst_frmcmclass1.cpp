#include "goodsclassapp/DRSKubun.h"
#include "goodsclassapp/FrmCmClass1.h"

#include "data/Connection.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace desk::test;
using namespace Qt::StringLiterals;
using goodsclassapp::FrmCmClass1;

namespace {

const QString missingMessage = u"登録に必要な最低項目が入力されていません。\n確認して入力してください。"_s;
const QString duplicateMessage = u"その商品コードはすでに登録されています。\nちがう商品コードを入力してください。"_s;
const QString inUseQuestion = u"この区分を使っている商品があります。削除しますか？"_s;
const QStringList sampleCodes{u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s};

std::shared_ptr<desk::Connection> sales(const QString& dir) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::Sales));
}

// "code:name" of every class in table order.
QStringList storedClasses(const QString& dir) {
    const auto c = sales(dir);
    QStringList list;
    const int n = c->scalar(u"SELECT COUNT(*) FROM CommodityClasify"_s).toInt();
    for (int i = 0; i < n; ++i)
        list << c->scalar(u"SELECT CClassCode || ':' || CClassName FROM CommodityClasify ORDER BY RowKey LIMIT 1 "
                          "OFFSET ?"_s,
                          {i})
                    .toString();
    return list;
}

QStringList listed(const FrmCmClass1& w) {
    QStringList list;
    const auto* view = child<QTreeWidget>(&w, u"ListView1"_s);
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        list << view->topLevelItem(i)->text(0) + u':' + view->topLevelItem(i)->text(1);
    return list;
}

bool calledMode(const FrmCmClass1& w) {
    return !child<QPushButton>(&w, u"CmdRecorde"_s)->isEnabled() && child<QPushButton>(&w, u"CmdEdit"_s)->isEnabled() &&
           child<QPushButton>(&w, u"CmdDelete"_s)->isEnabled();
}

void callUp(WindowFixture& f, FrmCmClass1& w, const QString& code) {
    f.dialogs().pushInput(code);
    pressAccessKey(&w, Qt::Key_C);
}

} // namespace

class TestFrmCmClass1 : public QObject {
    Q_OBJECT

private slots:
    void listFollowsEveryWrite();
    void registerRefusals_data();
    void registerRefusals();
    void correctionWithAnEmptyFieldBeepsTwice_data();
    void correctionWithAnEmptyFieldBeepsTwice();
    void correctionOntoATakenCodeKeepsTheEntry_data();
    void correctionOntoATakenCodeKeepsTheEntry();
    void deleteAfterClear();
    void deletingAClassInUseAsksFirst_data();
    void deletingAClassInUseAsksFirst();
    void listIsWalkedWithArrowsAndCalledUpWithEnter();
    void classListReport();
};

void TestFrmCmClass1::listFollowsEveryWrite() {
    WindowFixture f;
    sales(f.dirPath())->exec(u"INSERT INTO Commodities (Ccode, cname, Cclasify) VALUES ('900', '甘酒', '02')"_s);
    FrmCmClass1 w(f.context());
    QVERIFY(showActive(&w));
    QCOMPARE(listed(w), storedClasses(f.dirPath()));
    QCOMPARE(QApplication::focusWidget(), w.findChild<QWidget*>(u"Text1"_s));

    // Register: the new class comes last, as the table holds it; a quote is part of the code.
    QVERIFY(typeInto(&w, u"Text1"_s, u"0'6"_s));
    QVERIFY(typeInto(&w, u"Text2"_s, u"土産"_s));
    pressAccessKey(&w, Qt::Key_R);
    QCOMPARE(listed(w).constLast(), u"0'6:土産"_s);
    QCOMPARE(listed(w), storedClasses(f.dirPath()));
    QCOMPARE(textOf(&w, u"Text1"_s), QString());
    QCOMPARE(textOf(&w, u"lbMessage"_s), u"商品区分 0'6 を登録しました。"_s);

    // Correct with a new code: it keeps its place in the list; commodities keep the old code.
    callUp(f, w, u"02"_s);
    QVERIFY(calledMode(w));
    QCOMPARE(textOf(&w, u"Label3"_s), u"02"_s);
    QVERIFY(typeInto(&w, u"Text1"_s, u"12"_s));
    QVERIFY(typeInto(&w, u"Text2"_s, u"お料理"_s));
    pressAccessKey(&w, Qt::Key_E);
    QCOMPARE(listed(w).at(1), u"12:お料理"_s);
    QCOMPARE(listed(w), storedClasses(f.dirPath()));
    QCOMPARE(sales(f.dirPath())->scalar(u"SELECT Cclasify FROM Commodities WHERE Ccode = '900'"_s).toString(), u"02"_s);
    QVERIFY(!calledMode(w));
    QCOMPARE(textOf(&w, u"lbMessage"_s), u"商品区分 12 を訂正しました。"_s);

    // Delete: gone from the table and from the list.
    callUp(f, w, u"0'6"_s);
    pressAccessKey(&w, Qt::Key_D);
    QCOMPARE(listed(w), storedClasses(f.dirPath()));
    QCOMPARE(listed(w).size(), 5);
    QCOMPARE(f.dialogs().messageTexts(), QStringList());
    QCOMPARE(textOf(&w, u"lbMessage"_s), u"商品区分 0'6 を削除しました。"_s);
    // The next keystroke takes the confirmation away.
    QTest::keyClick(w.findChild<QWidget*>(u"Text2"_s), Qt::Key_A);
    QCOMPARE(textOf(&w, u"lbMessage"_s), QString());
}

void TestFrmCmClass1::registerRefusals_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("codeAfter");
    QTest::newRow("name empty") << u"09"_s << QString() << QStringList{missingMessage} << 1 << u"09"_s;
    QTest::newRow("code empty") << QString() << u"宴会"_s << QStringList{missingMessage} << 1 << QString();
    QTest::newRow("code of a blank") << u" "_s << u"宴会"_s << QStringList{missingMessage} << 1 << QString();
    QTest::newRow("code taken") << u"03"_s << u"宴会"_s << QStringList{duplicateMessage} << 0 << QString();
    QTest::newRow("code taken, other case") << u"a'1"_s << u"宴会"_s << QStringList{duplicateMessage} << 0 << QString();
    QTest::newRow("code with a quote taken")
        << u"A'1"_s << u"宴会"_s << QStringList{duplicateMessage} << 0 << QString();
}

void TestFrmCmClass1::registerRefusals() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QStringList, messages);
    QFETCH(int, beeps);
    QFETCH(QString, codeAfter);
    WindowFixture f;
    sales(f.dirPath())->exec(u"INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('A''1', '別館')"_s);
    const QStringList before = storedClasses(f.dirPath());
    FrmCmClass1 w(f.context());
    QVERIFY(showActive(&w));
    QVERIFY(typeInto(&w, u"Text1"_s, code));
    QVERIFY(typeInto(&w, u"Text2"_s, name));
    mouseClick(&w, u"CmdRecorde"_s);

    QCOMPARE(f.dialogs().messageTexts(), messages);
    QCOMPARE(f.dialogs().messages().constFirst().title, u"警告"_s);
    QCOMPARE(f.dialogs().beeps(), beeps);
    QCOMPARE(textOf(&w, u"Text1"_s), codeAfter);
    QCOMPARE(textOf(&w, u"Text2"_s), name);
    QCOMPARE(storedClasses(f.dirPath()), before);
}

void TestFrmCmClass1::correctionWithAnEmptyFieldBeepsTwice_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("code emptied") << u"Text1"_s;
    QTest::newRow("name emptied") << u"Text2"_s;
}

void TestFrmCmClass1::correctionWithAnEmptyFieldBeepsTwice() {
    QFETCH(QString, box);
    WindowFixture f;
    const QStringList before = storedClasses(f.dirPath());
    FrmCmClass1 w(f.context());
    QVERIFY(showActive(&w));
    callUp(f, w, u"04"_s);
    QVERIFY(typeInto(&w, box, QString()));
    pressAccessKey(&w, Qt::Key_E);

    QCOMPARE(f.dialogs().beeps(), 2);
    QCOMPARE(f.dialogs().messageTexts(), QStringList());
    QCOMPARE(storedClasses(f.dirPath()), before);
    QVERIFY(calledMode(w));
    QCOMPARE(textOf(&w, u"Label3"_s), u"04"_s);
}

void TestFrmCmClass1::correctionOntoATakenCodeKeepsTheEntry_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("refused");
    QTest::newRow("another class's code") << u"03"_s << true;
    QTest::newRow("another class's code, other case") << u"a'1"_s << true;
    QTest::newRow("its own code, other case") << u"b2"_s << false;
    QTest::newRow("a free code") << u"77"_s << false;
}

// The new code is checked in the transaction that writes it; a refusal keeps the entry
// called up for another code, and the check never hides the row to be corrected.
void TestFrmCmClass1::correctionOntoATakenCodeKeepsTheEntry() {
    QFETCH(QString, code);
    QFETCH(bool, refused);
    WindowFixture f;
    sales(f.dirPath())
        ->exec(u"INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('A''1', '別館'), "
               "('B2', '売店')"_s);
    const QStringList before = storedClasses(f.dirPath());
    FrmCmClass1 w(f.context());
    QVERIFY(showActive(&w));
    callUp(f, w, u"B2"_s);
    QVERIFY(typeInto(&w, u"Text1"_s, code));
    pressAccessKey(&w, Qt::Key_E);

    if (refused) {
        QCOMPARE(f.dialogs().messageTexts(), QStringList{duplicateMessage});
        QCOMPARE(storedClasses(f.dirPath()), before);
        QVERIFY(calledMode(w));
        QCOMPARE(textOf(&w, u"Text1"_s), code);
    } else {
        QCOMPARE(f.dialogs().messageTexts(), QStringList());
        QCOMPARE(sales(f.dirPath())
                     ->scalar(u"SELECT CClassName FROM CommodityClasify WHERE CClassCode = ?"_s, {code})
                     .toString(),
                 u"売店"_s);
        QCOMPARE(storedClasses(f.dirPath()).size(), before.size());
        QVERIFY(!calledMode(w));
    }
}

void TestFrmCmClass1::deleteAfterClear() {
    WindowFixture f;
    const QStringList before = storedClasses(f.dirPath());
    FrmCmClass1 w(f.context());
    QVERIFY(showActive(&w));
    callUp(f, w, u"05"_s);
    pressAccessKey(&w, Qt::Key_T);
    // Clearing keeps the called mode, with nothing called up.
    QVERIFY(calledMode(w));
    QCOMPARE(textOf(&w, u"Label3"_s), QString());
    pressAccessKey(&w, Qt::Key_D);

    QCOMPARE(f.dialogs().messageTexts(), QStringList{u"見つかりません。"_s});
    QCOMPARE(storedClasses(f.dirPath()), before);
    // Never stuck with only correct and delete: registering is open again.
    QVERIFY(child<QPushButton>(&w, u"CmdRecorde"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(&w, u"CmdDelete"_s)->isEnabled());

    // The failed call-up tells the same and leaves the list as it was.
    f.dialogs().clear();
    callUp(f, w, u"*****"_s);
    QCOMPARE(f.dialogs().messageTexts(), QStringList{u"見つかりません。"_s});
    const auto prompt = f.dialogs().shown().constFirst();
    QCOMPARE(prompt.title, u"商品区分検索"_s);
    QCOMPARE(prompt.defaultText, u"*****"_s);
    QCOMPARE(listed(w), before);
}

void TestFrmCmClass1::deletingAClassInUseAsksFirst_data() {
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<QList<desk::Dialogs::Answer>>("answers");
    QTest::addColumn<bool>("deleted");
    using A = desk::Dialogs::Answer;
    QTest::newRow("in use, default answer keeps it") << true << QList<A>{} << false;
    QTest::newRow("in use, No keeps it") << true << QList<A>{A::No} << false;
    QTest::newRow("in use, Yes deletes it") << true << QList<A>{A::Yes} << true;
    QTest::newRow("unused, no question") << false << QList<A>{} << true;
}

void TestFrmCmClass1::deletingAClassInUseAsksFirst() {
    QFETCH(bool, inUse);
    QFETCH(QList<desk::Dialogs::Answer>, answers);
    QFETCH(bool, deleted);
    WindowFixture f;
    // Class 05 is used by the sample commodities; 0'7 only when the row asks for it.
    sales(f.dirPath())->exec(u"INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('0''7', '臨時')"_s);
    if (inUse)
        sales(f.dirPath())->exec(u"INSERT INTO Commodities (Ccode, cname, Cclasify) VALUES ('990', '花火', '0''7')"_s);
    for (auto answer : answers)
        f.dialogs().pushAnswer(answer);
    FrmCmClass1 w(f.context());
    QVERIFY(showActive(&w));
    callUp(f, w, u"0'7"_s);
    pressAccessKey(&w, Qt::Key_D);

    const auto shown = f.dialogs().messages();
    QCOMPARE(shown.size(), inUse ? 1 : 0);
    if (inUse) {
        QCOMPARE(shown.constFirst().text, inUseQuestion);
        QCOMPARE(shown.constFirst().buttons, desk::Dialogs::Buttons::YesNoDefaultNo);
    }
    QCOMPARE(storedClasses(f.dirPath()).contains(u"0'7:臨時"_s), !deleted);
    QCOMPARE(listed(w), storedClasses(f.dirPath()));
    // The commodity keeps its class code either way.
    if (inUse)
        QCOMPARE(sales(f.dirPath())->scalar(u"SELECT Cclasify FROM Commodities WHERE Ccode = '990'"_s).toString(),
                 u"0'7"_s);
}

void TestFrmCmClass1::listIsWalkedWithArrowsAndCalledUpWithEnter() {
    WindowFixture f;
    FrmCmClass1 w(f.context());
    QVERIFY(showActive(&w));
    // Tab from the code through the name and the five enabled buttons reaches the list.
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto* list = child<QTreeWidget>(&w, u"ListView1"_s);
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);

    QCOMPARE(textOf(&w, u"Label3"_s), u"03"_s);
    QCOMPARE(textOf(&w, u"Text2"_s), u"飲物"_s);
    QVERIFY(calledMode(w));
    QCOMPARE(f.dialogs().shown().size(), 0);
}

void TestFrmCmClass1::classListReport() {
    WindowFixture f;
    sales(f.dirPath())->exec(u"INSERT INTO CommodityClasify (CClassCode, CClassName) VALUES ('00', '先頭にない')"_s);
    goodsclassapp::DRSKubun report(f.dirPath(), f.context().profile());
    const desk::ReportDocument doc = report.compose();
    QStringList codes;
    for (const auto& item : doc.byControl(u"Text1"_s))
        codes << item.text;
    // Table order, not code order.
    QCOMPARE(codes, sampleCodes + QStringList{u"00"_s});
    QCOMPARE(doc.byControl(u"Text2"_s).constLast().text, u"先頭にない"_s);
    QCOMPARE(doc.byControl(u"Label1"_s).constFirst().text, u"商品区分コード"_s);
    QCOMPARE(doc.byControl(u"Label9"_s).constFirst().text, u"商品区分一覧票"_s);
    // No "TEL" or "FAX" in front; the web address before the e-mail address.
    const auto p = WindowFixture::sampleProfile();
    QCOMPARE(doc.byControl(u"Label19"_s).constFirst().text, p.MyTelNo);
    QCOMPARE(doc.byControl(u"Label21"_s).constFirst().text, p.MyURL);
    QCOMPARE(doc.byControl(u"Label22"_s).constFirst().text, p.MyEmail);
    QCOMPARE(doc.byControl(u"Label4"_s).size(), 1);
}

QTEST_MAIN(TestFrmCmClass1)
#include "tst_frmcmclass1.moc"
