#!/bin/sh
# Runs duvkeys in a real terminal (tmux, 80 x 25), sends keys as a user would type them and
# checks the codes it printed. Usage: duvkeys_in_tmux.sh path/to/duvkeys
set -eu
duvkeys=$1
work=$(mktemp -d)
socket="duvkeys-test-$$"
cleanup() {
  tmux -u -L "$socket" kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

tmux -u -L "$socket" -f /dev/null new-session -d -x 80 -y 25 \
  "'$duvkeys' > '$work/codes'; echo \$? > '$work/status'; sleep 60"

# Wait until duvkeys shows its first line.
for _ in $(seq 1 50); do
  if tmux -u -L "$socket" capture-pane -p | grep -q "press keys"; then break; fi
  sleep 0.1
done

send() {
  tmux -u -L "$socket" send-keys "$@"
  sleep 0.15
}
send F1
send S-F1
send C-F1
send M-x
send M-c
send C-Left
send Home
send a
send -l "é"
send Escape
send Escape

for _ in $(seq 1 50); do
  [ -s "$work/status" ] && break
  sleep 0.1
done

expected="3b00
5400
5e00
2d00
2e00
7300
4700
0061
0082
001b
001b"
actual=$(cat "$work/codes" 2>/dev/null || true)
if [ "$actual" != "$expected" ]; then
  echo "duvkeys printed:"
  echo "$actual"
  echo "expected:"
  echo "$expected"
  echo "screen:"
  tmux -u -L "$socket" capture-pane -p || true
  exit 1
fi
[ "$(cat "$work/status")" = 0 ] || { echo "duvkeys exited with $(cat "$work/status")"; exit 1; }
echo "duvkeys codes as expected"
