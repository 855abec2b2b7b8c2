#include "StandardStreams.h"

#include <cstdio>

#include <unistd.h>

namespace ornvale {

// The streams are byte streams already, and terminals here take UTF-8.
void useUtf8StandardStreams() {}

bool stderrIsTerminal() {
    return isatty(fileno(stderr)) == 1;
}

} // namespace ornvale
