#pragma once

namespace desk {

// What a report is being rendered for. A report that acts on its output (the bill marks
// the guest checked out) does so for Print only.
enum class JobKind { Print, Preview, Export };

} // namespace desk
