#!/usr/bin/env bash
# Installs the Debian packages one purpose needs, and nothing more; quick when they are all present.
#   scripts/bootstrap.sh demo    building Velmor and running it with its peers (the README's first command)
#   scripts/bootstrap.sh package building Velmor and its Debian package
#   scripts/bootstrap.sh tests   all the above, plus what the test suite and the benchmarks use (the second)
#   scripts/bootstrap.sh ci      the above, plus the guard rails, the fuzzers and the stress load
# It only installs: services that come with a package (MPD's, mosquitto's) are left exactly as Debian or
# the machine's owner set them. Velmor's demo and tests start their own copies on private sockets and
# free ports, so the user's jukebox and broker go on undisturbed.
set -euo pipefail

purpose=${1:-tests}

reasons=()
groups=()
add() { # add WHY PACKAGE...
    reasons+=("$1")
    shift
    groups+=("$*")
}
add_build() {
    add "to build Velmor:" g++ cmake ninja-build pkg-config ccache qt6-base-dev qt6-base-dev-tools \
        libmpdclient-dev libmosquitto-dev libssl-dev
}
add_peers() {
    add "for the peers the demo runs privately (session bus, MPD, broker, generated music, virtual display):" \
        dbus dbus-bin mpd mpc sox flac xvfb imagemagick fonts-dejavu-core fonts-liberation2 mosquitto \
        mosquitto-clients
}
add_package() {
    add "to make the Debian package (its Depends, read off the binary):" dpkg-dev file
}
add_tests() {
    add "to build the tests and benchmarks:" libgtest-dev libgmock-dev libbenchmark-dev libxcb1-dev
    add "for what the tests check (certificates, the desktop entries, the user unit):" openssl \
        desktop-file-utils systemd
}
add_ci() {
    add "for CI's guard rails, the fuzzers and the stress runs:" clang libclang-rt-14-dev clang-format \
        clang-tidy stress-ng
}
case $purpose in
demo) add_build && add_peers && who="the demo needs" ;;
package) add_build && add_package && who="the package needs" ;;
tests) add_build && add_peers && add_package && add_tests && who="the tests need" ;;
ci) add_build && add_peers && add_package && add_tests && add_ci && who="CI needs" ;;
*)
    echo "usage: $0 demo|package|tests|ci" >&2
    exit 2
    ;;
esac

installed() {
    dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

missing=()
report=()
for i in "${!groups[@]}"; do
    lacking=()
    for package in ${groups[i]}; do
        installed "$package" || lacking+=("$package")
    done
    if ((${#lacking[@]})); then
        missing+=("${lacking[@]}")
        report+=("  ${reasons[i]} ${lacking[*]}")
    fi
done
((${#missing[@]})) || exit 0

if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
echo "bootstrap: $who Debian packages that are not installed yet${sudo:+; sudo will ask to install them}:"
printf '%s\n' "${report[@]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
