"""What a screen reader finds of the running program through the desktop's accessibility bus (AT-SPI), checked the
way a reader walks it: the main window's buttons and links with their names, a quick-select button pressed through
the bus, and the TV panel opened with its key, named for what it is and holding the keyboard.
    screen_reader.py SLOT3_STATION
Prints what it checked; exits 1 with the reason at the first thing a reader would find wrong."""
import subprocess
import sys
import time

import pyatspi


def fail(reason):
    print(f"FAIL: {reason}", file=sys.stderr)
    sys.exit(1)


def wait_for(what, find, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    fail(f"{what} never appeared on the accessibility bus")


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Vimaro":
            return app
    return None


def window(app, name):
    for frame in app:
        if frame is not None and frame.name == name and frame.getState().contains(pyatspi.STATE_SHOWING):
            return frame
    return None


def controls(root):
    """Every push button and link under root, as (role, name, accessible)."""
    found = pyatspi.findAllDescendants(root, lambda a: a.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LINK))
    return [(a.getRoleName(), a.name, a) for a in found]


slot3_station = sys.argv[1]
app = wait_for("the program", program)
main = wait_for("the main window, Vimaro 电视电台快选", lambda: window(app, "Vimaro 电视电台快选"))
heard = controls(main)
names = [(role, name) for role, name, _ in heard]
expected = [("push button", "打开电视选框"), ("push button", "是否在最前面"), ("push button", "最小化"),
            ("push button", "退出Vimaro"), ("push button", "打开广播选框"),
            ("push button", f"快速选台三：{slot3_station}"), ("push button", "预置电台"), ("push button", "外观设置"),
            ("link", "手机短信"), ("push button", "频道设置"), ("link", "Vimaro 开发组")]
for control in expected:
    if control not in names:
        fail(f"the main window has no {control[0]} {control[1]}; a reader hears {names}")
if len(heard) != 19:
    fail(f"the main window should have 19 buttons and links, a reader finds {len(heard)}: {names}")
print(f"main window: {len(heard)} buttons and links, all named")

slot2 = next(a for role, name, a in heard if name.startswith("快速选台二："))
slot2.queryAction().doAction(0)
print("pressed", slot2.name)

# The keyboard is the main window's; T opens the TV panel, which takes it.
subprocess.run(["xdotool", "key", "t"], check=True)
panel = wait_for("the TV panel, 电视选框", lambda: window(app, "电视选框"))
station_list = pyatspi.findDescendant(panel, lambda a: a.getRole() == pyatspi.ROLE_LIST)
if station_list is None or station_list.name != "电视台列表":
    fail(f"the TV panel has no list named 电视台列表: {station_list and station_list.name}")
wait_for("the keyboard in the TV panel's list", lambda: station_list.getState().contains(pyatspi.STATE_FOCUSED), 5)
print("T opened 电视选框 with the keyboard in 电视台列表")
