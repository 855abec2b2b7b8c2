#pragma once

#include "FileEntry.h"
#include "FolderExpansion.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ornvale {

class DropIntake;
class Prompter;

// The file list pair of a working window as a model: entries in list order (List1 shows the
// list names, List3 the source paths), the 999 limit, the name-key rule, the sort and the count
// label text. The window only mirrors it.
class FileList {
public:
    static constexpr qsizetype kMaxEntries = 999;

    struct Options {
        // The main window refuses a second drawing with a listed name key; the text window
        // lists the same file as often as it is dropped.
        bool refuseDuplicateNames = true;
        Qt::CaseSensitivity nameKeyCase = platformNameKeyCase();
    };

    enum class ItemStatus { Skipped, Refused, Duplicate, Listed };
    struct DropItem {
        QString path;
        ItemStatus status;
    };
    struct DropOutcome {
        bool overLimit = false; // the whole drop was refused, nothing examined
        bool sorted = false;    // entries were reordered: earlier rows moved
        QList<DropItem> items;  // one per dropped file or file found in a dropped folder
        qsizetype listedCount() const;
    };

    FileList() = default;
    explicit FileList(Options options) : m_options(options) {}

    const Options& options() const { return m_options; }
    void setOptions(const Options& options) { m_options = options; }

    const QList<FileEntry>& entries() const { return m_entries; }
    qsizetype count() const { return m_entries.size(); }
    const FileEntry& at(qsizetype i) const { return m_entries.at(i); }
    // DATACount: empty at start and after clear, else set by every drop that is not refused whole.
    const QString& countLabel() const { return m_countLabel; }

    // One drop of paths (files and folders) in the order delivered. A folder brings in the
    // drawings inside it and its subfolders (FolderExpansion); items lists them one by one, and
    // a folder that gives nothing as refused.
    DropOutcome drop(const QStringList& paths, const DropIntake& intake, Prompter& prompter);
    // A drop that carries no file list only rewrites the count label.
    void refreshCountLabel() { m_countLabel = countText(count()); }

    bool sortOnDrop() const { return m_sortOnDrop; }
    // Ticking sorts at once; unticking leaves the order as it is.
    void setSortOnDrop(bool on);
    void sort();
    void clear();

    // " " + the text after the path's last native separator.
    static QString listNameFor(const QString& path);
    // " 007", " 042", " 999".
    static QString countText(qsizetype count);
    // Name keys compare as the file system compares names: without case where it ignores case,
    // so two drawings can never be saved to the same output file.
    static constexpr Qt::CaseSensitivity platformNameKeyCase() {
#ifdef Q_OS_WIN
        return Qt::CaseInsensitive;
#else
        return Qt::CaseSensitive;
#endif
    }
    static QString tooManyFilesMessage();
    static QString duplicateReason();

private:
    QString comparableKey(const FileEntry& entry) const;
    void stageAccepted(const QList<FolderExpansion::Item>& items, const DropIntake& intake,
                       Prompter& prompter, DropOutcome& outcome, QList<qsizetype>& staged) const;
    void listStaged(const QList<qsizetype>& staged, Prompter& prompter, DropOutcome& outcome);

    Options m_options;
    QList<FileEntry> m_entries;
    QString m_countLabel;
    bool m_sortOnDrop = false;
};

} // namespace ornvale
