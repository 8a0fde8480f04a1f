#include "goodsapp/DRSyohin.h"
#include "goodsapp/FrmComdty.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "digitfield/UserControl1.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <functional>

using namespace desk::test;
using namespace Qt::StringLiterals;
using goodsapp::FrmComdty;

namespace {

const QString missingMessage = u"登録に必要な最低項目が入力されていません。\n確認して入力してください。"_s;
const QString duplicateMessage = u"その商品コードはすでに登録されています。\nちがう商品コードを入力してください。"_s;

std::shared_ptr<desk::Connection> sales(const QString& dir) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::Sales));
}

// Name, class, unit, remarks and the five price levels of a stored commodity; empty
// when the code is in neither table.
QVariantList stored(const QString& dir, const QString& code) {
    const auto c = sales(dir);
    if (c->scalar(u"SELECT COUNT(*) FROM Commodities WHERE Ccode = ?"_s, {code}).toInt() == 0 &&
        c->scalar(u"SELECT COUNT(*) FROM CmPrice WHERE Ccode = ?"_s, {code}).toInt() == 0)
        return {};
    QVariantList values;
    for (const char* column : {"cname", "Cclasify", "Cunit", "Cremarks1"})
        values << c->scalar(u"SELECT %1 FROM Commodities WHERE Ccode = ?"_s.arg(QLatin1String(column)), {code});
    for (int level = 0; level < 5; ++level)
        values << c->scalar(u"SELECT CMprice%1 FROM CmPrice WHERE Ccode = ?"_s.arg(level), {code}).toInt();
    return values;
}

int commodityCount(const QString& dir) {
    return sales(dir)->scalar(u"SELECT COUNT(*) FROM Commodities"_s).toInt();
}

// The fixture with the three profile values the commodity list prints.
struct Setup {
    WindowFixture fixture;
    ScriptedDialogs& dialogs = fixture.dialogs();
    desk::ModuleContext& context = fixture.context();
    Setup() {
        const auto p = WindowFixture::sampleProfile();
        desk::CompanyProfile printed;
        printed.MyCompanyName = p.MyCompanyName;
        printed.MyTelNo = p.MyTelNo;
        printed.MyFaxNo = p.MyFaxNo;
        fixture.setProfile(printed);
    }
    QString dir() const { return fixture.dirPath(); }
};

digitfield::UserControl1* price(const FrmComdty& w) {
    return child<digitfield::UserControl1>(&w, u"txtPrice0"_s);
}

void typePrice(const FrmComdty& w, const QString& digits) {
    auto* box = child<QLineEdit>(price(w), u"Text1"_s);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, digits);
}

bool registerMode(const FrmComdty& w) {
    return child<QPushButton>(&w, u"CmdRecorde"_s)->isEnabled() && !child<QPushButton>(&w, u"CmdEdit"_s)->isEnabled() &&
           !child<QPushButton>(&w, u"CmdDelete"_s)->isEnabled();
}

bool calledMode(const FrmComdty& w) {
    return !child<QPushButton>(&w, u"CmdRecorde"_s)->isEnabled() && child<QPushButton>(&w, u"CmdEdit"_s)->isEnabled() &&
           child<QPushButton>(&w, u"CmdDelete"_s)->isEnabled();
}

void callUpCode(Setup& s, FrmComdty& w, const QString& code) {
    s.dialogs.pushInput(code);
    pressAccessKey(&w, Qt::Key_C);
}

// A slip of one line of the commodity, for a guest checked in under G1.
void sell(const QString& dir, const QString& code) {
    const auto c = sales(dir);
    c->exec(
        u"INSERT INTO BTSalesNo (BTSalesNo, BTSalesdate, BTCheckInNo, BTKubun) VALUES (1, '2024-05-01', 'G1', 0)"_s);
    c->exec(u"INSERT INTO BTSalesDetail (BTSalesNo, BTcmcode, BTspec, BTQuantity, BTUnitPrice, BTServiceFee, "
            "BTSalesTax) VALUES (1, ?, '', 2, 650, 10, 10)"_s,
            {code});
}

} // namespace

