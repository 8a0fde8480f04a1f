#pragma once

#include "entry/ModuleContext.h"

#include <QWidget>

class QLabel;

// The main window of the module program the entry tests drive across processes. It
// writes what happens to it into "testapp.log" in its data directory, and closes when
// a file "testapp.close" appears there (taking the file away, so the next instance in the
// same directory stays open). "testapp.ini" may also ask it to close itself after
// closeAfterMs, for a hand test.
// Loading fails, as a real window's database open would, when the data directory is missing.
// Each time the window is raised it logs "raised".
class TestWindow : public QWidget {
public:
    explicit TestWindow(desk::ModuleContext& context);
    ~TestWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void closeOnCommand();
    void log(const QString& line) const;

    desk::ModuleContext& m_context;
    QString m_dir;
    QLabel* m_company = nullptr;
};
