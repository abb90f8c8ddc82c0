#!/usr/bin/env python3
"""The one stand-in for the update service on 127.0.0.1, for both programs: the Wine tests
of the update exchange, the end-to-end tests of the offer, the launcher's tests and the
benchmark.

Usage: update-peer.py <port, 0 for any free one> <control-folder> [tls]

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

With "tls" it speaks TLS on <port> and plain HTTP on <port> + 1, both on 127.0.0.1 and
::1 (a client asks for "localhost"), with the same paths and control files. Before it
listens it makes throw-away certificates in <control>/certs (peerlib's
make_test_certificates; the root to trust is certs/root.der). The file "tls" chooses what
the TLS side does:
  trusted            (also without the file) a certificate for localhost from that root
  untrusted-root     one for localhost from a root nobody trusts
  expired            one from that root that expired in 2020
  wrong-host         one from that root for another name
  tls1.0             the trusted certificate, offering TLS 1.0 and nothing newer
  stall              accepts and never answers, not even the handshake
  redirect-to-http   the trusted certificate, then "302 Found" to the same path on the
                     plain side, with an empty body
Each connection adds a line to <control>/tls.log: "handshake <version>", "refused <mode>"
(the client gave up on the handshake) or "stalled".
"""
import os
import socket
import ssl
import sys
import threading
import time

import hostile_answers
from peerlib import listen_localhost, listen_loopback, make_test_certificates, read_head, serve_all, tls_server_context

port = int(sys.argv[1])
control = sys.argv[2]
tls = len(sys.argv) > 3 and sys.argv[3] == "tls"
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


def log_request(head):
    record = b"request %.6f\n" % time.time() + head.replace(b"\r\n", b"\n") + b"\n\n"
    with log_lock, open(path_of("requests.log"), "ab") as log:
        log.write(record)


def serve(conn, secure=False):
    with conn:
        conn.settimeout(30)
        try:
            head = read_head(conn, refuse_tls=True)
            # A client that refused the peer's certificate leaves right after the handshake,
            # without a request.
            if head is None or (secure and not head):
                return
            log_request(head)
            parts = head.split(b"\r\n", 1)[0].split(b" ")
            target = parts[1].decode("ascii", "replace") if len(parts) > 1 else ""
            answer(conn, target, head)
            with log_lock, open(path_of("answers.log"), "a") as log:
                log.write("answered %.6f %s\n" % (time.time(), target))
        except OSError:
            pass


def log_tls(line):
    with log_lock, open(path_of("tls.log"), "a") as log:
        log.write(line + "\n")


def tls_mode():
    try:
        with open(path_of("tls")) as f:
            return f.read().strip() or "trusted"
    except FileNotFoundError:
        return "trusted"


def stall(conn):
    """Holds the connection without a byte of answer until the client leaves or the peer stops."""
    with conn:
        conn.settimeout(0.2)
        while not os.path.exists(path_of("stop")):
            try:
                if not conn.recv(4096):
                    return
            except socket.timeout:
                continue
            except OSError:
                return


def redirect_to_plain(conn, plain_port):
    with conn:
        head = read_head(conn)
        if not head:
            return
        log_request(head)
        parts = head.split(b"\r\n", 1)[0].split(b" ")
        target = parts[1] if len(parts) > 1 else b"/"
        conn.sendall(b"HTTP/1.1 302 Found\r\nLocation: http://localhost:%d%s\r\nContent-Length: 0\r\n"
                     b"Connection: close\r\n\r\n" % (plain_port, target))


def serve_tls(contexts, plain_port):
    def handle(conn):
        mode = tls_mode()
        if mode == "stall":
            log_tls("stalled")
            stall(conn)
            return
        conn.settimeout(30)
        try:
            secure = contexts.get(mode, contexts["trusted"]).wrap_socket(conn, server_side=True)
        except (ssl.SSLError, OSError):
            log_tls("refused " + mode)
            conn.close()
            return
        log_tls("handshake " + str(secure.version()))
        try:
            if mode == "redirect-to-http":
                redirect_to_plain(secure, plain_port)
            else:
                serve(secure, secure=True)
        except OSError:
            pass
    return handle


def main():
    stopped = lambda: os.path.exists(path_of("stop"))  # noqa: E731
    if tls:
        leaves = make_test_certificates(path_of("certs"))
        contexts = {name: tls_server_context(*leaf) for name, leaf in leaves.items()}
        contexts["tls1.0"] = tls_server_context(*leaves["trusted"], tls10_only=True)
        secure = listen_localhost(port)
        chosen = secure[0].getsockname()[1]
        plain = listen_localhost(chosen + 1)
        listeners = [(listener, serve_tls(contexts, chosen + 1)) for listener in secure]
        listeners += [(listener, serve) for listener in plain]
    else:
        listeners = [(listen_loopback(port), serve)]
        chosen = listeners[0][0].getsockname()[1]
    with open(path_of("port.tmp"), "w") as f:
        f.write(str(chosen))
    os.rename(path_of("port.tmp"), path_of("port"))
    serve_all(listeners, stopped, deadline)


if __name__ == "__main__":
    main()
