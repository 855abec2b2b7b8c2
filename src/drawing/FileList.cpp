#include "FileList.h"

#include "DropIntake.h"
#include "FolderExpansion.h"
#include "Messages.h"
#include "Prompter.h"

#include <QDir>
#include <QSet>

#include <algorithm>
#include <numeric>
#include <vector>

namespace ornvale {

qsizetype FileList::DropOutcome::listedCount() const {
    return std::count_if(items.cbegin(), items.cend(),
                         [](const DropItem& item) { return item.status == ItemStatus::Listed; });
}

FileList::DropOutcome FileList::drop(const QStringList& paths, const DropIntake& intake,
                                     Prompter& prompter) {
    DropOutcome outcome;
    // Every dropped file counts, non-drawings too, and a folder counts as the drawings in it.
    const QList<FolderExpansion::Item> items =
        FolderExpansion::expand(paths, intake, kMaxEntries - count());
    if (count() + items.size() > kMaxEntries) {
        outcome.overLimit = true;
        prompter.inform(tooManyFilesMessage(), confirmTitle());
        return outcome;
    }
    QList<qsizetype> staged;
    stageAccepted(items, intake, prompter, outcome, staged);
    listStaged(staged, prompter, outcome);
    if (m_sortOnDrop) {
        sort();
        outcome.sorted = true;
    }
    refreshCountLabel();
    return outcome;
}

// Every refusal message of the drop comes before any entry is listed.
void FileList::stageAccepted(const QList<FolderExpansion::Item>& items, const DropIntake& intake,
                             Prompter& prompter, DropOutcome& outcome,
                             QList<qsizetype>& staged) const {
    outcome.items.reserve(items.size());
    for (const auto& [path, problem] : items) {
        if (!problem.isEmpty()) {
            prompter.inform(perFileMessage(path, problem), confirmTitle());
            outcome.items.append({path, ItemStatus::Refused});
            continue;
        }
        ItemStatus status = ItemStatus::Skipped;
        switch (intake.examine(path, prompter)) {
        case DropIntake::Verdict::Skip:
            break;
        case DropIntake::Verdict::Refuse:
            status = ItemStatus::Refused;
            break;
        case DropIntake::Verdict::Accept:
            staged.append(outcome.items.size());
            status = ItemStatus::Listed;
            break;
        }
        outcome.items.append({path, status});
    }
}

// Staged files are checked against every listed entry, including the ones this drop just added.
void FileList::listStaged(const QList<qsizetype>& staged, Prompter& prompter,
                          DropOutcome& outcome) {
    QSet<QString> keys;
    if (m_options.refuseDuplicateNames) {
        for (const FileEntry& entry : std::as_const(m_entries))
            keys.insert(comparableKey(entry));
    }
    for (const qsizetype index : staged) {
        DropItem& item = outcome.items[index];
        const FileEntry entry{listNameFor(item.path), item.path};
        if (m_options.refuseDuplicateNames) {
            const QString key = comparableKey(entry);
            if (keys.contains(key)) {
                prompter.inform(perFileMessage(item.path, duplicateReason()), confirmTitle());
                item.status = ItemStatus::Duplicate;
                continue;
            }
            keys.insert(key);
        }
        m_entries.append(entry);
    }
}

QString FileList::comparableKey(const FileEntry& entry) const {
    const QString key = entry.nameKey();
    return m_options.nameKeyCase == Qt::CaseSensitive ? key : key.toCaseFolded();
}

void FileList::setSortOnDrop(bool on) {
    m_sortOnDrop = on;
    if (on)
        sort();
}

// An exchange sort: for each i, every later j whose lower-cased name is smaller trades places
// with i. It is not stable, and names that differ only in case (or the
// same name twice in the text window) are equal keys, so the same order is produced by doing
// exactly this, on indices and precomputed keys; at 999 entries it is half a million compares.
void FileList::sort() {
    const qsizetype n = count();
    std::vector<QString> keys;
    keys.reserve(n);
    for (const FileEntry& entry : std::as_const(m_entries))
        keys.push_back(entry.listName.toLower());
    std::vector<qsizetype> order(n);
    std::iota(order.begin(), order.end(), 0);
    for (qsizetype i = 0; i < n; ++i) {
        for (qsizetype j = i + 1; j < n; ++j) {
            if (keys[order[i]] > keys[order[j]])
                std::swap(order[i], order[j]);
        }
    }
    QList<FileEntry> sorted;
    sorted.reserve(n);
    for (const qsizetype index : order)
        sorted.append(m_entries.at(index));
    m_entries = std::move(sorted);
}

void FileList::clear() {
    m_entries.clear();
    m_countLabel.clear();
}

QString FileList::listNameFor(const QString& path) {
    qsizetype cut = path.lastIndexOf(QDir::separator());
#ifdef Q_OS_WIN
    cut = qMax(cut, path.lastIndexOf(u'/'));
#endif
    return QLatin1Char(' ') + path.mid(cut + 1);
}

QString FileList::countText(qsizetype count) {
    const QString number = QString::number(count);
    if (count < 10)
        return QStringLiteral(" 00") + number;
    if (count < 100)
        return QStringLiteral(" 0") + number;
    return QLatin1Char(' ') + number;
}

QString FileList::tooManyFilesMessage() {
    return QStringLiteral("処理可能ファイル数を超えます。");
}

QString FileList::duplicateReason() {
    return QStringLiteral("同一ファイル名が存在する為に選択できません。");
}

} // namespace ornvale
