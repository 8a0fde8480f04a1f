#include "TestWindow.h"

#include "data/DbError.h"
#include "data/Desk.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

TestWindow::TestWindow(desk::ModuleContext& context)
    : m_context(context)
    , m_dir(context.DirPath()) {
    setObjectName(QStringLiteral("TestWindow"));
    if (m_dir.isEmpty() || !QDir(m_dir).exists())
        throw desk::DbError(QStringLiteral("データフォルダを開けません。"), {}, m_dir);

    // The command file is watched for before "load" is logged: a test may write it the
    // moment it reads that line, and a command written before the watch began would never
    // be seen. One written even earlier is looked for once the window is up.
    auto* watcher = new QFileSystemWatcher({m_dir}, this);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, &TestWindow::closeOnCommand);
    QTimer::singleShot(0, this, &TestWindow::closeOnCommand);

    const QSettings ini(m_dir + QStringLiteral("testapp.ini"), QSettings::IniFormat);
    log(QStringLiteral("load pid=%1 company=%2 dir=%3 desk=%4")
            .arg(QCoreApplication::applicationPid())
            .arg(context.MyCompanyName(), context.DirPath(), desk::currentDesk()));

    setWindowTitle(QStringLiteral("testapp"));
    auto* layout = new QVBoxLayout(this);
    m_company = new QLabel(context.MyCompanyName(), this);
    layout->addWidget(m_company);

    connect(&m_context, &desk::ModuleContext::valueChanged, this,
            [this](const QString& name) { log(QStringLiteral("set %1=%2").arg(name, m_context.value(name))); });

    const int closeAfter = ini.value(QStringLiteral("closeAfterMs"), 0).toInt();
    if (closeAfter > 0)
        QTimer::singleShot(closeAfter, this, &QWidget::close);
}

TestWindow::~TestWindow() = default;

void TestWindow::closeEvent(QCloseEvent* event) {
    log(QStringLiteral("closed pid=%1").arg(QCoreApplication::applicationPid()));
    event->accept();
}

void TestWindow::closeOnCommand() {
    // "testapp.close" closes the one program the folder has; "testapp.close-PID" that program.
    if (QFile::remove(m_dir + QStringLiteral("testapp.close")) ||
        QFile::remove(m_dir + QStringLiteral("testapp.close-%1").arg(QCoreApplication::applicationPid())))
        close();
}

bool TestWindow::event(QEvent* event) {
    if (event->type() == QEvent::ZOrderChange)
        log(QStringLiteral("raised pid=%1").arg(QCoreApplication::applicationPid()));
    return QWidget::event(event);
}

void TestWindow::log(const QString& line) const {
    QFile file(m_dir + QStringLiteral("testapp.log"));
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write(line.toUtf8() + '\n');
}
