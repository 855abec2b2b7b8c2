#include "StandardStreams.h"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace ornvale {

namespace {

UINT g_consoleCodePage = 0;

void restoreConsoleCodePage() {
    if (g_consoleCodePage != 0)
        SetConsoleOutputCP(g_consoleCodePage);
}

bool isConsole(FILE* stream) {
    return GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)))) == FILE_TYPE_CHAR;
}

} // namespace

void useUtf8StandardStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if ((isConsole(stdout) || isConsole(stderr)) && g_consoleCodePage == 0) {
        const UINT current = GetConsoleOutputCP();
        if (current != 0 && current != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
            g_consoleCodePage = current;
            std::atexit(restoreConsoleCodePage);
        }
    }
}

bool stderrIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace ornvale
