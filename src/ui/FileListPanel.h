#pragma once

#include <QWidget>

namespace ornvale {

class Prompter;

// The file list pair of a working window: List1 (names) and List3 (paths) in one place,
// with Check6 (sort), Check9 (path display), LISTClear and the count label DATACount.
class FileListPanel : public QWidget {
    Q_OBJECT
public:
    explicit FileListPanel(Prompter& prompter, QWidget* parent = nullptr);

private:
    Prompter& m_prompter;
};

} // namespace ornvale
