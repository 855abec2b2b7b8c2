#!/usr/bin/env python3
"""Compiles every C++ source of src/ and tools/ for Windows, syntax only, with MinGW-w64.

The file list and each file's definitions and include folders come from the compile-commands
database of a Linux build, so nothing here is a second list to keep. Sources ending in _posix.cpp
are left out; the _win.cpp files that CMake leaves out on Linux are taken in, with the flags of a
source of the same folder. Nothing is linked or run: this proves that the Windows branches compile
against the Qt headers, not that they work.

usage: windows_syntax_check.py BUILD_DIR [--jobs N] [--compiler CXX]
"""

import argparse
import concurrent.futures
import json
import os
import shlex
import subprocess
import sys

# Warnings that matter on Windows too; -Wpedantic is left out because the Win32 headers break it.
WARNINGS = ["-Wall", "-Wextra", "-Wold-style-cast", "-Wnon-virtual-dtor", "-Werror"]
WINDOWS_DEFINES = ["-DUNICODE", "-D_UNICODE", "-DWIN32_LEAN_AND_MEAN", "-DNOMINMAX"]


def flags_of(command):
    """The -D, -I and -isystem flags of one compile command, in their order."""
    args = shlex.split(command)
    kept = []
    i = 0
    while i < len(args):
        arg = args[i]
        if arg in ("-I", "-isystem", "-D"):
            kept += [arg, args[i + 1]]
            i += 2
            continue
        if arg.startswith(("-D", "-I")):
            kept.append(arg)
        i += 1
    return kept


def sources(build_dir, source_dir):
    """(file, flags) for every source to check."""
    with open(os.path.join(build_dir, "compile_commands.json"), encoding="utf-8") as f:
        database = json.load(f)
    roots = tuple(os.path.join(source_dir, d) + os.sep for d in ("src", "tools"))
    checked = {}
    folder_flags = {}
    for entry in database:
        path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        if not path.startswith(roots):
            continue
        command = entry.get("command") or shlex.join(entry["arguments"])
        flags = flags_of(command)
        folder_flags.setdefault(os.path.dirname(path), flags)
        if not path.endswith("_posix.cpp"):
            checked[path] = flags
    for folder, flags in folder_flags.items():
        for name in sorted(os.listdir(folder)):
            if name.endswith("_win.cpp"):
                checked.setdefault(os.path.join(folder, name), flags)
    return sorted(checked.items())


def check(compiler, path, flags):
    command = [compiler, "-std=c++20", "-fsyntax-only", *WINDOWS_DEFINES, *WARNINGS, *flags, path]
    result = subprocess.run(command, capture_output=True, text=True)
    return path, result.returncode, result.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--compiler", default="x86_64-w64-mingw32-g++-posix")
    args = parser.parse_args()
    source_dir = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    files = sources(os.path.abspath(args.build_dir), source_dir)
    if not files:
        print("Windows syntax check: no sources found in the compile-commands database")
        return 1
    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
        for path, code, errors in pool.map(lambda item: check(args.compiler, *item), files):
            if code != 0:
                failed += 1
                print(f"FAILED {os.path.relpath(path, source_dir)}\n{errors}", file=sys.stderr)
    windows_only = sum(1 for path, _ in files if path.endswith("_win.cpp"))
    print(f"Windows syntax check: {len(files) - failed} passed, {failed} failed "
          f"({len(files)} sources, {windows_only} of them Windows-only)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
