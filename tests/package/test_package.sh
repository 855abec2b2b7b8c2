#!/usr/bin/env bash
# Builds the Debian package of a build folder with cpack, installs it with dpkg into a scratch
# root, runs the installed programs, checks the desktop entry, metadata, icons and manual page,
# then removes the package and checks that every file it brought is gone.
#
#   tests/package/test_package.sh BUILD_DIR
#
# The scratch root has a dpkg database of its own, so the machine's packages, files and dpkg
# status are never touched (the test checks the status is byte for byte as before). The
# package's dependencies are not in that database: they are checked in its control data and
# must be installed on this machine, whose libraries the installed programs run with.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(realpath "$1")
package=ornvale
app_id=org.ornvale.Ornvale
icon_sizes=(16 32 48 64 128 256)

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cmake cpack dpkg dpkg-deb dpkg-query desktop-file-validate appstreamcli file; do
    command -v "$tool" >/dev/null || fail "$tool not found"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
: >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/available"
in_root() { dpkg --root="$root" --log="$root/var/log/dpkg.log" --force-not-root "$@"; }
package_state() { dpkg-query --root="$root" -W -f='${db:Status-Status}' "$package" 2>/dev/null || echo not-installed; }
machine_status=$(sha256sum /var/lib/dpkg/status)

echo "== building the package"
cmake --build "$build"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work/out/${package}"_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "expected one ${package}_*.deb, got: ${debs[*]}"
fi
deb=${debs[0]}
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || fail "no CPACK_PACKAGE_VERSION in $build/CPackConfig.cmake"
echo "$(basename "$deb"): $(dpkg-deb -f "$deb" Package Version Depends | tr '\n' ' ')"
[ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || fail "wrong package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6core6 libqt6gui6 libqt6widgets6 fonts-ipafont-gothic; do
    [[ $depends == *"$need"* ]] || fail "Depends lacks $need: $depends"
    dpkg-query -W -f='${db:Status-Status}' "$need" 2>/dev/null | grep -qx installed ||
        fail "$need is not installed on this machine"
done

expected=(
    /usr/bin/ornvale
    /usr/bin/ornvale-cli
    "/usr/share/applications/$app_id.desktop"
    "/usr/share/metainfo/$app_id.metainfo.xml"
    "/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    /usr/share/man/man1/ornvale-cli.1
)
for size in "${icon_sizes[@]}"; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done

host_files() { for path in "${expected[@]}"; do [ -e "$path" ] && echo "$path"; done; true; }
host_before=$(host_files)

echo "== installing"
# The scratch database knows none of the dependencies (checked above): dpkg's complaints about
# them go to a log shown only when the install fails.
in_root --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
[ "$(package_state)" = installed ] || fail "dpkg -i left $package in state $(package_state)"

# Exactly the expected files, no build by-products.
mapfile -t listed < <(dpkg-query --root="$root" -L "$package" |
    while read -r path; do [ -d "$root$path" ] || echo "$path"; done | sort)
mapfile -t wanted < <(printf '%s\n' "${expected[@]}" | sort)
[ "${listed[*]}" = "${wanted[*]}" ] ||
    fail "the package holds other files than expected:$(diff <(printf '%s\n' "${wanted[@]}") <(printf '%s\n' "${listed[@]}") || true)"
for path in "${expected[@]}"; do
    [ -f "$root$path" ] || fail "$path is missing"
done

echo "== running the installed programs"
home="$work/home"
mkdir -p "$home"
run() { env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" XDG_CONFIG_HOME="$home/config" \
    XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 "$@"; }
out=$(run "$root/usr/bin/ornvale-cli" --version)
[ "$out" = "ornvale-cli $version" ] || fail "ornvale-cli --version printed '$out'"
out=$(run "$root/usr/bin/ornvale" --version)
[ "$out" = "ornvale $version" ] || fail "ornvale --version printed '$out'"
out=$(run "$root/usr/bin/ornvale-cli" text --help)
[[ $out == "usage: ornvale-cli text "* && $out == *--replace-mode* ]] ||
    fail "ornvale-cli text --help printed: $out"

echo "== checking the desktop files"
desktop="$root/usr/share/applications/$app_id.desktop"
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
grep -qx 'Exec=ornvale' "$desktop" || fail "$desktop does not start ornvale"
grep -qx "Icon=$app_id" "$desktop" || fail "$desktop does not name the icon $app_id"
grep -q '^Name\[ja\]=' "$desktop" || fail "$desktop has no Japanese name"
grep -q '^Comment\[ja\]=' "$desktop" || fail "$desktop has no Japanese comment"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli rejects the metadata"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "the metadata does not name release $version"
for size in "${icon_sizes[@]}"; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "$png: $(file -b "$png")"
done
file -b "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" | grep -q SVG || fail "the scalable icon is no SVG"

man_page="$root/usr/share/man/man1/ornvale-cli.1"
grep -q '^\.TH ORNVALE\\-CLI 1 ' "$man_page" || fail "$man_page has no title line"
if command -v man >/dev/null; then
    rendered=$(MANWIDTH=100 man --warnings -l "$man_page" 2>"$work/man.err")
    [ ! -s "$work/man.err" ] || fail "man warns: $(cat "$work/man.err")"
    for text in "ornvale-cli text" "--replace-mode" "ornvale-cli convert" "--set-output"; do
        [[ $rendered == *"$text"* ]] || fail "the manual page lacks '$text'"
    done
fi

echo "== removing"
in_root -r "$package"
[ "$(package_state)" != installed ] || fail "$package is still installed"
for path in "${expected[@]}"; do
    [ ! -e "$root$path" ] || fail "$path is still there after dpkg -r"
done
[ "$(sha256sum /var/lib/dpkg/status)" = "$machine_status" ] || fail "the machine's dpkg status changed"
[ "$(host_files)" = "$host_before" ] || fail "the machine's own /usr changed"
echo "PASS: $(basename "$deb") installs, works and removes cleanly"
