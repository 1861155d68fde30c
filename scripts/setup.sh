#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, and
# generates the de_DE.UTF-8 locale the number-text tests run under.
# Safe to run again: it only installs what is missing.
set -euo pipefail

PACKAGES=(qt6-base-dev qt6-serialport-dev libmodbus-dev socat xvfb mbpoll
          poppler-utils libgtest-dev libgmock-dev cmake ninja-build g++
          pkg-config locales)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "setup: generating de_DE.UTF-8"
    if [ -f /etc/locale.gen ]; then
        $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
        $SUDO locale-gen >/dev/null
    else
        $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
    fi
fi
