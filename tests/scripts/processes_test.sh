#!/usr/bin/env bash
# scripts/lib/processes.sh with stand-ins for the console and the programs it
# needs: a TERM, HUP or INT stops all of them within a second and the exit code
# names the signal; a console that ends by itself, or a start-up step that
# fails, takes the others with it. One helper ignores TERM and has to be killed.
set -euo pipefail
# Job control: each started script is a process group of its own, and a
# background job that ignored INT could not trap it.
set -m
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/processes.sh"
trap - INT HUP TERM # this script stops what it started itself
tmp=$(mktemp -d)
# shellcheck disable=SC2016 # expanded when the script ends
proc_exit_commands+=('rm -rf "$tmp"')

cat >"$tmp/demo.sh" <<'EOF'
set -euo pipefail
PROC_GRACE_MS=300
. "$1/scripts/lib/processes.sh"
pids=$2 mode=$3
proc_start sleep 100
proc_start sh -c 'trap "" TERM; : >"$1"; exec sleep 100' sh "$pids.ignoring"
proc_start sleep 100 </dev/null >/dev/null 2>&1
until [ -e "$pids.ignoring" ]; do sleep 0.01; done
echo "${proc_started[*]}" >"$pids.part"
if [ "$mode" = fails ]; then
  mv "$pids.part" "$pids"
  false
fi
# The console stand-in adds its own process id; then the list is complete.
proc_main sh -c 'echo $$ >>"$1.part"; mv "$1.part" "$1"; [ "$2" = ends ] && exit 3; exec sleep 100' \
  sh "$pids" "$mode"
EOF

running() {
  local pid
  for pid in "$@"; do proc_alive "$pid" && return 0; done
  return 1
}

# mode, signal (- for none), expected exit code, processes started. The cases
# run side by side.
cases=(
  "signal TERM 143 4"
  "signal HUP 129 4"
  "signal INT 130 4"
  "ends - 3 4"
  "fails - 1 3"
)
demos=()
for i in "${!cases[@]}"; do
  read -r mode _ <<<"${cases[i]}"
  bash "$tmp/demo.sh" "$root" "$tmp/pids$i" "$mode" 2>"$tmp/err$i" &
  demos+=($!)
done
everyone=()
for i in "${!cases[@]}"; do
  for _ in $(seq 1000); do [ -e "$tmp/pids$i" ] && break; sleep 0.01; done
  read -r -d '' -a started <"$tmp/pids$i" || true
  everyone+=("${started[@]}")
done
start=${EPOCHREALTIME//[!0-9]/}
for i in "${!cases[@]}"; do
  read -r _ signal _ <<<"${cases[i]}"
  [ "$signal" = - ] || kill -s "$signal" "${demos[i]}"
done
while running "${everyone[@]}" && ((${EPOCHREALTIME//[!0-9]/} - start < 1000000)); do sleep 0.02; done

failed=0 passed=0
for i in "${!cases[@]}"; do
  read -r mode signal want count <<<"${cases[i]}"
  read -r -d '' -a started <"$tmp/pids$i" || true
  rc=0
  wait "${demos[i]}" || rc=$?
  problems=()
  [ "${#started[@]}" = "$count" ] || problems+=("started ${#started[@]} processes, not $count")
  ! running "${started[@]}" || problems+=("processes still running after 1 s")
  [ "$rc" = "$want" ] || problems+=("exit code $rc, not $want")
  grep -q "^sleep (${started[1]}) did not end on TERM: killed$" "$tmp/err$i" ||
    problems+=("the helper that ignores TERM is not named: $(cat "$tmp/err$i")")
  if [ ${#problems[@]} -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED $mode $signal: ${problems[*]}"
  fi
done
kill -KILL "${everyone[@]}" 2>/dev/null || true
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
