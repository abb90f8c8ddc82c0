#!/usr/bin/env python3
"""Local peers for the connectivity probe's tests, all on 127.0.0.1.

Usage: probe-server.py <ports-file>

Opens one listener per behaviour on a free port, then writes "name port" lines to
<ports-file> (atomically). It serves until the connection that the test program opens
to its "lifeline" port closes, which happens at the latest when that program ends (it
may be started detached, so it cannot watch its parent); without a lifeline within
30 seconds it ends by itself. Behaviours:
  ok, moved, missing, unavailable  answer 200, 301 (to the closed port), 404, 503
  http10                           answers "HTTP/1.0 200 OK"
  split                            sends its status line (404) in three pieces
  hugehead                         a status line, then header lines without end (64 MB)
  strict                           answers 204 only to "HEAD / HTTP/1.1" with the Host
                                   (address and port), "User-Agent: Zephyrix" and
                                   "Connection: close", otherwise closes without answering
  silent                           accepts, reads, never answers, never closes
  hangup                           accepts and closes at once
  garbage                          answers with text that is not HTTP
  badstatus                        a status line whose status has two digits
  drip                             its answer one byte every half second
  closed                           a port that was free a moment ago; nothing listens
"""
import os
import socket
import sys
import threading
import time

from peerlib import read_head

STATUS = {
    "ok": b"200 OK",
    "moved": b"301 Moved Permanently",
    "missing": b"404 Not Found",
    "unavailable": b"503 Service Unavailable",
}

held = []  # silent peers' sockets stay open for the server's lifetime


def serve(name, conn, ports):
    if name == "hangup":
        conn.close()
        return
    conn.settimeout(10)
    try:
        head = read_head(conn)
    except OSError:
        head = b""
    if name == "silent":
        held.append(conn)
        return
    try:
        answer(name, conn, head, ports)
    except OSError:
        pass  # the probe hung up once it had what it needed
    conn.close()


def answer(name, conn, head, ports):
    if name == "garbage":
        conn.sendall(b"this is not an answer\r\n\r\n")
    elif name == "badstatus":
        conn.sendall(b"HTTP/1.1 20 OK\r\nContent-Length: 0\r\n\r\n")
    elif name == "http10":
        conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n")
    elif name == "split":
        for piece in (b"HTTP/1.", b"1 40", b"4 Not Found\r\nContent-Length: 0\r\n\r\n"):
            conn.sendall(piece)
            time.sleep(0.3)
    elif name == "hugehead":
        conn.sendall(b"HTTP/1.1 200 OK\r\n")
        line = b"X-Filler: " + b"a" * 1000 + b"\r\n"
        for _ in range(64 * 1024):
            conn.sendall(line)
    elif name == "drip":
        for byte in b"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n":
            conn.sendall(bytes([byte]))
            time.sleep(0.5)
    elif name == "strict":
        lines = head.split(b"\r\n")
        host = b"Host: 127.0.0.1:%d" % ports["strict"]
        if lines[0] == b"HEAD / HTTP/1.1" and host in lines and b"User-Agent: Zephyrix" in lines and \
                b"Connection: close" in lines:
            conn.sendall(b"HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n")
    else:
        extra = b""
        if name == "moved":
            extra = b"Location: http://127.0.0.1:%d/\r\n" % ports["closed"]
        conn.sendall(b"HTTP/1.1 " + STATUS[name] + b"\r\n" + extra +
                     b"Content-Length: 0\r\nConnection: close\r\n\r\n")


def listen(name, sock, ports):
    while True:
        conn, _ = sock.accept()
        threading.Thread(target=serve, args=(name, conn, ports), daemon=True).start()


def detach_standard_streams():
    # Inherited pipes would keep a test runner waiting for this process's output.
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    os.closerange(3, 4096)


def main():
    ports_file = sys.argv[1]
    detach_standard_streams()
    lifeline = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    lifeline.bind(("127.0.0.1", 0))
    lifeline.listen(1)
    ports = {"lifeline": lifeline.getsockname()[1]}
    listeners = {}
    for name in list(STATUS) + ["strict", "silent", "hangup", "garbage", "badstatus", "http10", "split", "hugehead",
                                "drip"]:
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.bind(("127.0.0.1", 0))
        sock.listen(16)
        listeners[name] = sock
        ports[name] = sock.getsockname()[1]
    spare = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    spare.bind(("127.0.0.1", 0))
    ports["closed"] = spare.getsockname()[1]
    spare.close()
    for name, sock in listeners.items():
        threading.Thread(target=listen, args=(name, sock, ports), daemon=True).start()
    with open(ports_file + ".tmp", "w") as out:
        for name, port in ports.items():
            out.write("%s %d\n" % (name, port))
    os.rename(ports_file + ".tmp", ports_file)
    lifeline.settimeout(30)
    try:
        conn, _ = lifeline.accept()
    except OSError:
        return
    conn.settimeout(None)
    while conn.recv(1):
        pass


if __name__ == "__main__":
    main()
