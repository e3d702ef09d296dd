#!/usr/bin/python3
"""The chooser as a screen reader receives it: the accessible tree over
AT-SPI, walked with pyatspi while real keys (xdotool) move the focus.
Prints one line per check that fails, and "N passed, M failed"."""
import subprocess
import sys
import time

import pyatspi

failures = []
passed = 0


def check(ok, what):
    global passed
    if ok:
        passed += 1
    else:
        failures.append(what)
        print("FAIL:", what, flush=True)


def wait_for(condition, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    return None


def children(node):
    return [c for c in node if c is not None] if node is not None else []


def states(node):
    try:
        return node.getState()
    except Exception:
        return None


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def window_named(title):
    """The showing window of that title, of any application; None while there is none."""
    for app in children(pyatspi.Registry.getDesktop(0)):
        for window in children(app):
            if window.name == title and states(window).contains(pyatspi.STATE_SHOWING):
                return window
    return None


def label_name(text):
    return text.replace("&", "").strip().rstrip(":\uff1a").strip()


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def focused_cell(table):
    for cell in children(table):
        s = states(cell)
        if s is not None and s.contains(pyatspi.STATE_FOCUSED):
            return cell
    return None


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return None


dialog = wait_for(lambda: window_named("Choose Coordinate System"))
check(dialog is not None, "the chooser shows over AT-SPI")
if dialog is None:
    print(f"{passed} passed, {len(failures)} failed")
    sys.exit(1)

def reachable(window):
    return [n for n in walk(window)
            if states(n).contains(pyatspi.STATE_FOCUSABLE) and states(n).contains(pyatspi.STATE_SHOWING)
            and n.getRole() not in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_TABLE_CELL)]


def check_names(window, where):
    """Every control a user can reach has a name, and it is its label's (a
    field with a unit after it, "Longitude °", is its label's and the sign's)."""
    controls = reachable(window)
    for control in controls:
        name = control.name or ""
        check(name.strip() != "", f"{where}: a {control.getRoleName()} without a name")
        # Its label, not the group around it; a list box is named by its entry
        # on Linux, and its label is the relation's.
        labels = [label_name(r.getTarget(0).name or "") for r in control.getRelationSet()
                  if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  and r.getTarget(0).getRole() == pyatspi.ROLE_LABEL]
        if labels and control.getRole() != pyatspi.ROLE_COMBO_BOX:
            check(any(name == label or name.startswith(label + " ") for label in labels),
                  f"{where}: {control.getRoleName()} {name!r} is named as its label {labels!r}")
    return controls


controls = check_names(dialog, "chooser")
check(len(controls) >= 12, f"at least 12 controls to reach, found {len(controls)}")

# The code line reads as its text, not its name alone.
code = next((n for n in controls if n.name == "EPSG code"), None)
check(code is not None, "the code line is reachable")
if code is not None:
    check(wait_for(lambda: text_of(code) == "EPSG:32633", 15) is not None,
          f"the code line reads {text_of(code)!r}, not 'EPSG:32633'")

# Down in the parameter list moves the accessible focus from row to row,
# rows are named by their parameters, and leaving the list leaves no cell focused.
table = next((n for n in controls if n.getRole() == pyatspi.ROLE_TABLE), None)
check(table is not None, "the parameter list is reachable")
if table is not None:
    header = table.queryTable().getRowHeader(0)
    check(header is not None and header.name == "central_meridian",
          f"the first row's header reads {header.name if header else None!r}")
    # Tab from the search field, as a user goes, until the list has the keyboard.
    for _ in range(20):
        if states(table).contains(pyatspi.STATE_FOCUSED):
            break
        key("Tab")
        time.sleep(0.1)
    check(states(table).contains(pyatspi.STATE_FOCUSED), "Tab reaches the parameter list")
    first = wait_for(lambda: focused_cell(table), 10)
    check(first is not None, "Tab into the list focuses a cell")
    key("Down")
    second = wait_for(lambda: (lambda c: c if c is not None and first is not None and c.name != first.name else None)(focused_cell(table)), 10)
    check(second is not None, f"Down moves the focus from {first.name if first else None!r}")
    key("Tab")
    check(wait_for(lambda: focused_cell(table) is None, 10) is not None or focused_cell(table) is None,
          "Tab out of the list leaves no cell focused")

# The editor of new geographic systems, opened with its button as a screen
# reader's user does: every field named, the minutes and seconds their own.
new = next((n for n in reachable(dialog) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "New…"), None)
check(new is not None, "the New… button is reachable")
if new is not None:
    new.queryAction().doAction(0)
    def editor():
        return window_named("New Geographic Coordinate System")
    window = wait_for(editor)
    check(window is not None, "the editor shows over AT-SPI")
    if window is not None:
        fields = check_names(window, "editor")
        names = [f.name for f in fields]
        for expected in ("Semi-minor axis", "Inverse flattening", "Longitude °", "Longitude ′", "Longitude ″"):
            check(expected in names, f"the editor has a field named {expected!r}: {names}")
        key("Escape")
        wait_for(lambda: editor() is None, 15)

key("Escape")
print(f"{passed} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
