#!/usr/bin/env bash
# Installs every Debian package Velmor's build, tests and demo need. Quick when all are present.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libmpdclient-dev libmosquitto-dev libssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev libxcb1-dev
    # tests and demo: a private session bus, a throwaway MPD, generated music, a virtual display
    dbus dbus-bin mpd mpc sox flac xvfb xauth x11-apps imagemagick fonts-dejavu-core fonts-liberation2
    # HomeVision over MQTT: a throwaway broker, its command-line clients, certificates for the TLS test
    mosquitto mosquitto-clients openssl
    # end-to-end tests: an X client that sees the program's windows, a check of the installed desktop entry,
    # systemd-analyze for the user unit, dpkg-shlibdeps for the Debian package's Depends
    libxcb1-dev desktop-file-utils systemd dpkg-dev
    # fuzzing and sanitizers
    clang libclang-rt-14-dev
    # the guard rails CI runs before the tests; the load for scripts/stress.sh
    clang-format clang-tidy stress-ng
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "bootstrap: installing ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# MPD and mosquitto are only ever started by the tests and the demo, on private sockets and free ports;
# the system ones stay off.
if command -v systemctl >/dev/null 2>&1 && systemctl is-enabled mpd >/dev/null 2>&1; then
    systemctl disable --now mpd mpd.socket >/dev/null 2>&1 || true
fi
if command -v systemctl >/dev/null 2>&1 && systemctl is-enabled mosquitto >/dev/null 2>&1; then
    systemctl disable --now mosquitto >/dev/null 2>&1 || true
fi
