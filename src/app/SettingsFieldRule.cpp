#include "SettingsFieldRule.h"

#include "Cp932Codec.h"
#include "Messages.h"
#include "SettingsRecord.h"

using namespace Qt::StringLiterals;

namespace ornvale {

qsizetype SettingsFieldRule::width(SettingsTextField field) {
    switch (field) {
    case SettingsTextField::CustomExePath:
        return SettingsRecord::CustomExePathWidth;
    case SettingsTextField::ReservedText:
        return SettingsRecord::ReservedTextWidth;
    case SettingsTextField::OutputFolderPath:
        break;
    }
    return SettingsRecord::OutputFolderPathWidth;
}

QString SettingsFieldRule::name(SettingsTextField field) {
    switch (field) {
    case SettingsTextField::CustomExePath:
        return u"customExePath"_s;
    case SettingsTextField::ReservedText:
        return u"reservedText"_s;
    case SettingsTextField::OutputFolderPath:
        break;
    }
    return u"outputFolderPath"_s;
}

QString SettingsFieldRule::caption(SettingsTextField field) {
    switch (field) {
    case SettingsTextField::CustomExePath:
        return u"AutoCAD起動ファイルの場所"_s;
    case SettingsTextField::ReservedText:
        return u"予備の設定"_s;
    case SettingsTextField::OutputFolderPath:
        break;
    }
    return u"DXF/DWG変換ファイルの保存場所"_s;
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
