#include "TextCommandLine.h"

#include "DxfChangeReport.h"
#include "ProductTable.h"
#include "TextWindowOptions.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace ornvale::cli {

namespace {

using Choices = QList<QLatin1String>;

const Choices kTargets{QLatin1String("all"), QLatin1String("text"), QLatin1String("mtext")};
const Choices kValueConditions{QLatin1String("none"),        QLatin1String("date"),
                               QLatin1String("not-date"),    QLatin1String("numeric"),
                               QLatin1String("not-numeric"), QLatin1String("neither")};
const Choices kJoins{QLatin1String("or"), QLatin1String("and")};
const Choices kReplaceModes{QLatin1String("occurrences"), QLatin1String("equal"),
                            QLatin1String("matching")};
const Choices kWidths{QLatin1String("none"), QLatin1String("full"), QLatin1String("half")};
const Choices kClasses{QLatin1String("all"), QLatin1String("alphabet"), QLatin1String("digits"),
                       QLatin1String("katakana")};
const Choices kCases{QLatin1String("none"), QLatin1String("upper"), QLatin1String("lower")};
const Choices kKanas{QLatin1String("none"), QLatin1String("to-katakana"),
                     QLatin1String("to-hiragana")};

const QStringList kValueOptions{u"--selection"_s,    u"--target"_s,       u"--value-condition"_s,
                                u"--contains"_s,     u"--not-contains"_s, u"--join"_s,
                                u"--replace-mode"_s, u"--search"_s,       u"--replace"_s,
                                u"--width"_s,        u"--classes"_s,      u"--case"_s,
                                u"--kana"_s,         u"--changes"_s};

QString invalidValue(const QString& option, const QString& value) {
    return QStringLiteral("invalid value '%1' for %2").arg(value, option);
}

// Sets a single-valued option; giving it again with another value contradicts the first.
template <typename T>
bool setOnce(std::optional<T>& slot, const T& value, const QString& option, QString& error) {
    if (slot && *slot != value) {
        error = QStringLiteral("%1 given twice with different values").arg(option);
        return false;
    }
    slot = value;
    return true;
}

bool setChoice(std::optional<int>& slot, const Choices& choices, const QString& option,
               const QString& value, QString& error) {
    const qsizetype index = choices.indexOf(value);
    if (index < 0) {
        error = invalidValue(option, value);
        return false;
    }
    return setOnce(slot, int(index), option, error);
}

} // namespace

TextCommandLine TextCommandLine::parse(const QStringList& args, QString& error) {
    TextCommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size() && error.isEmpty(); ++i) {
        QString arg = args[i];
        if (optionsEnded || !arg.startsWith(u"--"_s) || arg == u"--"_s) {
            if (optionsEnded || arg != u"--"_s)
                line.files.append(arg);
            optionsEnded = optionsEnded || arg == u"--"_s;
            continue;
        }
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = arg.indexOf(u'='); eq > 0) {
            value = arg.mid(eq + 1);
            arg.truncate(eq);
            hasValue = true;
        }
        if (kValueOptions.contains(arg) && !hasValue) {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("%1 needs a value").arg(arg);
                break;
            }
            value = args[++i];
            hasValue = true;
        } else if (!kValueOptions.contains(arg) && hasValue) {
            error = QStringLiteral("%1 takes no value").arg(arg);
            break;
        }
        if (arg == u"--help") {
            line.help = true;
        } else if (arg == u"--json") {
            line.json = true;
        } else if (arg == u"--dry-run") {
            line.dryRun = true;
        } else if (arg == u"--changes") {
            if (!DxfChangeReport::formatFor(value))
                error = QStringLiteral("--changes needs a file name ending in .csv or .jsonl: %1")
                            .arg(value);
            else
                setOnce(line.changesPath, value, arg, error);
        } else if (arg == u"--dash-period" || arg == u"--kana-marks") {
            line.classBoxes.append(arg == u"--dash-period" ? TextWindowOptions::DashPeriod
                                                           : TextWindowOptions::KanaMarks);
            line.classOptionNames.append(arg);
        } else if (arg == u"--selection") {
            bool ok = false;
            const uint code = value.toUInt(&ok);
            if (!ok || !isKnownSelectionCode(code))
                error = invalidValue(arg, value);
            else
                setOnce(line.selection, int(code), arg, error);
        } else if (arg == u"--target") {
            setChoice(line.target, kTargets, arg, value, error);
        } else if (arg == u"--value-condition") {
            setChoice(line.valueCondition, kValueConditions, arg, value, error);
        } else if (arg == u"--contains" || arg == u"--not-contains") {
            if (line.conditions.size() == 3)
                error = QStringLiteral("at most three --contains / --not-contains conditions");
            line.conditions.append({value, arg == u"--contains"});
        } else if (arg == u"--join") {
            std::optional<int> join;
            if (setChoice(join, kJoins, arg, value, error))
                setOnce(line.joinAnd, *join == 1, arg, error);
        } else if (arg == u"--replace-mode") {
            setChoice(line.replaceMode, kReplaceModes, arg, value, error);
        } else if (arg == u"--search") {
            setOnce(line.search, value, arg, error);
        } else if (arg == u"--replace") {
            setOnce(line.replace, value, arg, error);
        } else if (arg == u"--width") {
            setChoice(line.width, kWidths, arg, value, error);
        } else if (arg == u"--classes") {
            for (const QString& name : value.split(u',')) {
                const qsizetype box = kClasses.indexOf(name);
                if (box < 0) {
                    error = invalidValue(arg, value);
                    break;
                }
                line.classBoxes.append(int(box));
                line.classOptionNames.append(arg + u' ' + name);
            }
        } else if (arg == u"--case") {
            setChoice(line.caseIndex, kCases, arg, value, error);
        } else if (arg == u"--kana") {
            setChoice(line.kanaIndex, kKanas, arg, value, error);
        } else {
            error = QStringLiteral("unknown option %1").arg(arg);
        }
    }
    return line;
}

