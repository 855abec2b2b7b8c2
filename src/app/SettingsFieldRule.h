#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace ornvale {

// The text fields of the settings record.
enum class SettingsTextField { CustomExePath, ReservedText, OutputFolderPath };

// What a text field of the settings record can hold: characters that code page 932 can
// represent, no more bytes than the field is wide. The end buttons, the settings window and the
// command line all judge a value by this one rule, so a value one of them accepts is one the
// settings file keeps.
class SettingsFieldRule {
public:
    enum class Problem { None, Unrepresentable, TooLong };

    static qsizetype width(SettingsTextField field);
    // The field's name in the record ("customExePath", ...).
    static QString name(SettingsTextField field);
    // The field as the settings window names it, for messages.
    static QString caption(SettingsTextField field);

    static Problem check(SettingsTextField field, const QString& text);
    // The message refusing the text, naming it; nullopt when the field can hold it.
    static std::optional<QString> refusal(SettingsTextField field, const QString& text);
    // Why the field cannot hold a text with this problem (empty for None).
    static QString reason(SettingsTextField field, Problem problem);
};

} // namespace ornvale
