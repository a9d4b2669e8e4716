"""Readers of Wine's trace output: the media commands a program sent (trace+mci)
and the texts it drew (trace+font)."""
import re


def decode_debugstr(text, start):
    """Decodes Wine's L"..." debug quoting from text[start] (the L); returns (string, end, cut).
    cut is True when Wine shortened a long string (it then ends in "...)."""
    if text[start:start + 2] != 'L"':
        raise ValueError(f"no wide string at {start}: {text[start:start + 20]!r}")
    out, i = [], start + 2
    while i < len(text):
        c = text[i]
        if c == '"':
            cut = text[i + 1:i + 4] == "..."
            return "".join(out), i + 1, cut
        if c != "\\":
            out.append(c)
            i += 1
            continue
        e = text[i + 1:i + 2]
        if e in ('"', "\\"):
            out.append(e)
            i += 2
        elif e in ("n", "r", "t"):
            out.append({"n": "\n", "r": "\r", "t": "\t"}[e])
            i += 2
        elif e == "x":
            out.append(chr(int(text[i + 2:i + 4], 16)))
            i += 4
        else:
            out.append(chr(int(text[i + 1:i + 5], 16)))
            i += 5
    raise ValueError("unterminated wide string")


# A thread stopped from outside in the middle of a trace line (the fault tests do that) can
# lose the line's "<thread>:trace:mci:mciSendStringW " header; the call itself still shows.
MCI_CALL = re.compile(r"^(?:[0-9a-f]+:trace:mci:mciSendStringW )?\(L\"")
MCI_RESULT = re.compile(r"^[0-9a-f]+:trace:mci:mciSendStringW => ([0-9a-fA-Fx]+)\s*$")
MCI_REFUSED = re.compile(r"^[0-9a-f]+:trace:mci:mciSendStringW Command L\".*\" not found!")
# Wine opens an alias of its own accord ("open <alias> wait") when a command names
# one that is not open; the player never sends that.
MCI_AUTO_OPEN = re.compile(r"^open \S+ wait$")
# The clipping rectangle is "(null)", a pointer, or "(left,top)-(right,bottom)" (text drawn by dialogs).
TEXT_OUT = re.compile(
    r"^[0-9a-f]+:trace:font:NtGdiExtTextOutW [^,]+, (-?\d+), (-?\d+), [0-9a-f]+, (?:\([^)]*\)-\([^)]*\)|[^,]+), L\"")


class MciCall:
    """One command string sent to the media device; result is Wine's bare result code when it
    traced one, refused is True when Wine did not know the command."""

    def __init__(self, command, cut):
        self.command, self.cut = command, cut
        self.result, self.refused = None, False

    def __repr__(self):
        return f"MciCall({self.command!r}, result={self.result}, refused={self.refused})"


def parse_mci_trace(lines):
    """Ordered media commands from a trace+mci log (Wine's own auto-opens left out)."""
    calls, last = [], None
    for line in lines:
        if MCI_CALL.match(line):
            command, _end, cut = decode_debugstr(line, line.index('L"'))
            # An auto-open runs inside the command that caused it, which keeps its result.
            if not MCI_AUTO_OPEN.match(command):
                last = MciCall(command, cut)
                calls.append(last)
        elif last is not None:
            m = MCI_RESULT.match(line)
            if m:
                last.result = int(m.group(1), 16)
                last.refused = last.result != 0
            elif MCI_REFUSED.match(line):
                last.refused = True
    return calls


class TextDraw:
    def __init__(self, x, y, text):
        self.x, self.y, self.text = x, y, text

    def __repr__(self):
        return f"TextDraw({self.x}, {self.y}, {self.text!r})"


def parse_font_trace(lines):
    """Every text drawn (with its position) from a trace+font log, in order."""
    draws = []
    for line in lines:
        m = TEXT_OUT.match(line)
        if m:
            text, _end, _cut = decode_debugstr(line, m.end() - 2)
            draws.append(TextDraw(int(m.group(1)), int(m.group(2)), text))
    return draws


MCI_LINE = re.compile(r"^([0-9a-f]+):trace:mci:mciSendStringW ")
# Every way Wine ends a call's trace: "=> 0", "=> 105", and after a close "=> 1/ 0 ((null))".
MCI_RETURNED = re.compile(r"^=> ")


def unanswered_mci_calls(lines):
    """(thread, command) of each media command still waiting for its result in a trace+mci log,
    in the order they were sent: a thread's call line with no result line of that thread after it.
    A thread that waits on the device forever shows here with the command it waits in (so does a
    thread's last command that Wine refused before tracing a result)."""
    pending = {}
    for line in lines:
        m = MCI_LINE.match(line)
        if not m:
            continue
        thread, rest = m.group(1), line[m.end():]
        if rest.startswith('(L"'):
            command, _end, _cut = decode_debugstr(rest, 1)
            if not MCI_AUTO_OPEN.match(command):
                pending.pop(thread, None)
                pending[thread] = command
        elif MCI_RETURNED.match(rest) or MCI_REFUSED.match(line):
            pending.pop(thread, None)
    return list(pending.items())