class TestFrmComdty : public QObject {
    Q_OBJECT

private slots:
    void missingItemsFocusTheFirstMissingField_data();
    void missingItemsFocusTheFirstMissingField();
    void registerAndCorrectWriteLevelsOneToFourAsZero_data();
    void registerAndCorrectWriteLevelsOneToFourAsZero();
    void takenCodeKeepsTheEntry();
    void callUp_data();
    void callUp();
    void classNameFollowsEveryChange();
    void failedCorrectionReturnsToRegisterMode();
    void renameToATakenCodeIsRefused();
    void renameComparesCodesAsTheStoreDoes_data();
    void renameComparesCodesAsTheStoreDoes();
    void renamedAndDeletedCommoditiesLeaveSalesLines();
    void keyboardOrder();
    void listPrintsTheSavedQuery();
    void taxClassRoundTrip_data();
    void taxClassRoundTrip();
    void roomShare_data();
    void roomShare();
    void mealMarks_data();
    void mealMarks();
};

void TestFrmComdty::missingItemsFocusTheFirstMissingField_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("priceText");
    QTest::addColumn<QString>("focused");
    QTest::newRow("code and name missing") << QString() << QString() << u"100"_s << u"txtScode"_s;
    QTest::newRow("everything missing") << QString() << QString() << QString() << u"txtScode"_s;
    QTest::newRow("code of blanks") << u"  "_s << u"甘酒"_s << u"100"_s << u"txtScode"_s;
    QTest::newRow("name and price missing") << u"900"_s << QString() << QString() << u"txtSname"_s;
    QTest::newRow("only price missing") << u"900"_s << u"甘酒"_s << QString() << u"txtPrice0"_s;
}

void TestFrmComdty::missingItemsFocusTheFirstMissingField() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, priceText);
    QFETCH(QString, focused);
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    QVERIFY(typeInto(&w, u"txtScode"_s, code));
    QVERIFY(typeInto(&w, u"txtSname"_s, name));
    // Typing never empties the number control; an empty price arrives only as set text.
    price(w)->setText(priceText);
    mouseClick(&w, u"CmdRecorde"_s);

    QCOMPARE(s.dialogs.messageTexts(), QStringList{missingMessage});
    QCOMPARE(s.dialogs.messages().constFirst().title, u"警告"_s);
    QCOMPARE(s.dialogs.messages().constFirst().icon, desk::Dialogs::Icon::Exclamation);
    QWidget* target = w.findChild<QWidget*>(focused);
    QVERIFY(QApplication::focusWidget() == target || QApplication::focusWidget() == target->focusProxy());
    QCOMPARE(commodityCount(s.dir()), 18);
    QCOMPARE(textOf(&w, u"txtSname"_s), name);
}

void TestFrmComdty::registerAndCorrectWriteLevelsOneToFourAsZero_data() {
    QTest::addColumn<QString>("calledUp");
    QTest::addColumn<QString>("code");
    // The sample commodities carry their price on all five levels.
    QTest::newRow("register, code with a quote") << QString() << u"O'1"_s;
    QTest::newRow("correct a sample commodity") << u"301"_s << u"301"_s;
    QTest::newRow("correct and rename, quote") << u"302"_s << u"S'302"_s;
}

void TestFrmComdty::registerAndCorrectWriteLevelsOneToFourAsZero() {
    QFETCH(QString, calledUp);
    QFETCH(QString, code);
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    if (!calledUp.isEmpty()) {
        callUpCode(s, w, calledUp);
        QVERIFY(calledMode(w));
    }
    QVERIFY(typeInto(&w, u"txtScode"_s, code));
    QVERIFY(typeInto(&w, u"txtSname"_s, u"生ビール"_s));
    QVERIFY(typeInto(&w, u"txtMdsClass"_s, u"03"_s));
    QVERIFY(typeInto(&w, u"txtUnit"_s, u"杯"_s));
    QVERIFY(typeInto(&w, u"txtRemarks"_s, u"中ジョッキ"_s));
    typePrice(w, u"680"_s);
    pressAccessKey(&w, calledUp.isEmpty() ? Qt::Key_R : Qt::Key_E);

    QCOMPARE(s.dialogs.messageTexts(), QStringList());
    QCOMPARE(stored(s.dir(), code), (QVariantList{u"生ビール"_s, u"03"_s, u"杯"_s, u"中ジョッキ"_s, 680, 0, 0, 0, 0}));
    if (!calledUp.isEmpty() && calledUp != code)
        QCOMPARE(stored(s.dir(), calledUp), QVariantList());
    QCOMPARE(commodityCount(s.dir()), calledUp.isEmpty() ? 19 : 18);
    // Cleared for the next entry.
    QVERIFY(registerMode(w));
    for (const char* box : {"txtScode", "txtSname", "txtMdsClass", "lblMdsClassName", "Text1"})
        QCOMPARE(textOf(&w, QLatin1String(box)), QString());
    QCOMPARE(price(w)->Text(), u"0"_s);
    QCOMPARE(QApplication::focusWidget(), w.findChild<QWidget*>(u"txtScode"_s));
    QCOMPARE(
        textOf(&w, u"lbMessage"_s),
        (calledUp.isEmpty() ? u"商品コード %1 を登録しました。"_s : u"商品コード %1 を訂正しました。"_s).arg(code));
}

