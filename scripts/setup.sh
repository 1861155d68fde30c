#!/usr/bin/env bash
# Installs the Debian packages the program needs, and nothing that is there
# already (so with everything present it needs no root).
#
#   scripts/setup.sh run    what building and running the program needs
#                           (with the simulated relay)
#   scripts/setup.sh bench  that, plus Google Benchmark (scripts/bench.sh)
#   scripts/setup.sh test   that, plus what the tests need, and the
#                           de_DE.UTF-8 locale of the number-text tests and
#                           of the second test run
#
# Missing packages are installed with apt-get, as root or through sudo.
set -euo pipefail

mode="${1:-test}"
RUN_PACKAGES=(qt6-base-dev qt6-serialport-dev libmodbus-dev socat cmake ninja-build g++ pkg-config fonts-liberation2)
TEST_PACKAGES=(xvfb mbpoll poppler-utils libgtest-dev libgmock-dev libbenchmark-dev locales)

case "$mode" in
    run) packages=("${RUN_PACKAGES[@]}") ;;
    bench) packages=("${RUN_PACKAGES[@]}" libbenchmark-dev) ;;
    test) packages=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
    *) echo "usage: scripts/setup.sh run|bench|test" >&2; exit 2 ;;
esac

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "setup: '$*' needs root (run it as root, or install sudo)" >&2
        exit 1
    fi
}

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "$mode" = test ] || exit 0

if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "setup: generating de_DE.UTF-8"
    if [ -f /etc/locale.gen ]; then
        as_root sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    else
        as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
    fi
fi
