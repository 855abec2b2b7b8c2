#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace ornvale {

// The files of one batch, known by their identity on the file system (links resolved, letter
// case folded where the file system ignores it). Nothing a batch writes may replace one of
// them, whatever path names the file written.
class BatchFiles {
public:
    BatchFiles() = default;
    explicit BatchFiles(const QStringList& paths);

    // The file of the batch (as first given) that writing `path` would replace, or nullopt.
    std::optional<QString> replacedBy(const QString& path) const;

private:
    QHash<QString, QString> m_byIdentity;
};

} // namespace ornvale
