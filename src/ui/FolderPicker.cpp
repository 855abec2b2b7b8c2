#include "FolderPicker.h"

#include <QDir>
#include <QFileDialog>

namespace ornvale {

QString FolderPicker::choose(QWidget* owner, const QString& prompt, const QString& initialFolder) {
    m_lastPrompt = prompt;
    m_lastInitial = initialFolder;
    ++m_count;
    std::optional<QString> answer;
    if (!m_answers.isEmpty()) {
        answer = m_answers.takeFirst();
    } else {
        // Only folders can be chosen; the dialog opens at the initial folder.
        const QString chosen = QFileDialog::getExistingDirectory(owner, prompt, initialFolder,
                                                                 QFileDialog::ShowDirsOnly);
        if (!chosen.isEmpty())
            answer = chosen;
    }
    return answer ? QDir::toNativeSeparators(*answer) : initialFolder;
}

} // namespace ornvale
