#pragma once

#include "FolderRoles.h"
#include "JobOutcome.h"
#include "ProgramStarter.h"
#include "RunValues.h"
#include "Startup.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ornvale {

class AboutWindow;
class AuditReportWindow;
class ConversionOptionsPanel;
class ConversionResultWindow;
class JobRunner;
struct JobInputs;
class FileListPanel;
class Prompter;
class SettingsWindow;

// Form1, the version conversion window and the program's home window. It holds the run values
// for the whole run; its end button (and closing it through the frame) stores the settings and
// ends the program.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(Prompter& prompter, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Puts what start-up settled into the controls and keeps the run values.
    void applyStartup(const StartupResult& result);

    RunValues& runValues() { return m_runValues; }
    FileListPanel* fileListPanel() const { return m_fileList; }
    ConversionOptionsPanel* optionsPanel() const { return m_options; }
    QPushButton* startButton() const { return m_start; }
    AboutWindow* aboutWindow() const;
    JobRunner* job() const { return m_job; }
    ConversionResultWindow* resultWindow() const { return m_resultWindow; }
    AuditReportWindow* auditWindow() const { return m_auditWindow; }
    QProgressBar* jobProgress() const { return m_jobProgress; }

    // "環境設定" opens this window (created hidden at start-up by whoever builds this one).
    void attachSettingsWindow(SettingsWindow* window);

    // Where the end button finds the settings file again (the real folders unless replaced).
    void setFolderRoles(FolderRoles* folders) { m_folders = folders ? folders : &m_systemFolders; }

public slots:
    // Save settings and end: writes the settings record, closes every window, ends the loop.
    void endProgram();
    void showAbout();
    // Hides the conversion result and audit report windows (Clear, the switch to the text window).
    void hideResultWindows();
    // STARTProg: confirms, then runs the conversion job over the listed drawings.
    void startConversion();

signals:
    // "TEXT変換" and "環境設定": the windows they open bind to these.
    void textWindowRequested();
    void settingsWindowRequested();
    // The settings were written (or failed to be); the program is ending.
    void ending();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildButtons();
    QPushButton* addButton(const QString& name, const QString& caption, QWidget* owner);
    void buildJob();
    void listCleared();
    void jobProgressed(int seen, int total);
    void jobFinished(const ornvale::JobOutcome& outcome);
    void runJob(const JobInputs& inputs);
    // After a job that stopped: asks whether the drawings it left are converted, and does so.
    void offerResume();
    void placeJobProgress();

    Prompter& m_prompter;
    RunValues m_runValues;
    SystemFolderRoles m_systemFolders;
    FolderRoles* m_folders = &m_systemFolders;
    bool m_ending = false;

    QLabel* m_productLabel = nullptr; // Label4
    FileListPanel* m_fileList = nullptr;
    ConversionOptionsPanel* m_options = nullptr;
    QPushButton* m_start = nullptr; // STARTProg
    QPointer<AboutWindow> m_about;

    SystemProgramStarter m_starter;
    JobRunner* m_job = nullptr;
    ConversionResultWindow* m_resultWindow = nullptr;
    AuditReportWindow* m_auditWindow = nullptr;
    QProgressBar* m_jobProgress = nullptr; // outputs seen, over the bottom edge of the list
};

} // namespace ornvale
