# Sourced by the scripts that run the saver on two monitors. Xvfb's own Xinerama puts every head at
# (0, 0); a nested Xephyr with two screens placed by -origin gives Wine two monitors side by side.
# RandR stays off so that Wine takes the monitors from Xinerama.
#   two_monitors_up [GEOMETRY1 GEOMETRY2]   starts both servers (default 1280x1024 and 1024x768, the
#                                           second right of the first) and exports DISPLAY to the
#                                           two-headed one; returns non-zero if they do not come up
#   two_monitors_down                       stops what two_monitors_up started
two_monitors_pids=()

# Starts an X server that reports its display number on a file descriptor once it takes clients,
# and waits for that (at most 20 s). Sets $x_display.
_two_monitors_server() {
    local report
    report=$(mktemp)
    "$@" -displayfd 3 3>"$report" >/dev/null 2>&1 &
    two_monitors_pids+=($!)
    local i
    for i in $(seq 200); do
        if [ -s "$report" ]; then
            x_display=":$(head -n 1 "$report")"
            rm -f "$report"
            return 0
        fi
        kill -0 "${two_monitors_pids[-1]}" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$report"
    echo "two-monitors: $1 did not come up" >&2
    return 1
}

two_monitors_up() {
    local first=${1:-1280x1024} second=${2:-1024x768}
    local width=$(( ${first%x*} + ${second%x*} + 16 ))
    local height=$(( ${first#*x} > ${second#*x} ? ${first#*x} : ${second#*x} ))
    height=$((height + 16))
    local x_display
    _two_monitors_server Xvfb -screen 0 "${width}x${height}x24" -nolisten tcp || return 1
    local host=$x_display
    DISPLAY=$host _two_monitors_server Xephyr +xinerama -extension RANDR -nolisten tcp \
        -screen "${first}x24" -origin "${first%x*},0" -screen "${second}x24" || return 1
    export DISPLAY=$x_display
    # Both heads must be there, side by side, before anything runs on them.
    local heads
    heads=$(xdpyinfo -ext XINERAMA 2>/dev/null | grep -c 'head #' || true)
    if [ "$heads" != 2 ]; then
        echo "two-monitors: $DISPLAY shows $heads Xinerama heads, not 2" >&2
        return 1
    fi
    echo "== two monitors on $DISPLAY (inside $host): $(xdpyinfo -ext XINERAMA | grep 'head #' | sed 's/^ *//' | paste -sd ';' -)"
}

two_monitors_down() {
    local i
    # The nested server first, then its host.
    for ((i = ${#two_monitors_pids[@]} - 1; i >= 0; i--)); do
        kill "${two_monitors_pids[i]}" 2>/dev/null || true
        wait "${two_monitors_pids[i]}" 2>/dev/null || true
    done
    two_monitors_pids=()
}
