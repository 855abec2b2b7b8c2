#pragma once

#include "CommandLine.h"
#include "TextOptions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ornvale {
class TextWindowOptions;
}

namespace ornvale::cli {

// The arguments of `ornvale-cli text`, parsed but not yet applied. Applying them replays them
// on the text window's option model in the order a user would set them in the window.
struct TextCommandLine {
    struct Condition {
        QString pattern;
        bool mustContain = true;
    };

    std::optional<quint8> selection;
    std::optional<ValueCondition> valueCondition;
    std::optional<TargetEntities> target;
    QList<Condition> conditions; // at most three, rows 0, 1, 2 in the order given
    std::optional<ConditionJoin> join;
    std::optional<ReplaceMode> replaceMode;
    std::optional<QString> search;
    std::optional<QString> replace;
    // Class boxes in the order given: --classes items, --dash-period, --kana-marks.
    QList<int> classBoxes;
    QStringList classOptionNames; // the option that asked for each class box, for messages
    std::optional<WidthConversion> width;
    std::optional<CaseConversion> caseConversion;
    std::optional<KanaConversion> kanaConversion;
    bool json = false;
    bool dryRun = false;
    std::optional<QString> changesPath;

    // The options, the help and the parser; FILE... are the operands.
    static const CommandLine<TextCommandLine>& commandLine();

    // Replays the options; false when the window would not let them be set. `error` then
    // names the option, or stays empty when the window's own message went to its prompter.
    bool applyTo(TextWindowOptions& options, QString& error) const;
};

} // namespace ornvale::cli
