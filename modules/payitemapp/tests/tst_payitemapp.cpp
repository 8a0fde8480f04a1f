#include "payitemapp/DRRptName.h"
#include "payitemapp/PaymentItemWindow.h"

#include "data/Connection.h"
#include "testsupport/InputMethod.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;
using Icon = desk::Dialogs::Icon;

namespace {

struct Item {
    QString name;
    int classCode = -1;
    int count = 0;
};

Item storedItem(const QString& dir, const QString& code) {
    const auto c = desk::Connection::open(dir, QLatin1String(desk::DbFile::Recipt));
    Item item;
    item.name = c->scalar(u"SELECT RptName FROM ReciptCode WHERE RptCode = ?"_s, {code}).toString();
    const QVariant cls = c->scalar(u"SELECT RptClass FROM ReciptCode WHERE RptCode = ?"_s, {code});
    item.classCode = cls.isNull() ? -1 : cls.toInt();
    item.count = c->scalar(u"SELECT COUNT(*) FROM ReciptCode"_s).toInt();
    return item;
}

// Calls an item up through the input box, by access key.
void callUp(WindowFixture& f, QWidget* window, const QString& code) {
    f.dialogs().pushInput(code);
    pressAccessKey(window, Qt::Key_C);
}

} // namespace

class TestPayItemApp : public QObject {
    Q_OBJECT

private slots:
    void newItemRefusals_data();
    void newItemRefusals();
    void classCodeIsTakenFromTheChosenEntry();
    void correctionChecksOnlyAChangedCode();
    void correctionMayChangeTheLetterCaseOnly();
    void itemOfAMissingClassKeepsItsClass();
    void deleteAsksAndRemovesTheCalledUpItem();
    void clearAsksAndAlwaysEndsInANewEntry_data();
    void clearAsksAndAlwaysEndsInANewEntry();
    void listPrintsEveryItemWithItsClassName();
};

void TestPayItemApp::newItemRefusals_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("classIndex");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::newRow("empty name") << u"20"_s << QString() << 0 << u"未入力の項目があります。"_s << u"入金項目"_s;
    QTest::newRow("empty code") << QString() << u"商品券"_s << 0 << u"未入力の項目があります。"_s << u"入金項目"_s;
    QTest::newRow("blank code") << u" "_s << u"商品券"_s << 0 << u"未入力の項目があります。"_s << u"入金項目"_s;
    QTest::newRow("used code") << u"03"_s << u"商品券"_s << 0 << u"コードが重複しています。"_s << u"入金項目"_s;
    QTest::newRow("no class") << u"20"_s << u"商品券"_s << -1 << u"入金区分を選択してください。"_s << u"警告"_s;
}

void TestPayItemApp::newItemRefusals() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(int, classIndex);
    QFETCH(QString, message);
    QFETCH(QString, title);
    WindowFixture f;
    payitemapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    const int before = storedItem(f.dirPath(), u"03"_s).count;

    QVERIFY(typeInto(&window, u"txtCcode"_s, code));
    QVERIFY(commitText(&window, u"txtCname"_s, name));
    child<QComboBox>(&window, u"CmbRptKubun"_s)->setCurrentIndex(classIndex);
    pressAccessKey(&window, Qt::Key_R);

    const auto messages = f.dialogs().messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text, message);
    QCOMPARE(messages[0].title, title);
    QCOMPARE(messages[0].icon, Icon::Critical);
    QCOMPARE(storedItem(f.dirPath(), u"03"_s).count, before);
    QCOMPARE(storedItem(f.dirPath(), u"03"_s).name, u"クレジットカード"_s);
    // The entry stays for the clerk to put right.
    QCOMPARE(textOf(&window, u"txtCname"_s), name);
}

