#include "WritebackHook.h"

namespace ornvale {

// Windows has no call that starts the writeback of a range; the final flush does it all.
std::function<void(qint64)> writebackHook(QFileDevice&) {
    return {};
}

} // namespace ornvale
