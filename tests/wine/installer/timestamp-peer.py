#!/usr/bin/env python3
"""An RFC 3161 timestamp authority on loopback, for the installer tests: tools/package is
given its address as ZEPHYRIX_TIMESTAMP_URL, so the timestamping path runs without the
Internet.

Usage: timestamp-peer.py <folder>

Makes its own authority certificate (<folder>/tsa-cert.pem, the root to check timestamps
against), listens on a free port of 127.0.0.1, writes that port to <folder>/port once it
accepts requests, and answers each POSTed timestamp query with `openssl ts -reply` until
it is ended.
"""
import http.server
import os
import subprocess
import sys
import tempfile

folder = os.path.abspath(sys.argv[1])
os.makedirs(folder, exist_ok=True)
cert = os.path.join(folder, "tsa-cert.pem")
key = os.path.join(folder, "tsa-key.pem")
config = os.path.join(folder, "tsa.cnf")

subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-sha256", "-days", "30", "-nodes",
                "-subj", "/O=Zephyrix tests/CN=Loopback timestamp authority",
                "-addext", "basicConstraints=critical,CA:FALSE",
                "-addext", "keyUsage=critical,digitalSignature",
                "-addext", "extendedKeyUsage=critical,timeStamping",
                "-keyout", key, "-out", cert], check=True, capture_output=True)
with open(os.path.join(folder, "serial"), "w") as f:
    f.write("01\n")
with open(config, "w") as f:
    f.write(f"""[ tsa ]
default_tsa = loopback
[ loopback ]
serial = {folder}/serial
signer_cert = {cert}
signer_key = {key}
signer_digest = sha256
default_policy = 1.3.6.1.4.1.4146.2.3
digests = sha256, sha1
accuracy = secs:1
ess_cert_id_alg = sha256
""")


class Authority(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with tempfile.NamedTemporaryFile(dir=folder) as query_file:
            query_file.write(query)
            query_file.flush()
            reply = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", query_file.name,
                                    "-out", "/dev/stdout"], capture_output=True)
        if reply.returncode != 0 or not reply.stdout:
            sys.stderr.write(reply.stderr.decode(errors="replace"))
            self.send_error(500)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)

    def log_message(self, format, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Authority)
with open(os.path.join(folder, "port.tmp"), "w") as f:
    f.write(str(server.server_address[1]))
os.replace(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
server.serve_forever()
