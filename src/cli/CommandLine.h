#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>
#include <utility>

namespace ornvale::cli {

// What the help text of a subcommand says around its options.
struct CommandHelp {
    QString command;  // "text"
    QString operands; // "[OPTIONS] FILE..."; empty when the command takes no operand
    QString about;    // paragraphs between the usage line and the options
    QString epilogue; // paragraphs after the options; may be empty
};

// How an option is written: its long name (without dashes) and, for one that takes a value,
// the value as the help shows it.
struct OptionSyntax {
    QString name;
    QString valueName; // empty: the option takes no value
    QString help;      // "\n" starts a continuation line
    bool repeatable = false;
};

// The command line split by Qt's parser: the options in the order given (value empty for one
// that takes none), the operands, whether help was asked for, and the first usage error.
struct SplitCommandLine {
    QList<std::pair<QString, QString>> options;
    QStringList operands;
    bool help = false;
    QString error;
};

// `-h` and `--help` ask for help on every subcommand. A valued option given twice with different
// values contradicts itself unless it is repeatable.
SplitCommandLine splitCommandLine(const CommandHelp& command, std::span<const OptionSyntax> options,
                                  const QStringList& args);
QString helpText(const CommandHelp& command, std::span<const OptionSyntax> options);

// The usage errors every subcommand words alike.
QString invalidValue(const QString& option, const QString& value, const QString& expected);
QString optionName(const QString& name); // "--name"
QString noFileGiven();

// Prints "ornvale-cli COMMAND: ERROR" and where the help is on stderr; returns the exit code 2.
int usageError(const QString& command, const QString& error);
void printHelp(const QString& text);

// One option of a subcommand in one row: how it is written, what the help says and where its
// value goes. Adding an option is adding a row.
template <typename Arguments> struct CommandOption {
    OptionSyntax syntax;
    // Stores the value (empty for an option without one); returns a usage error, or empty.
    std::function<QString(Arguments&, const QString&)> apply;
};

template <typename Arguments> struct ParsedCommandLine {
    Arguments arguments;
    QStringList operands;
    bool help = false;
    QString error; // a usage error naming the option; empty when the form is right
};

template <typename Arguments> class CommandLine {
public:
    CommandLine(CommandHelp help, QList<CommandOption<Arguments>> options)
        : m_help(std::move(help)), m_options(std::move(options)) {
        for (const CommandOption<Arguments>& option : m_options)
            m_syntax.append(option.syntax);
    }

    // The options are applied in the order given, so a later one may check what an earlier
    // one set; the first error ends the parse.
    ParsedCommandLine<Arguments> parse(const QStringList& args) const {
        ParsedCommandLine<Arguments> parsed;
        SplitCommandLine split = splitCommandLine(m_help, syntax(), args);
        parsed.operands = std::move(split.operands);
        parsed.help = split.help;
        parsed.error = std::move(split.error);
        for (const auto& [name, value] : split.options) {
            if (!parsed.error.isEmpty())
                break;
            for (const CommandOption<Arguments>& option : m_options) {
                if (option.syntax.name == name)
                    parsed.error = option.apply(parsed.arguments, value);
            }
        }
        return parsed;
    }

    QString helpText() const { return cli::helpText(m_help, syntax()); }
    const CommandHelp& help() const { return m_help; }

private:
    std::span<const OptionSyntax> syntax() const {
        return {m_syntax.constData(), size_t(m_syntax.size())};
    }

    CommandHelp m_help;
    QList<CommandOption<Arguments>> m_options;
    QList<OptionSyntax> m_syntax;
};

// A value chosen by name from a fixed list, the list in the order the help shows it.
template <typename T> struct Choice {
    const char* name;
    T value;
};

template <typename T>
QString choiceNames(std::span<const Choice<T>> choices, QLatin1Char separator = QLatin1Char('|')) {
    QStringList names;
    for (const Choice<T>& choice : choices)
        names.append(QLatin1String(choice.name));
    return names.join(separator);
}

template <typename T>
std::optional<T> chosen(std::span<const Choice<T>> choices, const QString& name) {
    for (const Choice<T>& choice : choices) {
        if (name == QLatin1String(choice.name))
            return choice.value;
    }
    return std::nullopt;
}

template <typename T> QString choiceName(std::span<const Choice<T>> choices, const T& value) {
    for (const Choice<T>& choice : choices) {
        if (choice.value == value)
            return QLatin1String(choice.name);
    }
    return {};
}

// Rows for the usual kinds of option.
template <typename Arguments>
CommandOption<Arguments> flagOption(const QString& name, const QString& help,
                                    bool Arguments::*field) {
    return {{name, {}, help, true}, [field](Arguments& a, const QString&) {
                a.*field = true;
                return QString();
            }};
}

template <typename Arguments, typename T>
CommandOption<Arguments> choiceOption(const QString& name, std::span<const Choice<T>> choices,
                                      const QString& help, std::optional<T> Arguments::*field) {
    return {{name, choiceNames(choices), help},
            [name, choices, field](Arguments& a, const QString& value) {
                a.*field = chosen(choices, value);
                return a.*field ? QString()
                                : invalidValue(optionName(name), value, choiceNames(choices));
            }};
}

template <typename Arguments>
CommandOption<Arguments> textOption(const QString& name, const QString& valueName,
                                    const QString& help, std::optional<QString> Arguments::*field) {
    return {{name, valueName, help}, [field](Arguments& a, const QString& value) {
                a.*field = value;
                return QString();
            }};
}

// An AutoCAD selection code: 0 or a product's.
std::optional<quint8> selectionCodeFrom(const QString& text);
QString selectionCodeNames(); // "0, 3, 4, ... or 41", from the product table

template <typename Arguments>
CommandOption<Arguments> selectionOption(const QString& name, const QString& help,
                                         std::optional<quint8> Arguments::*field) {
    return {{name, QStringLiteral("CODE"), help},
            [name, field](Arguments& a, const QString& value) {
                a.*field = selectionCodeFrom(value);
                return a.*field ? QString()
                                : invalidValue(optionName(name), value, selectionCodeNames());
            }};
}

} // namespace ornvale::cli
