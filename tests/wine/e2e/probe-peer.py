#!/usr/bin/env python3
"""The connectivity probe's peer for the end-to-end run tests, on a fixed loopback port
(the test build of the main program has that address built in).

Usage: probe-peer.py <port> <control-folder>

Nothing listens on the port until the file "answer" appears in the control folder, so
the program's probes fail the way they do without Internet; from then on every request
gets "204 No Content" while that file exists, and is hung up on unanswered once it is
removed again. It writes "ready" once it watches the folder, and ends when the file
"stop" appears, or after 10 minutes.
While it answers, the file "hostile" chooses a hostile answer instead (a head of 100 MB,
a drip, invalid bytes, a redirect to a file: address); see ../hostile_answers.py.
"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import hostile_answers  # noqa: E402
from peerlib import listen_loopback, read_head, serve_until  # noqa: E402

port = int(sys.argv[1])
control = sys.argv[2]
deadline = time.monotonic() + 600
open(os.path.join(control, "ready"), "w").close()  # the wrapper waits for this


def exists(name):
    return os.path.exists(os.path.join(control, name))


def answer(conn):
    with conn:
        conn.settimeout(5)
        try:
            if read_head(conn, complete_only=True) is None:
                return
            if not exists("answer"):
                return  # silent again: the probe fails as without Internet
            hostile = hostile_answers.take(control)
            if hostile:
                hostile_answers.answer(conn, hostile, b"", lambda: exists("stop"))
                return
            conn.sendall(b"HTTP/1.1 204 No Content\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
        except OSError:
            pass


while not exists("answer") and not exists("stop") and time.monotonic() < deadline:
    time.sleep(0.01)

if exists("answer"):
    listener = listen_loopback(port)
    open(os.path.join(control, "listening"), "w").close()
    serve_until(listener, answer, lambda: exists("stop"), deadline)
