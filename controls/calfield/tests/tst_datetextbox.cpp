#include "calfield/DateTextBox.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/Widgets.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using calfield::DateTextBox;
using desk::test::child;

namespace {

// A shown, active window holding two date controls and a plain box after them.
struct Form {
    QWidget window;
    DateTextBox* first = new DateTextBox(&window);
    DateTextBox* second = new DateTextBox(&window);
    QLineEdit* other = new QLineEdit(&window);

    Form() {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(other);
        other->setFocus(); // the window starts outside the date controls
        window.show();
        window.activateWindow();
    }
    QLineEdit* box(const QString& name) const { return child<QLineEdit>(first, name); }
};

// A dialog holding a date control, its default button 登録 and the leave-only 終わり.
struct ActionForm {
    QDialog window;
    DateTextBox* date = new DateTextBox(&window);
    QPushButton* commit = new QPushButton(QStringLiteral("登録(&R)"), &window);
    QPushButton* leave = new QPushButton(QStringLiteral("終わり(&E)"), &window);
    int committed = 0;
    int left = 0;

    ActionForm() {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(date);
        layout->addWidget(commit);
        layout->addWidget(leave);
        commit->setDefault(true);
        DateTextBox::setLeaveOnly(leave);
        QObject::connect(commit, &QPushButton::clicked, [this] { ++committed; });
        QObject::connect(leave, &QPushButton::clicked, [this] { ++left; });
        window.show();
        window.activateWindow();
    }
};

QStringList texts(std::initializer_list<const char*> items) {
    QStringList result;
    for (const char* item : items)
        result.append(QString::fromUtf8(item));
    return result;
}

} // namespace

class TestDateTextBox : public QObject {
    Q_OBJECT

private slots:
    void leaveChecks_data();
    void leaveChecks();
    void refusalDoesNotCheckTheNextControl();
    void refusedPartStopsTheAction_data();
    void refusedPartStopsTheAction();
    void closingIsNeverChecked();
    void formTabOrderPassesThroughTheParts();
    void typing_data();
    void typing();
    void keyPressHandlerReplacesOrDrops();
    void inputMethodTextIsFiltered();
    void dateValue_data();
    void dateValue();
    void selectionOnFocus_data();
    void selectionOnFocus();
    void propertiesByName_data();
    void propertiesByName();
    void layoutProportions_data();
    void layoutProportions();
    void unitLabelsStandOnTheDigitsLine_data();
    void unitLabelsStandOnTheDigitsLine();
    void mouseClicks();
};

