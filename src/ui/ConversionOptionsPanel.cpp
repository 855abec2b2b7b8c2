#include "ConversionOptionsPanel.h"

// Placeholder until the conversion options arrive.
namespace ornvale {

ConversionOptionsPanel::ConversionOptionsPanel(QWidget* parent) : QWidget(parent) {}

} // namespace ornvale
