#include "FileListPanel.h"

// Placeholder until the file list arrives.
namespace ornvale {

FileListPanel::FileListPanel(Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_prompter(prompter) {}

} // namespace ornvale
