#include "JobFolderCheck.h"

#include "FolderAccess.h"
#include "Messages.h"

#include <QDir>
#include <QFileInfo>

namespace ornvale {

namespace {

QString checkReason() {
    return QStringLiteral("フォルダの書き込み権限を確認して下さい。");
}

std::optional<QString> outputFolderProblem(const QString& folder) {
    switch (folderAccess(folder)) {
    case FolderAccess::Writable:
        return std::nullopt;
    case FolderAccess::CannotCreate:
        return perFileMessage(folder, QStringLiteral("出力フォルダを作成できません。"));
    case FolderAccess::NotWritable:
        break;
    }
    return perFileMessage(folder, QStringLiteral("出力フォルダに書き込めません。") + checkReason());
}

std::optional<QString> markerFolderProblem(const QString& folder) {
    switch (folderAccess(folder)) {
    case FolderAccess::Writable:
        return std::nullopt;
    case FolderAccess::CannotCreate:
        return perFileMessage(
            folder, QStringLiteral("完了マーカー（10000.dxf）のフォルダを作成できません。"));
    case FolderAccess::NotWritable:
        break;
    }
    return perFileMessage(folder,
                          QStringLiteral("完了マーカー（10000.dxf）のフォルダに書き込めません。") +
                              checkReason());
}

} // namespace

std::optional<QString> jobFolderProblem(const ScriptInputs& inputs) {
    if (std::optional<QString> problem = outputFolderProblem(inputs.outputFolder))
        return problem;
    const QString markerFolder =
        QDir::toNativeSeparators(QFileInfo(inputs.markerPath).absolutePath());
    return markerFolderProblem(markerFolder);
}

} // namespace ornvale
