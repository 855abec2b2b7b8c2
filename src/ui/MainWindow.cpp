#include "MainWindow.h"

#include "ConversionOptionsPanel.h"
#include "FileListPanel.h"

#include <QHBoxLayout>

namespace ornvale {

MainWindow::MainWindow(Prompter& prompter, QWidget* parent) : QWidget(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("  Ornvale"));
    auto* layout = new QHBoxLayout(this);
    m_fileList = new FileListPanel(m_prompter, this);
    m_options = new ConversionOptionsPanel(this);
    layout->addWidget(m_fileList);
    layout->addWidget(m_options);
}

} // namespace ornvale
