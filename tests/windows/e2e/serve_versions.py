#!/usr/bin/env python3
"""Stands in for the update server on 127.0.0.1 port 80 (the version check
always asks port 80) while one command runs, and exits with its status.
Each request line is appended to FOLDER/version-requests.log and the number
of requests so far written to FOLDER/version-count.txt; the answer is chosen
by the requested path:

  /same    the running build, with a page      /newer  a newer build
  /bad     a newer build but no page           anything else: 404

usage: serve_versions.py FOLDER COMMAND...
"""
import os
import socketserver
import sys
import threading

from serve_folder import serve_during

ANSWERS = {
    "/same": b"!V2000801\r\n!Phttp://127.0.0.1/download\r\n",
    "/newer": b"!V2000802\r\n!Phttp://127.0.0.1/download\r\n!Wupdates\r\n",
    "/bad": b"!V2000802\r\n",
}


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        request = self.rfile.readline().decode("latin-1").strip()
        while self.rfile.readline() not in (b"\r\n", b"\n", b""):
            pass
        with self.server.lock:
            self.server.count += 1
            with open(self.server.log, "a") as f:
                f.write(request + "\n")
            with open(self.server.counter, "w") as f:
                f.write(str(self.server.count))
        parts = request.split()
        body = ANSWERS.get(parts[1] if len(parts) > 1 else "")
        if body is None:
            self.wfile.write(b"HTTP/1.0 404 Not Found\r\n\r\n")
        else:
            self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    folder, command = sys.argv[1], sys.argv[2:]
    log = os.path.join(folder, "version-requests.log")
    counter = os.path.join(folder, "version-count.txt")
    for old in (log, counter):
        if os.path.exists(old):
            os.remove(old)
    socketserver.ThreadingTCPServer.allow_reuse_address = True
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 80), Handler)
    server.log, server.counter, server.count = log, counter, 0
    server.lock = threading.Lock()
    serve_during(server, command)


if __name__ == "__main__":
    main()
