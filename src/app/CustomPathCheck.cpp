#include "CustomPathCheck.h"

#include "FileSystemProbe.h"

namespace ornvale {

std::optional<QString> customPathRefusal(const QString& typed, FileSystemProbe& files) {
    qsizetype end = typed.size();
    while (end > 0 && typed.at(end - 1) == QLatin1Char(' '))
        --end;
    const QString path = typed.left(end);
    if (path.isEmpty() || !files.exists(path))
        return QStringLiteral("AutoCAD起動ファイル が存在しません！");
    return std::nullopt;
}

} // namespace ornvale