void TestPayItemApp::classCodeIsTakenFromTheChosenEntry() {
    WindowFixture f;
    payitemapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    auto* classes = child<QComboBox>(&window, u"CmbRptKubun"_s);
    QCOMPARE(classes->itemText(2), u"3:振込・売掛"_s);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&window, u"txtCcode"_s));

    QTest::keyClicks(QApplication::focusWidget(), u"20"_s);
    QVERIFY(commitText(&window, u"txtCname"_s, u"コンビニ払込"_s));
    classes->setCurrentIndex(2);
    pressAccessKey(&window, Qt::Key_R);

    QCOMPARE(f.dialogs().messages().size(), 0);
    const Item saved = storedItem(f.dirPath(), u"20"_s);
    QCOMPARE(saved.name, u"コンビニ払込"_s);
    QCOMPARE(saved.classCode, 3);
    // Cleared for the next item, the buttons as they were.
    QCOMPARE(textOf(&window, u"txtCcode"_s), QString());
    QCOMPARE(classes->currentIndex(), -1);
    QVERIFY(child<QPushButton>(&window, u"CmdRecorde"_s)->isEnabled());
}

void TestPayItemApp::correctionChecksOnlyAChangedCode() {
    WindowFixture f;
    payitemapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));

    // Unchanged code: no duplicate refusal although the code is in the table.
    callUp(f, &window, u"02"_s);
    QCOMPARE(textOf(&window, u"lbCcode"_s), u"02"_s);
    QCOMPARE(textOf(&window, u"CmbRptKubun"_s), u"1:現金"_s);
    QVERIFY(!child<QPushButton>(&window, u"CmdRecorde"_s)->isEnabled());
    QVERIFY(commitText(&window, u"txtCname"_s, u"内金"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().messages().size(), 0);
    QCOMPARE(storedItem(f.dirPath(), u"02"_s).name, u"内金"_s);
    QVERIFY(!child<QPushButton>(&window, u"CmdEdit"_s)->isEnabled());

    // Renumbered onto a used code: refused, both items as they were.
    callUp(f, &window, u"02"_s);
    QVERIFY(typeInto(&window, u"txtCcode"_s, u"05"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().messageTexts(), QStringList{u"コードが重複しています。"_s});
    QCOMPARE(storedItem(f.dirPath(), u"02"_s).name, u"内金"_s);
    QCOMPARE(storedItem(f.dirPath(), u"05"_s).name, u"銀行振込"_s);

    // Renumbered onto a free code: the same row moves.
    QVERIFY(typeInto(&window, u"txtCcode"_s, u"12"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().messages().size(), 1);
    const Item moved = storedItem(f.dirPath(), u"12"_s);
    QCOMPARE(moved.name, u"内金"_s);
    QCOMPARE(moved.count, 8);
    QCOMPARE(storedItem(f.dirPath(), u"02"_s).name, QString());
}

void TestPayItemApp::correctionMayChangeTheLetterCaseOnly() {
    WindowFixture f;
    desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::Recipt))
        ->exec(u"INSERT INTO ReciptCode (RptCode, RptName, RptClass, RptRemarks1, RptRemarks2) "
               "VALUES ('ab', '旅行券', 4, '', '')"_s);
    payitemapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    callUp(f, &window, u"ab"_s);
    // Blanks typed around the code are no part of it.
    QVERIFY(typeInto(&window, u"txtCcode"_s, u" AB "_s));
    pressAccessKey(&window, Qt::Key_E);

    QCOMPARE(f.dialogs().messageTexts(), QStringList());
    const Item corrected = storedItem(f.dirPath(), u"AB"_s);
    QCOMPARE(corrected.name, u"旅行券"_s);
    QCOMPARE(corrected.count, 9);
    QCOMPARE(textOf(&window, u"lbMessage"_s), u"入金コード AB を訂正しました。"_s);
}

