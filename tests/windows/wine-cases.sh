# The cases of the Wine end-to-end tests (sourced by wine-e2e.sh). Each
# case_NAME function runs the host once or more in its own directory and
# reports problems with fail/expect_*; see wine-lib.sh. The Xvfb screen is
# 1024 x 768.

SCREEN_W=1024
SCREEN_H=768

# The first word of every line of calls.txt, space-separated.
call_sequence() { cut -d' ' -f1 "$dir/calls.txt" 2>/dev/null | tr '\n' ' ' | sed 's/ $//'; }

# Checks the window line of calls.txt starting with PREFIX ("initialize
# window" or "frame window") against a windowed placement of a client area
# W x H: a real frame around it, the outer frame centred on the screen.
expect_centred_window() {
    local prefix=$1 w=$2 h=$3
    expect_eq "$prefix client" "$(field calls.txt "$prefix" client)" "${w}x${h}"
    local outer ow oh ox oy
    outer=$(field calls.txt "$prefix" outer)
    IFS=',x' read -r ox oy ow oh <<<"$outer"
    [ "${ow:-0}" -gt "$w" ] && [ "${oh:-0}" -gt "$h" ] || fail "$prefix: no frame around the client area ($outer)"
    # Both divisions truncate toward zero, in the host and in bash.
    expect_eq "$prefix outer position" "$ox,$oy" "$(((SCREEN_W - ow) / 2)),$(((SCREEN_H - oh) / 2))"
}

# Checks what an error report left behind: the box with CAPTION and TEXT
# (checked while it is open, together with the log lines written before it),
# then dismisses it; the host must then end with 0 without its shutdown.
expect_error_report() {
    local caption=$1 text=$2 type_line=$3 desc_line=$4
    local shown
    shown=$(box_text "$caption")
    [ -n "$shown" ] && [ "$shown" != "no box" ] ||
        fail "boxtext saw no box '$caption' ($(tr '\n' ' ' <"$dir/boxtext.err" 2>/dev/null))"
    expect_eq "box text" "$(echo "$shown" | sed -n 's/^text=//p')" "$text"
    expect_eq "box buttons" "$(echo "$shown" | sed -n '2p')" "icon=1 ok=1 cancel=0 yes=0"
    expect_file_ends runtime.log "Exception raised!" "$type_line" "$desc_line"
    dismiss_box "$caption" || fail "no box '$caption'"
    wait_host
    expect_eq "exit code" "$rc" 0
    expect_no_line calls.txt shutdown
    expect_no_line calls.txt unload
    expect_no_line runtime.log --------------------
}

# ---- a whole run ------------------------------------------------------------

case_normal_run() {
    new_dir recording
    engine_asks "frames 3" "log hello from the engine" "open engine.txt"
    # A longer log of an earlier run must be gone, not just overwritten.
    head -c 20000 /dev/zero | tr '\0' 'x' >"$dir/runtime.log"
    run_host
    expect_eq "exit code" "$rc" 0
    expect_eq "calls" "$(call_sequence)" \
        "plug create configure initialize initialize precache open frame frame ready shutdown release unplug unload"
    expect_line calls.txt "plug log=1 vars=1 fs=1"
    expect_line calls.txt "initialize module_ok=1"
    expect_eq "frames" "$(field calls.txt shutdown frames)" 3
    expect_eq "module handle" "$(field calls.txt configure module_ok)" 1
    grep -q "^configure .* locale='English_United States.1252' " "$dir/calls.txt" || fail "locale not English"
    expect_eq "window class" "$(field calls.txt 'initialize window' class)" "'CQx"
    expect_eq "title" "$(field calls.txt 'initialize window' title)" "'StageHost'"
    expect_eq "hidden at Initialize" "$(field calls.txt 'initialize window' visible)" 0
    expect_eq "shown when running" "$(field calls.txt 'frame window' visible)" 1
    expect_eq "style" "$(field calls.txt 'frame window' overlapped)" 1
    expect_eq "topmost" "$(field calls.txt 'frame window' topmost)" 0
    expect_centred_window "frame window" 800 600
    expect_eq "first frame s_dt = s_time" "$(field calls.txt 'frame 1' s_dt)" "$(field calls.txt 'frame 1' s_time)"
    expect_eq "first frame s_df" "$(field calls.txt 'frame 1' s_df_ok)" 1
    expect_line calls.txt "open 'engine.txt' handle=1 size=$(stat -c %s "$dir/engine.txt") text='frames 3' eof=1"
    expect_file runtime.log "Starting logging service" "Using archive is disabled" "hello from the engine" \
        "--------------------" "Closing logging service"
    grep -q '^r_width_phys "800"' "$dir/vars.cfg" 2>/dev/null || fail "vars.cfg lacks r_width_phys"
    ls "$dir" | grep -qv -e '^vars.cfg$' -e '^runtime.log$' -e '^calls.txt$' -e '^engine.txt$' \
        -e '^stdout.txt$' -e '^stderr.txt$' -e '\.exe$' -e '\.dll$' && fail "stray files: $(ls "$dir" | tr '\n' ' ')"
}

