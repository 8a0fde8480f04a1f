#include "digitfield/UserControl1.h"
#include "testsupport/Widgets.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using digitfield::UserControl1;

namespace {

// A shown, active window with the number field and a plain box after it.
struct Form {
    QWidget window;
    UserControl1* field = new UserControl1(&window);
    QLineEdit* other = new QLineEdit(&window);
    QList<int> keyPresses;

    Form() {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        QObject::connect(field, &UserControl1::KeyPress, field, [this](int& code) { keyPresses.append(code); });
        window.show();
        window.activateWindow();
    }
    QLineEdit* text1() const { return desk::test::child<QLineEdit>(field, QStringLiteral("Text1")); }
    // Puts text into the field as code does and the caret at a position (-1: the end).
    void start(const QString& text, int caret = -1) {
        field->setText(text);
        text1()->setFocus();
        text1()->setCursorPosition(caret < 0 ? int(text.size()) : caret);
    }
};

QTestEventList typed(const QString& text) {
    QTestEventList keys;
    keys.addKeyClicks(text);
    return keys;
}

QTestEventList pressed(Qt::Key key, int times = 1) {
    QTestEventList keys;
    for (int i = 0; i < times; ++i)
        keys.addKeyClick(key);
    return keys;
}

} // namespace

class TestUserControl1 : public QObject {
    Q_OBJECT

private slots:
    void keyFilter_data();
    void keyFilter();
    void inputMethodDigitsIgnored();
    void keyPressHandlerDecides();
    void deleteKey_data();
    void deleteKey();
    void propertiesByName_data();
    void propertiesByName();
    void tabIndexRounded_data();
    void tabIndexRounded();
    void validateCancelKeepsFocus_data();
    void validateCancelKeepsFocus();
    void innerBoxFillsControl();
};

void TestUserControl1::keyFilter_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("keyPresses");

    QTest::newRow("digit over zero") << "0" << -1 << typed(QStringLiteral("7")) << "7" << QList<int>{'7'};
    QTest::newRow("digit over zero, caret first") << "0" << 0 << typed(QStringLiteral("7")) << "7" << QList<int>{'7'};
    QTest::newRow("minus over zero, then digit")
        << "0" << -1 << typed(QStringLiteral("-5")) << "-5" << QList<int>{'-', '5'};
    QTest::newRow("minus after digits") << "12" << -1 << typed(QStringLiteral("-")) << "12" << QList<int>{0};
    QTest::newRow("second point") << "12" << -1 << typed(QStringLiteral("..")) << "12." << QList<int>{'.', 0};
    QTest::newRow("point into empty") << "" << -1 << typed(QStringLiteral(".5")) << ".5" << QList<int>{'.', '5'};
    QTest::newRow("point after zero") << "0" << -1 << typed(QStringLiteral(".")) << "0." << QList<int>{'.'};
    QTest::newRow("digit at the caret") << "123" << 1 << typed(QStringLiteral("4")) << "1423" << QList<int>{'4'};
    QTest::newRow("letters and spaces") << "5" << -1 << typed(QStringLiteral("a Z+")) << "5" << QList<int>{0, 0, 0, 0};
    QTest::newRow("backspace with caret inside") << "123" << 1 << pressed(Qt::Key_Backspace) << "12" << QList<int>{8};
    QTest::newRow("backspace on one digit") << "8" << 0 << pressed(Qt::Key_Backspace) << "0" << QList<int>{0};
    QTest::newRow("backspace on zero") << "0" << -1 << pressed(Qt::Key_Backspace) << "0" << QList<int>{0};
    QTest::newRow("backspace down to zero")
        << "-42" << 1 << pressed(Qt::Key_Backspace, 3) << "0" << QList<int>{8, 8, 0};
    QTest::newRow("enter passes") << "12" << -1 << pressed(Qt::Key_Return) << "12" << QList<int>{13};
}

void TestUserControl1::keyFilter() {
    QFETCH(QString, start);
    QFETCH(int, caret);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, text);
    QFETCH(QList<int>, keyPresses);

    Form form;
    form.start(start, caret);
    keys.simulate(form.text1());
    QCOMPARE(form.field->Text(), text);
    QCOMPARE(form.keyPresses, keyPresses);
}

void TestUserControl1::inputMethodDigitsIgnored() {
    Form form;
    form.start(QStringLiteral("5"));
    QInputMethodEvent wide;
    wide.setCommitString(QStringLiteral("１２"));
    QCoreApplication::sendEvent(form.text1(), &wide);
    // A full-width digit arriving as a key carries it as its text.
    QTest::sendKeyEvent(QTest::Click, form.text1(), Qt::Key_unknown, QStringLiteral("３"), Qt::NoModifier);
    QCOMPARE(form.field->Text(), QStringLiteral("5"));
    QCOMPARE(form.keyPresses, (QList<int>{0, 0, 0}));

    QInputMethodEvent narrow;
    narrow.setCommitString(QStringLiteral("1.2."));
    QCoreApplication::sendEvent(form.text1(), &narrow);
    QCOMPARE(form.field->Text(), QStringLiteral("51.2"));
}

void TestUserControl1::keyPressHandlerDecides() {
    Form form;
    connect(form.field, &UserControl1::KeyPress, this, [](int& code) {
        if (code == '1')
            code = '9';
        else if (code == '2')
            code = 0;
        else if (code == 0)
            code = 'x'; // the form may even let a refused key through
    });
    form.start(QStringLiteral("0"));
    QTest::keyClicks(form.text1(), QStringLiteral("12a"));
    QCOMPARE(form.field->Text(), QStringLiteral("9x"));
}

