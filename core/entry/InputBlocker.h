#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

namespace desk {

// While it lives, the program's windows take no keyboard or mouse input and cannot be
// closed, but keep painting: the caller of a module waits for it this way. Input made
// meanwhile is dropped, not replayed afterwards.
//
// onInputTried, when given, runs when the user tries to use a blocked window (a click, a
// key, activating it), at most every few hundred milliseconds: the caller brings what it
// waits for to the front, as a modal dialog of the same program would come forward.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(std::function<void()> onInputTried = {});
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void inputTried();

    std::function<void()> m_onInputTried;
    QElapsedTimer m_lastTry;
};

} // namespace desk
