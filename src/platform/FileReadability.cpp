#include "FileReadability.h"

#include <QFile>
#include <QFileInfo>

namespace ornvale {

QString unreadableFileReason(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("ファイルが見つかりません。");
    if (info.isDir())
        return QStringLiteral("フォルダのため、図面として読み込めません。");
    if (!info.isFile())
        return QStringLiteral(
            "通常のファイルではない（パイプやデバイスなど）ため、読み込めません。");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Qt reports every failed open alike; the permission is asked separately.
        if (!info.isReadable())
            return QStringLiteral("読み取りの権限がないため、ファイルを開けません。");
        return QStringLiteral("ファイルを開けません。");
    }
    if (file.size() == 0)
        return QStringLiteral("ファイルが空です。");
    return {};
}

} // namespace ornvale
