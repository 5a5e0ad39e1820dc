#!/usr/bin/env bash
# mime.sh DESKTOP_DIR APP_ID QUENLO_CLI: installs the script file type and
# the desktop entry of DESKTOP_DIR into a scratch XDG_DATA_HOME, then asks
# xdg-mime for the type of a script made by QUENLO_CLI, of the same script
# renamed, of a compound file that is no script, and for the application
# that opens scripts.
set -euo pipefail
desktop_dir=$1 id=$2 cli=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# No desktop session of the machine: xdg-mime asks the shared database itself.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION KDE_SESSION_VERSION \
      GNOME_DESKTOP_SESSION_ID MATE_DESKTOP_SESSION_ID XDG_MENU_PREFIX
export XDG_DATA_HOME=$scratch/data XDG_CONFIG_HOME=$scratch/config XDG_DATA_DIRS=/usr/share
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cp "$desktop_dir/$id.xml" "$XDG_DATA_HOME/mime/packages/"
cp "$desktop_dir/$id.desktop" "$XDG_DATA_HOME/applications/"
# Both warn on standard error about what they cannot read.
update-mime-database "$XDG_DATA_HOME/mime" 2>"$scratch/err"
update-desktop-database "$XDG_DATA_HOME/applications" 2>>"$scratch/err"
[ ! -s "$scratch/err" ] || fail "$(cat "$scratch/err")"

cd "$scratch"
printf 'Sub Main\r\nEnd Sub\r\n' >main.vbs
"$cli" pack demo.tvs --script main.vbs --name Demo
cp demo.tvs demo.dat
# The same compound file with its "Script" stream renamed is no script.
python3 -c "import sys; d = open('demo.tvs', 'rb').read(); n = 'Script'.encode('utf-16-le'); \
assert n in d; open('other.dat', 'wb').write(d.replace(n, 'Scrypt'.encode('utf-16-le')))"
expect() {
    local got
    got=$(xdg-mime query "$1" "$2")
    [ "$got" = "$3" ] || fail "xdg-mime query $1 $2: '$got', expected '$3'"
}
expect filetype demo.tvs application/x-tavrix-script
expect filetype demo.dat application/x-tavrix-script
expect filetype other.dat application/x-ole-storage
expect default application/x-tavrix-script "$id.desktop"
echo "all checks passed"