case_configure_declines() {
    new_dir recording
    engine_asks "configure 0"
    run_host
    expect_eq "exit code" "$rc" 0
    expect_eq "calls" "$(call_sequence)" "plug create configure shutdown release unplug unload"
    expect_file runtime.log "Starting logging service" "--------------------" "Closing logging service"
    [ -f "$dir/vars.cfg" ] || fail "vars.cfg not saved"
}

# ---- window placement -------------------------------------------------------

case_window_640x480_and_escape() {
    new_dir recording
    saved_vars 'r_width_phys "640"' 'r_height_phys "480"'
    start_host
    wait_ready || fail "the engine never got its first frame"
    expect_centred_window "frame window" 640 480
    local id
    id=$(wait_window StageHost) || fail "no window StageHost on the display"
    if [ -n "$id" ]; then
        # The X window is the whole frame, where Windows says it is.
        local WIDTH HEIGHT X Y
        eval "$(xdotool getwindowgeometry --shell "$id")"
        expect_eq "X geometry" "$X,$Y,${WIDTH}x$HEIGHT" "$(field calls.txt 'frame window' outer)"
        # Over the caption the system would show its arrow; the host hides it.
        xdotool mousemove --window "$id" 40 8 mousemove --window "$id" 60 10
        sleep 0.2
        press_key "$id" Escape
    fi
    wait_host
    expect_eq "exit code" "$rc" 0
    expect_eq "calls end" "$(call_sequence | sed 's/.* ready //')" "shutdown release unplug unload"
    expect_eq "cursor over the window" "$(field calls.txt shutdown cursor)" none
    expect_file_ends runtime.log "--------------------" "Closing logging service"
}

case_frame_wider_than_screen() {
    new_dir recording
    engine_asks "frames 1"
    saved_vars "r_width_phys \"$SCREEN_W\"" 'r_height_phys "600"'
    run_host
    expect_eq "exit code" "$rc" 0
    expect_centred_window "frame window" "$SCREEN_W" 600
    local x
    x=$(field calls.txt 'frame window' outer | cut -d, -f1)
    [ "${x:-0}" -lt 0 ] || fail "frame wider than the screen not at a negative x ($x)"
}

