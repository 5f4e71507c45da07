#!/usr/bin/env bash
# Velmor with all its peers: a private session bus, a throwaway MPD playing a generated music library,
# the NCID caller-ID stand-in and the HomeVision stand-in. With a display it is interactive (type
# HomeVision messages, end with Ctrl-D); without one it plays a scripted minute on a virtual display,
# prints what happened and saves a screenshot. Everything it starts is stopped when it ends.
# With --mqtt, Velmor and HomeVision talk through a throwaway MQTT broker instead of the session bus.
# With --windows, HomeVision is the Windows stand-in serving real DDE under wine, and the Windows DDE
# relay puts it on that broker (scripts/windows.sh builds both first when they are not built yet).
set -euo pipefail

mqtt=0
windows=0
for argument in "$@"; do
    case $argument in
    --mqtt) mqtt=1 ;;
    --windows) mqtt=1 windows=1 ;;
    *) echo "usage: $0 [--mqtt | --windows]" >&2; exit 2 ;;
    esac
done

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh" demo
(cd "$root" && cmake --preset no-tests >/dev/null && cmake --build --preset no-tests | tail -n 1)
bin=$root/build/no-tests
windows_bin=$root/build/windows
if ((windows)) && ! [ -f "$windows_bin/relay/velmor-dde-relay.exe" ]; then
    "$root/scripts/windows.sh"
fi

work=$(mktemp -d /tmp/velmor-demo.XXXXXX)
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
pids=()
say() { printf '%s demo: %s\n' "$(date +%H:%M:%S.%3N)" "$*"; }
cleanup() {
    trap - EXIT INT TERM
    exec 7>&- 8>&- 2>/dev/null || true
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill -TERM "${pids[i]}" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    # And whatever wine started besides the programs themselves.
    ((!windows)) || /usr/lib/wine/wineserver -k 2>/dev/null || true
    say "stopped everything; the demo's files stay in $work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wait_for() { # wait_for SECONDS COMMAND...
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || { say "gave up waiting for: $*"; return 1; }
        sleep 0.1
    done
}

scripted=0
exec 9<&0
if [ -z "${DISPLAY:-}" ]; then
    scripted=1
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    wait_for 10 test -s "$work/display"
    export DISPLAY=":$(cat "$work/display")"
    say "no display: running the scripted scenario on the virtual display $DISPLAY"
fi

say "writing a music library to $work/music"
"$bin/tools/music_library/velmor-music-library" "$work/music"

dbus-daemon --session --nofork --print-address=6 6>"$work/bus" 2>"$work/dbus.log" &
pids+=($!)
wait_for 10 grep -q . "$work/bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")

cat >"$work/mpd.conf" <<EOF
music_directory "$work/music"
db_file "$work/mpd.db"
log_file "$work/mpd.log"
bind_to_address "$work/mpd.socket"
audio_output {
    type "null"
    name "silence"
    mixer_type "none"
}
EOF
mpd --no-daemon "$work/mpd.conf" 2>>"$work/mpd.log" &
pids+=($!)
export MPD_HOST=$work/mpd.socket
wait_for 10 test -S "$MPD_HOST"
mpc -q --wait update
mpc -q add /
say "MPD holds $(mpc listall | wc -l) tracks on $MPD_HOST; its queue holds them all"

mkfifo "$work/ncid.in"
"$bin/tools/ncid_server/velmor-ncid-server" --port 0 $( ((scripted)) || echo --every 45 --stay) \
    <"$work/ncid.in" >"$work/ncid.log" &
pids+=($!)
exec 7>"$work/ncid.in"
wait_for 10 grep -q "listening on port" "$work/ncid.log"
export NCID_PORT=$(sed -n 's/.*listening on port \([0-9]*\).*/\1/p' "$work/ncid.log" | head -n 1)

# What played, and the now-playing file after each track, as Velmor writes it in its working folder.
now_playing="$work/h:\\progra~1\\homevi~1\\cdnow.txt"
(last=""
mpc idleloop player 2>/dev/null | while read -r _; do
    now=$(mpc status '%state% %songpos%' 2>/dev/null)
    [ "$now" = "$last" ] && continue
    last=$now
    case $now in playing*) say "MPD plays: $(mpc current)" ;; *) say "MPD is no longer playing" ;; esac
done) &
pids+=($!)
(last=""
while sleep 0.3; do
    [ -f "$now_playing" ] || continue
    now=$(md5sum "$now_playing")
    [ "$now" = "$last" ] && continue
    last=$now
    say "the now-playing file now reads:"
    sed 's/\r$//; s/^/        | /' "$now_playing"
done) &
pids+=($!)

