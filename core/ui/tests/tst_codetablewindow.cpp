#include "testsupport/ScriptedDialogs.h"
#include "testsupport/Widgets.h"
#include "ui/CodeTableWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace desk::test;
using namespace Qt::StringLiterals;

namespace {

// A table of several kinds of columns, kept in memory: code, name, type (a choice),
// capacity (a count), in service (a flag).
struct MemoryTable {
    QList<QVariantList> rows;

    desk::CodeTableActions actions() {
        return {[this](const QString& code) -> std::optional<QVariantList> {
                    for (const QVariantList& r : std::as_const(rows)) {
                        if (r[0].toString().compare(code, Qt::CaseInsensitive) == 0)
                            return r;
                    }
                    return std::nullopt;
                },
                [this] { return rows; },
                [this](const QVariantList& record) {
                    for (const QVariantList& r : std::as_const(rows)) {
                        if (r[0] == record[0])
                            return false;
                    }
                    rows << record;
                    return true;
                },
                [this](const QString& called, const QVariantList& record) {
                    for (QVariantList& r : rows) {
                        if (r[0].toString() == called)
                            r = record;
                    }
                    return true;
                },
                [this](const QString& code) {
                    rows.removeIf([&](const QVariantList& r) { return r[0] == code; });
                }};
    }
};

// The controls a form of the kit names, as uic would make them.
struct Form {
    QLineEdit* txtCode;
    QLabel* lbCode;
    QLineEdit* txtName;
    QComboBox* cmbType;
    QLineEdit* txtCapacity;
    QCheckBox* chkInService;
    QLabel* lbMessage;
    QPushButton* CmdRecorde;
    QPushButton* CmdCall;
    QPushButton* CmdEdit;
    QPushButton* CmdDelete;
    QPushButton* CmdClear;
    QPushButton* CmdPrint;
    QPushButton* CmdEnd;
};

class RoomWindow : public desk::CodeTableWindow {
public:
    explicit RoomWindow(MemoryTable& table) {
        auto* layout = new QFormLayout(this);
        const auto box = [&](const QString& name) {
            auto* w = new QLineEdit(this);
            w->setObjectName(name);
            layout->addRow(name, w);
            return w;
        };
        const auto button = [&](const QString& name, const QString& text) {
            auto* b = new QPushButton(text, this);
            b->setObjectName(name);
            b->setAutoDefault(false);
            layout->addRow(b);
            return b;
        };
        m_form.txtCode = box(u"txtCode"_s);
        m_form.lbCode = new QLabel(this);
        m_form.lbCode->setObjectName(u"lbCode"_s);
        layout->addRow(m_form.lbCode);
        m_form.txtName = box(u"txtName"_s);
        m_form.cmbType = new QComboBox(this);
        m_form.cmbType->setObjectName(u"cmbType"_s);
        layout->addRow(m_form.cmbType);
        m_form.txtCapacity = box(u"txtCapacity"_s);
        m_form.chkInService = new QCheckBox(u"使用中(&U)"_s, this);
        m_form.chkInService->setObjectName(u"chkInService"_s);
        layout->addRow(m_form.chkInService);
        m_form.lbMessage = new QLabel(this);
        m_form.lbMessage->setObjectName(u"lbMessage"_s);
        layout->addRow(m_form.lbMessage);
        m_form.CmdRecorde = button(u"CmdRecorde"_s, u"登録(&R)"_s);
        m_form.CmdCall = button(u"CmdCall"_s, u"呼び出し(&C)"_s);
        m_form.CmdEdit = button(u"CmdEdit"_s, u"訂正(&E)"_s);
        m_form.CmdDelete = button(u"CmdDelete"_s, u"削除(&D)"_s);
        m_form.CmdClear = button(u"CmdClear"_s, u"入力消去(&S)"_s);
        m_form.CmdPrint = button(u"CmdPrint"_s, u"一覧印刷(&I)"_s);
        m_form.CmdEnd = button(u"CmdEnd"_s, u"終わり(&O)"_s);

        using Kind = desk::CodeTableField::Kind;
        desk::CodeTableSetup setup;
        setup.title = u"客室"_s;
        setup.codeName = u"客室"_s;
        setup.callUpPrompt = u"呼び出す客室を入力してください。"_s;
        setup.nothingCalledUp = u"削除する客室を呼び出してください。"_s;
        setup.code = m_form.txtCode;
        setup.calledCode = m_form.lbCode;
        setup.message = m_form.lbMessage;
        desk::CodeTableField type{Kind::Choice, m_form.cmbType};
        type.choices = [] {
            return QList<QPair<QString, QString>>{{u"W"_s, u"和室"_s}, {u"Y"_s, u"洋室"_s}};
        };
        type.noChoiceText = u"部屋タイプを選択してください。"_s;
        desk::CodeTableField capacity{Kind::Count, m_form.txtCapacity};
        capacity.name = u"定員"_s;
        setup.fields = {{Kind::Text, m_form.txtName, true}, type, capacity, {Kind::Flag, m_form.chkInService}};
        setup.actions = table.actions();
        setup.print = [] {
        };
        configure(std::move(setup), m_form);
    }

private:
    Form m_form{};
};

} // namespace

