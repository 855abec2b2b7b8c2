#include "TextCommandLine.h"

#include "DxfChangeReport.h"
#include "TextWindowOptions.h"

using namespace Qt::StringLiterals;

namespace ornvale::cli {

namespace {

using Line = TextCommandLine;
using Option = CommandOption<TextCommandLine>;

// The names the command line gives the choices of the text window's lists and buttons.
const Choice<TargetEntities> kTargets[] = {{"all", TargetEntities::TextAndMText},
                                           {"text", TargetEntities::TextOnly},
                                           {"mtext", TargetEntities::MTextOnly}};
const Choice<ValueCondition> kValueConditions[] = {
    {"none", ValueCondition::NoCondition},
    {"date", ValueCondition::DateOnly},
    {"not-date", ValueCondition::NotDateOnly},
    {"numeric", ValueCondition::NumericOnly},
    {"not-numeric", ValueCondition::NotNumericOnly},
    {"neither", ValueCondition::NeitherDateNorNumeric}};
const Choice<ConditionJoin> kJoins[] = {{"and", ConditionJoin::And}, {"or", ConditionJoin::Or}};
const Choice<ReplaceMode> kReplaceModes[] = {{"occurrences", ReplaceMode::ReplaceOccurrences},
                                             {"equal", ReplaceMode::ReplaceEqualText},
                                             {"matching", ReplaceMode::ReplaceMatchingText}};
const Choice<WidthConversion> kWidths[] = {{"none", WidthConversion::NoWidthConversion},
                                           {"full", WidthConversion::ToFullWidth},
                                           {"half", WidthConversion::ToHalfWidth}};
const Choice<int> kClasses[] = {{"all", TextWindowOptions::All},
                                {"alphabet", TextWindowOptions::Alphabet},
                                {"digits", TextWindowOptions::Digits},
                                {"katakana", TextWindowOptions::Katakana}};
const Choice<CaseConversion> kCases[] = {{"none", CaseConversion::NoCaseConversion},
                                         {"upper", CaseConversion::ToUpper},
                                         {"lower", CaseConversion::ToLower}};
const Choice<KanaConversion> kKanas[] = {{"none", KanaConversion::NoKanaConversion},
                                         {"to-katakana", KanaConversion::HiraganaToKatakana},
                                         {"to-hiragana", KanaConversion::KatakanaToHiragana}};

Option conditionOption(const QString& name, bool mustContain, const QString& help) {
    return {{name, u"P"_s, help, true}, [mustContain](Line& line, const QString& pattern) {
                if (line.conditions.size() == 3)
                    return u"At most three '--contains' / '--not-contains' conditions."_s;
                line.conditions.append({pattern, mustContain});
                return QString();
            }};
}

Option classesOption() {
    const QString names = QLatin1String(kClasses[0].name) + u'|' +
                          choiceNames<int>(std::span(kClasses).subspan(1), QLatin1Char(','));
    return {
        {u"classes"_s, names, u"(comma list; default all when --width is full or half)"_s, true},
        [](Line& line, const QString& value) {
            for (const QString& name : value.split(u',')) {
                const std::optional<int> box = chosen<int>(kClasses, name);
                if (!box)
                    return invalidValue(u"--classes"_s, name, choiceNames<int>(kClasses));
                line.classBoxes.append(*box);
                line.classOptionNames.append(u"--classes "_s + name);
            }
            return QString();
        }};
}

Option classBoxFlag(const QString& name, int box, const QString& help) {
    return {{name, {}, help, true}, [name, box](Line& line, const QString&) {
                line.classBoxes.append(box);
                line.classOptionNames.append(optionName(name));
                return QString();
            }};
}

Option changesOption() {
    return {
        {u"changes"_s, u"FILE"_s,
         u"write every changed value to FILE, one row each: input\n"
         "file, line number, entity kind, handle, layer, value\n"
         "before and after; FILE ending in .csv (UTF-8 with BOM)\n"
         "or .jsonl (one JSON object per line)"_s},
        [](Line& line, const QString& value) {
            if (!DxfChangeReport::formatFor(value))
                return u"Option '--changes' needs a file name ending in .csv or .jsonl: %1."_s.arg(
                    value);
            line.changesPath = value;
            return QString();
        }};
}

QList<Option> options() {
    return {
        selectionOption<Line>(u"selection"_s,
                              u"AutoCAD selection code for the intake test\n"
                              "(default: settled as at start-up)"_s,
                              &Line::selection),
        choiceOption<Line, TargetEntities>(u"target"_s, kTargets, u"entities rewritten"_s,
                                           &Line::target),
        choiceOption<Line, ValueCondition>(u"value-condition"_s, kValueConditions,
                                           u"values rewritten"_s, &Line::valueCondition),
        conditionOption(u"contains"_s, true,
                        u"rewrite values containing P; up to three conditions,\n"
                        "with --not-contains, in the order given"_s),
        conditionOption(u"not-contains"_s, false, u"rewrite values not containing P"_s),
        choiceOption<Line, ConditionJoin>(u"join"_s, kJoins, u"how conditions join (default or)"_s,
                                          &Line::join),
        choiceOption<Line, ReplaceMode>(u"replace-mode"_s, kReplaceModes,
                                        u"what --search matches"_s, &Line::replaceMode),
        textOption<Line>(u"search"_s, u"TEXT"_s, u"search string"_s, &Line::search),
        textOption<Line>(u"replace"_s, u"TEXT"_s, u"replacement"_s, &Line::replace),
        choiceOption<Line, WidthConversion>(u"width"_s, kWidths, u"width conversion"_s,
                                            &Line::width),
        classesOption(),
        classBoxFlag(u"dash-period"_s, TextWindowOptions::DashPeriod,
                     u"widen or narrow dashes and periods too (brings digits)"_s),
        classBoxFlag(u"kana-marks"_s, TextWindowOptions::KanaMarks,
                     u"widen or narrow the long vowel mark and Japanese\n"
                     "punctuation too (brings katakana)"_s),
        choiceOption<Line, CaseConversion>(u"case"_s, kCases, u"case conversion"_s,
                                           &Line::caseConversion),
        choiceOption<Line, KanaConversion>(u"kana"_s, kKanas, u"kana conversion"_s,
                                           &Line::kanaConversion),
        flagOption<Line>(u"json"_s,
                         u"print the outcome of each file and the counters as JSON;\n"
                         "a file's \"notes\" say what its output lacks (values\n"
                         "too long to convert, a drawing that ends too early)"_s,
                         &Line::json),
        flagOption<Line>(u"dry-run"_s,
                         u"do everything but write: no \"-T.dxf\" file is created\n"
                         "(--json still names the output each file would have)"_s,
                         &Line::dryRun),
        changesOption(),
    };
}

} // namespace

const CommandLine<TextCommandLine>& TextCommandLine::commandLine() {
    static const CommandLine<TextCommandLine> line(
        {u"text"_s, u"[OPTIONS] FILE..."_s,
         u"Rewrites the TEXT and MTEXT values of DXF files into FILE less its last 4\n"
         "characters + \"-T.dxf\", beside each input. Files pass the text window's intake "
         "test.\nA FILE that is a folder stands for the DXF files in it and its subfolders, in "
         "path\norder (links to folders inside it are not followed), as a folder dropped on "
         "the\nwindow's list; its other files are left out.\nDefaults are the text window's "
         "start-up values."_s,
         u"Options are applied as in the text window, with its interlocks; an option the\n"
         "window would not let you set is a usage error.\n"
         "Exit status: 0 every file converted, 1 some file skipped, refused or failed,\n"
         "2 usage error."_s},
        options());
    return line;
}

bool TextCommandLine::applyTo(TextWindowOptions& o, QString& error) const {
    // A hidden control may be set only to the value it already holds.
    const auto hidden = [&](const QString& option) {
        error = u"Option '%1' cannot be set with '--value-condition %2'."_s.arg(
            option, choiceName<ValueCondition>(kValueConditions, o.valueCondition()));
        return false;
    };
    if (valueCondition)
        o.setValueCondition(*valueCondition);
    if (target)
        o.setTarget(*target);
    for (qsizetype row = 0; row < conditions.size(); ++row) {
        o.setConditionPattern(int(row), conditions[row].pattern);
        o.setConditionMustContain(int(row), conditions[row].mustContain);
    }
    if (join)
        o.selectAnd(*join == ConditionJoin::And);
    if (replaceMode)
        o.setReplaceMode(*replaceMode);
    if (search)
        o.setSearchText(*search);
    if (replace)
        o.setReplaceText(*replace);
    for (qsizetype i = 0; i < classBoxes.size(); ++i) {
        if (!o.classBoxVisible(classBoxes[i]) && !o.classBox(classBoxes[i]))
            return hidden(classOptionNames[i]);
        o.setClassBox(classBoxes[i], true);
    }
    // The kana list is still at its start-up item here, so no direction can be refused.
    if (width && *width != WidthConversion::NoWidthConversion)
        o.setDirection(*width == WidthConversion::ToFullWidth ? TextWindowOptions::ToFull
                                                              : TextWindowOptions::ToHalf,
                       true);
    if (caseConversion) {
        if (!o.caseGroupVisible() && o.caseConversion() != *caseConversion)
            return hidden(u"--case"_s);
        o.setCaseConversion(*caseConversion);
    }
    if (kanaConversion) {
        if (!o.kanaGroupVisible() && o.kanaConversion() != *kanaConversion)
            return hidden(u"--kana"_s);
        if (!o.setKanaConversion(*kanaConversion))
            return false;
    }
    return true;
}

} // namespace ornvale::cli
