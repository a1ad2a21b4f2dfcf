#!/usr/bin/python3
"""Reads the running main window through AT-SPI, as a screen reader does, and
checks that its command buttons, the Auto Play check box and the file list are
showing under their names. Exit 0 when all are found, 1 otherwise."""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

TITLE = "Zephyrion Sound Utility (XP Edition)"
WANTED = [(Atspi.Role.PUSH_BUTTON, name) for name in
          ("Refresh", "Convert", "Preview", "Batch", "About", "Exit")]
WANTED += [(Atspi.Role.CHECK_BOX, "Auto Play"), (Atspi.Role.LIST, "Files")]
FILES = ["one.snd", "two.wav"]


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for i in range(node.get_child_count()):
        yield from walk(node.get_child_at_index(i), depth + 1)


def showing(node):
    states = node.get_state_set()
    return states.contains(Atspi.StateType.SHOWING) and states.contains(Atspi.StateType.VISIBLE)


def find_window():
    desktop = Atspi.get_desktop(0)
    for a in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(a)
        for w in range(app.get_child_count() if app else 0):
            window = app.get_child_at_index(w)
            if window is not None and window.get_name() == TITLE:
                return window
    return None


def missing_in(window):
    nodes = [(n.get_role(), n.get_name(), n) for n in walk(window)]
    missing = [f"{role.value_nick} '{name}'" for role, name in WANTED
               if not any(r == role and n == name and showing(node) for r, n, node in nodes)]
    lists = [node for r, n, node in nodes if r == Atspi.Role.LIST and n == "Files"]
    if lists:
        items = [lists[0].get_child_at_index(i).get_name()
                 for i in range(lists[0].get_child_count())]
        missing += [f"file list item '{f}'" for f in FILES if f not in items]
    return missing


def main():
    deadline = time.monotonic() + 20
    missing = ["the main window"]
    while time.monotonic() < deadline:
        window = find_window()
        if window is not None:
            missing = missing_in(window)
            if not missing:
                print(f"AT-SPI shows '{TITLE}' with its buttons, check box and file list")
                return 0
        time.sleep(0.2)
    print("not found through AT-SPI: " + ", ".join(missing), file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
