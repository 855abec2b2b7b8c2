#pragma once

#include "TextOptions.h"

#include <QString>
#include <QStringView>

namespace ornvale {

// What the DXF driver asks of the text conversions: the value to write for one TEXT or MTEXT
// value. The driver knows nothing else of them.
class ValueTransform {
public:
    virtual ~ValueTransform() = default;

    // A view of `value` itself when nothing changes; valid until the next call.
    virtual QStringView transformView(const QString& value, TextEntityKind kind) = 0;
    // True when no value can change, so the driver may copy values without decoding them.
    virtual bool changesNothing() const { return false; }
};

} // namespace ornvale
