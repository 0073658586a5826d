#!/usr/bin/env python3
"""Stands in for the update server on 127.0.0.1 port 80 (the version check
always asks port 80) while one command runs, and exits with its status.
Each request line is appended to FOLDER/version-requests.log and the number
of requests so far written to FOLDER/version-count.txt; the answer is chosen
by the requested path:

  /same    the running build, with a page      /newer  a newer build
  /bad     a newer build but no page           anything else: 404
  /huge    the running build, then 10 MB more  /nul    NUL bytes before it
  /close   closes without a word               /silent never answers; once the
           client closes, "silent closed" is appended to FOLDER/version-ends.log

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
    "/huge": b"!V2000801\r\n!Phttp://127.0.0.1/download\r\n" + b"!X" + b"." * (10 << 20),
    "/nul": b"\0" * 64 + b"\r\n!V2000801\0\r\n!Phttp://127.0.0.1/download\r\n",
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
        path = parts[1] if len(parts) > 1 else ""
        if path == "/close":
            return
        if path == "/silent":
            while self.rfile.read(1):
                pass
            with self.server.lock, open(self.server.ends, "a") as f:
                f.write("silent closed\n")
            return
        body = ANSWERS.get(path)
        try:
            if body is None:
                self.wfile.write(b"HTTP/1.0 404 Not Found\r\n\r\n")
            else:
                self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body)
        except OSError:
            pass  # a client that has read enough closes early


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    folder, command = sys.argv[1], sys.argv[2:]
    log = os.path.join(folder, "version-requests.log")
    counter = os.path.join(folder, "version-count.txt")
    ends = os.path.join(folder, "version-ends.log")
    for old in (log, counter, ends):
        if os.path.exists(old):
            os.remove(old)
    socketserver.ThreadingTCPServer.allow_reuse_address = True
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 80), Handler)
    server.log, server.counter, server.ends, server.count = log, counter, ends, 0
    server.lock = threading.Lock()
    serve_during(server, command)


if __name__ == "__main__":
    main()
