"""Answers of a hostile peer, shared by the update service's stand-in (update-peer.py)
and the connectivity probe's peer (e2e/probe-peer.py).

A mode is chosen by the file "hostile" in a peer's control folder: its first word is the
mode, the rest of its first line the mode's argument. While the file "hostile-left"
holds a number, only that many requests get the hostile answer (the number counts down)
and later ones the peer's normal answer; without that file every request gets it.

Modes:
  huge-body   "200 OK" announcing and sending a body of 100 MB
  huge-head   "200 OK" followed by 100 MB of header lines, never ending the head
  drip        the whole answer, status line first, one byte per second, without end
  drip-body   the head at once, then a body of one byte per second, without end
  garbage     "200 OK" whose body holds invalid UTF-8 and NUL bytes around an "update"
              value that holds them too (the argument, when given, is the address's start)
  redirect    "302 Found" to the argument (a file: address, a local program); its
              body is the peer's normal answer, so a client that does not follow it
              still reads an answer
"""
import os
import time

HUGE_BYTES = 100 * 1024 * 1024
PIECE = b"a" * 65536


def take(control):
    """The hostile mode and argument for this request, or None for the normal answer."""
    try:
        with open(os.path.join(control, "hostile"), "r", encoding="utf-8") as f:
            line = f.readline().strip()
    except FileNotFoundError:
        return None
    if not line:
        return None
    left_path = os.path.join(control, "hostile-left")
    if os.path.exists(left_path):
        with open(left_path) as f:
            left = int(f.read().strip() or "0")
        if left <= 0:
            return None
        with open(left_path + ".tmp", "w") as f:
            f.write(str(left - 1))
        os.replace(left_path + ".tmp", left_path)
    mode, _, argument = line.partition(" ")
    return mode, argument.strip()


def _drip(conn, data, stopped):
    for i in range(len(data)):
        if stopped():
            return
        conn.sendall(data[i:i + 1])
        time.sleep(1)


def answer(conn, hostile, normal_body, stopped):
    """Sends the hostile answer; returns when it is done or the client went away.
    `normal_body` is what the peer would have answered; `stopped` tells that it ends."""
    mode, argument = hostile
    try:
        if mode == "huge-body":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: %d\r\n"
                         b"Connection: close\r\n\r\n" % HUGE_BYTES)
            for _ in range(HUGE_BYTES // len(PIECE)):
                if stopped():
                    return
                conn.sendall(PIECE)
        elif mode == "huge-head":
            conn.sendall(b"HTTP/1.1 200 OK\r\n")
            line = b"X-Filler: " + b"a" * 1000 + b"\r\n"
            for _ in range(HUGE_BYTES // len(line)):
                if stopped():
                    return
                conn.sendall(line)
        elif mode == "drip":
            _drip(conn, b"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n" +
                  b"a" * 100000, stopped)
        elif mode == "drip-body":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n")
            _drip(conn, b"{" + b"a" * 100000, stopped)
        elif mode == "garbage":
            start = argument.encode("utf-8") or b"http://127.0.0.1/"
            body = (b"\xff\xfe\x00{\"result\":\"\xc0\x80\xed\xa0\x80\",\"update\":\"" + start +
                    b"\xff\x00\xc3(\xf0\x28\x8c\xbc.exe\",\"info\":{\"style\":\"note\",\"text\":\"\x00\xe2\x82\","
                    b"\"url\":\"\xf8\x88\x80\x80\x80\"}}\x00\x00\xff")
            conn.sendall(b"HTTP/1.1 200 \xff\x00OK\r\nContent-Type: application/json; charset=\xff\r\n"
                         b"X-\xc0\x80: \x00\xfe\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % len(body) + body)
        elif mode == "redirect":
            conn.sendall(b"HTTP/1.1 302 Found\r\nLocation: " + argument.encode("utf-8") +
                         b"\r\nContent-Type: application/json\r\nContent-Length: %d\r\nConnection: close\r\n\r\n"
                         % len(normal_body) + normal_body)
        else:
            conn.sendall(b"HTTP/1.1 500 Unknown Hostile Mode\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
    except OSError:
        pass  # the client hung up: that is what a bounded client does