bool TextCommandLine::applyTo(TextWindowOptions& o, QString& error) const {
    const QString hiddenBy = valueCondition
                                 ? QStringLiteral(" cannot be set with --value-condition %1")
                                       .arg(kValueConditions[*valueCondition])
                                 : QString();
    if (valueCondition)
        o.setValueCondition(ValueCondition(*valueCondition));
    if (target)
        o.setTarget(TargetEntities(*target));
    for (qsizetype row = 0; row < conditions.size(); ++row) {
        o.setConditionPattern(int(row), conditions[row].pattern);
        o.setConditionMustContain(int(row), conditions[row].mustContain);
    }
    if (joinAnd)
        o.selectAnd(*joinAnd);
    if (replaceMode)
        o.setReplaceMode(ReplaceMode(*replaceMode));
    if (search)
        o.setSearchText(*search);
    if (replace)
        o.setReplaceText(*replace);
    // A hidden control may be set only to the value it already holds.
    for (qsizetype i = 0; i < classBoxes.size(); ++i) {
        if (!o.classBoxVisible(classBoxes[i]) && !o.classBox(classBoxes[i])) {
            error = classOptionNames[i] + hiddenBy;
            return false;
        }
        o.setClassBox(classBoxes[i], true);
    }
    // The kana list is still at its start-up item here, so no direction can be refused.
    if (width && *width != 0)
        o.setDirection(*width == 1 ? TextWindowOptions::ToFull : TextWindowOptions::ToHalf, true);
    if (caseIndex) {
        const auto conversion = CaseConversion(*caseIndex);
        if (!o.caseGroupVisible() && o.caseConversion() != conversion) {
            error = QStringLiteral("--case") + hiddenBy;
            return false;
        }
        o.setCaseConversion(conversion);
    }
    if (kanaIndex) {
        const auto conversion = KanaConversion(*kanaIndex);
        if (!o.kanaGroupVisible() && o.kanaConversion() != conversion) {
            error = QStringLiteral("--kana") + hiddenBy;
            return false;
        }
        if (!o.setKanaConversion(conversion))
            return false;
    }
    return true;
}

const char* TextCommandLine::usage() {
    return "usage: ornvale-cli text [OPTIONS] FILE...\n"
           "\n"
           "Rewrites the TEXT and MTEXT values of DXF files into FILE less its last 4\n"
           "characters + \"-T.dxf\", beside each input. Files pass the text window's intake test.\n"
           "A FILE that is a folder stands for the DXF files in it and its subfolders, in path\n"
           "order (links to folders inside it are not followed), as a folder dropped on the\n"
           "window's list; its other files are left out.\n"
           "\n"
           "options (defaults are the text window's start-up values):\n"
           "  --selection CODE      AutoCAD selection code for the intake test\n"
           "                        (default: settled as at start-up)\n"
           "  --target all|text|mtext\n"
           "  --value-condition none|date|not-date|numeric|not-numeric|neither\n"
           "  --contains P, --not-contains P\n"
           "                        up to three conditions, in the order given\n"
           "  --join and|or         (default or)\n"
           "  --replace-mode occurrences|equal|matching\n"
           "  --search TEXT, --replace TEXT\n"
           "  --width none|full|half\n"
           "  --classes all|alphabet,digits,katakana\n"
           "                        (default all when --width is full or half)\n"
           "  --dash-period         widen or narrow dashes and periods too (brings digits)\n"
           "  --kana-marks          widen or narrow the long vowel mark and Japanese\n"
           "                        punctuation too (brings katakana)\n"
           "  --case none|upper|lower\n"
           "  --kana none|to-katakana|to-hiragana\n"
           "  --json                print the outcome of each file and the counters as JSON;\n"
           "                        a file's \"notes\" say what its output lacks (values\n"
           "                        too long to convert, a drawing that ends too early)\n"
           "  --dry-run             do everything but write: no \"-T.dxf\" file is created\n"
           "                        (--json still names the output each file would have)\n"
           "  --changes FILE        write every changed value to FILE, one row each: input\n"
           "                        file, line number, entity kind, handle, layer, value\n"
           "                        before and after; FILE ending in .csv (UTF-8 with BOM)\n"
           "                        or .jsonl (one JSON object per line)\n"
           "  --help                show this help\n"
           "\n"
           "Options are applied as in the text window, with its interlocks; an option the\n"
           "window would not let you set is a usage error.\n"
           "Exit status: 0 every file converted, 1 some file skipped, refused or failed,\n"
           "2 usage error.\n";
}

} // namespace ornvale::cli