void TestFrmComdty::takenCodeKeepsTheEntry() {
    Setup s;
    // The refusal comes after the transaction: another desk can write meanwhile.
    QStringList otherDeskErrors;
    s.dialogs.setMessageHook([&](const QString&) {
        try {
            const auto other = sales(s.dir());
            other->exec(u"PRAGMA busy_timeout = 0"_s);
            other->exec(u"UPDATE CommodityClasify SET CClassName = CClassName"_s);
        } catch (const desk::DbError& e) {
            otherDeskErrors << e.message();
        }
    });
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    QVERIFY(typeInto(&w, u"txtScode"_s, u"101"_s));
    QVERIFY(typeInto(&w, u"txtSname"_s, u"別の商品"_s));
    typePrice(w, u"5"_s);
    pressAccessKey(&w, Qt::Key_R);

    QCOMPARE(s.dialogs.messageTexts(), QStringList{duplicateMessage});
    QCOMPARE(otherDeskErrors, QStringList());
    QCOMPARE(textOf(&w, u"txtScode"_s), u"101"_s);
    QCOMPARE(textOf(&w, u"txtSname"_s), u"別の商品"_s);
    QCOMPARE(price(w)->Text(), u"5"_s);
    QCOMPARE(stored(s.dir(), u"101"_s).constFirst(), QVariant(u"宿泊料金（1泊2食）"_s));
    QCOMPARE(commodityCount(s.dir()), 18);
}

void TestFrmComdty::callUp_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("shown"); // code, name, class, class name, unit, remarks, price
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("default answer") << u"*****"_s << QStringList{QString(), QString(), QString(), QString(),
                                                                 QString(), QString(), u"0"_s}
                                    << QStringList{u"コードが見つかりません。"_s};
    QTest::newRow("sample commodity") << u"302"_s << QStringList{u"302"_s, u"日本酒（1合）"_s, u"03"_s, u"飲物"_s,
                                                                 u"合"_s,  u"地酒"_s,          u"700"_s}
                                      << QStringList{};
    QTest::newRow("a quote is part of the code")
        << u"' OR '1'='1"_s << QStringList{QString(), QString(), QString(), QString(), QString(), QString(), u"0"_s}
        << QStringList{u"コードが見つかりません。"_s};
}

void TestFrmComdty::callUp() {
    QFETCH(QString, answer);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, messages);
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    // What was typed before is replaced by the call-up either way.
    QVERIFY(typeInto(&w, u"txtSname"_s, u"書きかけ"_s));
    callUpCode(s, w, answer);

    const auto prompt = s.dialogs.shown().constFirst();
    QCOMPARE(prompt.kind, ScriptedDialogs::Shown::Kind::Input);
    QCOMPARE(prompt.text, u"訂正、削除する商品コードを入力してください。"_s);
    QCOMPARE(prompt.title, u"商品検索"_s);
    QCOMPARE(prompt.defaultText, u"*****"_s);
    QCOMPARE(prompt.pos, std::optional<QPoint>(QPoint(100, 100)));
    QCOMPARE(s.dialogs.messageTexts(), messages);
    const QStringList boxes{u"txtScode"_s,        u"txtSname"_s, u"txtMdsClass"_s,
                            u"lblMdsClassName"_s, u"txtUnit"_s,  u"txtRemarks"_s};
    for (int i = 0; i < boxes.size(); ++i)
        QCOMPARE(textOf(&w, boxes[i]), shown[i]);
    QCOMPARE(price(w)->Text(), shown[6]);
    QCOMPARE(textOf(&w, u"Text1"_s), shown[0]);
    QCOMPARE(calledMode(w), !shown[0].isEmpty());
    QCOMPARE(registerMode(w), shown[0].isEmpty());
}

