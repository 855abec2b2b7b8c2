#pragma once

#include <QList>
#include <QString>
#include <optional>

class QWidget;

namespace ornvale {

// The folder browser: a modal folder choice that starts at a given folder. Tests preset the
// next answers (a folder, or a cancel), which are then given without showing the dialog, and
// read back the prompt and initial folder of the last choice.
class FolderPicker {
public:
    // The chosen folder, or the initial folder unchanged when the user cancels.
    QString choose(QWidget* owner, const QString& prompt, const QString& initialFolder);

    // The next choice returns this folder (answers queue up).
    void setNextDirectory(const QString& folder) { m_answers.append(folder); }
    // The next choice is cancelled.
    void setNextCancel() { m_answers.append(std::nullopt); }
    QString lastPrompt() const { return m_lastPrompt; }
    QString lastInitialFolder() const { return m_lastInitial; }
    int shownCount() const { return m_count; }

private:
    QList<std::optional<QString>> m_answers;
    QString m_lastPrompt;
    QString m_lastInitial;
    int m_count = 0;
};

} // namespace ornvale
