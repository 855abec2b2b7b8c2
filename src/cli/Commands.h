#pragma once

#include <QStringList>

namespace ornvale::cli {

// Each subcommand takes the arguments after its name and returns the exit code.
int runSettingsCommand(const QStringList& args);
int runConvertCommand(const QStringList& args);
int runTextCommand(const QStringList& args);

} // namespace ornvale::cli
