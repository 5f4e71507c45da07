#!/usr/bin/env bash
# The Windows side: cross-builds windows/ (velmor-dde-relay.exe and the Windows HomeVision stand-in)
# into build/windows with mingw-w64, runs its tests under wine, checks that the relay needs only
# Windows' own DLLs, and packs velmor-dde-relay-VERSION-win64.zip. Installs the Debian packages it
# needs first, and fetches libmosquitto's source from Debian through an apt configuration of its own
# under build/windows (the system's apt sources stay as they are).
# Afterwards the Linux suite finds the Windows build there for the relay's tests and the end-to-end run
# over the relay.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows
wine_folder=/usr/lib/wine
started=$SECONDS
step_started=$SECONDS
step_name=
# step TEXT: ends the step before (saying how long it took) and begins the next.
step() {
    [ -z "$step_name" ] || echo "windows.sh: $step_name took $((SECONDS - step_started)) s"
    step_name=$1
    step_started=$SECONDS
    [ -z "$step_name" ] || echo "windows.sh: $step_name"
}

# What each package is for, so that a request for sudo says why.
declare -A purposes=(
    [g++-mingw-w64-x86-64-posix]="the cross compiler for 64-bit Windows (its POSIX-threads flavour, which the build uses)"
    [wine64]="runs the Windows programs for the tests"
    [dpkg-dev]="unpacks libmosquitto's Debian source (apt-get source)"
    [googletest]="GoogleTest's sources, built for Windows"
    [cmake]="builds windows/ and packs the ZIP"
    [ninja-build]="builds windows/"
)
missing=()
for package in "${!purposes[@]}"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$package")
done
if ((${#missing[@]})); then
    step "installing packages"
    sudo=
    if [ "$(id -u)" -ne 0 ]; then
        sudo=sudo
        echo "windows.sh: the Windows build needs these Debian packages; installing them with sudo:"
    else
        echo "windows.sh: installing the Debian packages the Windows build needs:"
    fi
    for package in "${missing[@]}"; do echo "    $package: ${purposes[$package]}"; done
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
mkdir -p "$build"

# libmosquitto's source as Debian ships it, for the archive this machine already installs from: the
# same archives, with deb-src, in a sources list, lists and cache of the build's own.
unpacked_source() { find "$build/mosquitto" -mindepth 1 -maxdepth 1 -type d -name 'mosquitto-*' 2>/dev/null || true; }
source_dir=$(unpacked_source)
if [ -z "$source_dir" ]; then
    step "fetching libmosquitto's source from Debian"
    apt_dir=$build/apt
    rm -rf "$apt_dir" "$build/mosquitto"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d" "$build/mosquitto"
    apt-get indextargets --format 'deb-src $(REPO_URI) $(RELEASE) $(COMPONENT)' \
        'Identifier: Packages' 'Origin: Debian' | sort -u >"$apt_dir/sources.list"
    if ! [ -s "$apt_dir/sources.list" ]; then
        echo "windows.sh: this machine's apt knows no Debian archive yet; run apt-get update first" >&2
        exit 1
    fi
    apt_options=(-q -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
        -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache")
    # As root, apt would hand the downloads to its own user, who may not write here.
    [ "$(id -u)" -ne 0 ] || apt_options+=(-o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" update >"$apt_dir/update.log" 2>&1 ||
        { cat "$apt_dir/update.log" >&2; exit 1; }
    (cd "$build/mosquitto" && apt-get "${apt_options[@]}" source mosquitto >"$apt_dir/source.log" 2>&1) ||
        { cat "$apt_dir/source.log" >&2; exit 1; }
    source_dir=$(unpacked_source)
fi

# One wine prefix for every Windows test, headless: no display driver at all.
prefix=$build/wine-prefix
export WINEPREFIX=$prefix WINEDEBUG=-all
if ! [ -f "$prefix/.headless" ]; then
    step "making the wine prefix $prefix"
    rm -rf "$prefix"
    WINEDLLOVERRIDES="mscoree,mshtml=" "$wine_folder/wine64" wineboot --init >"$build/wineboot.log" 2>&1
    "$wine_folder/wine64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$build/wineboot.log" 2>&1
    "$wine_folder/wineserver" -w
    touch "$prefix/.headless"
fi

step "building windows/ into $build"
cmake -S windows -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/windows/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVELMOR_MOSQUITTO_SOURCE="$source_dir" -DVELMOR_WINE_PREFIX="$prefix" >/dev/null
cmake --build "$build"

step "running the Windows tests under wine"
status=0
ctest --test-dir "$build" --output-on-failure -j2 || status=$?
"$wine_folder/wineserver" -k 2>/dev/null || true
((status == 0)) || exit "$status"

step "checking that the relay needs only Windows' own DLLs"
relay=$build/relay/velmor-dde-relay.exe
windows_dlls='^(ADVAPI32|KERNEL32|USER32|SHELL32|WS2_32|msvcrt)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$relay" | sed -n 's/^[[:space:]]*DLL Name: //p')
if grep -Ev "$windows_dlls" <<<"$imports"; then
    echo "windows.sh: velmor-dde-relay.exe needs the DLLs above, which Windows does not have" >&2
    exit 1
fi
echo "windows.sh: velmor-dde-relay.exe imports only $(tr '\n' ' ' <<<"$imports")"

step "packing the ZIP"
(cd "$build" && cpack -G ZIP --config CPackConfig.cmake >/dev/null)
zip=$(ls "$build"/velmor-dde-relay-*-win64.zip)
echo "windows.sh: $zip holds:"
(cd "$build" && cmake -E tar tvf "$zip")
step ""
echo "windows.sh: everything passed in $((SECONDS - started)) s"
