#!/usr/bin/env bash
# The Debian package as a user meets it: CPack builds it from the install rules, lintian,
# appstreamcli and desktop-file-validate accept it, dpkg installs it, the menu entry's Exec line
# starts it, its data file lands in the user's data folder, and dpkg removes it again without
# touching that file.
# dpkg works on this machine's own file system seen through overlays in a mount namespace of
# its own: the machine, its package database and every other process never see the package.
set -uo pipefail

if [ "${1:-}" = --inside ]; then
    shift
    exec bash "$(dirname "$0")/deb_install_inside.sh" "$@"
fi

build_dir=$1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
for tool in cpack dpkg-deb lintian appstreamcli desktop-file-validate unshare; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool missing (scripts/install-deps.sh installs it)"; exit 1; }
done
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }

work=$(mktemp -d /tmp/tavlor-deb-XXXXXX)
trap 'rm -rf "$work"' EXIT

# A package directory of its own, so that a `make package` running meanwhile is not disturbed.
if ! cpack --config "$build_dir/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
deb=$(ls "$work"/pkg/tavlor_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: no package built"; exit 1; }

lintian --fail-on error --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian reports errors: $(grep '^E:' "$work/lintian.log" | tr '\n' ' ')"
[ "$(dpkg-deb -f "$deb" Section)" = net ] || fail "section is $(dpkg-deb -f "$deb" Section)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6charts6 libqt6dbus6 libc6 qt6-qpa-plugins; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

mkdir -p "$work/contents"
dpkg-deb -x "$deb" "$work/contents"
app_id=invalid.tavlor.Tavlor
for file in usr/bin/tavlor usr/bin/tavlor-status usr/share/man/man1/tavlor-status.1.gz "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml" \
    usr/share/icons/hicolor/scalable/apps/tavlor.svg usr/share/icons/hicolor/48x48/apps/tavlor.png \
    usr/share/doc/tavlor/copyright usr/share/doc/tavlor/changelog.gz; do
    [ -f "$work/contents/$file" ] || fail "the package lacks /$file"
done
desktop-file-validate "$work/contents/usr/share/applications/$app_id.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$work/contents/usr/share/metainfo/$app_id.metainfo.xml" >"$work/as.log" 2>&1 ||
    fail "metainfo invalid: $(cat "$work/as.log")"
grep -qx 'Categories=Network;Monitor;' "$work/contents/usr/share/applications/$app_id.desktop" ||
    fail "menu categories are not Network;Monitor;"

unshare --mount --propagation private bash "$0" --inside "$deb" "$work" || fail "installed package did not behave"

if [ "$failures" -ne 0 ]; then
    cat "$work/lintian.log"
    exit 1
fi
echo "package builds, validates, installs, starts from the menu and is removed; data kept"
