#!/usr/bin/env python3
"""Serves one installation package on a loopback port, as the package server would.

    serve-package.py PORT PACKAGE [--rate BYTES_PER_SECOND]

GET /down/InstallNorlo.zip answers the file (PACKAGE "none" answers 404); any
other path answers 404. --rate slows the body down so that a person (or a
screenshot) can see the download progress. Binds 127.0.0.1 only.
"""
import argparse
import http.server
import os
import time

PACKAGE_PATH = "/down/InstallNorlo.zip"


def make_handler(package, rate):
    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if self.path != PACKAGE_PATH or package == "none" or not os.path.isfile(package):
                self.send_error(404)
                return
            size = os.path.getsize(package)
            self.send_response(200)
            self.send_header("Content-Type", "application/zip")
            self.send_header("Content-Length", str(size))
            self.end_headers()
            chunk = 65536
            with open(package, "rb") as f:
                while True:
                    data = f.read(chunk)
                    if not data:
                        break
                    try:
                        self.wfile.write(data)
                    except (BrokenPipeError, ConnectionResetError):
                        return
                    if rate:
                        time.sleep(len(data) / rate)

        def log_message(self, *args):
            pass

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port", type=int)
    parser.add_argument("package")
    parser.add_argument("--rate", type=float, default=0)
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), make_handler(args.package, args.rate))
    server.serve_forever()


if __name__ == "__main__":
    main()
