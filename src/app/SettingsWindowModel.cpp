#include "SettingsWindowModel.h"

#include "CustomPathCheck.h"
#include "JobSettingsFile.h"
#include "Messages.h"
#include "ProductTable.h"
#include "Prompter.h"
#include "SettingsFieldRule.h"

#include <algorithm>
#include <cmath>

namespace ornvale {

SettingsWindowModel::SettingsWindowModel(RunValues& values, FileSystemProbe& files,
                                         Prompter& prompter)
    : m_values(values), m_files(files), m_prompter(prompter) {}

void SettingsWindowModel::load() {
    m_state.defaultInstallChecked = m_values.defaultInstallFlag == 1;
    m_state.singleDocumentChecked = m_values.singleDocumentMode == 1;
    m_state.stallMinutes = m_values.stallMinutes;
    m_state.outputFolderLabel = m_values.outputFolder;
    // The pending selection is a whole selection code whenever it is nonzero (it comes only
    // from the options); anything else shows as "AutoCADなし".
    const double pending = m_values.pendingSelection;
    const bool chosen = std::isfinite(pending) && pending > 0 && pending < 256;
    const auto code =
        chosen ? static_cast<quint8>(std::nearbyint(pending)) : m_values.autocadSelection;
    clickOption(settingsOptionIndexFor(code));
    m_state.customPathText = m_values.customExePath;
}

void SettingsWindowModel::clickOption(int index) {
    for (const SettingsOption& option : settingsOptions()) {
        if (option.index != index)
            continue;
        m_state.selectedOption = index;
        m_values.pendingSelection = option.selectionCode;
        return;
    }
}

int SettingsWindowModel::heightTwips() const {
    return customPathShown() ? HeightCustomPathTwips : HeightDefaultInstallTwips;
}

bool SettingsWindowModel::chooseOutputFolder(const QString& folder) {
    if (const std::optional<QString> refused = outputFolderRefusal(folder)) {
        m_prompter.inform(*refused, confirmTitle());
        return false;
    }
    m_state.outputFolderLabel = folder;
    m_values.outputFolder = folder;
    return true;
}

bool SettingsWindowModel::accept() {
    if (!m_state.defaultInstallChecked) {
        if (const std::optional<QString> refused =
                customPathRefusal(m_state.customPathText, m_files)) {
            m_prompter.inform(*refused, confirmTitle());
            return false;
        }
        m_values.customExePath = m_state.customPathText;
    }
    m_values.defaultInstallFlag = m_state.defaultInstallChecked ? 1 : 0;
    m_values.singleDocumentMode = m_state.singleDocumentChecked ? 1 : 0;
    m_values.stallMinutes = std::clamp(m_state.stallMinutes, 0, JobSettingsFile::kMaxStallMinutes);
    return true;
}

std::optional<QString> SettingsWindowModel::customPathRefusal(const QString& typed,
                                                              FileSystemProbe& files) {
    if (std::optional<QString> missing = ornvale::customPathRefusal(typed, files))
        return missing;
    return SettingsFieldRule::refusal(SettingsTextField::CustomExePath, typed);
}

std::optional<QString> SettingsWindowModel::outputFolderRefusal(const QString& folder) {
    return SettingsFieldRule::refusal(SettingsTextField::OutputFolderPath, folder);
}

} // namespace ornvale
