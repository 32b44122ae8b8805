# Helpers of the Wine end-to-end tests (sourced by wine-e2e.sh): the display
# and Wine set-up, running the host in a case directory, waiting for windows
# and lines, sending input, and the checks.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
RUN_TIMEOUT=30       # seconds any one program may run
WAIT_TIMEOUT=20      # seconds to wait for a window or a line (a busy machine is slow)

xvfb_pid=""

# Starts Xvfb on a free display, then makes (once) and warms up the Wine
# prefix. The X11 driver is told not to let a window manager handle windows:
# there is none, and waiting for one costs seconds per window.
wine_start() {
    local prefix=$1
    export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    local fifo_file
    fifo_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    local i
    for ((i = 0; i < 100; i++)); do
        [ -s "$fifo_file" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -n1 "$fifo_file")"
    rm -f "$fifo_file"
    [ "$DISPLAY" != ":" ] || return 1

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        timeout 180 "$WINE" wineboot -i >/dev/null 2>&1 || return 1
    fi
    # Kept running between the cases, so every start of the host is quick.
    "$WINESERVER" -p >/dev/null 2>&1
    timeout 60 "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

wine_stop() {
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
}

# ---- case directories and runs ----------------------------------------------

dir=""        # the current case's working directory
host_pid=""   # the host started by start_host
rc=""         # exit code of the last finished host

# new_dir ENGINE: a fresh working directory with the host, the core DLL and
# the test engine ENGINE.dll as render.dll ("none": no render.dll).
new_dir() {
    dir="$work/$case_name"
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$host_exe" "$core_dll" "$dir/"
    [ "$1" = none ] || cp "$engine_dir/$1.dll" "$dir/render.dll"
}

# engine_asks LINE...: lines of engine.txt (see engines/RecordingEngine.cpp).
engine_asks() { printf '%s\n' "$@" >"$dir/engine.txt"; }

# saved_vars LINE...: a vars.cfg to start from.
saved_vars() { printf '%s\n' "$@" >"$dir/vars.cfg"; }

start_host() {
    (cd "$dir" && exec timeout "$RUN_TIMEOUT" "$WINE" stagehost.exe >stdout.txt 2>stderr.txt) &
    host_pid=$!
}

# Waits for the host started by start_host and sets rc.
wait_host() {
    wait "$host_pid"
    rc=$?
    host_pid=""
}

run_host() { start_host; wait_host; }

host_running() { [ -n "$host_pid" ] && kill -0 "$host_pid" 2>/dev/null; }

# wait_window TITLE: prints the X id of the visible window of that exact title.
wait_window() {
    local id="" deadline=$((SECONDS + WAIT_TIMEOUT))
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        host_running || [ -z "$host_pid" ] || return 1
        sleep 0.05
    done
    return 1
}

# wait_line FILE LINE: until FILE has the line LINE (the engine writes it).
wait_line() {
    local deadline=$((SECONDS + WAIT_TIMEOUT))
    while [ $SECONDS -lt $deadline ]; do
        grep -qxF "$2" "$dir/$1" 2>/dev/null && return 0
        host_running || return 1
        sleep 0.05
    done
    return 1
}

# The engine has drawn its first frame; the window is shown and placed.
wait_ready() { wait_line calls.txt ready; }

press_key() {
    xdotool windowfocus --sync "$1" 2>/dev/null
    xdotool key --clearmodifiers "$2"
}

click() { xdotool mousemove --window "$1" "$2" "$3" click "$4"; }

# dismiss_box CAPTION: waits for the message box and presses its OK button.
dismiss_box() {
    local id
    id=$(wait_window "$1") || return 1
    press_key "$id" Return
}

# box_text CAPTION: what the message box shows (tools/BoxText.cpp).
box_text() { (cd "$dir" && timeout "$RUN_TIMEOUT" "$WINE" "$tool_dir/boxtext.exe" "$1" 2>boxtext.err | tr -d '\r'); }

# ---- checks -----------------------------------------------------------------

case_name=""
problems=()

fail() { problems+=("$*"); }

expect_eq() {  # DESCRIPTION ACTUAL EXPECTED
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}

# expect_file FILE LINE...: FILE holds exactly these LF-terminated lines.
expect_file() {
    local file=$1
    shift
    if [ ! -f "$dir/$file" ]; then
        fail "$file missing"
        return
    fi
    if ! cmp -s <(printf '%s\n' "$@") "$dir/$file"; then
        fail "$file differs: $(diff <(printf '%s\n' "$@") "$dir/$file" | head -n 20 | tr '\n' '|')"
    fi
}

# expect_file_ends FILE LINE...: the last lines of FILE, byte for byte.
expect_file_ends() {
    local file=$1
    shift
    local want
    want=$(printf '%s\n' "$@" | od -An -c)
    local got
    got=$(tail -n $# "$dir/$file" 2>/dev/null | od -An -c)
    [ "$got" = "$want" ] || fail "$file ends with: $(tail -n $# "$dir/$file" 2>/dev/null | tr '\n' '|')"
}

expect_line() {  # FILE LINE: FILE has this exact line
    grep -qxF "$2" "$dir/$1" 2>/dev/null || fail "$1 lacks the line '$2'"
}

expect_no_line() {  # FILE PATTERN: no line of FILE starts with PATTERN
    ! grep -q "^$2" "$dir/$1" 2>/dev/null || fail "$1 has a line starting '$2'"
}

# field FILE PREFIX KEY: the value of KEY=... on the first line of FILE that
# starts with PREFIX.
field() {
    grep -m1 "^$2" "$dir/$1" 2>/dev/null | tr ' ' '\n' | sed -n "s/^$3=//p" | head -n1
}

run_case() {
    case_name=$1
    problems=()
    host_pid=""
    local started=$SECONDS
    "case_$case_name"
    if host_running; then
        fail "the host is still running"
        kill "$host_pid" 2>/dev/null
        wait "$host_pid" 2>/dev/null
    fi
    if [ ${#problems[@]} -eq 0 ]; then
        passed=$((passed + 1))
        echo "PASS $case_name ($((SECONDS - started)) s)"
    else
        failed=$((failed + 1))
        echo "FAIL $case_name"
        printf '    %s\n' "${problems[@]}"
        [ -f "$dir/calls.txt" ] && sed 's/^/    calls: /' "$dir/calls.txt"
        [ -f "$dir/runtime.log" ] && sed 's/^/    log:   /' "$dir/runtime.log"
        [ -s "$dir/stderr.txt" ] && sed 's/^/    stderr: /' "$dir/stderr.txt" | head -n 20
    fi
}
