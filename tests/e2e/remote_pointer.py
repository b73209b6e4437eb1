#!/usr/bin/python3
"""Moves and presses the compositor's own pointer through mutter's remote desktop session on the session bus,
as a person's mouse would: the compositor sees the motion and the buttons, not only the X server.

Reads one action a line and answers "ok" once the compositor has it:
  move X Y   glide to the screen pixel (X, Y) in small steps
  press      press the left button
  release    release the left button

The session's pointer has no known place at the start and relative motion stops at the screen's edges, so a
move far up and left puts it at (0, 0) first; every later place is counted from there. The session, and a
button it holds, ends with this process.
"""

import sys

from gi.repository import Gio, GLib

BUS_NAME = "org.gnome.Mutter.RemoteDesktop"
SESSION = "org.gnome.Mutter.RemoteDesktop.Session"
BTN_LEFT = 0x110  # the kernel's code for the left button
STEP = 16  # pixels per motion event, so the compositor and the program see a drag, not a jump


class RemotePointer:
    def __init__(self):
        self.bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        (self.session,) = self.call("/org/gnome/Mutter/RemoteDesktop", BUS_NAME, "CreateSession")
        self.call(self.session, SESSION, "Start")
        self.x = self.y = 0
        self.motion(-100000, -100000)

    def call(self, path, interface, method, *args, signature=""):
        parameters = GLib.Variant(f"({signature})", args) if signature else None
        reply = self.bus.call_sync(BUS_NAME, path, interface, method, parameters, None, 0, 5000, None)
        return reply.unpack() if reply else ()

    def motion(self, dx, dy):
        self.call(self.session, SESSION, "NotifyPointerMotionRelative", float(dx), float(dy), signature="dd")

    def move(self, x, y):
        steps = max(1, max(abs(x - self.x), abs(y - self.y)) // STEP)
        for step in range(1, steps + 1):
            nx = self.x + (x - self.x) * step // steps
            ny = self.y + (y - self.y) * step // steps
            self.motion(nx - self.x, ny - self.y)
            self.x, self.y = nx, ny

    def button(self, pressed):
        self.call(self.session, SESSION, "NotifyPointerButton", BTN_LEFT, pressed, signature="ib")


def main():
    pointer = RemotePointer()
    print("ok", flush=True)
    for line in sys.stdin:
        action, *place = line.split()
        if action == "move":
            pointer.move(int(place[0]), int(place[1]))
        elif action in ("press", "release"):
            pointer.button(action == "press")
        else:
            sys.exit(f"remote_pointer.py: no action {action}")
        print("ok", flush=True)


if __name__ == "__main__":
    main()
