#include "MainWindow.h"

#include "Prompter.h"

#include <QApplication>

namespace {

// Placeholder prompter until the message box wrapper arrives.
class NullPrompter : public ornvale::Prompter {
public:
    void inform(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return false; }
    void warnRetry(const QString&, const QString&) override {}
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    NullPrompter prompter;
    ornvale::MainWindow window(prompter);
    window.show();
    return QApplication::exec();
}
