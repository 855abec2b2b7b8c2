#pragma once

#include "TextOptions.h"

#include <QStringView>
#include <QtGlobal>

namespace ornvale {

// One TEXT or MTEXT value the driver changed. The views live only for the call that hands
// the change out.
struct DxfValueChange {
    QStringView inputPath;
    // 1-based line of the value in the input; for a long MTEXT value joined from its "  3"
    // run, the line of the first part.
    qint64 line = 0;
    TextEntityKind kind = TextEntityKind::TextEntity;
    QStringView handle; // group 5, empty when the entity has none
    QStringView layer;  // group 8, empty when the entity has none
    QStringView before; // the whole value, joined when it came in parts
    QStringView after;
};

// Told of every changed value as the driver writes it, in the order of the input. Setting
// none costs the driver nothing: lines are counted and entities' handles and layers kept
// only while one is set.
class DxfChangeObserver {
public:
    virtual ~DxfChangeObserver() = default;
    virtual void valueChanged(const DxfValueChange& change) = 0;
};

} // namespace ornvale
