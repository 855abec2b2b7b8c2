#pragma once

#include "TextIntake.h"
#include "TextOptions.h"
#include "TextWindowOptions.h"

#include <QWidget>

#include <array>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ornvale {

class FileListPanel;
class Prompter;
class TextJob;
class TextOptionsPanel;

// The text conversion window: the list of DXF files to rewrite, the options of the rewrite,
// the run with its counters. It is created at its first display and then only hidden and
// shown, so its list and options last for the whole program run.
class TextWindow : public QWidget {
    Q_OBJECT
public:
    TextWindow(Prompter& prompter, quint8 autocadSelection, QWidget* parent = nullptr);
    ~TextWindow() override;

    TextWindowOptions& options() { return m_options; }
    FileListPanel* fileListPanel() const { return m_fileList; }
    bool running() const { return m_job != nullptr; }

public slots:
    // STARTProg: checks, asks, rewrites every listed file and reports completion.
    void start();

signals:
    void mainWindowRequested(); // Command2 "DXF/DWG変換"
    void aboutRequested();      // Command1 "Ver"
    // ProgEND, or the window closed through its frame: store the settings and end.
    void endRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildCounters();
    QWidget* buildButtons();
    QPushButton* addButton(const QString& name, const QString& caption, QWidget* owner);
    bool readyToStart();
    void run(const QStringList& paths);
    void showCounters(const TextCounters& counters);

    Prompter& m_prompter;
    TextIntake m_intake;
    TextWindowOptions m_options;
    TextJob* m_job = nullptr; // the run in progress

    FileListPanel* m_fileList = nullptr;
    TextOptionsPanel* m_optionsPanel = nullptr;
    std::array<QLabel*, 6> m_counters{}; // Label3, Label5, Label13, Label9, Label11, Label15
    QLabel* m_finished = nullptr;        // Label16
    QProgressBar* m_progress = nullptr;  // ProgressBar1
    QPushButton* m_start = nullptr;      // STARTProg
};

} // namespace ornvale
