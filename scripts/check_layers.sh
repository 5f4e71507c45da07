#!/usr/bin/env bash
# Fails when the logic reaches an outside party directly: a file of core/, hvlink/, jukebox/, telephony/
# or announce/ that includes a Qt Widgets, D-Bus or network header, a socket or POSIX file header, a
# client library of MPD or MQTT, or anything of platform/ or app/. Those live behind the interfaces the
# logic declares, in platform/ and app/.
set -euo pipefail
cd "$(dirname "$0")/.."

qt_headers=$(pkg-config --variable=includedir Qt6Core)
# Every public header of the forbidden Qt modules, by the name an include uses: <QLabel>, <QtWidgets/QLabel>.
forbidden_qt=()
for module in QtWidgets QtDBus QtNetwork; do
    [ -d "$qt_headers/$module" ] || { echo "check_layers: no $module headers under $qt_headers" >&2; exit 2; }
    while IFS= read -r header; do
        forbidden_qt+=("$header" "$module/$header")
    done < <(find "$qt_headers/$module" -maxdepth 1 -type f -printf '%f\n')
    forbidden_qt+=("$module")
done

pattern_file=$(mktemp)
trap 'rm -f "$pattern_file"' EXIT
printf '%s\n' "${forbidden_qt[@]}" | sed 's/[.]/\\./g; s/^/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](/; s/$/)[">]/' >"$pattern_file"
# Sockets, POSIX files, the peers' own client libraries, and the layers above the logic; quoted or not.
cat >>"$pattern_file" <<'PATTERNS'
^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](sys/socket\.h|sys/un\.h|netinet/[^">]*|arpa/[^">]*|netdb\.h)[">]
^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](fcntl\.h|unistd\.h|sys/stat\.h)[">]
^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](mpd/[^">]*|mosquitto\.h|mosquittopp\.h)[">]
^[[:space:]]*#[[:space:]]*include[[:space:]]*["<](platform|app)/
PATTERNS

if found=$(git ls-files -z -- core hvlink jukebox telephony announce | xargs -0 -r grep -nEf "$pattern_file" --); then
    echo "check_layers: the logic includes what only platform/ and app/ may:" >&2
    echo "$found" >&2
    exit 1
fi
echo "check_layers: core/, hvlink/, jukebox/, telephony/ and announce/ include no widget, bus, network, POSIX file or client-library header and nothing of platform/ or app/"
