#include "CommandLine.h"

#include "ProductTable.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>

namespace ornvale::cli {

namespace {

const QString kHelpShort = QStringLiteral("h");
const QString kHelpLong = QStringLiteral("help");

const OptionSyntax* find(std::span<const OptionSyntax> options, const QString& name) {
    const auto it = std::find_if(options.begin(), options.end(),
                                 [&](const OptionSyntax& o) { return o.name == name; });
    return it == options.end() ? nullptr : &*it;
}

QString unknownOption(const QString& name) {
    return QStringLiteral("Unknown option '%1'.")
        .arg(name.size() == 1 ? u'-' + name : optionName(name));
}

QString contradiction(std::span<const OptionSyntax> options,
                      const QList<std::pair<QString, QString>>& given) {
    QHash<QString, QString> values;
    for (const auto& [name, value] : given) {
        const OptionSyntax* option = find(options, name);
        if (option->repeatable)
            continue;
        if (values.contains(name) && values.value(name) != value)
            return QStringLiteral("Option '%1' given twice with different values.")
                .arg(optionName(name));
        values.insert(name, value);
    }
    return {};
}

QString term(const OptionSyntax& option) {
    if (option.name == kHelpLong)
        return QStringLiteral("-h, --help");
    return option.valueName.isEmpty() ? optionName(option.name)
                                      : optionName(option.name) + u' ' + option.valueName;
}

} // namespace

QString optionName(const QString& name) {
    return QStringLiteral("--") + name;
}

QString noFileGiven() {
    return QStringLiteral("No FILE given.");
}

QString invalidValue(const QString& option, const QString& value, const QString& expected) {
    return QStringLiteral("Invalid value '%1' for '%2' (expected %3).")
        .arg(value, option, expected);
}

SplitCommandLine splitCommandLine(const CommandHelp& command, std::span<const OptionSyntax> options,
                                  const QStringList& args) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOption(QCommandLineOption(QStringList{kHelpShort, kHelpLong}));
    for (const OptionSyntax& option : options)
        parser.addOption(QCommandLineOption(option.name, option.help, option.valueName));

    SplitCommandLine split;
    // The parser takes the program's name first.
    const bool parsed = parser.parse(QStringList{command.command} + args);
    split.help = parser.isSet(kHelpLong);
    split.operands = parser.positionalArguments();
    if (!parsed) {
        // Its own words for a value missing or not expected; a name it does not know is given
        // back with the dashes it was typed with.
        split.error = parser.unknownOptionNames().isEmpty()
                          ? parser.errorText()
                          : unknownOption(parser.unknownOptionNames().constFirst());
        return split;
    }
    // Each name once for every time it was given, in order; values() keeps the same order.
    QHash<QString, qsizetype> seen;
    for (const QString& name : parser.optionNames()) {
        if (name == kHelpShort || name == kHelpLong)
            continue;
        const OptionSyntax* option = find(options, name);
        const qsizetype nth = seen[name]++;
        split.options.append(
            {name, option->valueName.isEmpty() ? QString() : parser.values(name).at(nth)});
    }
    if (command.operands.isEmpty() && !split.operands.isEmpty())
        split.error = QStringLiteral("Unexpected argument '%1'.").arg(split.operands.constFirst());
    else
        split.error = contradiction(options, split.options);
    return split;
}

QString helpText(const CommandHelp& command, std::span<const OptionSyntax> options) {
    // Terms longer than this put their text on the next line.
    constexpr qsizetype kWidestTerm = 25;
    qsizetype width = term({kHelpLong, {}, {}}).size();
    for (const OptionSyntax& option : options)
        width = std::max(width, std::min(term(option).size(), kWidestTerm));
    const QString indent(width + 4, u' ');

    QString text = QStringLiteral("usage: ornvale-cli %1 ").arg(command.command);
    text += command.operands.isEmpty() ? QStringLiteral("[OPTIONS]") : command.operands;
    text += QStringLiteral("\n\n") + command.about + QStringLiteral("\n\noptions:\n");
    QList<OptionSyntax> all(options.begin(), options.end());
    all.append({kHelpLong, {}, QStringLiteral("show this help")});
    for (const OptionSyntax& option : all) {
        const QString shown = QStringLiteral("  ") + term(option);
        const QStringList lines = option.help.split(u'\n');
        if (shown.size() + 2 > indent.size())
            text += shown + u'\n' + indent + lines.constFirst() + u'\n';
        else
            text += shown.leftJustified(indent.size()) + lines.constFirst() + u'\n';
        for (qsizetype i = 1; i < lines.size(); ++i)
            text += indent + lines[i] + u'\n';
    }
    if (!command.epilogue.isEmpty())
        text += u'\n' + command.epilogue + u'\n';
    return text;
}

int usageError(const QString& command, const QString& error) {
    const QByteArray text = QStringLiteral("ornvale-cli %1: %2\nTry 'ornvale-cli %1 --help'.\n")
                                .arg(command, error)
                                .toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    return 2;
}

void printHelp(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

std::optional<quint8> selectionCodeFrom(const QString& text) {
    bool ok = false;
    const qint64 code = text.toLongLong(&ok);
    if (!ok || !isKnownSelectionCode(code))
        return std::nullopt;
    return quint8(code);
}

QString selectionCodeNames() {
    QStringList codes{QStringLiteral("0")};
    QList<quint8> products;
    for (const ProductRow& row : productTable())
        products.append(row.selectionCode);
    std::sort(products.begin(), products.end());
    for (const quint8 code : products)
        codes.append(QString::number(code));
    const QString last = codes.takeLast();
    return codes.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

} // namespace ornvale::cli
