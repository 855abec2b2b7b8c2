#pragma once

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

    std::optional<int> selection;
    std::optional<int> valueCondition;
    std::optional<int> target;
    QList<Condition> conditions; // at most three, rows 0, 1, 2 in the order given
    std::optional<bool> joinAnd;
    std::optional<int> replaceMode;
    std::optional<QString> search;
    std::optional<QString> replace;
    // Class boxes in the order given: --classes items, --dash-period, --kana-marks.
    QList<int> classBoxes;
    QStringList classOptionNames; // the option that asked for each class box, for messages
    std::optional<int> width;     // 0 none, 1 full, 2 half
    std::optional<int> caseIndex;
    std::optional<int> kanaIndex;
    bool json = false;
    bool dryRun = false;
    std::optional<QString> changesPath;
    bool help = false;
    QStringList files;

    // Empty on success, else the usage error (naming the option).
    static TextCommandLine parse(const QStringList& args, QString& error);

    // Replays the options; false when the window would not let them be set. `error` then
    // names the option, or stays empty when the window's own message went to its prompter.
    bool applyTo(TextWindowOptions& options, QString& error) const;

    static const char* usage();
};

} // namespace ornvale::cli