case_desktop_resolution() {
    new_dir recording
    engine_asks "frames 1"
    saved_vars 'r_use_desktop_resolution "1"' 'r_width_phys "640"' 'r_height_phys "480"'
    run_host
    expect_eq "exit code" "$rc" 0
    # The client area is the screen's size, but the system keeps a resizable
    # window within its largest tracking size, so the frame's height is cut
    # to that (screen + 12 under Wine); the frame was centred by its full
    # size and overhangs the screen.
    local client outer maxtrack ox oy ow oh
    client=$(field calls.txt 'frame window' client)
    outer=$(field calls.txt 'frame window' outer)
    maxtrack=$(field calls.txt 'frame window' maxtrack)
    IFS=',x' read -r ox oy ow oh <<<"$outer"
    expect_eq "client width" "${client%x*}" "$SCREEN_W"
    expect_eq "frame height" "$oh" "${maxtrack#*x}"
    expect_eq "outer x" "$ox" "$(((SCREEN_W - ow) / 2))"
    [ "${oy:-0}" -lt 0 ] || fail "frame taller than the screen not at a negative y ($oy)"
    # The screen size was kept and saved over the old vars.cfg.
    grep -q "^r_width_phys \"$SCREEN_W\"" "$dir/vars.cfg" || fail "vars.cfg keeps $(grep r_width_phys "$dir/vars.cfg")"
    grep -q "^r_height_phys \"$SCREEN_H\"" "$dir/vars.cfg" || fail "vars.cfg keeps $(grep r_height_phys "$dir/vars.cfg")"
}

case_fullscreen() {
    new_dir recording
    engine_asks "frames 1"
    saved_vars 'r_fullscreen "1"' 'r_width_phys "800"' 'r_height_phys "600"' 's_alwaysontop "1"'
    run_host
    expect_eq "exit code" "$rc" 0
    expect_eq "full-screen placement" "$(field calls.txt 'frame window' outer)" "0,0,800x600"
    expect_eq "full-screen is never topmost" "$(field calls.txt 'frame window' topmost)" 0
}

case_always_on_top() {
    new_dir recording
    engine_asks "frames 1"
    saved_vars 's_alwaysontop "1"'
    run_host
    expect_eq "exit code" "$rc" 0
    expect_eq "topmost" "$(field calls.txt 'frame window' topmost)" 1
    expect_centred_window "frame window" 800 600
}

# ---- input ------------------------------------------------------------------

# Starts the host with the default engine and waits for its window.
start_interactive() {
    new_dir recording
    start_host
    wait_ready || fail "the engine never got its first frame"
    window_id=$(wait_window StageHost) || fail "no window StageHost on the display"
}

# The host ended by the user: exit 0, frames after ready, full shutdown.
expect_user_quit() {
    wait_host
    expect_eq "exit code" "$rc" 0
    expect_eq "calls end" "$(call_sequence | sed 's/.* ready //')" "shutdown release unplug unload"
    expect_no_line calls.txt "gave up"
    expect_file_ends runtime.log "--------------------" "Closing logging service"
}

case_left_click_ends_the_demo() {
    start_interactive
    [ -n "$window_id" ] && click "$window_id" 100 100 1
    expect_user_quit
}

case_close_box_ends_the_demo() {
    start_interactive
    if [ -n "$window_id" ]; then
        local WIDTH HEIGHT X Y
        eval "$(xdotool getwindowgeometry --shell "$window_id")"
        click "$window_id" $((WIDTH - 12)) 12 1  # the close box, top right of the caption
    fi
    expect_user_quit
}

case_alt_f4_ends_the_demo() {
    start_interactive
    [ -n "$window_id" ] && press_key "$window_id" alt+F4
    expect_user_quit
}

case_other_input_does_not_end_the_demo() {
    start_interactive
    if [ -n "$window_id" ]; then
        click "$window_id" 100 100 3
        click "$window_id" 120 100 2
        press_key "$window_id" a
        press_key "$window_id" space
        press_key "$window_id" Return
        # Each frame takes one message; give the loop some hundred frames.
        sleep 1
        host_running || fail "the host ended on a right click or another key"
        expect_no_line calls.txt shutdown
        press_key "$window_id" Escape
    fi
    expect_user_quit
}

# ---- the log file -----------------------------------------------------------

case_log_is_shared_for_reading_only() {
    start_interactive
    local verdict
    verdict=$(cd "$dir" && timeout "$RUN_TIMEOUT" "$WINE" "$tool_dir/sharecheck.exe" runtime.log 2>/dev/null | tr -d '\r')
    expect_eq "runtime.log while the host runs" "$verdict" "read=1 write=0"
    [ -n "$window_id" ] && press_key "$window_id" Escape
    expect_user_quit
}

