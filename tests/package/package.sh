#!/usr/bin/env bash
# package.sh BUILD APP_ID VERSION: makes the Debian package of the build folder BUILD,
# unpacks it into a scratch root and checks what it installs: only files
# below /usr, dependencies found by dpkg-shlibdeps, the desktop entry, the
# metadata, the file type, the manual pages, the icons and both programs'
# versions. Any failed check ends the script with a non-zero status.
set -euo pipefail
build=$1 id=$2 version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$scratch/out/quenlo_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$scratch/out")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, Depends: $depends"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ ", $depends" == *", $library "* ]] || fail "Depends lacks $library"
done
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v -e '^\./$' -e '^\./usr/' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Exec=quenlo %f" "$share/applications/$id.desktop" || fail "Exec"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
xmllint --noout "$share/mime/packages/$id.xml" || fail "xmllint"
for page in quenlo quenlo-cli; do
    # man -l renders the page; groff's warnings go to standard error.
    text=$(MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>"$scratch/man.err") || fail "man -l $page"
    [ ! -s "$scratch/man.err" ] || fail "man -l $page: $(cat "$scratch/man.err")"
    grep -q "EXIT STATUS" <<<"$text" || fail "$page.1 has no exit statuses"
done
for size in 16 22 24 32 48 64 128 256; do
    file "$share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size," ||
        fail "icon ${size}x${size}"
done
xmllint --noout "$share/icons/hicolor/scalable/apps/$id.svg" || fail "scalable icon"
[ -s "$share/doc/quenlo/copyright" ] || fail "copyright"

[ "$("$root/usr/bin/quenlo-cli" --version)" = "quenlo $version" ] || fail "quenlo-cli --version"
# Before any window system is reached, so this runs without a display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$root/usr/bin/quenlo" --version)" = "quenlo $version" ] ||
    fail "quenlo --version"
"$root/usr/bin/quenlo" --help | grep -q "^usage: quenlo \[FILE\]" || fail "quenlo --help"
echo "all checks passed"
