#pragma once

#include "CommandLine.h"
#include "ConversionOptions.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace ornvale {
class ConversionOptionsModel;
}

namespace ornvale::cli {

// The command line of `ornvale-cli convert`, checked for form only; whether the window would
// let a user set each option is decided when the options are replayed on the model.
struct ConvertArguments {
    std::optional<OutputFormat> format;
    std::optional<int> release; // release-button index 0-3
    std::optional<int> view;    // 0 none, 1 all, 2 extents
    bool audit = false;
    bool fix = false;
    bool keepReport = false;
    QStringList purge; // item codes, in the order given
    std::optional<quint8> selection;
    std::optional<QString> acad;
    std::optional<QString> output;
    std::optional<quint8> singleDocument;
    std::optional<QString> scriptOut;
    std::optional<double> timeout;
    std::optional<int> stallTimeout; // minutes
    bool json = false;
    bool resume = false; // convert only the drawings without a good, newer output
};

// The options of `ornvale-cli convert`, its help and its parser; FILE... are the operands.
const CommandLine<ConvertArguments>& convertCommandLine();

// Sets the options as a user would in the window, in this order: format, release, view, audit,
// fix, keep-report, then the purge items as ticks in the order given, each with the window's
// interlocks. Returns a usage error for a control the window hides from the user.
QString replayConvertOptions(const ConvertArguments& arguments, ConversionOptionsModel& model);

} // namespace ornvale::cli
