#include "FolderExpansion.h"

#include "DropIntake.h"
#include "FileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace ornvale {

namespace {

bool isLinkOrJunction(const QFileInfo& info) {
    return info.isSymLink() || info.isJunction();
}

class FolderWalk {
public:
    FolderWalk(const DropIntake& intake, QList<FolderExpansion::Item>& items, qsizetype limit)
        : m_intake(intake), m_items(items), m_limit(limit) {}

    bool full() const { return m_items.size() > m_limit; }

    // False when the folder itself cannot be read.
    bool walk(const QString& folder) {
        const QDir dir(folder);
        if (!dir.isReadable())
            return false;
        // A folder met twice (a file system mounted inside itself) is walked once.
        const QString key = QFileInfo(folder).canonicalFilePath();
        if (m_visited.contains(key))
            return true;
        m_visited.insert(key);
        QFileInfoList entries =
            dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
        std::sort(entries.begin(), entries.end(), [](const QFileInfo& a, const QFileInfo& b) {
            return a.fileName().compare(b.fileName(), FileList::platformNameKeyCase()) < 0;
        });
        for (const QFileInfo& entry : std::as_const(entries)) {
            if (full())
                break;
            if (entry.isDir()) {
                if (!isLinkOrJunction(entry))
                    walk(entry.filePath());
                continue;
            }
            const QString path = QDir::toNativeSeparators(entry.filePath());
            if (m_intake.takesFromFolder(path))
                m_items.append({path, {}});
        }
        return true;
    }

private:
    const DropIntake& m_intake;
    QList<FolderExpansion::Item>& m_items;
    qsizetype m_limit;
    QSet<QString> m_visited;
};

} // namespace

QList<FolderExpansion::Item> FolderExpansion::expand(const QStringList& paths,
                                                     const DropIntake& intake, qsizetype limit) {
    QList<Item> items;
    for (const QString& path : paths) {
        if (items.size() > limit)
            break;
        if (!QFileInfo(path).isDir()) {
            items.append({path, {}});
            continue;
        }
        const qsizetype before = items.size();
        FolderWalk walk(intake, items, limit);
        if (!walk.walk(path))
            items.append({path, unreadableFolderReason()});
        else if (items.size() == before)
            items.append({path, intake.emptyFolderReason()});
    }
    return items;
}

QString FolderExpansion::unreadableFolderReason() {
    return QStringLiteral("フォルダを読み込めません。");
}

} // namespace ornvale