case_log_cannot_be_created() {
    new_dir recording
    engine_asks "frames 2"
    mkdir "$dir/runtime.log"
    run_host
    expect_eq "exit code" "$rc" 0
    expect_eq "calls" "$(call_sequence)" \
        "plug create configure initialize initialize precache frame frame ready shutdown release unplug unload"
    [ -d "$dir/runtime.log" ] || fail "runtime.log is no longer the directory"
}

# ---- start-up failures and errors -------------------------------------------

case_missing_module() {
    new_dir none
    saved_vars 'r_width_phys "640"'
    start_host
    expect_error_report Init "Main demo DLL not found" "Type: Init" "Desc: Main demo DLL not found"
    expect_eq "first log line" "$(head -n1 "$dir/runtime.log")" "Starting logging service"
    expect_eq "vars.cfg untouched" "$(cat "$dir/vars.cfg")" 'r_width_phys "640"'
}

case_module_not_loadable() {
    new_dir none
    echo "not a module" >"$dir/render.dll"
    start_host
    expect_error_report Init "Main demo DLL not found" "Type: Init" "Desc: Main demo DLL not found"
    # The loader's own reason comes first, for whoever mends it.
    grep -q "^Can't load 'render.dll': ." "$dir/runtime.log" || fail "no loader reason in runtime.log"
}

