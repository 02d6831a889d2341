# Sourced by the scripts and tests that need an X display of their own. The functions append
# the PIDs of what they start to the caller's array `pids`, which the caller kills when it ends.

# start_virtual_display [WIDTHxHEIGHT]: Xvfb on a display number nobody uses (a random number
# may belong to a server already running, whose socket would then be mistaken for ours),
# waits until it accepts clients and exports DISPLAY.
start_virtual_display() {
    local size=${1:-1280x800} number pid
    for number in $(shuf -i 100-999 -n 40); do
        if [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; then
            continue
        fi
        Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 50); do
            { [ -e "/tmp/.X11-unix/X$number" ] || ! kill -0 "$pid" 2>/dev/null; } && break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$number" ]; then
            pids+=("$pid")
            export DISPLAY=":$number"
            return 0
        fi
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    echo "no virtual display could be started" >&2
    return 1
}

# start_tray_host: an XEmbed notification area (trayer) at the top right of $DISPLAY.
start_tray_host() {
    trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
    pids+=($!)
    sleep 0.5
}

# activate_once WINDOW: without a window manager nothing focuses a window; giving it the
# keyboard focus by its id is its first activation (which sends Tavlor to the tray). No click:
# a position inside the window depends on the font and the layout.
activate_once() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}

# press_by_tab WINDOW COUNT: from the first control of Tavlor's main window ("Graph zeigen",
# where the focus stands after its first activation), COUNT steps along the focus order, then
# the space bar presses the button reached. The order (left column, top to bottom): Graph
# zeigen, the radio group (one stop), Online Gateway?, Alle Werte zurücksetzen, Tavlor mit ...
# starten (4), Experten Einstellungen (5), VerbindungsManager  öffnen>> (6).
press_by_tab() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.3
    for _ in $(seq "$2"); do xdotool key --clearmodifiers Tab; done
    xdotool key --clearmodifiers space
}