void TestUserControl1::deleteKey_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("text");

    QTest::newRow("one character left") << "12" << 0 << "0";
    QTest::newRow("two characters left") << "123" << 0 << "23";
    QTest::newRow("last character deleted") << "5" << 0 << "0";
    QTest::newRow("nothing after the caret") << "34" << 2 << "34";
}

void TestUserControl1::deleteKey() {
    QFETCH(QString, start);
    QFETCH(int, caret);
    QFETCH(QString, text);

    Form form;
    QSignalSpy ups(form.field, &UserControl1::KeyUp);
    form.start(start, caret);
    QTest::keyClick(form.text1(), Qt::Key_Delete);
    QCOMPARE(form.field->Text(), text);
    QCOMPARE(ups.size(), 1);
    QCOMPARE(ups.first().first().toInt(), int(Qt::Key_Delete));
    QVERIFY(form.keyPresses.isEmpty());
}

void TestUserControl1::propertiesByName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("initial");
    QTest::addColumn<QVariant>("written");

    QTest::newRow("BackColor") << "BackColor" << QVariant() << QVariant(QColor(Qt::yellow));
    QTest::newRow("ForeColor") << "ForeColor" << QVariant() << QVariant(QColor(Qt::darkRed));
    QTest::newRow("Enabled") << "Enabled" << QVariant(true) << QVariant(false);
    QTest::newRow("Font") << "Font" << QVariant() << QVariant(QFont(QStringLiteral("Noto Sans CJK JP"), 15));
    QTest::newRow("BackStyle") << "BackStyle" << QVariant(0) << QVariant(1);
    QTest::newRow("BorderStyle") << "BorderStyle" << QVariant(1) << QVariant(0);
    QTest::newRow("Alignment") << "Alignment" << QVariant(0) << QVariant(1);
    QTest::newRow("ToolTipText") << "ToolTipText" << QVariant(QString()) << QVariant(QStringLiteral("価格"));
    QTest::newRow("Text") << "Text" << QVariant(QStringLiteral("Text1")) << QVariant(QStringLiteral("abc"));
    QTest::newRow("SelStart") << "SelStart" << QVariant(0) << QVariant(2);
    QTest::newRow("SelText") << "SelText" << QVariant(QString()) << QVariant(QStringLiteral("x"));
    QTest::newRow("SelLength") << "SelLength" << QVariant(0) << QVariant(3);
    QTest::newRow("IMEMode") << "IMEMode" << QVariant(0) << QVariant(3);
    QTest::newRow("TabIndex") << "TabIndex" << QVariant(0.0f) << QVariant(4.0f);
}

void TestUserControl1::propertiesByName() {
    QFETCH(QString, name);
    QFETCH(QVariant, initial);
    QFETCH(QVariant, written);

    UserControl1 field;
    const QByteArray key = name.toLatin1();
    if (initial.isValid())
        QCOMPARE(field.property(key.constData()), initial);
    QSignalSpy changed(&field, &UserControl1::PropertyChanged);
    QVERIFY(field.setProperty(key.constData(), written));
    QCOMPARE(field.property(key.constData()), written);
    QVERIFY(changed.contains(QVariantList{name}));
    // The stored-only properties leave the inner box alone.
    auto* text1 = field.findChild<QLineEdit*>(QStringLiteral("Text1"));
    QVERIFY(text1->toolTip().isEmpty());
    QCOMPARE(text1->selectedText(), QString());
}

void TestUserControl1::tabIndexRounded_data() {
    QTest::addColumn<float>("index");
    QTest::addColumn<int>("inner");

    QTest::newRow("whole") << 3.0f << 3;
    QTest::newRow("half down to even") << 2.5f << 2;
    QTest::newRow("half up to even") << 3.5f << 4;
    QTest::newRow("above half") << 2.6f << 3;
    QTest::newRow("negative") << -2.0f << 0;
}

void TestUserControl1::tabIndexRounded() {
    QFETCH(float, index);
    QFETCH(int, inner);

    UserControl1 field;
    field.setTabIndex(index);
    QCOMPARE(field.TabIndex(), index);
    QCOMPARE(field.findChild<QLineEdit*>(QStringLiteral("Text1"))->property("TabIndex").toInt(), inner);
}

void TestUserControl1::validateCancelKeepsFocus_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("accepted") << false;
    QTest::newRow("cancelled") << true;
}

void TestUserControl1::validateCancelKeepsFocus() {
    QFETCH(bool, cancel);

    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    int validations = 0;
    connect(form.field, &UserControl1::Validate, this, [&](bool& c) {
        ++validations;
        c = cancel;
    });
    form.text1()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(form.text1(), Qt::Key_Tab);
    QCOMPARE(validations, 1);
    QCOMPARE(QApplication::focusWidget(), cancel ? static_cast<QWidget*>(form.text1()) : form.other);
}

void TestUserControl1::innerBoxFillsControl() {
    UserControl1 field;
    field.resize(140, 40);
    field.show();
    QCOMPARE(field.findChild<QLineEdit*>(QStringLiteral("Text1"))->geometry(), QRect(0, 0, 140, 40));
}

QTEST_MAIN(TestUserControl1)
#include "tst_usercontrol1.moc"
