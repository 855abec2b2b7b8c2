#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ornvale {

class DropIntake;

// A drop (or a command line) with every folder in it replaced by the drawings inside the folder
// and its subfolders, so each of them goes through the intake like a dropped file. Files
// keep their place in the drop; a folder's drawings come in path order, a folder's files
// and subfolders sorted by name. Links to folders met inside a folder are not followed (no
// walk can loop or leave the folder); a dropped link to a folder is the folder the user meant.
class FolderExpansion {
public:
    struct Item {
        QString path;
        // Set for a dropped folder that gives nothing: one that cannot be read, or holds no
        // drawing. The caller shows it as a message about that folder.
        QString problem;
    };

    // Stops once the items number more than limit: the caller refuses such a drop whole.
    static QList<Item> expand(const QStringList& paths, const DropIntake& intake, qsizetype limit);
    static QString unreadableFolderReason();
};

} // namespace ornvale
