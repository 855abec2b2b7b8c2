#include "MainWindow.h"

#include "AboutWindow.h"
#include "AuditReportWindow.h"
#include "ConversionOptionsPanel.h"
#include "ConversionResultWindow.h"
#include "FileListPanel.h"
#include "Messages.h"
#include "Prompter.h"
#include "SaveSettings.h"
#include "SettingsWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ornvale {

MainWindow::MainWindow(Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("  Ornvale"));
    m_fileList = new FileListPanel(m_prompter, this);
    m_options = new ConversionOptionsPanel(this);

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_fileList, 1);
    middle->addWidget(m_options);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildHeader());
    layout->addLayout(middle, 1);
    layout->addWidget(buildButtons());
    buildJob();
}

MainWindow::~MainWindow() {
    delete m_about;
    delete m_resultWindow;
    delete m_auditWindow;
}

QWidget* MainWindow::buildHeader() {
    auto* header = new QWidget(this);
    m_productLabel = new QLabel(designProductLabel(), header);
    m_productLabel->setObjectName(QStringLiteral("Label4"));
    m_productLabel->setFrameShape(QFrame::Panel);
    m_productLabel->setFrameShadow(QFrame::Sunken);
    m_productLabel->setMinimumWidth(2400 / 15);
    QFont bold = m_productLabel->font();
    bold.setBold(true);
    m_productLabel->setFont(bold);
    QPushButton* ver = addButton(QStringLiteral("Command1"), QStringLiteral("Ver"), header);
    connect(ver, &QPushButton::clicked, this, &MainWindow::showAbout);

    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_productLabel);
    row->addStretch(1);
    row->addWidget(ver);
    return header;
}

QWidget* MainWindow::buildButtons() {
    auto* buttons = new QWidget(this);
    QPushButton* text = addButton(QStringLiteral("Command2"), QStringLiteral("TEXT変換"), buttons);
    QPushButton* settings =
        addButton(QStringLiteral("Command3"), QStringLiteral("環境設定"), buttons);
    m_start = addButton(QStringLiteral("STARTProg"), QStringLiteral("変換"), buttons);
    QPushButton* end = addButton(QStringLiteral("ProgEND"), QStringLiteral("END"), buttons);
    connect(text, &QPushButton::clicked, this, &MainWindow::textWindowRequested);
    connect(settings, &QPushButton::clicked, this, &MainWindow::settingsWindowRequested);
    connect(end, &QPushButton::clicked, this, &MainWindow::endProgram);

    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(text);
    row->addWidget(settings);
    row->addStretch(1);
    row->addWidget(m_start);
    row->addWidget(end);
    return buttons;
}

QPushButton* MainWindow::addButton(const QString& name, const QString& caption, QWidget* owner) {
    auto* button = new QPushButton(caption, owner);
    button->setObjectName(name);
    button->setMinimumWidth(1100 / 15);
    return button;
}

void MainWindow::applyStartup(const StartupResult& result) {
    m_runValues = result.runValues;
    m_productLabel->setText(result.productLabel.value_or(designProductLabel()));
    QLabel* count = m_fileList->countLabel();
    QFont large = count->font();
    large.setPointSize(14);
    count->setFont(large);
    m_fileList->setAutocadSelection(m_runValues.autocadSelection);
    m_options->applyProduct(m_runValues.autocadSelection);
}

AboutWindow* MainWindow::aboutWindow() const {
    return m_about;
}

void MainWindow::showAbout() {
    if (!m_about)
        m_about = new AboutWindow;
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::attachSettingsWindow(SettingsWindow* window) {
    connect(this, &MainWindow::settingsWindowRequested, window, &SettingsWindow::open);
}

void MainWindow::endProgram() {
    if (m_ending)
        return;
    m_ending = true;
    // A failed write still ends the program, but the user learns what was not kept.
    const SaveSettingsResult saved = saveSettings(m_runValues, *m_folders);
    if (const std::optional<QString> message = saveSettingsMessage(saved, m_runValues))
        m_prompter.inform(*message, confirmTitle());
    emit ending();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

// Closing through the frame is the same as the end button, so settings are never lost silently.
void MainWindow::closeEvent(QCloseEvent* event) {
    endProgram();
    event->accept();
}

} // namespace ornvale
