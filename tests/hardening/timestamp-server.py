#!/usr/bin/env python3
"""A throwaway RFC 3161 time-stamping server for the Wine tests, so that
`scripts/package.sh --sign CERT.pfx --timestamp URL` is tried against a real
server without leaving the machine: it answers each time-stamp query POSTed
to it with `openssl ts -reply`, signed by the key and certificate that
CONFIG's default TSA section names. It listens on 127.0.0.1 on a free port,
writes its URL to URL_FILE once it listens, and serves until killed.

usage: timestamp-server.py CONFIG URL_FILE
"""
import http.server
import os
import subprocess
import sys


class TimestampHandler(http.server.BaseHTTPRequestHandler):
    config = ""

    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        answer = subprocess.run(["openssl", "ts", "-reply", "-config", self.config, "-queryfile", "/dev/stdin",
                                 "-out", "/dev/stdout"], input=query, capture_output=True)
        if answer.returncode != 0 or not answer.stdout:
            sys.stderr.write("timestamp-server: openssl ts -reply failed: %s\n" % answer.stderr.decode(errors="replace"))
            self.send_error(500, "openssl ts -reply failed")
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(answer.stdout)))
        self.end_headers()
        self.wfile.write(answer.stdout)

    def log_message(self, *_):
        pass


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: timestamp-server.py CONFIG URL_FILE")
    TimestampHandler.config = sys.argv[1]
    server = http.server.HTTPServer(("127.0.0.1", 0), TimestampHandler)
    with open(sys.argv[2] + ".part", "w") as f:
        f.write("http://127.0.0.1:%d/\n" % server.server_port)
    # Named only when whole, so that a reader never sees half a URL.
    os.replace(sys.argv[2] + ".part", sys.argv[2])
    server.serve_forever()


if __name__ == "__main__":
    main()
