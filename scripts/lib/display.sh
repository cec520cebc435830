# shellcheck shell=bash
# A virtual X display of the script's own (sourced after processes.sh).
#
#   display_start WxHxDEPTH LOGDIR
#
# starts Xvfb on the first free display number from :20 and the Openbox window
# manager on it, exports DISPLAY and returns once the window manager runs. The
# window manager gives the windows title bars, so they can be told apart,
# moved and raised; it keeps the positions the programs ask for. Both are
# stopped with everything else the script started.

display_free() {
  local n
  for n in $(seq 20 99); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; return; }
  done
  echo "No free X display number from :20 to :99." >&2
  return 1
}

display_start() {
  local screen=$1 logdir=$2 n ready
  n=$(display_free)
  proc_start Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >"$logdir/xvfb.log" 2>&1
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start:" >&2; cat "$logdir/xvfb.log" >&2; return 1; }
  export DISPLAY=":$n"
  # Openbox runs its start-up command once it manages the screen: windows
  # shown after that get their frames and keep their positions.
  ready=$(mktemp -u /tmp/quvial-wm-ready.XXXXXX)
  proc_start openbox --sm-disable --startup "touch $ready" >"$logdir/openbox.log" 2>&1
  for _ in $(seq 50); do [ -e "$ready" ] && break; sleep 0.1; done
  [ -e "$ready" ] || { echo "The window manager did not start:" >&2; cat "$logdir/openbox.log" >&2; return 1; }
  rm -f "$ready"
}