void TestDateTextBox::leaveChecks_data() {
    QTest::addColumn<int>("yearMode");
    QTest::addColumn<QString>("leaving");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("message"); // empty: the leave is allowed
    QTest::addColumn<QString>("title");

    const QString yearBox = QStringLiteral("TextYear");
    const QString monthBox = QStringLiteral("TextMonth");
    const QString dayBox = QStringLiteral("TextDay");
    const QString four = QStringLiteral("4桁で年号を入力してください。");
    const QString two = QStringLiteral("2桁で年号を入力してください。");
    const QString month = QStringLiteral("1から12までの月を入力してください。");
    const QString d31 = QStringLiteral("31までの数を入力してください。");
    const QString d30 = QStringLiteral("30までの数を入力してください。");
    const QString d28 = QStringLiteral("うるう年ではありません。28までの数を入力してください。");
    const QString ie = QStringLiteral("入力エラー");

    QTest::newRow("year of three digits") << 0 << yearBox << "202"
                                          << ""
                                          << "" << four << ie;
    QTest::newRow("empty year") << 0 << yearBox << ""
                                << ""
                                << "" << four << ie;
    QTest::newRow("four-digit year") << 0 << yearBox << "2002"
                                     << ""
                                     << ""
                                     << ""
                                     << "";
    QTest::newRow("two-digit mode, one digit") << 1 << yearBox << "2"
                                               << ""
                                               << "" << two << ie;
    QTest::newRow("two-digit mode, four digits") << 1 << yearBox << "2002"
                                                 << ""
                                                 << "" << two << ie;
    QTest::newRow("two-digit mode, two digits") << 1 << yearBox << "02"
                                                << ""
                                                << ""
                                                << ""
                                                << "";
    QTest::newRow("unchecked mode, empty year") << 7 << yearBox << ""
                                                << ""
                                                << ""
                                                << ""
                                                << "";
    QTest::newRow("month 13") << 0 << monthBox << ""
                              << "13"
                              << "" << month << "";
    QTest::newRow("month 0") << 0 << monthBox << ""
                             << "0"
                             << "" << month << "";
    QTest::newRow("empty month") << 0 << monthBox << ""
                                 << ""
                                 << "" << month << "";
    QTest::newRow("month 12") << 0 << monthBox << ""
                              << "12"
                              << ""
                              << ""
                              << "";
    QTest::newRow("month 04") << 0 << monthBox << ""
                              << "04"
                              << ""
                              << ""
                              << "";
    QTest::newRow("day 31 of April") << 0 << dayBox << "2002"
                                     << "4"
                                     << "31" << d30 << ie;
    QTest::newRow("day 30 of April") << 0 << dayBox << "2002"
                                     << "4"
                                     << "30"
                                     << ""
                                     << "";
    QTest::newRow("day 31, month written 04") << 0 << dayBox << "2002"
                                              << "04"
                                              << "31"
                                              << ""
                                              << "";
    QTest::newRow("day 32 of January") << 0 << dayBox << "2002"
                                       << "1"
                                       << "32" << d31 << ie;
    QTest::newRow("day 31 of December") << 0 << dayBox << "2002"
                                        << "12"
                                        << "31"
                                        << ""
                                        << "";
    QTest::newRow("1900-2-29, common") << 0 << dayBox << "1900"
                                       << "2"
                                       << "29" << d28 << ie;
    QTest::newRow("2000-2-29, leap") << 0 << dayBox << "2000"
                                     << "2"
                                     << "29"
                                     << ""
                                     << "";
    QTest::newRow("2001-2-29, common") << 0 << dayBox << "2001"
                                       << "2"
                                       << "29" << d28 << ie;
    QTest::newRow("2001-2-28") << 0 << dayBox << "2001"
                               << "2"
                               << "28"
                               << ""
                               << "";
    QTest::newRow("leap February, no upper bound") << 0 << dayBox << "2004"
                                                   << "2"
                                                   << "30"
                                                   << ""
                                                   << "";
    QTest::newRow("day 0") << 0 << dayBox << "2002"
                           << "6"
                           << "0"
                           << ""
                           << "";
    QTest::newRow("empty day") << 0 << dayBox << "2002"
                               << "6"
                               << ""
                               << ""
                               << "";
}

void TestDateTextBox::leaveChecks() {
    QFETCH(int, yearMode);
    QFETCH(QString, leaving);
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(QString, message);
    QFETCH(QString, title);

    desk::test::ScriptedDialogs script;
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    form.first->setYearMode(yearMode);
    form.first->setYearText(year);
    form.first->setMonthText(month);
    form.first->setDayText(day);
    QLineEdit* box = form.box(leaving);
    box->setFocus(Qt::OtherFocusReason);
    QCOMPARE(QApplication::focusWidget(), box);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();

    if (message.isEmpty()) {
        QVERIFY(script.messages().isEmpty());
        QVERIFY(QApplication::focusWidget() != box);
        return;
    }
    QCOMPARE(script.messageTexts(), QStringList{message});
    const auto shown = script.messages().first();
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, desk::Dialogs::Icon::None);
    QCOMPARE(shown.buttons, desk::Dialogs::Buttons::Ok);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->selectedText(), box->text());
    // Typing the right value lets the user on.
    script.clear();
    form.first->setYearText(yearMode == 1 ? QStringLiteral("02") : QStringLiteral("2000"));
    form.first->setMonthText(QStringLiteral("2"));
    form.first->setDayText(QStringLiteral("29"));
    QTest::keyClick(box, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QVERIFY(script.messages().isEmpty());
    QVERIFY(QApplication::focusWidget() != box);
}

