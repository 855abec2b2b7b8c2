#pragma once

namespace ornvale {

// Makes stdout and stderr carry exactly the bytes written to them, UTF-8 on every platform.
// On Windows the C runtime would turn each line feed into CR LF (so the CR LF pairs of the
// program's messages became CR CR LF) and a console would show UTF-8 in its own code page; a
// console there is switched to UTF-8 until the program ends.
void useUtf8StandardStreams();

// Whether stderr is a terminal (a console on Windows), where progress may be shown.
bool stderrIsTerminal();

} // namespace ornvale