case_missing_exports() {
    local engine export_name
    for engine in no_create:CreateDemoEngine only_create:PlugSystemSocket no_plug:PlugSystemSocket \
        no_unplug:UnplugSystemSocket; do
        export_name=${engine#*:}
        new_dir "${engine%%:*}"
        start_host
        local message="Demo DLL does not export required fuction $export_name"
        expect_error_report Init "$message" "Type: Init" "Desc: $message"
    done
}

case_create_returns_null() {
    new_dir recording
    engine_asks create_null
    start_host
    expect_error_report Init "Can't create demo engine" "Type: Init" "Desc: Can't create demo engine"
    expect_eq "calls" "$(call_sequence)" "plug create"
}

case_initialize_fails() {
    new_dir recording
    engine_asks "initialize -1"
    start_host
    expect_error_report Init "Can't initialize demo engine" "Type: Init" "Desc: Can't initialize demo engine"
    expect_eq "calls" "$(call_sequence)" "plug create configure initialize initialize"
    [ -f "$dir/vars.cfg" ] && fail "vars.cfg written on the error path"
}

# An error object thrown by pointer inside the engine module crosses into the
# executable, is reported with its class's caption and deleted.
case_errors_thrown_by_the_engine() {
    local spec site kind caption
    for spec in "frame:runtime:Runtime" "precache:bad:Bad Resource" "configure:missing:Missing Resource" \
        "plug:init:Init"; do
        IFS=: read -r site kind caption <<<"$spec"
        new_dir recording
        engine_asks "throw $site $kind"
        start_host
        local message="CRecordingEngine::$site : thrown on request"
        expect_error_report "$caption" "$message" "Type: $caption" "Desc: $message"
        expect_line calls.txt "throw $site $kind"
    done
}

case_null_error_thrown() {
    new_dir recording
    engine_asks "throw frame null"
    start_host
    expect_error_report "Exception cought" "Unknown exception" "Type: Unknown exception" "Desc: None"
}

# Anything else is reported without an error object and then ends the
# process as an unhandled exception (never with 0).
case_foreign_exception_thrown() {
    new_dir recording
    engine_asks "throw frame int"
    start_host
    local shown
    shown=$(box_text "Exception cought")
    expect_eq "box text" "$(echo "$shown" | sed -n 's/^text=//p')" "Unknown exception"
    expect_file_ends runtime.log "Exception raised!" "Type: Unknown exception" "Desc: None"
    dismiss_box "Exception cought" || fail "no box 'Exception cought'"
    # The runtime may show its own box for the abnormal end; dismiss that too.
    local id
    while host_running && id=$(xdotool search --onlyvisible --name '.' 2>/dev/null | head -n1) && [ -n "$id" ]; do
        press_key "$id" Return
        sleep 0.1
    done
    wait_host
    [ "$rc" -ne 0 ] || fail "exit code 0 after a foreign exception"
    [ "$rc" -ne 124 ] || fail "the host hung after a foreign exception"
}

# vars.cfg as this platform writes it (text mode) reads back the same, and the
# temporary file of the save is gone.
case_vars_cfg_round_trip() {
    new_dir recording
    engine_asks "frames 1"
    saved_vars 'r_width_phys "640"' 'r_height_phys "480"' 's_alwaysontop "1"'
    run_host
    expect_eq "first exit code" "$rc" 0
    cp "$dir/vars.cfg" "$dir/vars.first"
    rm -f "$dir/calls.txt"
    run_host
    expect_eq "second exit code" "$rc" 0
    grep -q "^configure .* r_width_phys=640 r_height_phys=480 r_fullscreen=0 s_alwaysontop=1\$" "$dir/calls.txt" ||
        fail "saved values not read back: $(grep '^configure' "$dir/calls.txt")"
    cmp -s "$dir/vars.first" "$dir/vars.cfg" || fail "vars.cfg changed between two runs"
    [ -e "$dir/vars.cfg.tmp" ] && fail "vars.cfg.tmp left behind"
}

# ---- the math library's switches and probes -----------------------------------

MATH_KEY='HKLM\Software\StageHost\VectorMath'

# math_state: the line tools/MathState.cpp prints in a new process.
math_state() { (cd "$dir" && timeout "$RUN_TIMEOUT" "$WINE" "$tool_dir/mathstate.exe" 2>/dev/null | tr -d '\r'); }

set_switch() {  # NAME TYPE DATA
    timeout "$RUN_TIMEOUT" "$WINE" reg add "$MATH_KEY" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1 || fail "reg add $1"
}
clear_switches() { timeout "$RUN_TIMEOUT" "$WINE" reg delete "$MATH_KEY" /f >/dev/null 2>&1; }

# The set the processor and the system support: 3DNow! first, then SSE2, SSE.
expected_cpu_state() {
    local line=$1
    if [ "$(echo "$line" | tr ' ' '\n' | sed -n 's/^3dnow=//p')" = 1 ]; then echo 1
    elif [ "$(echo "$line" | tr ' ' '\n' | sed -n 's/^sse2=//p')" = 1 ]; then echo 2
    elif [ "$(echo "$line" | tr ' ' '\n' | sed -n 's/^sse=//p')" = 1 ]; then echo 3
    else echo 0; fi
}

case_math_registry_switches() {
    new_dir none
    cp "$tool_dir/mathstate.exe" "$dir/"
    clear_switches
    local line cpu
    line=$(math_state)
    cpu=$(expected_cpu_state "$line")
    expect_eq "no switches" "$line" "DisableCpuPaths=- DisableMathCpuPaths=- $(echo "$line" | cut -d' ' -f3-5) state=$cpu normalised=0.6,0.8,0"

    # switches (NAME:TYPE:DATA ...) -> the state they lead to
    local row switches want item
    for row in "DisableMathCpuPaths:REG_DWORD:1=0" "DisableCpuPaths:REG_DWORD:1=0" \
        "DisableCpuPaths:REG_DWORD:1 DisableMathCpuPaths:REG_DWORD:0=$cpu" \
        "DisableCpuPaths:REG_DWORD:0 DisableMathCpuPaths:REG_DWORD:1=0" \
        "DisableCpuPaths:REG_DWORD:2=$cpu" "DisableMathCpuPaths:REG_SZ:1=$cpu"; do
        switches=${row%=*}
        want=${row##*=}
        clear_switches
        for item in $switches; do
            IFS=: read -r name type data <<<"$item"
            set_switch "$name" "$type" "$data"
        done
        line=$(math_state)
        expect_eq "state with $switches" "$(echo "$line" | tr ' ' '\n' | sed -n 's/^state=//p')" "$want"
    done
    expect_eq "a REG_SZ switch counts as absent" "$(echo "$line" | cut -d' ' -f1-2)" \
        "DisableCpuPaths=- DisableMathCpuPaths=-"
    clear_switches
}

# ---- resources.heap: the archive reader with the system's crypto ----------------

# The crypto backend (CNG) against published and RAR key derivation vectors.
case_crypto_backend_vectors() {
    new_dir none
    local out
    out=$(cd "$dir" && timeout "$RUN_TIMEOUT" "$WINE" "$tool_dir/cryptovectors.exe" 2>&1 | tr -d '\r')
    expect_eq "cryptovectors" "$(echo "$out" | tail -n1)" "30 checks, 0 failed"
    [ "$(echo "$out" | tail -n1)" = "30 checks, 0 failed" ] || fail "$(echo "$out" | head -n 10 | tr '\n' '|')"
}

# pack_heap OPTION...: packs a small tree into the case's resources.heap with
# the native heaptool (the host's archive password unless -p is given):
# Data/Sub/Tex.txt (read by the engine) and unused.bin (never opened).
pack_heap() {
    if [ ! -x "$packer" ]; then
        fail "no native heaptool at '$packer' (cmake --build --preset default --target heaptool)"
        return 1
    fi
    mkdir -p "$dir/tree/Data/Sub"
    printf 'served from the archive\r\nsecond line\n' >"$dir/tree/Data/Sub/Tex.txt"
    head -c 100 /dev/zero | tr '\0' 'u' >"$dir/tree/unused.bin"
    "$packer" "$@" pack "$dir/resources.heap" "$dir/tree" >/dev/null 2>&1 || { fail "heaptool pack $*"; return 1; }
    rm -rf "$dir/tree"
}

# run_archive_host PACK-OPTION...: the recording engine opens
# DATA\SUB\TEX.TXT once; the archive is read into the memory cache.
run_archive_host() {
    new_dir recording
    pack_heap "$@" || return 1
    engine_asks "frames 1" 'open DATA\SUB\TEX.TXT'
    saved_vars 's_dontusepack "0"'
    run_host
    expect_eq "exit code" "$rc" 0
}

# A served member: both cached, one opened, the other reported untouched.
expect_served_from_cache() {
    expect_line calls.txt "open 'DATA\\SUB\\TEX.TXT' handle=1 size=37 text='served from the archive' eof=1"
    expect_file runtime.log "Starting logging service" "Cached 2 files of 137 bytes total size" \
        "Releasing archive cache" "Untouched: 'unused.bin' (100 bytes)" \
        "Total unused files in archive: 1 (100 bytes)" "--------------------" "Closing logging service"
}

# RAR5: AES-256 keys from PBKDF2-HMAC-SHA256, headers encrypted too.
case_archive_cache_rar5_encrypted_headers() {
    run_archive_host -e || return
    expect_served_from_cache
}

# RAR4: AES-128 with the RAR 3.x key derivation of the 64-character password.
case_archive_cache_rar4_encrypted() {
    run_archive_host -f rar4 || return
    expect_served_from_cache
}

# Packed with another password: the check value rejects every member, nothing
# is cached or served, and the demo still runs.
case_archive_cache_wrong_password() {
    run_archive_host -p "not the host's password" || return
    expect_line calls.txt "open 'DATA\\SUB\\TEX.TXT' handle=0"
    expect_file runtime.log "Starting logging service" \
        "Warning: CRARFileSystem::CacheArchive : not caching 'data/sub/tex.txt' (unpack result = 24)" \
        "Warning: CRARFileSystem::CacheArchive : not caching 'unused.bin' (unpack result = 24)" \
        "Cached 0 files of 0 bytes total size" "Warning: can't open file 'DATA\\SUB\\TEX.TXT' in mode 'rb'" \
        "Releasing archive cache" "Total unused files in archive: 0 (0 bytes)" \
        "--------------------" "Closing logging service"
}