void TestDateTextBox::refusalDoesNotCheckTheNextControl() {
    // The day box of the first control is refused while the focus already went to the
    // empty year box of the second: only the first control may speak.
    desk::test::ScriptedDialogs script;
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    form.first->setMonthText(QStringLiteral("4"));
    form.first->setDayText(QStringLiteral("31"));
    QLineEdit* day = form.box(QStringLiteral("TextDay"));
    day->setFocus(Qt::OtherFocusReason);
    child<QLineEdit>(form.second, QStringLiteral("TextYear"))->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(script.messageTexts(), QStringList{QStringLiteral("30までの数を入力してください。")});
    QCOMPARE(QApplication::focusWidget(), day);
}

void TestDateTextBox::refusedPartStopsTheAction_data() {
    QTest::addColumn<QString>("way"); // mouse, key (access key), enter
    QTest::addColumn<bool>("toLeave");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("message"); // empty: the button acts

    const QStringList year202{QStringLiteral("202"), QString(), QString()};
    const QStringList april31{QStringLiteral("2024"), QStringLiteral("4"), QStringLiteral("31")};
    const QStringList april30{QStringLiteral("2024"), QStringLiteral("4"), QStringLiteral("30")};
    const QString four = QStringLiteral("4桁で年号を入力してください。");
    const QString d30 = QStringLiteral("30までの数を入力してください。");
    const QString year = QStringLiteral("TextYear");
    const QString day = QStringLiteral("TextDay");
    for (const QString& way : {QStringLiteral("mouse"), QStringLiteral("key"), QStringLiteral("enter")}) {
        QTest::addRow("%s: year 202", qPrintable(way)) << way << false << year202 << year << four;
        QTest::addRow("%s: April 31", qPrintable(way)) << way << false << april31 << day << d30;
        QTest::addRow("%s: April 30 acts", qPrintable(way)) << way << false << april30 << day << QString();
    }
    for (const QString& way : {QStringLiteral("mouse"), QStringLiteral("key")}) {
        QTest::addRow("%s: leave-only with year 202", qPrintable(way)) << way << true << year202 << year << QString();
        QTest::addRow("%s: leave-only with April 31", qPrintable(way)) << way << true << april31 << day << QString();
    }
}

void TestDateTextBox::refusedPartStopsTheAction() {
    QFETCH(QString, way);
    QFETCH(bool, toLeave);
    QFETCH(QStringList, parts);
    QFETCH(QString, box);
    QFETCH(QString, message);

    desk::test::ScriptedDialogs script;
    ActionForm form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    form.date->setYearText(parts[0]);
    form.date->setMonthText(parts[1]);
    form.date->setDayText(parts[2]);
    auto* part = child<QLineEdit>(form.date, box);
    part->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), part);

    QPushButton* button = toLeave ? form.leave : form.commit;
    if (way == QLatin1String("mouse"))
        QTest::mouseClick(button, Qt::LeftButton);
    else if (way == QLatin1String("key"))
        QTest::keyClick(part, toLeave ? Qt::Key_E : Qt::Key_R, Qt::AltModifier);
    else
        QTest::keyClick(part, Qt::Key_Return);
    QTest::qWait(250); // an access key clicks after a short animation

    const int acted = toLeave ? form.left : form.committed;
    if (message.isEmpty()) {
        QCOMPARE(acted, 1);
        QVERIFY(script.messages().isEmpty());
        return;
    }
    QCOMPARE(acted, 0);
    QCOMPARE(form.left + form.committed, 0);
    QCOMPARE(script.messageTexts(), QStringList{message});
    QCOMPARE(QApplication::focusWidget(), part);
    QVERIFY(!form.commit->isDown());
}

