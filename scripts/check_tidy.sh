#!/usr/bin/env bash
# Runs the checks of .clang-tidy over the C++ sources: with --all over every one (half an hour on a busy
# two-core machine); otherwise over those a branch changed against the main line, or, on the main line
# itself, over those of the newest change (a merge brings its whole branch), at most eight: the branch
# was checked in full before it was merged.
# scripts/check_tidy.sh [--all]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default

base=
if [ "${1:-}" != --all ]; then
    for candidate in origin/main main; do
        if git rev-parse -q --verify "$candidate^{commit}" >/dev/null; then
            base=$(git merge-base HEAD "$candidate")
            break
        fi
    done
fi
if [ -n "$base" ] && [ "$base" != "$(git rev-parse HEAD)" ]; then
    mapfile -t files < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp'; git ls-files --others --exclude-standard -- '*.cpp')
elif [ -n "$base" ]; then
    # On the main line itself (as CI is) nothing differs: take what the newest change brought, compared
    # with its first parent, so that the check stays near a minute.
    files=()
    if git rev-parse -q --verify 'HEAD^1' >/dev/null; then
        mapfile -t files < <(git diff --name-only --diff-filter=d 'HEAD^1' HEAD -- '*.cpp' | grep -v '^fuzz/' |
            head -n 8)
    fi
else
    mapfile -t files < <(git ls-files -- '*.cpp')
fi
# The fuzz targets build only with the fuzz preset's compiler; windows/ is cross-built, and checked
# below against its own build.
mapfile -t windows_files < <(printf '%s\n' "${files[@]}" | grep '^windows/' || true)
mapfile -t files < <(printf '%s\n' "${files[@]}" | grep -v '^fuzz/' | grep -v '^windows/' | grep -v '^$' || true)
if ((${#files[@]} == 0 && ${#windows_files[@]} == 0)); then
    echo "check_tidy: no C++ source changed"
    exit 0
fi

status=0
if ((${#windows_files[@]})); then
    if ! [ -f build/windows/compile_commands.json ]; then
        echo "check_tidy: windows/ sources changed; scripts/windows.sh makes the build they are checked in" >&2
        exit 1
    fi
    # As the cross compiler sees them: Windows as the target, its own C++ library headers.
    extra=(-extra-arg=--target=x86_64-w64-mingw32)
    while read -r folder; do
        extra+=("-extra-arg=-isystem$folder")
    done < <(x86_64-w64-mingw32-g++-posix -E -x c++ -v - </dev/null 2>&1 |
        sed -n '/#include <...> search starts here:/,/End of search list/p' | grep '^ .*/c++' | sed 's/^ *//')
    echo "check_tidy: ${#windows_files[@]} windows/ file(s)"
    run-clang-tidy -quiet -j 2 -p build/windows "${extra[@]}" -header-filter="^$PWD/(windows|platform)/" \
        "${windows_files[@]/#/^$PWD/}" >build/windows/tidy.log 2>&1 || status=$?
    grep -v -e '^[0-9]* warnings\? generated\.$' -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter' \
        -e '^clang-tidy' build/windows/tidy.log || true
    grep -q 'error:\|warning:' build/windows/tidy.log && status=1
fi
if ((${#files[@]} == 0)); then
    ((status == 0)) && echo "check_tidy: clean" || echo "check_tidy: findings above" >&2
    exit "$status"
fi

# The default preset's compile database (the test run builds there next), and the headers generated
# from the bus interface.
cmake --preset default >/dev/null
mapfile -t generated < <(ninja -C "$build" -t targets all | grep -E '^[^/:][^:]*_(adaptor|interface|proxy)\.h:' | cut -d: -f1 || true)
((${#generated[@]} == 0)) || ninja -C "$build" "${generated[@]}" >/dev/null
# Sources compile against moc and adaptor output of their target; make those before tidying.
mapfile -t autogen < <(ninja -C "$build" -t targets all | grep -E '^[^/:][^:]*_autogen:' | cut -d: -f1 | sort -u || true)
((${#autogen[@]} == 0)) || ninja -C "$build" "${autogen[@]}" >/dev/null

echo "check_tidy: ${#files[@]} file(s)"
run-clang-tidy -quiet -j 2 -p "$build" \
    -header-filter="^$PWD/(app|core|hvlink|jukebox|telephony|announce|platform|tools|tests|bench)/" \
    "${files[@]/#/^$PWD/}" >"$build/tidy.log" 2>&1 || status=$?
grep -v -e '^[0-9]* warnings\? generated\.$' -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter' \
    "$build/tidy.log" || true
if ((status != 0)) || grep -q 'error:\|warning:' "$build/tidy.log"; then
    echo "check_tidy: findings above" >&2
    exit 1
fi
echo "check_tidy: clean"
