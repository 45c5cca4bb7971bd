# Starts and stops the desktops the window is tried on; sourced by
# scripts/desktop-tests and scripts/screenshots. Every process started here is
# remembered and ended by session_stop (also on exit), and every wait is
# bounded.
#
#   session_start_x openbox|metacity   Xvfb with that window manager; sets DISPLAY
#   session_start_weston               weston's headless backend; sets WAYLAND_DISPLAY
#   session_screenshot FILE            the whole screen, under weston
#   session_stop                       ends everything started

session_pids=()
session_dir=$(mktemp -d /tmp/korvallestin-session-XXXXXX)

# wait_for SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds,
# for at most SECONDS, however long COMMAND itself takes.
wait_for() {
    local end=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "${EPOCHREALTIME//[!0-9]/}" -ge "$end" ] && return 1
        sleep 0.05
    done
}

session_start_x() {
    local wm=$1
    : >"$session_dir/display"
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp \
        9>"$session_dir/display" >"$session_dir/xvfb.log" 2>&1 &
    session_pids+=($!)
    wait_for 10 grep -q '[0-9]' "$session_dir/display" || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(tr -d '[:space:]' <"$session_dir/display")"
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    case "$wm" in
        openbox) openbox --sm-disable >"$session_dir/wm.log" 2>&1 & ;;
        metacity) metacity --replace >"$session_dir/wm.log" 2>&1 & ;;
        *) echo "unknown window manager $wm" >&2; return 1 ;;
    esac
    session_pids+=($!)
    # The window manager is up once it has claimed the root window.
    wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        { echo "$wm did not start" >&2; return 1; }
}

# Runs a command that starts helper processes of its own (weston starts its
# shell), collecting the helpers that outlive it, so that none is left behind
# as a zombie where the system's first process does not collect them. Ending
# the reaper ends the command.
with_reaper() {
    perl -e '
        # prctl(PR_SET_CHILD_SUBREAPER): orphaned helpers come to this process.
        syscall(157, 36, 1, 0, 0, 0) if $ARGV[0] eq "x86_64";
        shift;
        my $pid = fork // die;
        if ($pid == 0) { exec @ARGV or die "cannot run $ARGV[0]\n"; }
        $SIG{TERM} = sub { kill "TERM", $pid };
        1 while wait() > 0;
    ' "$(uname -m)" "$@"
}

session_start_weston() {
    export XDG_RUNTIME_DIR="$session_dir/xdg"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    # No on-screen keyboard (nothing to type on); --debug lets
    # weston-screenshooter take the screen.
    printf '[input-method]\npath=\n' >"$session_dir/weston.ini"
    with_reaper weston --backend=headless-backend.so --use-pixman --width=1280 --height=1024 \
        --socket=wayland-korvallestin --config="$session_dir/weston.ini" --debug --idle-time=0 \
        >"$session_dir/weston.log" 2>&1 &
    session_pids+=($!)
    wait_for 10 test -S "$XDG_RUNTIME_DIR/wayland-korvallestin" ||
        { echo "weston did not start" >&2; return 1; }
    export WAYLAND_DISPLAY=wayland-korvallestin
    unset DISPLAY
    export QT_QPA_PLATFORM=wayland
}

session_screenshot() {
    local before
    before=$(find "$session_dir" -maxdepth 1 -name 'wayland-screenshot-*.png' | wc -l)
    (cd "$session_dir" && timeout 10 weston-screenshooter >/dev/null 2>&1) || return 1
    local shot
    shot=$(ls -t "$session_dir"/wayland-screenshot-*.png | head -1)
    [ "$(ls "$session_dir"/wayland-screenshot-*.png | wc -l)" -gt "$before" ] || return 1
    mv "$shot" "$1"
}

# Ends the processes in the reverse order of their start. The helpers a
# process started itself (weston's shell and keyboard) end first, while their
# parent is there to collect them.
session_stop() {
    local i child
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        for child in $(ps -o pid= --ppid "${session_pids[i]}" 2>/dev/null); do
            kill "$child" 2>/dev/null || true
        done
        sleep 0.1
        kill "${session_pids[i]}" 2>/dev/null || true
    done
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        timeout 5 tail --pid="${session_pids[i]}" -f /dev/null 2>/dev/null ||
            kill -9 "${session_pids[i]}" 2>/dev/null || true
    done
    session_pids=()
}

session_end() {
    session_stop
    rm -rf "$session_dir"
}
trap session_end EXIT