void TestDateTextBox::closingIsNeverChecked() {
    desk::test::ScriptedDialogs script;
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    form.first->setYearText(QStringLiteral("202"));
    form.box(QStringLiteral("TextYear"))->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.box(QStringLiteral("TextYear")), Qt::Key_Escape);
    QVERIFY(form.window.close());
    QCoreApplication::processEvents();
    QVERIFY(script.messages().isEmpty());
    QVERIFY(!form.window.isVisible());
}

void TestDateTextBox::formTabOrderPassesThroughTheParts() {
    // Created in another order than the form's tab order, as a designer form may be.
    QWidget window;
    auto* after = new QLineEdit(&window);
    auto* date = new DateTextBox(&window);
    auto* before = new QLineEdit(&window);
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(before);
    layout->addWidget(date);
    layout->addWidget(after);
    QWidget::setTabOrder(before, date);
    QWidget::setTabOrder(date, after);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    date->setYearText(QStringLiteral("2024"));
    date->setMonthText(QStringLiteral("4"));
    date->setDayText(QStringLiteral("30"));

    before->setFocus(Qt::TabFocusReason);
    QStringList visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{QStringLiteral("TextYear"), QStringLiteral("TextMonth"), QStringLiteral("TextDay"),
                                   QString()}));
    QCOMPARE(QApplication::focusWidget(), after);
}

void TestDateTextBox::typing_data() {
    QTest::addColumn<int>("yearMode");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("keyPresses");
    QTest::addColumn<int>("keyDowns");

    QTestEventList digitsAndLetters;
    digitsAndLetters.addKeyClicks(QStringLiteral("2a0 b0;2"));
    QTest::newRow("letters and spaces dropped")
        << 0 << "TextYear" << digitsAndLetters << "2002" << QList<int>{'2', '0', '0', '2'} << 0;

    QTestEventList letters;
    letters.addKeyClicks(QStringLiteral("abc-./"));
    QTest::newRow("no digits, no events") << 0 << "TextMonth" << letters << "" << QList<int>{} << 0;

    QTestEventList five;
    five.addKeyClicks(QStringLiteral("20245"));
    QTest::newRow("four-digit year holds four")
        << 0 << "TextYear" << five << "2024" << QList<int>{'2', '0', '2', '4', '5'} << 0;
    QTest::newRow("two-digit year holds two")
        << 1 << "TextYear" << five << "20" << QList<int>{'2', '0', '2', '4', '5'} << 0;
    QTest::newRow("day holds two") << 0 << "TextDay" << five << "20" << QList<int>{'2', '0', '2', '4', '5'} << 0;

    QTestEventList backspace;
    backspace.addKeyClicks(QStringLiteral("12"));
    backspace.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("backspace is a special key") << 0 << "TextMonth" << backspace << "1" << QList<int>{'1', '2', 8} << 1;

    QTestEventList shifted;
    shifted.addKeyClick(Qt::Key_1, Qt::ShiftModifier);
    QTest::newRow("shift is no special key") << 0 << "TextDay" << shifted << "1" << QList<int>{'1'} << 0;
}

void TestDateTextBox::typing() {
    QFETCH(int, yearMode);
    QFETCH(QString, boxName);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, text);
    QFETCH(QList<int>, keyPresses);
    QFETCH(int, keyDowns);

    desk::test::ScriptedDialogs script;
    Form form;
    form.first->setYearMode(yearMode);
    QList<int> seen;
    connect(form.first, &DateTextBox::KeyPress, this, [&](int& code) { seen.append(code); });
    QSignalSpy downs(form.first, &DateTextBox::KeyDown);
    QSignalSpy ups(form.first, &DateTextBox::KeyUp);
    QLineEdit* box = form.box(boxName);
    box->setFocus();
    keys.simulate(box);

    QCOMPARE(box->text(), text);
    QCOMPARE(seen, keyPresses);
    QCOMPARE(downs.size(), keyDowns);
    QCOMPARE(ups.size(), keyDowns);
}

