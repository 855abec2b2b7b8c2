#!/usr/bin/env bash
# Installs what Ornvale needs on Debian 12, builds it, and either starts it or runs every test.
#
#   ./setup.sh run      build and start ornvale
#   ./setup.sh test     build and run all tests: the formatting check, the Debug build's tests,
#                       the Windows build (MinGW-w64, Qt built once from Debian's source and
#                       cached) with its tests under Wine, the Debian package (built, installed
#                       into a scratch root, checked and removed again), the ASan+UBSan build
#                       with leak checks (and without SSE2 code), the ThreadSanitizer build of
#                       every test that starts threads and the fuzz targets (for a bounded
#                       time); warnings are errors here
#   ./setup.sh windows  build the Windows programs and their portable zip
#
# Works as root and, with sudo, as a normal user.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    cmake ninja-build g++ clang clang-format libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    fonts-ipafont-gothic xvfb xauth
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 locales x11-utils
    dpkg-dev xz-utils perl python3
    librsvg2-bin file desktop-file-utils appstream man-db
)
JOBS=${JOBS:-$(nproc)}
FUZZ_SECONDS=${FUZZ_SECONDS:-30}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    fi
}

# Wine gives Windows programs the ANSI code page of the locale it runs in: 932 needs ja_JP.UTF-8.
ensure_japanese_locale() {
    locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return
    as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
}

build() { # build <dir> [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j"$JOBS"
}

check_format() {
    local bad
    bad=$(git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror 2>&1 | grep -c 'error:' || true)
    if [ "$bad" != "0" ]; then
        echo "clang-format would change these files:"
        git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror 2>&1 | grep 'error:' | cut -d: -f1 | sort -u
        return 1
    fi
    echo "Formatting: ok"
}

# A Release build for /usr without tests; its one test builds the package with cpack, installs it
# into a scratch root, checks it and removes it.
package_test() {
    build build-pkg -DCMAKE_BUILD_TYPE=Release -DORNVALE_BUILD_TESTS=OFF -DORNVALE_BUILD_BENCH=OFF \
        -DCMAKE_INSTALL_PREFIX=/usr -DORNVALE_PACKAGE_TEST=ON
    ctest --test-dir build-pkg -L package --output-on-failure
}

# Every test labelled `threads` (its code starts threads, or a program it runs does), built with
# ThreadSanitizer together with the programs it runs (its target's dependencies).
run_thread_sanitizer() {
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORNVALE_TSAN=ON \
        -DORNVALE_BUILD_BENCH=OFF -DORNVALE_WERROR=ON
    local threaded
    mapfile -t threaded < <(ctest --test-dir build-tsan -N -L threads | sed -n 's/^ *Test *#[0-9]*: //p')
    [ ${#threaded[@]} -gt 0 ] || { echo "no test is labelled threads" >&2; return 1; }
    cmake --build build-tsan --target "${threaded[@]}" -j"$JOBS"
    # tests/tsan.supp says which reports about Qt's own uninstrumented code it silences, and why.
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" \
        ctest --test-dir build-tsan -L threads --output-on-failure -j"$JOBS"
}

# Leak checks on, with nothing suppressed (Qt's libraries report no leak in these tests). The
# build compiles the plain twins of the SSE2 code paths.
run_address_sanitizer() {
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DORNVALE_SANITIZE=ON -DORNVALE_NO_SIMD=ON \
        -DORNVALE_BUILD_BENCH=OFF -DORNVALE_WERROR=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j"$JOBS"
}

# The Windows program: Qt for Windows built from Debian's qt6-base source (once; the cache is
# reused), then Ornvale with MinGW-w64 and its portable zip.
windows_build() { # windows_build [cmake options...]
    local qt
    qt=$(cmake/windows/build-qt.sh)
    build build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/windows/mingw-w64-x86_64.cmake \
        -DORNVALE_WINDOWS_QT="$qt" -DCMAKE_BUILD_TYPE=Release -DORNVALE_BUILD_BENCH=OFF \
        -DORNVALE_WERROR=ON "$@"
    cmake --build build-windows --target ornvale_zip
}

# Every test of the Windows build under Wine, each in a prefix cloned from one made fresh for
# this run, plus the zip unpacked into a new prefix of its own.
windows_test() {
    ensure_japanese_locale
    windows_build -DORNVALE_LINUX_CLI="$PWD/build/src/cli/ornvale-cli"
    rm -rf build-windows/wine-template
    ctest --test-dir build-windows --output-on-failure -j"$JOBS"
}

# Targets that read drawings also start from the DXF fixtures.
reads_dxf() {
    case "$1" in
    fuzz_identify | fuzz_dxf_rewrite | fuzz_text_intake | fuzz_long_mtext) return 0 ;;
    *) return 1 ;;
    esac
}

# A target that finds a crash fails the step with its whole report (the stack included) and the
# input that caused it kept under build-fuzz/artifacts/.
run_fuzzers() {
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DORNVALE_FUZZ=ON -DORNVALE_BUILD_BENCH=OFF -DORNVALE_WERROR=ON
    cmake --build build-fuzz --target ornvale_fuzzers -j"$JOBS"
    local fuzzer name scratch seeds log artifacts=$PWD/build-fuzz/artifacts
    mkdir -p "$artifacts"
    for fuzzer in build-fuzz/tests/fuzz/fuzz_*; do
        [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
        name=$(basename "$fuzzer")
        # New finds go to a scratch folder; the kept corpus and the fixtures are only read.
        scratch=$(mktemp -d)
        seeds=()
        [ -d "tests/data/fuzz/$name" ] && seeds+=("tests/data/fuzz/$name")
        if reads_dxf "$name"; then
            seeds+=("$(mktemp -d)")
            cp tests/data/*/*.dxf "${seeds[-1]}"/
        fi
        log="$artifacts/$name.log"
        echo "Fuzzing $name for ${FUZZ_SECONDS}s from ${#seeds[@]} seed folder(s)"
        if ! "$fuzzer" -max_total_time="$FUZZ_SECONDS" -max_len=65536 -print_final_stats=1 \
            -artifact_prefix="$artifacts/$name-" "$scratch" "${seeds[@]}" >"$log" 2>&1; then
            cat "$log"
            echo "$name failed; its log and the input that caused it are in $artifacts" >&2
            return 1
        fi
        tail -n 5 "$log"
        rm -rf "$scratch"
        if reads_dxf "$name"; then rm -rf "${seeds[-1]}"; fi
    done
}

case "${1:-}" in
run)
    install_packages
    build build -DCMAKE_BUILD_TYPE=Release -DORNVALE_BUILD_TESTS=OFF -DORNVALE_BUILD_BENCH=OFF
    exec build/src/ornvale
    ;;
test)
    install_packages
    check_format
    build build -DCMAKE_BUILD_TYPE=Debug -DORNVALE_WERROR=ON
    ctest --test-dir build --output-on-failure -j"$JOBS"
    windows_test
    package_test
    run_address_sanitizer
    run_thread_sanitizer
    run_fuzzers
    ;;
windows)
    install_packages
    windows_build
    echo "Windows zip: build-windows/$(cd build-windows && ls ornvale-*-win64.zip)"
    ;;
*)
    echo "usage: $0 run|test|windows" >&2
    exit 2
    ;;
esac
