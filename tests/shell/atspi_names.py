"""Reads the main window as a screen reader does (AT-SPI) and prints one line per input and
list: role, name. Waits for the program to appear on the accessibility bus."""
import sys
import time

import pyatspi


def find_program():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
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


ROLES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_LIST, pyatspi.ROLE_CHECK_BOX,
         pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LIST_BOX}

app = find_program()
if app is None:
    print("program not on the accessibility bus")
    sys.exit(1)
for node in walk(app):
    try:
        if node.getRole() in ROLES:
            print("%s\t%s" % (node.getRoleName(), node.name))
    except Exception:  # a node that went away while walking
        pass
