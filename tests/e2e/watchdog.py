"""A watchdog over the players of a session: a player whose windows stop answering is hung.

Every second it pings each running player's shown windows with the window manager's
_NET_WM_PING: Wine answers it from the thread that owns the window (the player's loop), while
that thread reads its messages, by sending the ping back to the root window. A player none of
whose windows has answered for HANG_SECONDS is hung; the session's waits then fail with the media command its
stuck thread waits in (the last command without a result in Wine's trace+mci).
"""
import threading
import time

from Xlib import X, display, error, protocol

HANG_SECONDS = 10
PING_EVERY = 1.0


class Watchdog:
    """Pings the windows of `session.players` until stopped; `hung()` tells which player hung."""

    def __init__(self, session):
        self.session = session
        self.verdict = None
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._run, name="watchdog", daemon=True)
        self.thread.start()

    def stop(self):
        self.stopping.set()
        self.thread.join(10)

    def hung(self):
        """None while every player answers; else what the hung player was doing."""
        return self.verdict

    def _run(self):
        try:
            d = display.Display(self.session.display.name)
        except (error.DisplayError, OSError):
            return
        try:
            self._watch(d)
        finally:
            d.close()

    def _watch(self, d):
        protocols, ping = d.intern_atom("WM_PROTOCOLS"), d.intern_atom("_NET_WM_PING")
        root = d.screen().root
        root.change_attributes(event_mask=X.SubstructureNotifyMask)
        answered = {}  # player -> time of its last answer (or of its first ping)
        owners = {}  # window -> the player it was pinged for
        stamp = 0
        while not self.stopping.wait(PING_EVERY) and self.verdict is None:
            while d.pending_events():
                event = d.next_event()
                if event.type == X.ClientMessage and event.client_type == protocols and \
                        event.data[1][0] == ping and event.data[1][2] in owners:
                    answered[owners[event.data[1][2]]] = time.monotonic()
            for player in list(self.session.players):
                windows = self._windows(player)
                if not windows:
                    answered.pop(player, None)
                    continue
                answered.setdefault(player, time.monotonic())
                if time.monotonic() - answered[player] >= HANG_SECONDS:
                    self.verdict = f"{player.name} has not answered for {HANG_SECONDS} s; {player.stuck_in()}"
                    return
                stamp += 1
                for window in windows:
                    target = d.create_resource_object("window", window)
                    event = protocol.event.ClientMessage(window=target, client_type=protocols,
                                                         data=(32, [ping, stamp, window, 0, 0]))
                    target.send_event(event, event_mask=0)
                    owners[window] = player
            d.flush()

    @staticmethod
    def _windows(player):
        """X ids of the player's shown windows while its program runs."""
        if not player.watched or player.exit_code() is not None or player.process.poll() is not None:
            return []
        try:
            return [int(w) for w in player.windows(None)]
        except (OSError, ValueError):
            return []
