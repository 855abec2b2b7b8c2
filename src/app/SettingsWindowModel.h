#pragma once

#include "RunValues.h"
#include "Startup.h"

#include <QString>

#include <optional>

namespace ornvale {

class FileSystemProbe;
class Prompter;

// The rules of the settings window (Form3). It works on the run values of the running program:
// a product option or a chosen folder takes effect at once, the two check boxes, the path box
// and the stall limit only through OK. The AutoCAD selection and executable path are never touched:
// they hold for the whole run.
class SettingsWindowModel {
public:
    static constexpr int HeightDefaultInstallTwips = 3200;
    static constexpr int HeightCustomPathTwips = 4350;
    static constexpr int OptionCount = 11;

    SettingsWindowModel(RunValues& values, FileSystemProbe& files, Prompter& prompter);

    // The controls as start-up left them when it loaded the window hidden.
    void restore(const SettingsWindowState& state) { m_state = state; }
    // Load: the controls from the run values; selecting the product option clicks it.
    void load();
    const SettingsWindowState& state() const { return m_state; }

    // A click on product option i: its selection code becomes the pending selection.
    void clickOption(int index);
    void setDefaultInstallChecked(bool checked) { m_state.defaultInstallChecked = checked; }
    void setSingleDocumentChecked(bool checked) { m_state.singleDocumentChecked = checked; }
    void setCustomPathText(const QString& text) { m_state.customPathText = text; }
    void setStallMinutes(int minutes) { m_state.stallMinutes = minutes; }
    // 3200 twips while Check1 is ticked (the custom path section is out of view), else 4350.
    int heightTwips() const;
    bool customPathShown() const { return !m_state.defaultInstallChecked; }

    // The folder the picker returned. One the settings file cannot hold is refused with a
    // message naming it, and the folder stays; otherwise it is the output folder at once.
    bool chooseOutputFolder(const QString& folder);
    // OK: tests the path when Check1 is unticked and takes the boxes over. False (after the
    // message) when the path is refused: the window stays open and nothing changes.
    bool accept();

private:
    // A custom executable path in use must name an existing file and fit the settings file; an
    // output folder must fit the settings file.
    static std::optional<QString> customPathRefusal(const QString& typed, FileSystemProbe& files);
    static std::optional<QString> outputFolderRefusal(const QString& folder);

    RunValues& m_values;
    FileSystemProbe& m_files;
    Prompter& m_prompter;
    SettingsWindowState m_state;
};

} // namespace ornvale
