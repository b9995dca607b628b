# Sourced by the scripts in scripts/: running a command bounded in time and
# interruptible.
#
# bounded [--log FILE] SECONDS COMMAND...: COMMAND with a time limit, in the
# background and waited for, so that Ctrl-C reaches the caller's traps at
# once (timeout keeps its command out of the terminal's process group). With
# --log, COMMAND's output is appended to FILE. The redirection belongs to the
# command, not to this function: a trap that runs while the function waits
# must still print to the terminal.
#
# stop_bounded: ends the command bounded is waiting for, if any; for the
# caller's clean-up and signal traps.

bounded_pid=""

bounded() {
    local log=""
    if [ "$1" = --log ]; then
        log=$2
        shift 2
    fi
    local limit=$1
    shift
    if [ -n "$log" ]; then
        timeout -k 10 "$limit" "$@" </dev/null >>"$log" 2>&1 &
    else
        timeout -k 10 "$limit" "$@" &
    fi
    bounded_pid=$!
    wait "$bounded_pid"
    local status=$?
    bounded_pid=""
    [ $status -eq 124 ] && echo "scripts/${0##*/}: '$*' did not end within $limit s" >&2
    return $status
}

stop_bounded() {
    if [ -n "$bounded_pid" ]; then
        kill -TERM "$bounded_pid" 2>/dev/null
        wait "$bounded_pid" 2>/dev/null
        bounded_pid=""
    fi
}
