#pragma once

#include <QWidget>

namespace ornvale {

// The main window's conversion options: format and release buttons, view, audit and purge.
class ConversionOptionsPanel : public QWidget {
    Q_OBJECT
public:
    explicit ConversionOptionsPanel(QWidget* parent = nullptr);
};

} // namespace ornvale
