"""What the tests' loopback peers share: the listener, the accept loop and the reading
of a request's head; for a peer that speaks TLS, its throw-away certificates (made with
openssl) and its server context. Imported by update-peer.py, e2e/probe-peer.py and
probe-server.py."""
import os
import socket
import ssl
import subprocess
import threading
import time
import warnings

HEAD_LIMIT = 65536


def listen_loopback(port, backlog=16):
    """A listener on 127.0.0.1 (port 0: any free one), its accept waking every 50 ms."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(backlog)
    listener.settimeout(0.05)
    return listener


def listen_localhost(port, backlog=16):
    """Listeners on 127.0.0.1 and ::1 sharing one port (port 0: any free one), so that a
    client asking for "localhost" finds the peer whichever address family it tries first;
    IPv4 only on a machine without an IPv6 loopback."""
    listeners = [listen_loopback(port, backlog)]
    chosen = listeners[0].getsockname()[1]
    try:
        v6 = socket.socket(socket.AF_INET6, socket.SOCK_STREAM)
        v6.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        v6.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 1)
        v6.bind(("::1", chosen))
        v6.listen(backlog)
        v6.settimeout(0.05)
        listeners.append(v6)
    except OSError:
        pass
    return listeners


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


def serve_all(pairs, should_stop, deadline):
    """serve_until for each (listener, handle) pair at once, until all have stopped."""
    threads = [threading.Thread(target=serve_until, args=(listener, handle, should_stop, deadline), daemon=True)
               for listener, handle in pairs]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()


# The certificates a TLS peer can present, made afresh in every run: name -> (issuing root,
# subject, subject alternative names, validity as openssl ca's start and end dates; None:
# from now for two days).
CERTIFICATES = {
    "trusted": ("root", "localhost", "DNS:localhost,IP:127.0.0.1", None),
    "expired": ("root", "localhost", "DNS:localhost,IP:127.0.0.1", ("20200101000000Z", "20200201000000Z")),
    "wrong-host": ("root", "wrong-host.invalid", "DNS:wrong-host.invalid", None),
    "untrusted-root": ("other-root", "localhost", "DNS:localhost,IP:127.0.0.1", None),
}


def _openssl(folder, *arguments):
    subprocess.run(["openssl", *arguments], cwd=folder, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE)


def make_test_certificates(folder):
    """Two throw-away roots ("root", which a test installs as trusted, and "other-root",
    which nothing trusts) and a leaf of CERTIFICATES for each name, all sharing one leaf
    key; in folder as <name>.pem, the leaf key as leaf.key, the trusted root also as
    root.der. Returns {name: (certificate, key)} for the leaves."""
    os.makedirs(folder, exist_ok=True)
    for root, subject in (("root", "Zephyrix Test Root"), ("other-root", "Zephyrix Untrusted Test Root")):
        _openssl(folder, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", root + ".key", "-out",
                 root + ".pem", "-days", "2", "-subj", "/CN=" + subject, "-addext",
                 "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    _openssl(folder, "x509", "-in", "root.pem", "-outform", "DER", "-out", "root.der")
    _openssl(folder, "genrsa", "-out", "leaf.key", "2048")
    with open(os.path.join(folder, "ca.cnf"), "w") as f:
        f.write("[ca]\ndefault_ca = test\n[test]\ndatabase = index.txt\nnew_certs_dir = .\nserial = serial\n"
                "default_md = sha256\npolicy = anything\nunique_subject = no\n[anything]\ncommonName = supplied\n")
    open(os.path.join(folder, "index.txt"), "w").close()
    with open(os.path.join(folder, "serial"), "w") as f:
        f.write("1000\n")
    leaves = {}
    for name, (root, subject, names, dates) in CERTIFICATES.items():
        with open(os.path.join(folder, name + ".ext"), "w") as f:
            f.write("subjectAltName=%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n" % names)
        _openssl(folder, "req", "-new", "-key", "leaf.key", "-subj", "/CN=" + subject, "-out", name + ".csr")
        validity = ["-startdate", dates[0], "-enddate", dates[1]] if dates else ["-days", "2"]
        _openssl(folder, "ca", "-batch", "-notext", "-config", "ca.cnf", "-cert", root + ".pem", "-keyfile",
                 root + ".key", "-in", name + ".csr", "-out", name + ".pem", "-extfile", name + ".ext", *validity)
        leaves[name] = (os.path.join(folder, name + ".pem"), os.path.join(folder, "leaf.key"))
    return leaves


def tls_server_context(certificate, key, tls10_only=False):
    """A server context presenting the certificate; with tls10_only, one that offers TLS
    1.0 and nothing newer (which OpenSSL 3 allows only at security level 0)."""
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    if tls10_only:
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", DeprecationWarning)
            context.set_ciphers("ALL:@SECLEVEL=0")
            context.minimum_version = ssl.TLSVersion.TLSv1
            context.maximum_version = ssl.TLSVersion.TLSv1
    return context
