#include "FileSizeLimit.h"

#include <csignal>

namespace ornvale {

void failWritesPastFileSizeLimit() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace ornvale
