"""A clipboard manager as desktops run one: it owns CLIPBOARD_MANAGER, and when a program that ends asks it to take
over what the program owns (SAVE_TARGETS), it says it did at once and prints "took over" for the test to read.
    clipboard_manager.py    (runs until the X server goes)"""
from Xlib import X, display
from Xlib.error import ConnectionClosedError
from Xlib.protocol import event

screen = display.Display()
window = screen.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
window.set_selection_owner(screen.intern_atom("CLIPBOARD_MANAGER"), X.CurrentTime)
screen.flush()
print("ready", flush=True)
try:
    while True:
        request = screen.next_event()
        if request.type != X.SelectionRequest:
            continue
        print("took over", flush=True)
        request.requestor.send_event(event.SelectionNotify(time=request.time, requestor=request.requestor,
                                                           selection=request.selection, target=request.target,
                                                           property=request.property))
        screen.flush()
except ConnectionClosedError:
    pass
