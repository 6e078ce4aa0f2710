// Selection of the platform implementation in force.
#include "platform.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<Os*> g_replacement{nullptr};
}

Os& os() {
    Os* replacement = g_replacement.load(std::memory_order_acquire);
    return replacement ? *replacement : NativeOs();
}

Os* SetOs(Os* replacement) {
    Os* previous = g_replacement.exchange(replacement, std::memory_order_acq_rel);
    return previous ? previous : &NativeOs();
}

}  // namespace platform