homevision=("$bin/tools/homevision/velmor-homevision")
if ((mqtt)); then
    # Debian keeps the broker in sbin, which an ordinary user's PATH may lack.
    PATH=$PATH:/usr/sbin
    # A broker of the demo's own on a free local port: a port taken meanwhile makes it fail, so try again.
    for port in $(shuf -i 20000-60000 -n 20); do
        printf '%s\n' "user root" "persistence false" "allow_anonymous true" "set_tcp_nodelay true" \
            "log_dest file $work/mosquitto.log" "listener $port 127.0.0.1" >"$work/mosquitto.conf"
        mosquitto -c "$work/mosquitto.conf" &
        broker=$!
        if wait_for 5 mosquitto_pub -h 127.0.0.1 -p "$port" -t velmor/demo -n; then
            pids+=($broker)
            break
        fi
        kill "$broker" 2>/dev/null || true
        wait "$broker" 2>/dev/null || true
        broker=
    done
    [ -n "${broker:-}" ] || { say "no MQTT broker came up"; exit 1; }
    export VELMOR_MQTT=mqtt://127.0.0.1:$port
    say "a throwaway MQTT broker listens on $VELMOR_MQTT; its traffic goes to $work/mqtt.log"
    mosquitto_sub -h 127.0.0.1 -p "$port" -v -t 'velmor/#' -T 'velmor/echo/#' >"$work/mqtt.log" 2>&1 &
    pids+=($!)
    if ((windows)); then
        # The build's own headless wine prefix; the programs write to files, which wine's helpers do
        # not hold open the way they hold a pipe.
        export WINEPREFIX=$windows_bin/wine-prefix WINEDEBUG=-all
        homevision=(/usr/lib/wine/wine64 "$windows_bin/homevision/velmor-homevision.exe")
        /usr/lib/wine/wine64 "$windows_bin/relay/velmor-dde-relay.exe" --log "$work/relay.log" "$VELMOR_MQTT" \
            >/dev/null 2>&1 &
        pids+=($!)
        touch "$work/relay.log"
        tail -n +1 -F --pid=$$ "$work/relay.log" 2>/dev/null | sed -u 's/^[^ ]* [^ ]* /    /' &
        pids+=($!)
        say "HomeVision is the Windows stand-in under wine; the DDE relay puts it on the broker (log: $work/relay.log)"
    else
        homevision+=(--mqtt "$VELMOR_MQTT")
    fi
fi
if ((scripted)); then
    mkfifo "$work/homevision.in"
    "${homevision[@]}" <"$work/homevision.in" &
    pids+=($!)
    exec 8>"$work/homevision.in"
else
    say "type HomeVision messages below (for example Jukebox~cdj:playlist_play); Ctrl-D ends the demo"
    # A background job of a script reads /dev/null unless told otherwise; this one reads the terminal.
    "${homevision[@]}" <&9 &
    pids+=($!)
fi
homevision_serves() {
    if ((mqtt)); then
        mosquitto_sub -h 127.0.0.1 -p "$port" -t velmor/HOMEVIS/DDE/state -C 1 -W 1 | grep -q '^online$'
    else
        dbus-send --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
            string:org.velmor.DDE.HOMEVIS | grep -q true
    fi
}
wait_for 10 homevision_serves

(cd "$work" && exec "$bin/app/velmor") 2> >(sed 's/^/    velmor: /' >&2) &
velmor=$!
pids+=($velmor)
say "Velmor is running in $work (its CD Info Path box names a file there)"

if ((!scripted)); then
    wait "${pids[-2]}" || true
    exit 0
fi

message() { sleep "$1"; say "HomeVision sends: $2"; printf '%s\n' "$2" >&8; }
call() { sleep "$1"; say "the telephone rings: $2"; printf '%s\n' "$2" >&7; }

message 4 "Jukebox~cdj:playlist_play"
message 3 "Hallway motion detected"
message 3 "Outside temperature 4 C"
message 3 "Front door locked"
message 3 "KRZ:PlayThisArtist"
message 3 "Porch light on"
message 3 "Garage door closed"
call 2 "5551234 ANN CALLER"
message 3 "Thermostat set to 20 C"
message 4 "Dishwasher finished"
message 4 "Jukebox~cdj:playlist_next"
message 4 "Mail has arrived"
message 4 "Good evening"
message 4 "Jukebox~cdj:playlist_stop"
message 3 "Alarm armed"
sleep 2

import -window root "$work/velmor-demo.png"
cp "$work/velmor-demo.png" ./velmor-demo.png 2>/dev/null && shot=$PWD/velmor-demo.png || shot=$work/velmor-demo.png
say "screenshot of the window saved to $shot"
kill -TERM "$velmor"
wait "$velmor" && say "Velmor closed its window and ended with status 0"
if ((mqtt)); then
    say "the broker carried $(wc -l <"$work/mqtt.log") messages on velmor/# (see $work/mqtt.log)"
fi
