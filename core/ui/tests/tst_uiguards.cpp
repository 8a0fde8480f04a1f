#include "convert/Convert.h"
#include "data/DbError.h"
#include "data/Engine.h"
#include "testsupport/ScriptedDialogs.h"
#include "testsupport/Widgets.h"
#include "ui/BusyCursor.h"
#include "ui/Dialogs.h"
#include "ui/GuardedConnect.h"
#include "ui/SlotGuard.h"

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlError>
#include <QTest>
#include <QTimer>

using namespace desk;

namespace {

// A window with a box and a button whose handlers fail the way store calls can.
class GuardedWindow : public QWidget {
public:
    GuardedWindow() {
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("txtCode"));
        button = new QPushButton(QStringLiteral("登録(&R)"), this);
        button->setObjectName(QStringLiteral("CmdRd"));
        layout->addWidget(edit);
        layout->addWidget(button);
        guardedConnect(edit, &QLineEdit::textEdited, this, &GuardedWindow::codeEdited);
        guardedConnect(edit, &QLineEdit::editingFinished, this, [this] { events << QStringLiteral("left"); });
        onClicked(button, this, &GuardedWindow::CmdRd_Click);
    }

    void codeEdited(const QString& text) {
        if (text == QStringLiteral("X"))
            throw std::runtime_error("code X refused");
        events << QStringLiteral("typed ") + text;
    }
    void CmdRd_Click() {
        events << QStringLiteral("saved");
        if (edit->text().isEmpty())
            throw DbError(QStringLiteral("disk full"));
    }

    QLineEdit* edit = nullptr;
    QPushButton* button = nullptr;
    QStringList events;
};

} // namespace

class TestUiGuards : public QObject {
    Q_OBJECT

private slots:
    void scriptedDialogsRecordAndAnswer();
    void scriptedDialogsDefaults();
    void scriptedDialogsUninstallOnDestruction();
    void busyCursorRestoredOnEveryWayOut();
    void guardTurnsErrorsIntoMessages_data();
    void guardTurnsErrorsIntoMessages();
    void guardedSlotKeepsWindowUsable();
    void typeIntoTakesJapaneseText();
    void guardedConnectKeepsErrorsInTheWindow();
    void japaneseWhateverTheLocale();
};

