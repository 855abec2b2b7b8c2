#pragma once

#include "TextOptions.h"
#include "ValueTransform.h"

#include <QString>
#include <QStringView>

namespace ornvale {

// TextChangS: transforms one TEXT or MTEXT value by the options and counts the changes.
// In order: value condition, entity kind, contains-conditions (a value failing one comes back
// untouched), replacement, width conversion (all characters, or alphabet / digits / katakana by
// the tables, each inside a fresh special-code protection), case (inside the protection of
// paragraph breaks, character escapes and MTEXT formatting codes), hiragana / katakana. Each step
// that leaves the value different from the value after the last counted step adds one to its
// counter, so a change undone by a later step counts for both.
class TextPipeline : public ValueTransform {
public:
    explicit TextPipeline(const TextOptions& options);

    // Returns the value to write; the input itself when no step applies.
    QString transform(const QString& value, TextEntityKind kind);
    // The same without a copy: a view of `value`, of the replacement text or of a work buffer,
    // valid until the next call.
    QStringView transformView(const QString& value, TextEntityKind kind) override;

    const TextCounters& counters() const { return m_counters; }
    void resetCounters() { m_counters = {}; }
    // True when no option could change any value (the driver then copies without decoding).
    bool changesNothing() const override;

private:
    // The value between steps: a view of the input, of `replaceText` or of a work buffer, and
    // the whole string it is when it is one (handed out without a copy).
    struct Current {
        QStringView text;
        const QString* whole = nullptr;
    };

    Current run(const QString& value, TextEntityKind kind);
    void replace(Current& v);
    void convertWidth(Current& v, TextEntityKind kind);
    template <class Step> void runStep(Current& v, double& counter, Step&& step);

    TextOptions m_options;
    TextCounters m_counters;
    bool m_changesNothing = false;
    // Steps write into one buffer while reading the other; neither is ever handed out as a
    // string, so they keep their capacity and a value costs no allocation of its own.
    QString m_buffers[2];
    int m_nextBuffer = 0;
};

} // namespace ornvale
