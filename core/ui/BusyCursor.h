#pragma once

namespace desk {

// Shows the busy pointer for its lifetime; the pointer comes back on every way out.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace desk
