#include "Bench.h"

namespace deskbench {

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

namespace {
volatile qint64 sink = 0;
}

void keep(const QVariant& value) {
    sink = sink + value.toString().size();
}

} // namespace deskbench
