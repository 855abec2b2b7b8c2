#include "SettingsFieldRule.h"

#include "Cp932Codec.h"
#include "Messages.h"
#include "SettingsRecord.h"

using namespace Qt::StringLiterals;

namespace ornvale {

namespace {

// What the program knows of each text field, in the order of SettingsTextField.
struct FieldDescription {
    qsizetype width;
    const char16_t* name;
    const char16_t* caption;
};

const FieldDescription& describe(SettingsTextField field) {
    static const FieldDescription fields[] = {
        {SettingsRecord::CustomExePathWidth, u"customExePath", u"AutoCAD起動ファイルの場所"},
        {SettingsRecord::ReservedTextWidth, u"reservedText", u"予備の設定"},
        {SettingsRecord::OutputFolderPathWidth, u"outputFolderPath",
         u"DXF/DWG変換ファイルの保存場所"},
    };
    return fields[static_cast<int>(field)];
}

} // namespace

qsizetype SettingsFieldRule::width(SettingsTextField field) {
    return describe(field).width;
}

QString SettingsFieldRule::name(SettingsTextField field) {
    return QString::fromUtf16(describe(field).name);
}

QString SettingsFieldRule::caption(SettingsTextField field) {
    return QString::fromUtf16(describe(field).caption);
}

SettingsFieldRule::Problem SettingsFieldRule::check(SettingsTextField field, const QString& text) {
    const Cp932Codec::Encoded encoded = Cp932Codec::encode(text);
    if (!encoded.ok())
        return Problem::Unrepresentable;
    if (encoded.bytes.size() > width(field))
        return Problem::TooLong;
    return Problem::None;
}

std::optional<QString> SettingsFieldRule::refusal(SettingsTextField field, const QString& text) {
    const Problem problem = check(field, text);
    if (problem == Problem::None)
        return std::nullopt;
    return perFileMessage(text, reason(field, problem));
}

QString SettingsFieldRule::reason(SettingsTextField field, Problem problem) {
    switch (problem) {
    case Problem::Unrepresentable:
        return u"設定ファイルに保存できない文字(コードページ932にない文字)が含まれています。"_s;
    case Problem::TooLong:
        return u"長すぎるため設定ファイルに保存できません(%1バイトまで)。"_s.arg(width(field));
    case Problem::None:
        break;
    }
    return {};
}

} // namespace ornvale
