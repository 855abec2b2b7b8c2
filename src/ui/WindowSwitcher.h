#pragma once

#include <QObject>

#include <memory>

namespace ornvale {

class MainWindow;
class Prompter;
class TextWindow;

// The two working windows swap in place: "TEXT変換" in the main window and "DXF/DWG変換" in the
// text window hide the one and show the other at the same top-left corner. Neither is ever
// destroyed before the program ends, so both keep their lists and options; the text window
// is created when it is first asked for.
class WindowSwitcher : public QObject {
    Q_OBJECT
public:
    WindowSwitcher(MainWindow& main, Prompter& prompter);
    ~WindowSwitcher() override;

    TextWindow* textWindow() const { return m_text.get(); }

public slots:
    void showTextWindow();
    void showMainWindow();

private:
    void createTextWindow();
    void setMessageOwner(QWidget* owner);

    MainWindow& m_main;
    Prompter& m_prompter;
    std::unique_ptr<TextWindow> m_text;
};

} // namespace ornvale
