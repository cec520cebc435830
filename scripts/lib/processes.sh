# shellcheck shell=bash
# Starting and stopping the helper programs of a script (sourced, bash only).
#
#   proc_start CMD ARGS...   starts CMD in the background and remembers it
#   proc_main CMD ARGS...    runs CMD in the background, waits for it, stops
#                            the rest and exits with CMD's exit code
#
# Bash runs a trap only after the foreground command returns, so a script that
# ran its main program in the foreground would sit out a TERM or a HUP until
# that program ended by itself. Here the main program runs in the background
# and the script waits for it: `wait` returns as soon as a signal arrives, and
# the trap stops the main program first, then everything else newest first.
# The exit code tells what happened: the main program's own code when it ended
# by itself, 128 + the signal's number (INT 130, HUP 129, TERM 143) when a
# signal stopped the script.

proc_started=()
proc_main_pid=
# Commands run once everything has stopped (e.g. removing a temporary folder).
proc_exit_commands=()

# Milliseconds a program gets to end after TERM before it gets KILL.
: "${PROC_GRACE_MS:=800}"

proc_start() {
  "$@" &
  proc_started+=($!)
  disown $!  # no job notices: proc_stop_all says what it had to kill
}

# A zombie still answers `kill -0`: only a process that still runs counts.
# Builtins only: a fork costs milliseconds on a busy machine.
proc_alive() {
  local stat
  { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 1
  stat=${stat##*) }
  [ "${stat%% *}" != Z ]
}

# Stops the main program, then what proc_start started, newest first; gives
# them the grace time together and kills the ones still running.
proc_stop_all() {
  local order=() pid i deadline
  [ -z "$proc_main_pid" ] || order+=("$proc_main_pid")
  for ((i = ${#proc_started[@]} - 1; i >= 0; i--)); do order+=("${proc_started[i]}"); done
  proc_started=()
  proc_main_pid=
  [ ${#order[@]} -gt 0 ] || return 0
  for pid in "${order[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  deadline=$((${EPOCHREALTIME//[!0-9]/} + PROC_GRACE_MS * 1000))
  for pid in "${order[@]}"; do
    while proc_alive "$pid" && ((${EPOCHREALTIME//[!0-9]/} < deadline)); do sleep 0.02; done
    if proc_alive "$pid"; then
      echo "$(cat "/proc/$pid/comm" 2>/dev/null) ($pid) did not end on TERM: killed" >&2
      kill -KILL "$pid" 2>/dev/null || true
    fi
  done
}

proc_exit() {
  local command
  proc_stop_all
  for command in "${proc_exit_commands[@]}"; do eval "$command"; done
}

# The EXIT trap does the stopping; a second signal must not cut it short.
proc_on_signal() {
  trap '' INT HUP TERM
  exit "$1"
}

trap proc_exit EXIT
trap 'proc_on_signal 130' INT
trap 'proc_on_signal 129' HUP
trap 'proc_on_signal 143' TERM

proc_main() {
  local rc=0
  "$@" &
  proc_main_pid=$!
  wait "$proc_main_pid" || rc=$?
  proc_main_pid=
  exit "$rc"
}
