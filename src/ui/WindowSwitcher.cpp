#include "WindowSwitcher.h"

#include "MainWindow.h"
#include "MessageBox.h"
#include "TextWindow.h"

namespace ornvale {

WindowSwitcher::WindowSwitcher(MainWindow& main, Prompter& prompter)
    : QObject(&main), m_main(main), m_prompter(prompter) {
    connect(&m_main, &MainWindow::textWindowRequested, this, &WindowSwitcher::showTextWindow);
}

WindowSwitcher::~WindowSwitcher() = default;

void WindowSwitcher::createTextWindow() {
    m_text = std::make_unique<TextWindow>(m_prompter, m_main.runValues().autocadSelection);
    connect(m_text.get(), &TextWindow::mainWindowRequested, this, &WindowSwitcher::showMainWindow);
    connect(m_text.get(), &TextWindow::aboutRequested, &m_main, &MainWindow::showAbout);
    // The same end as the main window's: the settings are written once, then the program ends.
    connect(m_text.get(), &TextWindow::endRequested, &m_main, &MainWindow::endProgram);
}

void WindowSwitcher::showTextWindow() {
    // The result windows belong to the main window's batch and go with it.
    m_main.hideResultWindows();
    if (!m_text)
        createTextWindow();
    m_text->move(m_main.pos());
    m_text->show();
    m_main.hide();
    setMessageOwner(m_text.get());
}

void WindowSwitcher::showMainWindow() {
    m_main.move(m_text->pos());
    m_main.show();
    m_text->hide();
    setMessageOwner(&m_main);
}

// Message boxes centre on the window the user is looking at.
void WindowSwitcher::setMessageOwner(QWidget* owner) {
    if (auto* boxes = dynamic_cast<MessageBox*>(&m_prompter))
        boxes->setOwner(owner);
}

} // namespace ornvale
