#pragma once

#include "TextOptions.h"

namespace ornvale {

// TextChangS: transforms one TEXT or MTEXT value by the options and counts the changes.
class TextPipeline {
public:
    explicit TextPipeline(const TextOptions& options);

    // Returns the value to write; the input itself when no step applies.
    QString transform(const QString& value, TextEntityKind kind);

    const TextCounters& counters() const { return m_counters; }
    void resetCounters() { m_counters = {}; }
    // True when no option could change any value (the driver then copies without decoding).
    bool changesNothing() const;

private:
    TextOptions m_options;
    TextCounters m_counters;
};

} // namespace ornvale
