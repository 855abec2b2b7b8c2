#include "BatchFiles.h"

#include "FileIdentity.h"

namespace ornvale {

BatchFiles::BatchFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        const QString key = fileIdentityKey(path);
        if (!m_byIdentity.contains(key))
            m_byIdentity.insert(key, path);
    }
}

std::optional<QString> BatchFiles::replacedBy(const QString& path) const {
    const auto it = m_byIdentity.constFind(fileIdentityKey(path));
    if (it == m_byIdentity.cend())
        return std::nullopt;
    return it.value();
}

} // namespace ornvale
