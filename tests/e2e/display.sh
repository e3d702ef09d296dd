# Sourced by the end-to-end scripts: a virtual display (Xvfb) with a window
# manager (openbox), as a user's desktop has one, and a user at the keyboard.
#   start_display; run_driven RESULT_VAR STEPS -- PROGRAM ARGS...; stop_display

start_display() {
  local fd_file
  fd_file=$(mktemp)
  # Xvfb picks a free display itself: parallel test runs never share one.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$fd_file")"
  rm -f "$fd_file"
  # Up before anything is started on it: a busy machine may be slow to listen.
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  # The program must come up on that display, whatever platform the caller chose.
  export QT_QPA_PLATFORM=xcb
  wm_pid=
  if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.1
    done
  fi
}

stop_display() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}

# act STEP: what a user does next.
#   @TITLE   waits (up to 20 s) for a window of that title and brings it to the front
#   =TEXT    types TEXT
#   ~SECONDS waits
#   KEYS     presses keys (xdotool's names: Tab, Return, ctrl+a, shift+Tab ...)
act() {
  case $1 in
    @*)
      local window
      window=$(timeout 20 xdotool search --sync --onlyvisible --name "^${1#@}\$" 2>/dev/null | tail -n 1)
      [ -n "$window" ] || return 1
      xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window" 2>/dev/null
      sleep 0.4
      ;;
    =*) xdotool type --delay 15 "${1#=}" ;;
    ~*) sleep "${1#\~}" ;;
    *) xdotool key --clearmodifiers $1; sleep 0.3 ;;
  esac
}

# run_driven STEPS -- COMMAND...: runs COMMAND in the background (its output
# and errors as the caller redirects them), acts the steps (one a line), then
# waits up to 20 s for it to end. Sets $status: its exit status, 124 when a
# step found no window or it did not end (it is killed then), 125 for a
# step that failed.
run_driven() {
  local steps=$1; shift 2
  "$@" &
  local pid=$! step failed=0
  while IFS= read -r step; do
    [ -n "$step" ] || continue
    act "$step" || { failed=1; break; }
  done <<<"$steps"
  for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status=124
    return
  fi
  wait "$pid"
  status=$?
  [ "$failed" = 0 ] || status=125
}