void TestPayItemApp::itemOfAMissingClassKeepsItsClass() {
    WindowFixture f;
    desk::Connection::open(f.dirPath(), QLatin1String(desk::DbFile::Recipt))
        ->exec(u"INSERT INTO ReciptCode (RptCode, RptName, RptClass, RptRemarks1, RptRemarks2) "
               "VALUES ('30', '旧区分の項目', 9, '', '')"_s);
    payitemapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    auto* classes = child<QComboBox>(&window, u"CmbRptKubun"_s);
    classes->setCurrentIndex(1);
    callUp(f, &window, u"30"_s);
    QCOMPARE(textOf(&window, u"txtCname"_s), u"旧区分の項目"_s);
    // Not the entry the list showed before: the stored class, which the list lacks.
    QCOMPARE(classes->currentIndex(), -1);
    QCOMPARE(classes->placeholderText(), u"9:（一覧にない区分）"_s);

    // An unknown code changes nothing.
    callUp(f, &window, u"99"_s);
    QCOMPARE(f.dialogs().messageTexts(), QStringList{u"見つかりません。"_s});
    QCOMPARE(textOf(&window, u"lbCcode"_s), u"30"_s);

    // A correction of the name keeps the class.
    QVERIFY(commitText(&window, u"txtCname"_s, u"旧区分の券"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().messages().size(), 1);
    QCOMPARE(storedItem(f.dirPath(), u"30"_s).name, u"旧区分の券"_s);
    QCOMPARE(storedItem(f.dirPath(), u"30"_s).classCode, 9);
    // The next item starts with no class, and one the clerk picks is saved.
    QCOMPARE(classes->placeholderText(), QString());
    callUp(f, &window, u"30"_s);
    classes->setCurrentIndex(0);
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(storedItem(f.dirPath(), u"30"_s).classCode, 1);
}

void TestPayItemApp::deleteAsksAndRemovesTheCalledUpItem() {
    WindowFixture f;
    payitemapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    callUp(f, &window, u"08"_s);
    f.dialogs().pushAnswer(desk::Dialogs::Answer::Cancel);
    pressAccessKey(&window, Qt::Key_D);
    QCOMPARE(storedItem(f.dirPath(), u"08"_s).name, u"クーポン券"_s);

    f.dialogs().pushAnswer(desk::Dialogs::Answer::Ok);
    pressAccessKey(&window, Qt::Key_D);
    QCOMPARE(f.dialogs().messageTexts(), QStringList(2, u"コード：08を　削除しますか？"_s));
    QCOMPARE(storedItem(f.dirPath(), u"08"_s).count, 7);
    QCOMPARE(textOf(&window, u"lbCcode"_s), QString());
    QVERIFY(!child<QPushButton>(&window, u"CmdDelete"_s)->isEnabled());
}

void TestPayItemApp::clearAsksAndAlwaysEndsInANewEntry_data() {
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("codeAfter");
    QTest::newRow("OK clears") << true << QString();
    QTest::newRow("Cancel keeps the entry") << false << u"02"_s;
}

void TestPayItemApp::clearAsksAndAlwaysEndsInANewEntry() {
    QFETCH(bool, ok);
    QFETCH(QString, codeAfter);
    WindowFixture f;
    payitemapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    callUp(f, &window, u"02"_s);
    f.dialogs().pushAnswer(ok ? desk::Dialogs::Answer::Ok : desk::Dialogs::Answer::Cancel);
    pressAccessKey(&window, Qt::Key_S);

    const auto messages = f.dialogs().messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text, u"画面のデータを消去しますか？"_s);
    QCOMPARE(messages[0].title, u"警告"_s);
    QCOMPARE(messages[0].icon, Icon::Question);
    QCOMPARE(messages[0].buttons, desk::Dialogs::Buttons::OkCancel);
    QCOMPARE(textOf(&window, u"txtCcode"_s), codeAfter);
    QCOMPARE(textOf(&window, u"lbCcode"_s), codeAfter);
    QVERIFY(child<QPushButton>(&window, u"CmdRecorde"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(&window, u"CmdEdit"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(&window, u"CmdDelete"_s)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&window, u"txtCcode"_s));
}

void TestPayItemApp::listPrintsEveryItemWithItsClassName() {
    WindowFixture f;
    payitemapp::DRRptName report(f.dirPath(), WindowFixture::sampleProfile());
    const desk::ReportDocument doc = report.compose();
    const auto codes = doc.byControl(u"Text1"_s);
    const auto classes = doc.byControl(u"Text7"_s);
    QCOMPARE(codes.size(), 8);
    QCOMPARE(codes[0].text, u"01"_s);
    QCOMPARE(classes[6].text, u"金券"_s);
    QCOMPARE(doc.byControl(u"Label9"_s).value(0).text, u"入金コード一覧票"_s);
    QCOMPARE(doc.byControl(u"Label16"_s).value(0).text, WindowFixture::sampleProfile().MyCompanyName);
}

QTEST_MAIN(TestPayItemApp)
#include "tst_payitemapp.moc"
