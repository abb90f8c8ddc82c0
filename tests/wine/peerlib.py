"""What the tests' loopback peers share: the listener, the accept loop and the reading
of a request's head. Imported by update-peer.py, e2e/probe-peer.py and probe-server.py."""
import socket
import threading
import time

HEAD_LIMIT = 65536


def listen_loopback(port, backlog=16):
    """A listener on 127.0.0.1 (port 0: any free one), its accept waking every 50 ms."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(backlog)
    listener.settimeout(0.05)
    return listener


def read_head(conn, refuse_tls=False, complete_only=False):
    """The request's head up to its blank line (without it), or what arrived of it before
    the peer closed or 64 KiB had come; None for a TLS handshake when refuse_tls is set
    (the peers speak plain HTTP only), and None for a head cut short by the peer's close
    when complete_only is set."""
    data = b""
    while b"\r\n\r\n" not in data and len(data) < HEAD_LIMIT:
        chunk = conn.recv(4096)
        if not chunk:
            if complete_only:
                return None
            break
        data += chunk
        if refuse_tls and data.startswith(b"\x16"):
            return None
    return data.split(b"\r\n\r\n", 1)[0]


def serve_until(listener, handle, should_stop, deadline):
    """Hands each connection to handle(conn) on a thread of its own until should_stop()
    or the monotonic deadline."""
    while not should_stop() and time.monotonic() < deadline:
        try:
            conn, _ = listener.accept()
        except socket.timeout:
            continue
        threading.Thread(target=handle, args=(conn,), daemon=True).start()
