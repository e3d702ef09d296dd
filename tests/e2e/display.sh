# Sourced by the end-to-end scripts: a virtual display (Xvfb) with a window
# manager (openbox), as a user's desktop has one, and a user at the keyboard.
# Every wait here is for a condition (the display answers, the window manager
# is running, a window has the focus, a dialog is gone, a process ended),
# bounded by a deadline that a loaded machine stays well within.
#   start_display; run_driven STEPS -- PROGRAM ARGS...; stop_display

# wait_until SECONDS COMMAND...: true once COMMAND succeeds, false when
# SECONDS passed first.
wait_until() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

start_display() {
  local fd_file
  fd_file=$(mktemp)
  # Xvfb picks a free display itself: parallel test runs never share one.
  # -noreset: by default the server resets when its last client leaves, and
  # a client connecting meanwhile is refused; the window manager, coming
  # right after the probe below, was refused now and then, and without it
  # the window manager's close (Alt+F4) did nothing.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fd_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  if ! wait_until 60 test -s "$fd_file"; then
    echo "Xvfb did not start" >&2
    rm -f "$fd_file"
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$fd_file")"
  rm -f "$fd_file"
  wait_until 60 xdpyinfo >/dev/null 2>&1 || { echo "Xvfb does not answer on $DISPLAY" >&2; return 1; }
  # The program must come up on that display, whatever platform the caller chose.
  export QT_QPA_PLATFORM=xcb
  wm_pid=
  if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    wait_until 60 wm_running || { echo "openbox did not start on $DISPLAY" >&2; return 1; }
  fi
}

# openbox names itself on the root window once it manages the screen.
wm_running() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# A scratch folder of the test's own, $work, gone at exit with the display;
# the systems confirmed there are remembered in it, never in the user's.
use_own_folders() {
  work=$(mktemp -d)
  trap 'stop_display; rm -rf "$work"' EXIT
  export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
}

stop_display() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}

# The visible windows of exactly that title, newest last.
windows_named() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null
}

window_shown() { [ -n "$(windows_named "$1")" ]; }
window_gone() { [ -z "$(windows_named "$1")" ]; }

# Whether the keyboard's focus is in WINDOW.
has_focus() {
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# Activates WINDOW until it has the focus: a dialog that is still closing may
# take it back (Qt hands the focus to a modal window over its parent).
focus_window() {
  xdotool windowactivate "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
  has_focus "$1" || { sleep 0.05; has_focus "$1"; }
}

# Gives the focus to the newest visible window of that title, picked anew
# at each try: the one seen a moment ago may be a dialog that was closing
# (the same title's next dialog not yet shown).
focus_named() {
  local window
  window=$(windows_named "$1" | tail -n 1)
  [ -n "$window" ] && focus_window "$window"
}

# act STEP: what a user does next.
#   @TITLE   waits (up to 30 s) for a window of that title and gives it the focus
#   !TITLE   waits (up to 30 s) until no window of that title is left
#   =TEXT    types TEXT
#   KEYS     presses keys (xdotool's names: Tab, Return, ctrl+a, shift+Tab ...)
act() {
  case $1 in
    @*) wait_until 30 focus_named "${1#@}" ;;
    !*) wait_until 30 window_gone "${1#!}" ;;
    =*) xdotool type --delay 15 "${1#=}" ;;
    *) xdotool key --clearmodifiers $1 ;;
  esac
}

# run_driven STEPS -- COMMAND...: runs COMMAND in the background (its output
# and errors as the caller redirects them), acts the steps (one a line), then
# waits up to 60 s for it to end. Sets $status: its exit status, 124 when it
# did not end (it is killed then), 125 when a step found no window or no
# focus (the step is named on standard error).
run_driven() {
  local steps=$1; shift 2
  "$@" &
  local pid=$! step failed=
  while IFS= read -r step; do
    [ -n "$step" ] || continue
    act "$step" || { failed=$step; break; }
  done <<<"$steps"
  if ! wait_until 60 eval '! kill -0 "$pid" 2>/dev/null'; then
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status=124
    [ -z "$failed" ] || echo "     step failed: $failed" >&2
    return
  fi
  wait "$pid"
  status=$?
  [ -z "$failed" ] || { status=125; echo "     step failed: $failed" >&2; }
}
