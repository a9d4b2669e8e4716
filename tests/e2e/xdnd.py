"""A small X drag-and-drop (XDND) source: drops files on an X window as a file manager does.

The source offers the files as text/uri-list through the XdndSelection selection, enters the
target window, moves to a point, waits for the target's answer and drops. It serves the
selection whenever the target asks for it (Wine asks at the enter, before the drop).
"""
import select
import time
import urllib.parse

from Xlib import X, Xatom, display, protocol

XDND_VERSION = 5


class DropRefused(AssertionError):
    pass


def _uri_list(paths):
    return "".join("file://" + urllib.parse.quote(path) + "\r\n" for path in paths).encode()


def drop_files(display_name, target_id, x, y, paths, timeout=10):
    """Drops the Unix paths on X window target_id at root point (x, y). Returns once the target
    reports the drop finished; raises DropRefused when it refuses the drop or does not answer."""
    d = display.Display(display_name)
    try:
        atom = d.intern_atom
        selection, uri_list, targets = atom("XdndSelection"), atom("text/uri-list"), atom("TARGETS")
        enter, position, status = atom("XdndEnter"), atom("XdndPosition"), atom("XdndStatus")
        drop, finished, copy = atom("XdndDrop"), atom("XdndFinished"), atom("XdndActionCopy")
        root = d.screen().root
        source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
        target = d.create_resource_object("window", target_id)
        source.set_selection_owner(selection, X.CurrentTime)
        payload = _uri_list(paths)

        def send(kind, data):
            event = protocol.event.ClientMessage(window=target, client_type=kind, data=(32, data))
            target.send_event(event, event_mask=0)
            d.flush()

        def serve(request):
            prop = request.property or request.target
            if request.target == uri_list:
                request.requestor.change_property(prop, uri_list, 8, payload)
            elif request.target == targets:
                request.requestor.change_property(prop, Xatom.ATOM, 32, [uri_list])
            else:
                prop = X.NONE
            notify = protocol.event.SelectionNotify(time=request.time, requestor=request.requestor,
                                                    selection=request.selection, target=request.target,
                                                    property=prop)
            request.requestor.send_event(notify, event_mask=0)
            d.flush()

        send(enter, [source.id, XDND_VERSION << 24, uri_list, 0, 0])
        send(position, [source.id, 0, (x << 16) | y, X.CurrentTime, copy])
        dropped = False
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if not d.pending_events():
                select.select([d.fileno()], [], [], 0.1)
                if not d.pending_events():
                    continue
            event = d.next_event()
            if event.type == X.SelectionRequest:
                serve(event)
            elif event.type == X.ClientMessage and event.client_type == status and not dropped:
                if not event.data[1][1] & 1:
                    raise DropRefused(f"window {target_id:#x} refused the drop at ({x}, {y})")
                send(drop, [source.id, 0, X.CurrentTime, 0, 0])
                dropped = True
            elif event.type == X.ClientMessage and event.client_type == finished:
                return
        raise DropRefused(f"no answer from window {target_id:#x} within {timeout} s")
    finally:
        d.close()
