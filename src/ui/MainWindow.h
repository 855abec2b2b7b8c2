#pragma once

#include <QWidget>

namespace ornvale {

class Prompter;
class FileListPanel;
class ConversionOptionsPanel;

// Form1, the version conversion window.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(Prompter& prompter, QWidget* parent = nullptr);

private:
    Prompter& m_prompter;
    FileListPanel* m_fileList = nullptr;
    ConversionOptionsPanel* m_options = nullptr;
};

} // namespace ornvale
