#pragma once

#include "CommandLine.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace ornvale::cli {

// What `ornvale-cli settings` was asked to change; nothing asks for the run values.
struct SettingsArguments {
    bool show = false;
    std::optional<quint8> selection;
    std::optional<QString> customPath;
    std::optional<quint8> defaultInstall;
    std::optional<quint8> singleDocument;
    std::optional<QString> output; // absolute, with native separators
    bool any() const {
        return selection || customPath || defaultInstall || singleDocument || output;
    }

    // The options, the help and the parser; the command takes no operand. --show with a
    // change is a usage error.
    static const CommandLine<SettingsArguments>& commandLine();
};

} // namespace ornvale::cli
