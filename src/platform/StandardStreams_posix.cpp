#include "StandardStreams.h"

namespace ornvale {

// The streams are byte streams already, and terminals here take UTF-8.
void useUtf8StandardStreams() {}

} // namespace ornvale
