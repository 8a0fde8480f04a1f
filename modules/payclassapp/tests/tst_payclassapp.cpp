#include "payclassapp/PaymentClassWindow.h"

#include "data/Connection.h"
#include "testsupport/InputMethod.h"
#include "testsupport/WindowFixture.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace desk::test;
using namespace Qt::StringLiterals;

namespace {

// The classes as stored, "code:name" in table order.
QStringList storedClasses(const QString& dir) {
    const auto c = desk::Connection::open(dir, QLatin1String(desk::DbFile::Recipt));
    QStringList out;
    const int n = c->scalar(u"SELECT COUNT(*) FROM ReciptClass"_s).toInt();
    for (int i = 0; i < n; ++i)
        out << c->scalar(
                    u"SELECT RptClassCode || ':' || RptClassName FROM ReciptClass ORDER BY RowKey LIMIT 1 OFFSET ?"_s,
                    {i})
                   .toString();
    return out;
}

QStringList listed(const QWidget* window) {
    auto* list = child<QTreeWidget>(window, u"ListView1"_s);
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(0) + u":"_s + list->topLevelItem(i)->text(1);
    return out;
}

int itemsOfClass(const QString& dir, int cls) {
    return desk::Connection::open(dir, QLatin1String(desk::DbFile::Recipt))
        ->scalar(u"SELECT COUNT(*) FROM ReciptCode WHERE RptClass = ?"_s, {cls})
        .toInt();
}

} // namespace

class TestPayClassApp : public QObject {
    Q_OBJECT

private slots:
    void closesOnEscapeAndAltO();
    void newClassIsListedAtOnce_data();
    void newClassIsListedAtOnce();
    void renumberingRewritesOneRow();
    void deletingLeavesItsItemsAlone();
    void confirmationGoesWithTheNextEdit();
};

void TestPayClassApp::newClassIsListedAtOnce_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("message");
    QTest::newRow("plain") << u"7"_s << u"7"_s << QString();
    QTest::newRow("full-width, leading zero") << u"０７"_s << u"7"_s << QString();
    QTest::newRow("used") << u"3"_s << QString() << u"コードが重複しています。"_s;
    QTest::newRow("no number") << u"A"_s << QString() << u"入金区分コードは数字で入力してください。"_s;
    QTest::newRow("beyond the item column") << u"40000"_s << QString() << u"入金区分コードは数字で入力してください。"_s;
}

void TestPayClassApp::newClassIsListedAtOnce() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    WindowFixture f;
    payclassapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    const QStringList before = storedClasses(f.dirPath());
    QCOMPARE(listed(&window), before);

    QVERIFY(commitText(&window, u"txtClKubunKode"_s, typed));
    QVERIFY(commitText(&window, u"txtClKubunName"_s, u"電子マネー"_s));
    pressAccessKey(&window, Qt::Key_R);

    if (message.isEmpty()) {
        QCOMPARE(f.dialogs().messages().size(), 0);
        QCOMPARE(storedClasses(f.dirPath()), before + QStringList{stored + u":電子マネー"_s});
    } else {
        QCOMPARE(f.dialogs().messageTexts(), QStringList{message});
        QCOMPARE(f.dialogs().messages()[0].title, u"入金区分"_s);
        QCOMPARE(storedClasses(f.dirPath()), before);
    }
    QCOMPARE(listed(&window), storedClasses(f.dirPath()));
}

void TestPayClassApp::renumberingRewritesOneRow() {
    WindowFixture f;
    payclassapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));

    f.dialogs().pushInput(u"2"_s);
    pressAccessKey(&window, Qt::Key_C);
    QCOMPARE(f.dialogs().shown()[0].text, u"入金区分の訂正または削除するコードを入力してください。"_s);
    QCOMPARE(textOf(&window, u"lbClKubun"_s), u"2"_s);
    QCOMPARE(textOf(&window, u"txtClKubunName"_s), u"カード"_s);

    // Onto a used code: refused, nothing written.
    QVERIFY(typeInto(&window, u"txtClKubunKode"_s, u"4"_s));
    pressAccessKey(&window, Qt::Key_E);
    QCOMPARE(f.dialogs().messageTexts(), QStringList{u"コードが重複しています。"_s});

    QVERIFY(typeInto(&window, u"txtClKubunKode"_s, u"5"_s));
    QVERIFY(commitText(&window, u"txtClKubunName"_s, u"クレジット"_s));
    pressAccessKey(&window, Qt::Key_E);
    const QStringList expected{u"1:現金"_s, u"5:クレジット"_s, u"3:振込・売掛"_s, u"4:金券"_s};
    QCOMPARE(storedClasses(f.dirPath()), expected);
    QCOMPARE(listed(&window), expected);
    QCOMPARE(textOf(&window, u"lbClKubun"_s), QString());
}

void TestPayClassApp::deletingLeavesItsItemsAlone() {
    WindowFixture f;
    payclassapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    // Nothing called up: nothing to delete.
    QVERIFY(!child<QPushButton>(&window, u"CmdDelete"_s)->isEnabled());

    f.dialogs().pushInput(u"4"_s);
    pressAccessKey(&window, Qt::Key_C);
    f.dialogs().pushAnswer(desk::Dialogs::Answer::Ok);
    pressAccessKey(&window, Qt::Key_D);
    QCOMPARE(f.dialogs().messageTexts().last(), u"コード：4を　削除しますか？"_s);
    QCOMPARE(storedClasses(f.dirPath()), (QStringList{u"1:現金"_s, u"2:カード"_s, u"3:振込・売掛"_s}));
    QCOMPARE(listed(&window).size(), 3);
    QCOMPARE(itemsOfClass(f.dirPath(), 4), 2);
}

void TestPayClassApp::confirmationGoesWithTheNextEdit() {
    WindowFixture f;
    payclassapp::frmRecipt window(f.context());
    QVERIFY(showActive(&window));
    QVERIFY(typeInto(&window, u"txtClKubunKode"_s, u"8"_s));
    QVERIFY(commitText(&window, u"txtClKubunName"_s, u"ポイント"_s));
    pressAccessKey(&window, Qt::Key_R);
    QCOMPARE(textOf(&window, u"lbMessage"_s), u"入金区分 8 を登録しました。"_s);

    // Focus alone keeps it; a key that changes a box takes it away.
    child<QLineEdit>(&window, u"txtClKubunName"_s)->setFocus();
    QCOMPARE(textOf(&window, u"lbMessage"_s), u"入金区分 8 を登録しました。"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
    QCOMPARE(textOf(&window, u"lbMessage"_s), QString());
}

// The one close key of every window (this one cannot share a test program with payitemapp's).
void TestPayClassApp::closesOnEscapeAndAltO() {
    for (const bool escape : {true, false}) {
        WindowFixture f;
        QPointer<QWidget> window(new payclassapp::frmRecipt(f.context()));
        window->setAttribute(Qt::WA_DeleteOnClose);
        QVERIFY(showActive(window));
        QCOMPARE(child<QPushButton>(window, u"CmdEnd"_s)->text(), u"終わり(&O)"_s);
        if (escape)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            pressAccessKey(window, Qt::Key_O);
        settle();
        QVERIFY(window.isNull());
        QVERIFY(f.dialogs().messageTexts().isEmpty());
    }
}

QTEST_MAIN(TestPayClassApp)
#include "tst_payclassapp.moc"
