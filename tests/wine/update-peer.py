#!/usr/bin/env python3
"""The one stand-in for the update service on 127.0.0.1, for both programs: the Wine tests
of the update exchange, the end-to-end tests of the offer, the launcher's tests and the
benchmark.

Usage: update-peer.py <port, 0 for any free one> <control-folder>

Once listening it writes the port to <control>/port. It ends when <control>/stop
appears, or after 15 minutes. Every request is logged when it arrives, in
<control>/requests.log: a line "request <unix time>", the request's head as received
(request line and header lines), and an empty line. When its answer has gone out, a line
"answered <unix time> <path>" is added to <control>/answers.log.

Paths:
  /api.init.php  the service: <control>/answer holds the body (404 with an HTML page
                 when the file is missing); while <control>/hold exists the answer
                 waits, the connection open; while <control>/refuse exists the
                 connection is closed without an answer (after any hold)
  /echo          200 with the request's head (request line and header lines) as body
  /missing       404 with an HTML body
  /utf8          UTF-8 text declared as ISO-8859-1
  /size/<n>      200 with a body of n bytes
  /chunked       a body sent in several chunks

Hostile answers of /api.init.php (a 100 MB body, a drip, invalid bytes, a redirect to a
file: address) are chosen by the file "hostile"; see hostile_answers.py.
"""
import os
import sys
import threading
import time

import hostile_answers
from peerlib import listen_loopback, read_head, serve_until

port = int(sys.argv[1])
control = sys.argv[2]
deadline = time.monotonic() + 900
log_lock = threading.Lock()

NOT_FOUND = b"<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1></body></html>"
UTF8_TEXT = '{"update":"https://dl.test/\u00e9","info":{"text":"\uc548\ub155 \u00b7 \uff1f"}}'.encode("utf-8")


def path_of(name):
    return os.path.join(control, name)


def respond(conn, status, body, content_type=b"application/json"):
    conn.sendall(b"HTTP/1.1 " + status + b"\r\nContent-Type: " + content_type +
                 b"\r\nContent-Length: " + str(len(body)).encode() +
                 b"\r\nConnection: close\r\n\r\n" + body)


def answer(conn, target, head):
    if target == "/api.init.php":
        while os.path.exists(path_of("hold")) and not os.path.exists(path_of("stop")):
            time.sleep(0.001)
        if os.path.exists(path_of("refuse")):
            return
        try:
            with open(path_of("answer"), "rb") as f:
                body = f.read()
        except FileNotFoundError:
            body = None
        hostile = hostile_answers.take(control)
        if hostile:
            hostile_answers.answer(conn, hostile, body or b"", lambda: os.path.exists(path_of("stop")))
        elif body is not None:
            respond(conn, b"200 OK", body)
        else:
            respond(conn, b"404 Not Found", NOT_FOUND, b"text/html")
    elif target == "/echo":
        respond(conn, b"200 OK", head, b"text/plain")
    elif target == "/utf8":
        respond(conn, b"200 OK", UTF8_TEXT, b"text/plain; charset=iso-8859-1")
    elif target.startswith("/size/"):
        respond(conn, b"200 OK", b"a" * int(target[len("/size/"):]), b"text/plain")
    elif target == "/chunked":
        conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n")
        for piece in (b'{"update":', b'"https://dl.test/', b'chunked.exe"}'):
            conn.sendall(b"%x\r\n%s\r\n" % (len(piece), piece))
            time.sleep(0.02)
        conn.sendall(b"0\r\n\r\n")
    else:
        respond(conn, b"404 Not Found", NOT_FOUND, b"text/html")


def serve(conn):
    with conn:
        conn.settimeout(30)
        try:
            head = read_head(conn, refuse_tls=True)
            if head is None:
                return
            record = b"request %.6f\n" % time.time() + head.replace(b"\r\n", b"\n") + b"\n\n"
            with log_lock, open(path_of("requests.log"), "ab") as log:
                log.write(record)
            parts = head.split(b"\r\n", 1)[0].split(b" ")
            target = parts[1].decode("ascii", "replace") if len(parts) > 1 else ""
            answer(conn, target, head)
            with log_lock, open(path_of("answers.log"), "a") as log:
                log.write("answered %.6f %s\n" % (time.time(), target))
        except OSError:
            pass


def main():
    listener = listen_loopback(port)
    with open(path_of("port.tmp"), "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.rename(path_of("port.tmp"), path_of("port"))
    serve_until(listener, serve, lambda: os.path.exists(path_of("stop")), deadline)


if __name__ == "__main__":
    main()
