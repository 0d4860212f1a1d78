#!/usr/bin/python3
# Writes the accessible name and role of the object that has the keyboard focus, as a screen
# reader hears them, into the file given (one line, replaced at each change), for the keyboard
# tour to know where Tab has gone. Runs until killed.
import os
import sys

import pyatspi

out = sys.argv[1]


def focused(event):
    if not event.detail1:
        return
    try:
        line = f"{event.source.name}\t{event.source.getRoleName()}\n"
    except Exception:
        return
    tmp = out + ".new"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write(line)
    os.replace(tmp, out)


pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
pyatspi.Registry.start()
