# Sourced by the runner scripts: gives this shell a display. Without one, starts a private
# Xvfb (Mesa's llvmpipe then provides the OpenGL 3.3 core context) and stops it on exit. It
# never resets: a server that resets when its last client leaves drops the connections that
# arrive meanwhile, so a game started then fails with "Could not init glfw".
if [ -z "${DISPLAY:-}" ]; then
    xvfb_fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$xvfb_fd_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$xvfb_fd_file" ] && break
        sleep 0.1
    done
    DISPLAY=":$(head -n 1 "$xvfb_fd_file")"
    export DISPLAY
    rm -f "$xvfb_fd_file"
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    echo "Started Xvfb on display $DISPLAY"
fi
