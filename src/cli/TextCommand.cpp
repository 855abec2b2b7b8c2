#include "Commands.h"

#include <cstdio>

// Placeholder until the text command is built.
int ornvale::cli::runTextCommand(const QStringList&) {
    std::fputs("ornvale-cli text: not available yet\n", stderr);
    return 2;
}
