#include "Commands.h"

#include <cstdio>

// Placeholder until the convert command is built.
int ornvale::cli::runConvertCommand(const QStringList&) {
    std::fputs("ornvale-cli convert: not available yet\n", stderr);
    return 2;
}