void TestFrmComdty::classNameFollowsEveryChange() {
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    auto* box = child<QLineEdit>(&w, u"txtMdsClass"_s);
    box->setFocus();
    const QList<std::pair<Qt::Key, QString>> steps{{Qt::Key_0, u"X"_s},         {Qt::Key_3, u"飲物"_s},
                                                   {Qt::Key_4, u"X"_s},         {Qt::Key_Backspace, u"飲物"_s},
                                                   {Qt::Key_Backspace, u"X"_s}, {Qt::Key_Backspace, QString()}};
    for (const auto& [key, name] : steps) {
        QTest::keyClick(box, key);
        QCOMPARE(textOf(&w, u"lblMdsClassName"_s), name);
    }
}

void TestFrmComdty::failedCorrectionReturnsToRegisterMode() {
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    callUpCode(s, w, u"201"_s);
    QVERIFY(typeInto(&w, u"txtSname"_s, QString()));
    mouseClick(&w, u"CmdEdit"_s);

    QCOMPARE(s.dialogs.messageTexts(), QStringList{missingMessage});
    QCOMPARE(QApplication::focusWidget(), w.findChild<QWidget*>(u"txtSname"_s));
    QVERIFY(registerMode(w));
    QCOMPARE(textOf(&w, u"txtScode"_s), u"201"_s);
    QCOMPARE(textOf(&w, u"Text1"_s), u"201"_s);
    QCOMPARE(stored(s.dir(), u"201"_s).constFirst(), QVariant(u"夕食（会席）"_s));
}

void TestFrmComdty::renameToATakenCodeIsRefused() {
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    callUpCode(s, w, u"201"_s);
    QVERIFY(typeInto(&w, u"txtScode"_s, u"202"_s));
    pressAccessKey(&w, Qt::Key_E);

    QCOMPARE(s.dialogs.messageTexts(), QStringList{duplicateMessage});
    // Still called up, so another code can be tried at once.
    QVERIFY(calledMode(w));
    QCOMPARE(textOf(&w, u"Text1"_s), u"201"_s);
    QCOMPARE(stored(s.dir(), u"201"_s).constFirst(), QVariant(u"夕食（会席）"_s));
    QCOMPARE(stored(s.dir(), u"202"_s).constFirst(), QVariant(u"朝食"_s));

    QVERIFY(typeInto(&w, u"txtScode"_s, u"209"_s));
    pressAccessKey(&w, Qt::Key_E);
    QCOMPARE(stored(s.dir(), u"209"_s).constFirst(), QVariant(u"夕食（会席）"_s));
    QCOMPARE(stored(s.dir(), u"201"_s), QVariantList());
}

void TestFrmComdty::renameComparesCodesAsTheStoreDoes_data() {
    QTest::addColumn<QString>("calledUp");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("nameUnderTyped");
    // The stored codes ab1, ａ1 (full-width) and Ａ1 belong to three commodities: A to Z
    // match in either case, a full-width letter only itself.
    QTest::newRow("its own code in capitals") << u"ab1"_s << u"AB1"_s << QStringList() << u"甲"_s;
    QTest::newRow("another's full-width capital") << u"ａ1"_s << u"Ａ1"_s << QStringList{duplicateMessage} << u"丙"_s;
}

void TestFrmComdty::renameComparesCodesAsTheStoreDoes() {
    QFETCH(QString, calledUp);
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    QFETCH(QString, nameUnderTyped);
    Setup s;
    for (const auto& [code, name] : {std::pair{u"ab1"_s, u"甲"_s}, {u"ａ1"_s, u"乙"_s}, {u"Ａ1"_s, u"丙"_s}}) {
        sales(s.dir())->exec(u"INSERT INTO Commodities (Ccode, cname, Cclasify, Cunit, Cremarks1) "
                             "VALUES (?, ?, '01', '', '')"_s,
                             {code, name});
        sales(s.dir())->exec(u"INSERT INTO CmPrice (Ccode, CMprice0) VALUES (?, 100)"_s, {code});
    }
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    callUpCode(s, w, calledUp);
    QCOMPARE(textOf(&w, u"Text1"_s), calledUp);
    QVERIFY(typeInto(&w, u"txtScode"_s, typed));
    pressAccessKey(&w, Qt::Key_E);

    QCOMPARE(s.dialogs.messageTexts(), messages);
    QCOMPARE(stored(s.dir(), typed).value(0), QVariant(nameUnderTyped));
    QCOMPARE(commodityCount(s.dir()), 21);
}

