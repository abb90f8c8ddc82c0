#!/usr/bin/env python3
"""The update service's peer for the launcher's Wine tests, on a fixed loopback port (the
test build of the launcher has that address built in).

Usage: update-peer.py <port> <control-folder>

Every request is appended to "requests.log" in the control folder: "request " and the
request line, then "header " and each header line exactly as it arrived, in order, then
"end". What the peer
answers is decided per request by files in the control folder:
  hold     while it exists, the request waits for its answer (it is recorded at once)
  refuse   close the connection without an answer (the launcher's request fails)
  reply    the body of a "200 OK" answer (an empty body when the file is missing)
The peer writes "listening" once it accepts connections and ends when "stop" appears,
or after 10 minutes.
"""
import os
import socket
import sys
import threading
import time

port = int(sys.argv[1])
control = sys.argv[2]
deadline = time.monotonic() + 600
log_lock = threading.Lock()


def path(name):
    return os.path.join(control, name)


def record(head):
    lines = head.decode("latin-1").split("\r\n")
    entry = "request " + lines[0] + "\n"
    entry += "".join("header " + line + "\n" for line in lines[1:] if line)
    with log_lock, open(path("requests.log"), "a", encoding="latin-1") as log:
        log.write(entry + "end\n")


def answer(conn):
    with conn:
        conn.settimeout(5)
        data = b""
        try:
            while b"\r\n\r\n" not in data and len(data) < 65536:
                chunk = conn.recv(4096)
                if not chunk:
                    return
                data += chunk
            record(data.split(b"\r\n\r\n", 1)[0])
            while os.path.exists(path("hold")) and not os.path.exists(path("stop")) and time.monotonic() < deadline:
                time.sleep(0.05)
            if os.path.exists(path("refuse")):
                return
            body = b""
            if os.path.exists(path("reply")):
                with open(path("reply"), "rb") as f:
                    body = f.read()
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: %d\r\n"
                         b"Connection: close\r\n\r\n" % len(body) + body)
        except OSError:
            pass


listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", port))
listener.listen(16)
listener.settimeout(0.05)
open(path("listening"), "w").close()
while not os.path.exists(path("stop")) and time.monotonic() < deadline:
    try:
        conn, _ = listener.accept()
    except socket.timeout:
        continue
    threading.Thread(target=answer, args=(conn,), daemon=True).start()
