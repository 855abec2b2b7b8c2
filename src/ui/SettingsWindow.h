#pragma once

#include "SettingsWindowModel.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace ornvale {

class FileSystemProbe;
class FolderPicker;
class Prompter;

// Form3, "　AutoCAD設定": the product, the custom executable path, the output folder, the
// single-document mode and how long a job waits for the next drawing. Modeless. Loaded hidden at
// start-up; OK or closing it unloads it, and the next opening loads it again from the run values.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    SettingsWindow(RunValues& values, FileSystemProbe& files, Prompter& prompter,
                   FolderPicker& picker, QWidget* parent = nullptr);

    // The hidden load at start-up, with the controls as start-up set them.
    void restore(const SettingsWindowState& state);
    bool isLoaded() const { return m_loaded; }
    const SettingsWindowModel& model() const { return m_model; }

    // Twips of the window's height in pixels (15 twips per pixel).
    static int pixels(int twips) { return twips / 15; }

public slots:
    // "環境設定": loads the window when it is not loaded, then shows it.
    void open();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildOptions();
    void buildControls();
    void buildStallLimit();
    QLabel* addLabel(const QString& name, const QString& caption, const QRect& place);
    void showState();
    void applyHeight();
    void changeFolder();
    void takeOver();

    SettingsWindowModel m_model;
    FolderPicker& m_picker;
    bool m_loaded = false;

    std::array<QRadioButton*, SettingsWindowModel::OptionCount> m_options{};
    QCheckBox* m_defaultInstall = nullptr; // Check1
    QLineEdit* m_customPath = nullptr;     // Text1
    QLabel* m_outputFolder = nullptr;      // Label4
    QCheckBox* m_singleDocument = nullptr; // Check2
    QSpinBox* m_stallMinutes = nullptr;    // StallMinutes
};

} // namespace ornvale