void TestFrmComdty::renamedAndDeletedCommoditiesLeaveSalesLines() {
    Setup s;
    sell(s.dir(), u"301"_s);
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    callUpCode(s, w, u"301"_s);
    QVERIFY(typeInto(&w, u"txtScode"_s, u"311"_s));
    pressAccessKey(&w, Qt::Key_E);
    QCOMPARE(stored(s.dir(), u"311"_s).constFirst(), QVariant(u"ビール（中瓶）"_s));

    const auto lineCodes = [&](const QString& view, const QString& column) {
        QStringList codes;
        const auto c = sales(s.dir());
        const int n = c->scalar(u"SELECT COUNT(*) FROM %1"_s.arg(view)).toInt();
        for (int i = 0; i < n; ++i)
            codes << c->scalar(u"SELECT %1 FROM %2 LIMIT 1 OFFSET %3"_s.arg(column, view).arg(i)).toString();
        return codes;
    };
    QCOMPARE(lineCodes(u"BTSalesDetail"_s, u"BTcmcode"_s), QStringList{u"301"_s});

    callUpCode(s, w, u"311"_s);
    pressAccessKey(&w, Qt::Key_D);
    QCOMPARE(s.dialogs.messageTexts(), QStringList());
    QCOMPARE(stored(s.dir(), u"311"_s), QVariantList());
    QVERIFY(registerMode(w));
    QCOMPARE(commodityCount(s.dir()), 17);

    // The line keeps its code and its amount on the statement and in the aggregation.
    QCOMPARE(lineCodes(u"BTSalesDetail"_s, u"BTcmcode"_s), QStringList{u"301"_s});
    QCOMPARE(lineCodes(u"QRYCheckOutP"_s, u"BTcmcode"_s), QStringList{u"301"_s});
    QCOMPARE(lineCodes(u"QRYForSyukei"_s, u"BTCMcode"_s), QStringList{u"301"_s});
    QCOMPARE(sales(s.dir())->scalar(u"SELECT SmallSum1 FROM QRYForSyukei"_s).toInt(), 1300);
}

void TestFrmComdty::keyboardOrder() {
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    const QStringList order{u"txtScode"_s,     u"txtSname"_s,    u"txtMdsClass"_s, u"txtUnit"_s,      u"txtRemarks"_s,
                            u"Text1"_s,        u"cmbTaxClass"_s, u"chkService"_s,  u"txtRoomShare"_s, u"chkDinner"_s,
                            u"chkBreakfast"_s, u"CmdRecorde"_s,  u"CmdCall"_s};
    for (int i = 0; i < order.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        QWidget* expected = i == 5 ? child<QWidget>(price(w), u"Text1"_s) : w.findChild<QWidget*>(order[i]);
        QVERIFY2(focus == expected, qPrintable(u"step %1: %2"_s.arg(i).arg(focus ? focus->objectName() : u"-"_s)));
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    // Every button answers its own access key: nothing is shared.
    QSet<QString> keys;
    for (auto* button : w.findChildren<QPushButton*>()) {
        const QString text = button->text();
        const qsizetype at = text.indexOf(u'&');
        QVERIFY2(at >= 0, qPrintable(button->objectName()));
        QVERIFY2(!keys.contains(text.mid(at + 1, 1)), qPrintable(text));
        keys.insert(text.mid(at + 1, 1));
    }
}

void TestFrmComdty::listPrintsTheSavedQuery() {
    Setup s;
    sales(s.dir())->exec(u"INSERT INTO Commodities (Ccode, cname, Cclasify, Cunit, Cremarks1) "
                         "VALUES ('990', '特注品', '99', '式', '')"_s);
    sales(s.dir())->exec(u"INSERT INTO CmPrice (Ccode, CMprice0) VALUES ('990', 1234567)"_s);
    goodsapp::DRSyohin report(s.dir(), s.context.profile());
    const desk::ReportDocument doc = report.compose();

    QStringList codes;
    for (const auto& item : doc.byControl(u"Text1"_s))
        codes << item.text;
    QCOMPARE(codes.size(), 19);
    QCOMPARE(codes.constFirst(), u"101"_s);
    QCOMPARE(codes.constLast(), u"990"_s);
    const auto lastRow = [&](const QString& control) {
        return doc.byControl(control).constLast().text;
    };
    QCOMPARE(lastRow(u"Text2"_s), u"特注品"_s);
    QCOMPARE(lastRow(u"Text4"_s), u"1,234,567"_s);
    // A class that does not exist prints its code with no name.
    QCOMPARE(lastRow(u"Text6"_s), u"99"_s);
    QCOMPARE(lastRow(u"Text7"_s), QString());
    QCOMPARE(doc.byControl(u"Text7"_s).constFirst().text, u"宿泊"_s);
    QCOMPARE(doc.byControl(u"Text3"_s).constFirst().text, u"大人1名様"_s);
    QCOMPARE(doc.byControl(u"Label9"_s).constFirst().text, u"商品コード一覧票"_s);
    QCOMPARE(doc.byControl(u"Label19"_s).constFirst().text, u"TEL055-111-2222"_s);
}

void TestFrmComdty::roomShare_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored"); // -1: refused, nothing stored
    QTest::newRow("a plan with two meals") << u"60"_s << 60;
    QTest::newRow("room only, full-width") << u"１００"_s << 100;
    QTest::newRow("emptied: not a stay") << u""_s << 0;
    QTest::newRow("above the price") << u"101"_s << -1;
    QTest::newRow("a fraction of a percent") << u"12.5"_s << -1;
    QTest::newRow("not a number") << u"全部"_s << -1;
}

