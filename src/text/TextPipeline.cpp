#include "TextPipeline.h"

// Placeholder: the pipeline steps arrive with the text transform work.
namespace ornvale {

TextPipeline::TextPipeline(const TextOptions& options) : m_options(options) {}

QString TextPipeline::transform(const QString& value, TextEntityKind) { return value; }

bool TextPipeline::changesNothing() const { return true; }

} // namespace ornvale
