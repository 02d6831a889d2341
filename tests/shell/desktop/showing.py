#!/usr/bin/python3
"""Prints, for each accessible name given, whether the main window shows a control of that
name on screen ("NAME<TAB>shown" or "NAME<TAB>hidden"; "NAME<TAB>missing" when there is none).
With "--press NAME" it presses the button of that name (or picks the tab) instead, as a screen
reader user does.
Reads the window as a screen reader does (AT-SPI), waiting for the program to appear."""
import sys
import time

import pyatspi


def find_program():
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == "tavlor":
                return app
        time.sleep(0.1)
    return None


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for child in node:
        yield from walk(child, depth + 1)


app = find_program()
if app is None:
    print("program not on the accessibility bus", file=sys.stderr)
    sys.exit(1)
if sys.argv[1] == "--press":
    for node in walk(app):
        try:
            if node.name == sys.argv[2] and node.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_PAGE_TAB):
                action = node.queryAction()
                names = [action.getName(i) for i in range(action.nActions)]
                # The first action of a push button is its press ("Press", or in the
                # user's language).
                if names:
                    action.doAction(names.index("Press") if "Press" in names else 0)
                    sys.exit(0)
        except Exception:  # a node that went away while walking
            pass
    print("no button %r to press" % sys.argv[2], file=sys.stderr)
    sys.exit(1)
wanted = sys.argv[1:]
seen = {}
for node in walk(app):
    try:
        name = node.name
        if name in wanted:
            showing = node.getState().contains(pyatspi.STATE_SHOWING)
            seen[name] = seen.get(name, False) or showing
    except Exception:  # a node that went away while walking
        pass
for name in wanted:
    print("%s\t%s" % (name, "missing" if name not in seen else ("shown" if seen[name] else "hidden")))
