#include "Commands.h"

#include <cstdio>

// Placeholder until the settings command is built.
int ornvale::cli::runSettingsCommand(const QStringList&) {
    std::fputs("ornvale-cli settings: not available yet\n", stderr);
    return 2;
}