// The room share is typed after its access key, stored with the commodity and shown again
// by a call-up; what is no whole percent is refused with the box focused.
void TestFrmComdty::roomShare() {
    QFETCH(QString, typed);
    QFETCH(int, stored);
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    QCOMPARE(textOf(&w, u"txtRoomShare"_s), u"0"_s);
    QVERIFY(typeInto(&w, u"txtScode"_s, u"106"_s));
    QVERIFY(typeInto(&w, u"txtSname"_s, u"宿泊料金（1泊2食・特選）"_s));
    pressAccessKey(&w, Qt::Key_H);
    QCOMPARE(QApplication::focusWidget(), w.findChild<QWidget*>(u"txtRoomShare"_s));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    for (const QChar c : typed)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    pressAccessKey(&w, Qt::Key_R);
    if (stored < 0) {
        QCOMPARE(s.dialogs.messageTexts(),
                 QStringList{u"宿泊料の割合は 0 から 100 までの整数（%）で入力してください。"_s});
        QCOMPARE(QApplication::focusWidget(), w.findChild<QWidget*>(u"txtRoomShare"_s));
        QVERIFY(::stored(s.dir(), u"106"_s).isEmpty());
        return;
    }
    QCOMPARE(s.dialogs.messageTexts(), QStringList());
    QCOMPARE(sales(s.dir())->scalar(u"SELECT CRoomShare FROM Commodities WHERE Ccode = '106'"_s).toInt(), stored);
    callUpCode(s, w, u"106"_s);
    QCOMPARE(textOf(&w, u"txtRoomShare"_s), QString::number(stored));
}

void TestFrmComdty::mealMarks_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QList<Qt::Key>>("keys"); // access keys pressed, each toggling its mark
    QTest::addColumn<bool>("dinner");
    QTest::addColumn<bool>("breakfast");
    QTest::newRow("two meals marked on a new plan") << u"106"_s << QList<Qt::Key>{Qt::Key_U, Qt::Key_B} << true << true;
    QTest::newRow("breakfast only") << u"106"_s << QList<Qt::Key>{Qt::Key_B} << false << true;
    QTest::newRow("the sample two-meal plan loses its dinner")
        << u"101"_s << QList<Qt::Key>{Qt::Key_U} << false << true;
}

