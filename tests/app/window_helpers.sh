# Shared by the end-to-end scripts: waiting for windows by name and for the program to end.

# Waits up to 15 s for a visible window whose name is exactly $1; prints its id.
wait_for_window() {
  local name=$1 id
  for _ in $(seq 150); do
    for id in $(xdotool search --onlyvisible --name "^$(printf '%s' "$name" | sed 's/[][\.*^$()+?{}|]/\\&/g')\$" 2>/dev/null); do
      echo "$id"; return 0
    done
    sleep 0.1
  done
  echo "no window named '$name' appeared" >&2
  return 1
}

# Waits up to 15 s for process $1 to end; its exit code becomes ours (124 when it did not end).
wait_for_exit() {
  local pid=$1
  for _ in $(seq 150); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"; return $?
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  return 124
}

fail() { echo "FAIL: $*" >&2; exit 1; }