void TestDateTextBox::keyPressHandlerReplacesOrDrops() {
    Form form;
    connect(form.first, &DateTextBox::KeyPress, this, [](int& code) {
        if (code == '1')
            code = '7';
        else if (code == '5')
            code = 0;
    });
    QLineEdit* box = form.box(QStringLiteral("TextYear"));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("1525"));
    QCOMPARE(box->text(), QStringLiteral("72"));
}

void TestDateTextBox::inputMethodTextIsFiltered() {
    Form form;
    int presses = 0;
    connect(form.first, &DateTextBox::KeyPress, this, [&](int&) { ++presses; });
    QLineEdit* box = form.box(QStringLiteral("TextYear"));
    box->setFocus();
    QInputMethodEvent wide;
    wide.setCommitString(QStringLiteral("２０２４年"));
    QCoreApplication::sendEvent(box, &wide);
    QCOMPARE(box->text(), QString());
    QCOMPARE(presses, 0);

    QInputMethodEvent narrow;
    narrow.setCommitString(QStringLiteral("20x24"));
    QCoreApplication::sendEvent(box, &narrow);
    QCOMPARE(box->text(), QStringLiteral("2024"));
    QCOMPARE(presses, 4);
}

void TestDateTextBox::dateValue_data() {
    QTest::addColumn<int>("yearMode");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("parts");

    const QStringList before{QStringLiteral("1999"), QStringLiteral("12"), QStringLiteral("31")};
    QTest::newRow("day text") << 0 << "2002/3/1"
                              << "2002/3/1" << texts({"2002", "3", "1"});
    QTest::newRow("zero-padded") << 0 << "2024/02/29"
                                 << "2024/02/29" << texts({"2024", "2", "29"});
    QTest::newRow("ISO") << 0 << "2024-10-05"
                         << "2024-10-05" << texts({"2024", "10", "5"});
    QTest::newRow("Japanese") << 0 << "2002年12月31日"
                              << "2002年12月31日" << texts({"2002", "12", "31"});
    QTest::newRow("with a time") << 0 << "2002/3/1 10:30"
                                 << "2002/3/1 10:30" << texts({"2002", "3", "1"});
    QTest::newRow("two-digit mode keeps the year whole") << 1 << "2002/3/1"
                                                         << "2002/3/1" << texts({"2002", "3", "1"});
    QTest::newRow("empty") << 0 << ""
                           << "" << texts({"", "", ""});
    QTest::newRow("not a date") << 0 << "abc"
                                << "1999/12/31" << before;
    QTest::newRow("no such day") << 0 << "2001/2/29"
                                 << "1999/12/31" << before;
    QTest::newRow("blank") << 0 << " "
                           << "1999/12/31" << before;
}

void TestDateTextBox::dateValue() {
    QFETCH(int, yearMode);
    QFETCH(QString, written);
    QFETCH(QString, value);
    QFETCH(QStringList, parts);

    DateTextBox box;
    box.setYearMode(yearMode);
    box.setDateValue(QStringLiteral("1999/12/31"));
    box.setDateValue(written);
    QCOMPARE(box.DateValue(), value);
    QCOMPARE((QStringList{box.YearText(), box.MonthText(), box.DayText()}), parts);
    QCOMPARE(box.IsEmpty(), parts.join(QString()).isEmpty());
    // Typing the parts leaves DateValue as it was.
    box.setDayText(QStringLiteral("9"));
    QCOMPARE(box.DateValue(), value);
}

void TestDateTextBox::selectionOnFocus_data() {
    QTest::addColumn<bool>("selectOnFocus");
    QTest::addColumn<bool>("byMouse");
    QTest::addColumn<bool>("allSelected");

    QTest::newRow("by tab") << true << false << true;
    QTest::newRow("by mouse") << true << true << true;
    QTest::newRow("by mouse, off") << false << true << false;
}

