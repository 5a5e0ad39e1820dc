# Shared set-up of ./quenlo and ./test: install missing Debian packages, then
# configure and build the Release build in build/ or, with QUENLO_CHECKED=1,
# the checked build in build-checked/ (Debug with assertions, address and
# undefined-behaviour sanitizers). Sourced, not run.
set -euo pipefail

QUENLO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUENLO_CHECKED=${QUENLO_CHECKED:-0}
if [ "$QUENLO_CHECKED" = "1" ]; then
    QUENLO_BUILD="$QUENLO_ROOT/build-checked"
    quenlo_build_options=(-DCMAKE_BUILD_TYPE=Debug -DQUENLO_SANITIZE=ON)
else
    QUENLO_BUILD="$QUENLO_ROOT/build"
    quenlo_build_options=(-DCMAKE_BUILD_TYPE=Release)
fi

quenlo_packages=(
    g++ cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    fonts-liberation
    python3 python3-olefile libgsf-bin
    clang-14 libclang-rt-14-dev
    # The icons rendered from their drawing; the Debian package (dpkg-shlibdeps
    # finds its dependencies, file tells it the programs) and the desktop's
    # validators and file-type tools that the package tests run.
    librsvg2-bin dpkg-dev file
    desktop-file-utils appstream libxml2-utils man-db
    shared-mime-info xdg-utils libfile-mimeinfo-perl
    # The crash test: the real program on an X server of its own, typed into.
    xvfb xdotool x11-xkb-utils
)

quenlo_install_packages() {
    local missing=()
    local p
    for p in "${quenlo_packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Quenlo needs these Debian packages; install them as root with:" >&2
        echo "apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >&2
}

quenlo_build() {
    local generator=()
    if [ ! -f "$QUENLO_BUILD/CMakeCache.txt" ]; then
        generator=(-G Ninja)
    fi
    cmake -S "$QUENLO_ROOT" -B "$QUENLO_BUILD" "${generator[@]}" "${quenlo_build_options[@]}" >/dev/null
    cmake --build "$QUENLO_BUILD" -j2 "$@"
}

# The sanitizers' settings for the checked build: any report fails the test
# that caused it; leaks that Qt and the system libraries keep on purpose (one
# per process, for its lifetime) are suppressed by name in tools/lsan.supp.
# An allocation that cannot be met returns null as the C library's does (the
# settings library reserves what a stored list claims and copes with a null).
quenlo_sanitizer_environment() {
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:check_initialization_order=1:allocator_may_return_null=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$QUENLO_ROOT/tools/lsan.supp:print_suppressions=0"
}
