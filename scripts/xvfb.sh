# Sourced: starts a private Xvfb server and exports DISPLAY for it.
#   xvfb_start WIDTH HEIGHT    xvfb_stop
# -noreset: by default the server resets whenever its last client leaves, and
# a client connecting during the reset (SDL closes a probe connection just
# before it opens its own) is refused: about one start in three failed.
xvfb_start() {
    local width=$1 height=$2 n
    for n in $(seq 90 190); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "${width}x${height}x24" -nolisten tcp -noreset +extension GLX >/dev/null 2>&1 &
        XVFB_PID=$!
        local tries
        for tries in $(seq 1 100); do
            if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                # A server started elsewhere at the same moment may hold this
                # number and answer in place of ours, which then gives up.
                sleep 0.5
                kill -0 "$XVFB_PID" 2>/dev/null || break
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
    done
    echo "could not start Xvfb" >&2
    return 1
}

xvfb_stop() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
    return 0
}
