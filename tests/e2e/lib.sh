# Helpers shared by the end-to-end scripts; sourced, not run.

# Waits up to $1 tenths of a second for the command that follows to succeed.
retry() {
  local tries=$1
  shift
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# Prints the first X display number from $1 on that no server uses.
free_display() {
  local display=$1
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
  done
  echo "$display"
}
