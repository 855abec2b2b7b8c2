#pragma once

namespace ornvale {

// A write past the file-size limit (ulimit -f) then fails like a write to a full disk, and is
// reported for the file it concerns, instead of the signal ending the program without a word
// in the middle of a batch. Programs this one starts get the signal's default back.
void failWritesPastFileSizeLimit();

} // namespace ornvale