class TestCodeTableWindow : public QObject {
    Q_OBJECT

private slots:
    void fieldsOfEveryKind_data();
    void fieldsOfEveryKind();
    void aCodeTheChoiceListLacksIsKept();
};

void TestCodeTableWindow::fieldsOfEveryKind_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("capacity");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("saved") << 1 << u"４"_s << QString();
    QTest::newRow("no type") << -1 << u"4"_s << u"部屋タイプを選択してください。"_s;
    QTest::newRow("capacity beyond 16 bits") << 0 << u"40000"_s << u"定員は 32767 までです。"_s;
}

void TestCodeTableWindow::fieldsOfEveryKind() {
    QFETCH(int, type);
    QFETCH(QString, capacity);
    QFETCH(QString, refusal);
    ScriptedDialogs dialogs;
    MemoryTable table;
    RoomWindow w(table);
    QVERIFY(showActive(&w));
    QVERIFY(typeInto(&w, u"txtCode"_s, u"201"_s));
    QVERIFY(typeInto(&w, u"txtName"_s, u"桜"_s));
    child<QComboBox>(&w, u"cmbType"_s)->setCurrentIndex(type);
    QVERIFY(typeInto(&w, u"txtCapacity"_s, capacity));
    pressAccessKey(&w, Qt::Key_U);
    pressAccessKey(&w, Qt::Key_R);

    if (!refusal.isEmpty()) {
        QCOMPARE(dialogs.messageTexts(), QStringList{refusal});
        QVERIFY(table.rows.isEmpty());
        return;
    }
    QCOMPARE(dialogs.messageTexts(), QStringList());
    QCOMPARE(table.rows, (QList<QVariantList>{{u"201"_s, u"桜"_s, u"Y"_s, qint16(4), true}}));
    QCOMPARE(textOf(&w, u"lbMessage"_s), u"客室 201 を登録しました。"_s);
    QCOMPARE(textOf(&w, u"txtCapacity"_s), QString());
    QVERIFY(!child<QCheckBox>(&w, u"chkInService"_s)->isChecked());

    // Called up, every field shows its value again.
    dialogs.pushInput(u"201"_s);
    pressAccessKey(&w, Qt::Key_C);
    QCOMPARE(textOf(&w, u"lbCode"_s), u"201"_s);
    QCOMPARE(child<QComboBox>(&w, u"cmbType"_s)->currentText(), u"Y:洋室"_s);
    QCOMPARE(textOf(&w, u"txtCapacity"_s), u"4"_s);
    QVERIFY(child<QCheckBox>(&w, u"chkInService"_s)->isChecked());
}

void TestCodeTableWindow::aCodeTheChoiceListLacksIsKept() {
    ScriptedDialogs dialogs;
    MemoryTable table;
    table.rows << QVariantList{u"301"_s, u"離れ"_s, u"H"_s, qint16(6), false};
    RoomWindow w(table);
    QVERIFY(showActive(&w));
    dialogs.pushInput(u"301"_s);
    pressAccessKey(&w, Qt::Key_C);
    auto* types = child<QComboBox>(&w, u"cmbType"_s);
    QCOMPARE(types->currentIndex(), -1);
    QCOMPARE(types->placeholderText(), u"H:（一覧にない区分）"_s);
    QVERIFY(typeInto(&w, u"txtName"_s, u"離れ 松"_s));
    pressAccessKey(&w, Qt::Key_E);
    QCOMPARE(dialogs.messageTexts(), QStringList());
    QCOMPARE(table.rows, (QList<QVariantList>{{u"301"_s, u"離れ 松"_s, u"H"_s, qint16(6), false}}));
}

QTEST_MAIN(TestCodeTableWindow)
#include "tst_codetablewindow.moc"
