"""Listens on the accessibility bus as a screen reader does, and writes each focus, selection and name
event to standard output, one line each: the event's type, its first detail and its source's name as
read when the event came. It prints "ready" once it is registered (see tessarin_driver.Program)."""
import sys

import pyatspi

EVENTS = ("focus:", "object:state-changed:focused", "object:state-changed:selected",
          "object:property-change:accessible-name", "object:children-changed")


def note(event):
    try:
        name = event.source.name or ""
    except Exception:  # the source may be gone already
        name = ""
    sys.stdout.write(f"{event.type}\t{event.detail1}\t{name}\n")
    sys.stdout.flush()


pyatspi.Registry.registerEventListener(note, *EVENTS)
print("ready", flush=True)
pyatspi.Registry.start()
