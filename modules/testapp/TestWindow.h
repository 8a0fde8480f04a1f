#pragma once

#include "entry/ModuleContext.h"

#include <QWidget>

class QLabel;

// The main window of the module program the entry tests drive across processes. It
// writes what happens to it into "testapp.log" in its data directory, and takes its
// instructions from "testapp.ini" there (closeAfterMs: close itself after so long).
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
    void log(const QString& line) const;

    desk::ModuleContext& m_context;
    QString m_dir;
    QLabel* m_company = nullptr;
};
