# Sourced by the end-to-end scripts that need an X display of their own.

# under_xvfb WIDTHxHEIGHT SCRIPT ARGS...: outside Xvfb, runs the script again under one with a runtime
# folder of its own ($INSIDE_XVFB, removed afterwards) and exits with its status; inside, returns.
under_xvfb() {
  [ -n "${INSIDE_XVFB:-}" ] && return 0
  local size=$1 top rc=0
  shift
  top=$(mktemp -d)
  INSIDE_XVFB=$top XDG_RUNTIME_DIR=$top DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 ${size}x24" "$@" || rc=$?
  rm -rf "$top"
  exit "$rc"
}

xwait() {  # xwait SECONDS COMMAND...: until the command succeeds
  local until=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $until ] && return 1
    sleep 0.1
  done
}
