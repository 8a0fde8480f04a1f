#pragma once

#include <QObject>

namespace desk {

// While it lives, the program's windows take no keyboard or mouse input and cannot be
// closed, but keep painting: the caller of a module waits for it this way. Input made
// meanwhile is dropped, not replayed afterwards.
class InputBlocker : public QObject {
public:
    InputBlocker();
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace desk
