#include "SettingsFileCheck.h"

#include "SettingsFile.h"
#include "SettingsRecord.h"

#include <QFile>
#include <QFileInfo>

namespace ornvale {

namespace {

const QString kDefaults = QStringLiteral("既定の設定で動作します。");

QStringList recordProblems(const QByteArray& bytes) {
    QStringList problems;
    if (bytes.size() < SettingsRecord::Size)
        problems.append(
            QStringLiteral(
                "設定ファイルが %1 バイトしかないため（%2 バイト必要）、足りない部分を 0 "
                "として読みました。")
                .arg(bytes.size())
                .arg(SettingsRecord::Size));
    problems += SettingsRecord::fromBytes(bytes).problems();
    return problems;
}

} // namespace

QStringList settingsFileProblems(const QString& windowsDirectory) {
    if (windowsDirectory.isEmpty())
        return {};
    const QString path = SettingsFile::path(windowsDirectory);
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (info.isDir())
        return {QStringLiteral("フォルダのため、設定ファイルとして読み込めません。") + kDefaults};
    if (!info.isFile())
        return {QStringLiteral("通常のファイルではないため、設定ファイルとして読み込めません。") +
                kDefaults};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("設定ファイルを開けません。") + kDefaults};
    const QByteArray bytes = file.read(SettingsRecord::Size);
    if (bytes.isEmpty())
        return {};
    return recordProblems(bytes);
}

} // namespace ornvale
