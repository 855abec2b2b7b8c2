#include "FileIdentity.h"

#include <QDir>
#include <QFileInfo>

namespace ornvale {

QString fileIdentityKey(const QString& path) {
    const QFileInfo info(path);
    QString key = info.canonicalFilePath();
    if (key.isEmpty()) {
        const QString folder = info.absoluteDir().canonicalPath();
        key = folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName();
    }
#ifdef Q_OS_WIN
    key = key.toCaseFolded();
#endif
    return key;
}

} // namespace ornvale
