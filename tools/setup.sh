# Shared set-up of ./quenlo and ./test: install missing Debian packages, then
# configure and build the Release build in build/. Sourced, not run.
set -euo pipefail

QUENLO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUENLO_BUILD="$QUENLO_ROOT/build"

quenlo_packages=(
    g++ cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    fonts-liberation
    python3 python3-olefile libgsf-bin
    clang-14 libclang-rt-14-dev
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
    cmake -S "$QUENLO_ROOT" -B "$QUENLO_BUILD" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$QUENLO_BUILD" -j2 "$@"
}