void TestDateTextBox::selectionOnFocus() {
    QFETCH(bool, selectOnFocus);
    QFETCH(bool, byMouse);
    QFETCH(bool, allSelected);

    desk::test::ScriptedDialogs script;
    Form form;
    QVERIFY(QTest::qWaitForWindowActive(&form.window));
    form.first->setSelTextOnFocus(selectOnFocus);
    form.first->setYearText(QStringLiteral("2002"));
    form.first->setMonthText(QStringLiteral("11"));
    QLineEdit* month = form.box(QStringLiteral("TextMonth"));
    if (byMouse) {
        QTest::mouseClick(month, Qt::LeftButton, {}, QPoint(3, month->height() / 2));
    } else {
        form.box(QStringLiteral("TextYear"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), month);
    QCOMPARE(month->selectedText() == month->text(), allSelected);
}

void TestDateTextBox::propertiesByName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("initial");
    QTest::addColumn<QVariant>("written");

    QTest::newRow("IMEMode") << "IMEMode" << QVariant(0) << QVariant(3);
    QTest::newRow("Enabled") << "Enabled" << QVariant(true) << QVariant(false);
    QTest::newRow("BackColor") << "BackColor" << QVariant() << QVariant(QColor(Qt::yellow));
    QTest::newRow("ForeColor") << "ForeColor" << QVariant() << QVariant(QColor(Qt::blue));
    QTest::newRow("Font") << "Font" << QVariant() << QVariant(QFont(QStringLiteral("Noto Sans CJK JP"), 14));
    QTest::newRow("TextForeColor") << "TextForeColor" << QVariant() << QVariant(QColor(Qt::red));
    QTest::newRow("TextBackColor") << "TextBackColor" << QVariant() << QVariant(QColor(Qt::cyan));
    QTest::newRow("SelTextOnFocus") << "SelTextOnFocus" << QVariant(true) << QVariant(false);
    QTest::newRow("YearMode") << "YearMode" << QVariant(0) << QVariant(1);
    QTest::newRow("Locked") << "Locked" << QVariant(false) << QVariant(true);
    QTest::newRow("MoveFocus") << "MoveFocus" << QVariant(true) << QVariant(false);
    QTest::newRow("ExitFocusOnFull") << "ExitFocusOnFull" << QVariant(false) << QVariant(true);
    QTest::newRow("DateValue") << "DateValue" << QVariant(QString()) << QVariant(QStringLiteral("2002/3/1"));
    QTest::newRow("YearText") << "YearText" << QVariant(QString()) << QVariant(QStringLiteral("2002"));
    QTest::newRow("MonthText") << "MonthText" << QVariant(QString()) << QVariant(QStringLiteral("3"));
    QTest::newRow("DayText") << "DayText" << QVariant(QString()) << QVariant(QStringLiteral("1"));
}

void TestDateTextBox::propertiesByName() {
    QFETCH(QString, name);
    QFETCH(QVariant, initial);
    QFETCH(QVariant, written);

    DateTextBox box;
    QCOMPARE(box.property("IsValidate"), QVariant(false));
    QCOMPARE(box.property("IsEmpty"), QVariant(true));
    const QByteArray key = name.toLatin1();
    if (initial.isValid())
        QCOMPARE(box.property(key.constData()), initial);
    QSignalSpy changed(&box, &DateTextBox::PropertyChanged);
    QVERIFY(box.setProperty(key.constData(), written));
    QCOMPARE(box.property(key.constData()), written);
    QVERIFY(changed.contains(QVariantList{name}));
}

void TestDateTextBox::layoutProportions_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("widths"); // year, 年, month, 月, day, 日

    QTest::newRow("new control") << 160 << QList<int>{38, 19, 26, 19, 26, 19};
    QTest::newRow("wide") << 400 << QList<int>{96, 48, 64, 48, 64, 48};
}

