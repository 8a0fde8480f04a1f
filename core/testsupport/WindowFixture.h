#pragma once

#include "testsupport/ScriptedDialogs.h"
#include "testsupport/TempDataDir.h"
#include "testsupport/Widgets.h"

#include "entry/ModuleContext.h"

namespace desk::test {

// What a window test stands on, made fresh for each test: a data directory (a copy of
// the template built once per test program), scripted dialogs that record every message
// and answer from their queues, and a module context that points at the directory and
// carries the inn's profile, as the entry contract hands them to a module's window.
//
//     desk::test::WindowFixture f;
//     bookingapp::FrmReservation w(f.context());
//     QVERIFY(desk::test::showActive(&w));
//     desk::test::typeInto(&w, u"RvtxtCliant"_s, u"山田"_s);
//     desk::test::pressAccessKey(&w, Qt::Key_R);
//     QCOMPARE(f.dialogs().messageTexts(), ...);
class WindowFixture {
public:
    explicit WindowFixture(bool withSample = false);

    bool isValid() const { return m_data.isValid(); }
    // The data directory, ending in '/'.
    QString dirPath() const { return m_data.path(); }
    const TempDataDir& data() const { return m_data; }
    ModuleContext& context() { return m_context; }
    ScriptedDialogs& dialogs() { return m_dialogs; }

    // Replaces the profile in the context, as a caller's later values would.
    void setProfile(const CompanyProfile& profile);
    // The profile every fixture starts with.
    static CompanyProfile sampleProfile();

private:
    TempDataDir m_data;
    ScriptedDialogs m_dialogs;
    ModuleContext m_context;
};

} // namespace desk::test