// The meals of a plan are marked by their access keys, stored with the commodity, shown again
// by a call-up, and cleared for the next entry.
void TestFrmComdty::mealMarks() {
    QFETCH(QString, code);
    QFETCH(QList<Qt::Key>, keys);
    QFETCH(bool, dinner);
    QFETCH(bool, breakfast);
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    const bool existing = !::stored(s.dir(), code).isEmpty();
    if (existing) {
        callUpCode(s, w, code);
    } else {
        QVERIFY(typeInto(&w, u"txtScode"_s, code));
        QVERIFY(typeInto(&w, u"txtSname"_s, u"宿泊料金（特選）"_s));
    }
    for (const Qt::Key key : keys)
        pressAccessKey(&w, key);
    pressAccessKey(&w, existing ? Qt::Key_E : Qt::Key_R);
    QCOMPARE(s.dialogs.messageTexts(), QStringList());
    const auto row =
        sales(s.dir())->scalar(u"SELECT CMealDinner * 2 + CMealBreakfast FROM Commodities WHERE Ccode = ?"_s, {code});
    QCOMPARE(row.toInt(), int(dinner) * 2 + int(breakfast));
    pressAccessKey(&w, Qt::Key_T);
    QVERIFY(!child<QCheckBox>(&w, u"chkDinner"_s)->isChecked());
    callUpCode(s, w, code);
    QCOMPARE(child<QCheckBox>(&w, u"chkDinner"_s)->isChecked(), dinner);
    QCOMPARE(child<QCheckBox>(&w, u"chkBreakfast"_s)->isChecked(), breakfast);
}

void TestFrmComdty::taxClassRoundTrip_data() {
    QTest::addColumn<int>("downs");          // presses of Down in the tax class list
    QTest::addColumn<bool>("toggleService"); // Space on the service check box
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("service");
    QTest::newRow("as offered") << 0 << false << u"標準税率"_s << true;
    QTest::newRow("reduced without service") << 1 << true << u"軽減税率"_s << false;
    QTest::newRow("exempt with service") << 2 << false << u"非課税"_s << true;
}

void TestFrmComdty::taxClassRoundTrip() {
    QFETCH(int, downs);
    QFETCH(bool, toggleService);
    QFETCH(QString, className);
    QFETCH(bool, service);
    Setup s;
    FrmComdty w(s.context);
    QVERIFY(showActive(&w));
    // A commodity called up with other settings: the clearing offers the defaults again.
    sales(s.dir())->exec(u"UPDATE Commodities SET CTaxClass = 2, CService = 0 WHERE Ccode = '301'"_s);
    callUpCode(s, w, u"301"_s);
    QCOMPARE(textOf(&w, u"cmbTaxClass"_s), u"非課税"_s);
    QVERIFY(!child<QCheckBox>(&w, u"chkService"_s)->isChecked());
    pressAccessKey(&w, Qt::Key_T);
    QCOMPARE(textOf(&w, u"cmbTaxClass"_s), u"標準税率"_s);
    QVERIFY(child<QCheckBox>(&w, u"chkService"_s)->isChecked());

    QVERIFY(typeInto(&w, u"txtScode"_s, u"601"_s));
    QVERIFY(typeInto(&w, u"txtSname"_s, u"お弁当"_s));
    pressAccessKey(&w, Qt::Key_Z);
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.findChild<QWidget*>(u"chkService"_s));
    if (toggleService)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    pressAccessKey(&w, Qt::Key_R);
    QCOMPARE(s.dialogs.messageTexts(), QStringList());
    const auto c = sales(s.dir());
    QCOMPARE(c->scalar(u"SELECT CTaxClass FROM Commodities WHERE Ccode = '601'"_s).toInt(), downs);
    QCOMPARE(c->scalar(u"SELECT CService FROM Commodities WHERE Ccode = '601'"_s).toInt(), service ? 1 : 0);

    callUpCode(s, w, u"601"_s);
    QCOMPARE(textOf(&w, u"cmbTaxClass"_s), className);
    QCOMPARE(child<QCheckBox>(&w, u"chkService"_s)->isChecked(), service);

    // The list shows both, on the commodity's own line.
    goodsapp::DRSyohin report(s.dir(), s.context.profile());
    const desk::ReportDocument doc = report.compose();
    QCOMPARE(doc.byControl(u"Label10"_s).constFirst().text, u"税区分"_s);
    QCOMPARE(doc.byControl(u"Label11"_s).constFirst().text, u"サ"_s);
    const auto codes = doc.byControl(u"Text1"_s);
    qsizetype line = -1;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (codes[i].text == u"601"_s)
            line = i;
    }
    QVERIFY(line >= 0);
    QCOMPARE(doc.byControl(u"Text8"_s).at(line).text, className);
    QCOMPARE(doc.byControl(u"Text9"_s).at(line).text, service ? u"○"_s : QString());
}

QTEST_MAIN(TestFrmComdty)
#include "tst_frmcomdty.moc"
