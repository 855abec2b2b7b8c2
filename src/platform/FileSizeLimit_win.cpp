#include "FileSizeLimit.h"

namespace ornvale {

// Windows has no file-size signal: a write past a quota fails as it is.
void failWritesPastFileSizeLimit() {}

} // namespace ornvale
