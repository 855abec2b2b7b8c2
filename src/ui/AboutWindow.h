#pragma once

#include <QWidget>

namespace ornvale {

// The about window: the application title and its version, shown without blocking.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // "Ver " and the program's major, minor and revision numbers.
    static QString versionText();
};

} // namespace ornvale
