#!/usr/bin/env bash
# Builds Qt Core, Gui, Widgets and Test for 64-bit Windows from Debian's own qt6-base source
# (with Debian's patches), once, into a cache outside the checkout. Prints the install prefix.
#
#   cmake/windows/build-qt.sh [--print-prefix]
#
# The cache folder is named by the Qt version and a hash of the options below, so a change of
# options builds a new one and an unchanged one is reused. ORNVALE_CACHE_DIR moves the cache
# (default: $XDG_CACHE_HOME/ornvale, or ~/.cache/ornvale).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

QT_VERSION=6.4.2
# The host Qt (moc, rcc, uic) must be this same version.
QT_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    # No ICU on Windows: Ornvale's code page 932 codec needs none.
    -DFEATURE_icu=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_androiddeployqt=OFF
    # Debian's source lacks src/3rdparty/wintab (non-free), which tablet events need.
    -DFEATURE_tabletevent=OFF
    # Dynamic OpenGL stays on: the 6.4.2 Windows platform plugin does not build without it.
    -DFEATURE_opengl_dynamic=ON
)

cache_root=${ORNVALE_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/ornvale}
# The compiler takes part in the name: another MinGW-w64 release builds a Qt of its own.
options_hash=$( (printf '%s\n' "${QT_OPTIONS[@]}"; x86_64-w64-mingw32-g++-posix --version | head -n 1) |
    sha256sum | cut -c1-12)
prefix="$cache_root/qt-$QT_VERSION-mingw-w64-$options_hash"

if [ "${1:-}" = "--print-prefix" ]; then
    echo "$prefix"
    exit 0
fi
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

# The source and build folders stay until the build has succeeded, so an interrupted build
# goes on where it stopped.
work="$cache_root/work-$QT_VERSION-$options_hash"
mkdir -p "$work"
if [ ! -f "$work/src/.unpacked" ]; then
    rm -rf "$work/src" "$work/apt"

    # A private apt source list for Debian's source packages; the system's own lists stay untouched.
    mkdir -p "$work/apt/parts" "$work/apt/lists/partial"
    cat >"$work/apt/parts/debian-src.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt_private=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$work/apt/parts"
        -o "Dir::State::Lists=$work/apt/lists" -o APT::Sandbox::User=root)
    (
        cd "$work"
        apt-get "${apt_private[@]}" -qq update >&2
        apt-get "${apt_private[@]}" -qq source --download-only qt6-base >&2
        dsc=$(ls qt6-base_"$QT_VERSION"+*.dsc) || {
            echo "Debian's qt6-base source is not version $QT_VERSION (the host Qt's): $(ls qt6-base_*.dsc)" >&2
            exit 1
        }
        # Unpacks the upstream tarball and applies Debian's patch series (its security fixes among them).
        dpkg-source --no-check -x "$dsc" src >&2
        touch src/.unpacked
    )
fi

jobs=${JOBS:-$(nproc)}
cmake -S "$work/src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${QT_OPTIONS[@]}" >&2
cmake --build "$work/build" --parallel "$jobs" >&2
rm -rf "$prefix"
cmake --install "$work/build" >&2
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
