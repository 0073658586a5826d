#!/usr/bin/env python3
"""Serves a folder over HTTP on a loopback port of its own while one command
runs, and hands the port to that command as `--define port=N` (nphost puts it
into its scenario as ${port}). Exits with the command's status.

It also takes POST requests, as an upload's receiving server: each request's
headers and raw body are kept as posted-N.headers and posted-N.body in the
folder (N counting from 1), and the answer's status is the number after
"/status/" in the path (200 otherwise), with a fixed header set; a path ending
in "/big-headers" adds about a megabyte of header lines, "/no-colon" a line
without a colon, "/garbage" answers with no status line at all, and "/silent"
never answers: it waits for the client to give up (at most 5 minutes);
"/hang-up" closes the connection without a word once the body has come.

usage: serve_folder.py FOLDER COMMAND...
"""
import functools
import glob
import http.server
import os
import re
import subprocess
import sys
import threading


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    # Fixed so that a scenario can expect the header lines it is told.
    server_version = "serve_folder"
    sys_version = ""

    def date_time_string(self, timestamp=None):
        return "Wed, 09 Dec 2026 00:00:00 GMT"

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        sys.stderr.write("serve_folder: " + (format % args) + "\n")

    def do_POST(self):
        if self.path.endswith("/hang-up"):
            self.rfile.read(int(self.headers.get("Content-Length", "0")))
            self.close_connection = True
            return
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length)
        with self.server.lock:
            self.server.posts += 1
            stem = os.path.join(self.directory, "posted-%d" % self.server.posts)
        with open(stem + ".headers", "w") as f:
            f.write("%s %s\n%s" % (self.command, self.path, self.headers))
        with open(stem + ".body", "wb") as f:
            f.write(body)
        if self.path.endswith("/garbage"):
            self.wfile.write(b"garbage\r\n\r\n")
            return
        if self.path.endswith("/silent"):
            self.connection.settimeout(300)
            try:
                while self.connection.recv(1024):
                    pass
            except OSError:
                pass
            return
        status = re.search(r"/status/(\d+)", self.path)
        self.send_response(int(status.group(1)) if status else 200)
        self.send_header("X-Stored", "posted-%d" % self.server.posts)
        if self.path.endswith("/big-headers"):
            for n in range(10000):
                self.send_header("X-Filler-%d" % n, "x" * 90)
        if self.path.endswith("/no-colon"):
            self.wfile.write(b"a line without a colon\r\n")
        self.send_header("Content-Length", "2")
        self.end_headers()
        self.wfile.write(b"ok")


def serve_during(server, command):
    """Runs `command` while `server` answers on a thread of its own; exits with
    the command's status once the server is closed."""
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        status = subprocess.call(command)
    finally:
        server.shutdown()
        server.server_close()
    sys.exit(status)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    folder, command = sys.argv[1], sys.argv[2:]
    handler = functools.partial(QuietHandler, directory=folder)
    for old in glob.glob(os.path.join(folder, "posted-*")):
        os.remove(old)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.posts = 0
    server.lock = threading.Lock()
    serve_during(server, command + ["--define", "port=%d" % server.server_address[1]])


if __name__ == "__main__":
    main()