void TestUiGuards::scriptedDialogsRecordAndAnswer() {
    test::ScriptedDialogs script;
    script.pushAnswer(Dialogs::Answer::No);
    script.pushInput(QStringLiteral("17"));
    QCOMPARE(dialogs().message(nullptr, QStringLiteral("削除しますか？"), QStringLiteral("確認"),
                               Dialogs::Icon::Question, Dialogs::Buttons::YesNo),
             Dialogs::Answer::No);
    QCOMPARE(dialogs().input(nullptr, QStringLiteral("予約番号を入力してください。"), QStringLiteral("予約"), {},
                             QPoint(10, 20)),
             QStringLiteral("17"));
    dialogs().beep();
    QCOMPARE(script.shown().size(), 2);
    QCOMPARE(script.shown()[0].title, QStringLiteral("確認"));
    QCOMPARE(script.shown()[0].icon, Dialogs::Icon::Question);
    QCOMPARE(script.shown()[0].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(script.shown()[1].kind, test::ScriptedDialogs::Shown::Kind::Input);
    QCOMPARE(script.shown()[1].pos, std::optional<QPoint>(QPoint(10, 20)));
    QCOMPARE(script.messageTexts(), QStringList{QStringLiteral("削除しますか？")});
    QCOMPARE(script.beeps(), 1);
}

void TestUiGuards::scriptedDialogsDefaults() {
    test::ScriptedDialogs script;
    QCOMPARE(dialogs().message(nullptr, QStringLiteral("a"), QStringLiteral("t")), Dialogs::Answer::Ok);
    QCOMPARE(dialogs().message(nullptr, QStringLiteral("a"), QStringLiteral("t"), Dialogs::Icon::Question,
                               Dialogs::Buttons::YesNo),
             Dialogs::Answer::Yes);
    // An input box with nothing scripted is a cancelled one.
    QVERIFY(dialogs().input(nullptr, QStringLiteral("p"), QStringLiteral("t")).isEmpty());
    QVERIFY(dialogs().saveFileName(nullptr, QStringLiteral("c"), {}, {}).isEmpty());
}

void TestUiGuards::scriptedDialogsUninstallOnDestruction() {
    {
        test::ScriptedDialogs script;
        QCOMPARE(&Dialogs::instance(), static_cast<Dialogs*>(&script));
    }
    QVERIFY(dynamic_cast<WidgetDialogs*>(&Dialogs::instance()) != nullptr);
}

void TestUiGuards::busyCursorRestoredOnEveryWayOut() {
    QVERIFY(!QApplication::overrideCursor());
    {
        BusyCursor busy;
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(!QApplication::overrideCursor());
    try {
        BusyCursor busy;
        throw DbError(QStringLiteral("boom"));
    } catch (const DbError&) {
    }
    QVERIFY(!QApplication::overrideCursor());
}

void TestUiGuards::guardTurnsErrorsIntoMessages_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("fragment");
    QTest::newRow("database") << 0 << QStringLiteral("no such table: Reserve");
    QTest::newRow("conversion") << 1 << QStringLiteral("扱える数（-32768 から 32767 まで）");
    QTest::newRow("standard") << 2 << QStringLiteral("bad thing");
    QTest::newRow("unknown") << 3 << QStringLiteral("原因不明");
    // On a server: the part of the inn and the server by host, port and database, the
    // driver's words last under the detail heading (the box shows them behind its button).
    QTest::newRow("server lost") << 4
                                 << QStringLiteral("データ: サーバー inn-server:5432/inn の売上のデータ\r\n\r\n"
                                                   "詳細: server closed the connection QPSQL: Unable to send query");
}

void TestUiGuards::guardTurnsErrorsIntoMessages() {
    QFETCH(int, kind);
    QFETCH(QString, fragment);
    test::ScriptedDialogs script;
    const bool ok = guarded(nullptr, [kind] {
        BusyCursor busy;
        switch (kind) {
        case 0:
            throw DbError(QStringLiteral("no such table: Reserve"), QStringLiteral("SELECT * FROM Reserve"),
                          QStringLiteral("/data/BTReservation.mdb"));
        case 1:
            convert::toInt16(40000);
            break;
        case 2:
            throw std::runtime_error("bad thing");
        case 4: {
            const QString location = QStringLiteral("postgresql://desk@inn-server/inn#BTSales.mdb");
            throw Engine::forLocation(location).failure(QSqlError(QStringLiteral("QPSQL: Unable to send query"),
                                                                  QStringLiteral("server closed the connection"),
                                                                  QSqlError::StatementError),
                                                        QStringLiteral("SELECT 1"), location);
        }
        default:
            throw 42;
        }
    });
    QVERIFY(!ok);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(script.messages().size(), 1);
    QCOMPARE(script.messages()[0].title, QStringLiteral("警告"));
    QCOMPARE(script.messages()[0].icon, Dialogs::Icon::Critical);
    QVERIFY2(script.messages()[0].text.contains(fragment), qPrintable(script.messages()[0].text));
}

void TestUiGuards::guardedSlotKeepsWindowUsable() {
    test::ScriptedDialogs script;
    QPushButton button;
    int runs = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, [&] {
        guarded(&button, [&] {
            ++runs;
            throw DbError(QStringLiteral("disk full"));
        });
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(runs, 2);
    QCOMPARE(script.messages().size(), 2);
    QVERIFY(guarded(&button, [] {}));
    QCOMPARE(script.messages().size(), 2);
}

void TestUiGuards::typeIntoTakesJapaneseText() {
    QWidget window;
    auto* edit = new QLineEdit(&window);
    edit->setObjectName(QStringLiteral("RvtxtCliant"));
    edit->setText(QStringLiteral("old"));
    window.show();
    QVERIFY(test::typeInto(&window, QStringLiteral("RvtxtCliant"), QStringLiteral("山田 太郎 O'Brien 03-1234")));
    QCOMPARE(edit->text(), QStringLiteral("山田 太郎 O'Brien 03-1234"));
    QVERIFY(!test::typeInto(&window, QStringLiteral("NoSuchBox"), QStringLiteral("x")));
}

// Handlers of every shape run inside the guard, and the input helpers use real events
// (a mouse click takes the focus off the box first).
void TestUiGuards::guardedConnectKeepsErrorsInTheWindow() {
    test::ScriptedDialogs script;
    GuardedWindow window;
    QVERIFY(test::showActive(&window));

    QVERIFY(test::typeInto(&window, QStringLiteral("txtCode"), QStringLiteral("X")));
    QCOMPARE(script.messages().size(), 1);
    QVERIFY(script.messages()[0].text.contains(QStringLiteral("code X refused")));

    QVERIFY(test::typeInto(&window, QStringLiteral("txtCode"), QStringLiteral("A")));
    QVERIFY(test::mouseClick(&window, QStringLiteral("CmdRd")));
    QCOMPARE(window.events, (QStringList{QStringLiteral("typed A"), QStringLiteral("left"), QStringLiteral("saved")}));
    QCOMPARE(script.messages().size(), 1);

    window.events.clear();
    window.edit->setFocus();
    window.edit->clear();
    test::pressAccessKey(&window, Qt::Key_R);
    QCOMPARE(window.events, QStringList{QStringLiteral("saved")});
    QCOMPARE(script.messages().size(), 2);
    QVERIFY(script.messages()[1].text.contains(QStringLiteral("disk full")));
    // Still usable after both failures.
    QVERIFY(test::typeInto(&window, QStringLiteral("txtCode"), QStringLiteral("B")));
    QCOMPARE(window.events.last(), QStringLiteral("typed B"));
    // Closed before it goes, as on the desk: the box's last leave reaches a whole window.
    window.close();
}

void TestUiGuards::japaneseWhateverTheLocale() {
    QLocale::setDefault(QLocale::c());
    useJapanese();
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QCOMPARE(QLocale().dayName(1, QLocale::ShortFormat), QStringLiteral("月"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));

    // The real boxes: one without a title of its own carries the suite's name.
    QStringList titles;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                titles << box->windowTitle();
                box->accept();
            }
        }
    });
    closer.start(20);
    WidgetDialogs real;
    real.message(nullptr, QStringLiteral("月を入力してください。"), QString(), Dialogs::Icon::None,
                 Dialogs::Buttons::Ok);
    real.message(nullptr, QStringLiteral("見つかりません！"), QStringLiteral("警告"), Dialogs::Icon::Critical,
                 Dialogs::Buttons::Ok);
    QCOMPARE(titles, (QStringList{QStringLiteral("テサロさん"), QStringLiteral("警告")}));
}

QTEST_MAIN(TestUiGuards)
#include "tst_uiguards.moc"
