#include "SettingsArguments.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ornvale::cli {

namespace {

using A = SettingsArguments;
using Option = CommandOption<SettingsArguments>;

const Choice<quint8> kZeroOne[] = {{"0", 0}, {"1", 1}};

QString showWithChange() {
    return u"Option '--show' cannot be combined with '--set-...' options."_s;
}

// Each change is checked against --show whichever comes first.
Option change(Option option) {
    return {option.syntax, [apply = option.apply](A& a, const QString& value) {
                const QString error = apply(a, value);
                return error.isEmpty() && a.show ? showWithChange() : error;
            }};
}

Option outputOption() {
    return {{u"set-output"_s, u"DIR"_s, u"output folder of converted drawings"_s},
            [](A& a, const QString& value) {
                if (value.isEmpty())
                    return invalidValue(u"--set-output"_s, value, u"a folder"_s);
                a.output = QDir::toNativeSeparators(QFileInfo(value).absoluteFilePath());
                return QString();
            }};
}

QList<Option> options() {
    return {
        {{u"show"_s, {}, u"print the run values and the settings file path (default)"_s, true},
         [](A& a, const QString&) {
             a.show = true;
             return a.any() ? showWithChange() : QString();
         }},
        change(selectionOption<A>(u"set-selection"_s,
                                  u"AutoCAD product for the next start:\n"_s +
                                      selectionCodeNames() + u"\n(0: keep the product in effect)"_s,
                                  &A::selection)),
        change(textOption<A>(u"set-custom-path"_s, u"PATH"_s,
                             u"AutoCAD executable used when the default installation is off"_s,
                             &A::customPath)),
        change(choiceOption<A, quint8>(u"set-default-install"_s, kZeroOne,
                                       u"1: the product's default installation path"_s,
                                       &A::defaultInstall)),
        change(choiceOption<A, quint8>(u"set-single-document"_s, kZeroOne,
                                       u"AutoCAD's single-document mode"_s, &A::singleDocument)),
        change(outputOption()),
    };
}

} // namespace

const CommandLine<SettingsArguments>& SettingsArguments::commandLine() {
    static const CommandLine<SettingsArguments> line(
        {u"settings"_s, QString(),
         u"Shows the run values as start-up settles them (--show, the default), or changes the\n"
         "stored settings and writes the settings file as the END button does (bytes not set\n"
         "are kept)."_s,
         QString()},
        options());
    return line;
}

} // namespace ornvale::cli
