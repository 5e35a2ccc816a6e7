#!/usr/bin/env bash
# Installs the build tree into a temporary folder and checks what lands where,
# with the desktop's own validators:
#   tests/program/install_test.sh BUILD_DIR PREFIX AUTOSTART_DIR
set -euo pipefail
build=$1 prefix=$2 autostart=$3
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR=$dest cmake --install "$build" >/dev/null
root=$dest$prefix

# One desktop file id names the menu entry, the autostart entry, the icon and
# the metadata.
entries=("$root"/share/applications/*.desktop)
[ ${#entries[@]} -eq 1 ] && [ -f "${entries[0]}" ] || { echo "FAIL: not one menu entry: ${entries[*]}" >&2; exit 1; }
id=$(basename "${entries[0]}" .desktop)

for f in bin/vantrel libexec/vantrel/vantrel-website; do
  [ -x "$root/$f" ] || fail "no program $prefix/$f"
done
for f in share/vantrel/trumpet1.wav share/vantrel/website/index.html share/man/man1/vantrel.1 \
         share/icons/hicolor/scalable/apps/$id.svg share/doc/vantrel/copyright; do
  [ -s "$root/$f" ] || fail "no $prefix/$f"
done
for side in 16 22 24 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${side}x${side}/apps/$id.png
  file "$png" | grep -q "PNG image data, $side x $side," || fail "icon at $side: $(file "$png")"
done

# The menu entry and the autostart entry, the same desktop file id.
desktop-file-validate "$root/share/applications/$id.desktop" "$dest$autostart/$id.desktop" || fail "desktop-file-validate"
grep -qx "Icon=$id" "$root/share/applications/$id.desktop" || fail "the menu entry names another icon"
grep -qx "Exec=vantrel" "$root/share/applications/$id.desktop" || fail "the menu entry runs another program"

appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/share/metainfo/$id.metainfo.xml" \
  || fail "the metadata launches another desktop file"

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/share/man/man1/vantrel.1" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page: $warnings"

# Nothing besides what is listed here: no test programs, no build tools.
unexpected=$(cd "$dest" && find . -type f | sed 's|^\.||' | grep -v -e "^$prefix/bin/vantrel$" \
  -e "^$prefix/libexec/vantrel/vantrel-website$" -e "^$prefix/share/vantrel/" -e "^$prefix/share/man/man1/vantrel.1$" \
  -e "^$prefix/share/icons/hicolor/.*/apps/$id\.\(png\|svg\)$" -e "^$prefix/share/applications/$id.desktop$" \
  -e "^$autostart/$id.desktop$" -e "^$prefix/share/metainfo/$id.metainfo.xml$" -e "^$prefix/share/doc/vantrel/copyright$" || true)
[ -z "$unexpected" ] || fail "installed besides: $unexpected"

[ "$failures" -eq 0 ] || exit 1
echo "all passed"
