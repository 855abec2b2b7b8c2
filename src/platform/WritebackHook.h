#pragma once

#include <QtGlobal>

#include <functional>

class QFileDevice;

namespace ornvale {

// A hook for a writer that reports how many bytes of `file` it has written so far: it has the
// system start writing every few MiB back to the disk as soon as they are written, so the disk
// works while the writing goes on and a final sync has only the tail left to wait for. Empty
// where the system offers no such call, or the file has no handle.
std::function<void(qint64)> writebackHook(QFileDevice& file);

} // namespace ornvale