void TestDateTextBox::layoutProportions() {
    QFETCH(int, width);
    QFETCH(QList<int>, widths);

    DateTextBox box;
    QCOMPARE(box.size(), QSize(160, 33));
    box.resize(width, 33);
    box.show();
    const QStringList order = texts({"TextYear", "LabelY", "TextMonth", "LabelM", "TextDay", "LabelD"});
    int x = 0;
    for (int i = 0; i < order.size(); ++i) {
        auto* part = child<QWidget>(&box, order[i]);
        QVERIFY(part);
        QCOMPARE(part->x(), x);
        QCOMPARE(part->width(), widths[i]);
        QCOMPARE(part->y(), 0);
        x += widths[i];
    }
    QCOMPARE(desk::test::textOf(&box, QStringLiteral("LabelY")) + desk::test::textOf(&box, QStringLiteral("LabelM")) +
                 desk::test::textOf(&box, QStringLiteral("LabelD")),
             QStringLiteral("年月日"));
}

void TestDateTextBox::unitLabelsStandOnTheDigitsLine_data() {
    QTest::addColumn<int>("height");
    QTest::newRow("new control") << 33;
    QTest::newRow("a form's row") << 26;
}

// 年, 月 and 日 read on the line of the digits before them: the ink of each label is centred
// at the height of its box's digits, as drawn.
void TestDateTextBox::unitLabelsStandOnTheDigitsLine() {
    QFETCH(int, height);
    DateTextBox box;
    box.resize(200, height);
    box.setYearText(QStringLiteral("2026"));
    box.setMonthText(QStringLiteral("12"));
    box.setDayText(QStringLiteral("31"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QImage image = box.grab().toImage();
    // The middle of the dark pixels inside a rectangle (the boxes' frames left out).
    const auto inkMiddle = [&image](const QRect& area) {
        int top = -1;
        int bottom = -1;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (qGray(image.pixel(x, y)) < 96) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    break;
                }
            }
        }
        return top < 0 ? -100.0 : (top + bottom) / 2.0;
    };
    const QList<std::pair<const char*, const char*>> pairs{
        {"TextYear", "LabelY"}, {"TextMonth", "LabelM"}, {"TextDay", "LabelD"}};
    for (const auto& [boxName, labelName] : pairs) {
        const QRect digits = child<QWidget>(&box, QLatin1String(boxName))->geometry().adjusted(4, 3, -4, -3);
        const QRect unit = child<QWidget>(&box, QLatin1String(labelName))->geometry();
        const double digitsMiddle = inkMiddle(digits);
        const double unitMiddle = inkMiddle(unit);
        QVERIFY2(digitsMiddle > 0 && unitMiddle > 0, labelName);
        QVERIFY2(qAbs(digitsMiddle - unitMiddle) <= 1.0, qPrintable(QStringLiteral("%1 at %2, its digits at %3")
                                                                        .arg(QLatin1String(labelName))
                                                                        .arg(unitMiddle)
                                                                        .arg(digitsMiddle)));
    }
}

void TestDateTextBox::mouseClicks() {
    Form form;
    QSignalSpy clicks(form.first, &DateTextBox::Click);
    QSignalSpy downs(form.first, &DateTextBox::MouseDown);
    QSignalSpy ups(form.first, &DateTextBox::MouseUp);
    QTest::mouseClick(form.box(QStringLiteral("TextDay")), Qt::LeftButton, Qt::ControlModifier, QPoint(4, 6));
    QTest::mouseClick(child<QLabel>(form.first, QStringLiteral("LabelM")), Qt::RightButton);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(downs.size(), 2);
    QCOMPARE(downs.first(), (QVariantList{1, 2, 4.0, 6.0}));
    QCOMPARE(ups.last().first().toInt(), 2);
}

QTEST_MAIN(TestDateTextBox)
#include "tst_datetextbox.moc"
