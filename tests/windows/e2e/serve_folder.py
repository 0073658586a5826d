#!/usr/bin/env python3
"""Serves a folder over HTTP on a loopback port of its own while one command
runs, and hands the port to that command as `--define port=N` (nphost puts it
into its scenario as ${port}). Exits with the command's status.

usage: serve_folder.py FOLDER COMMAND...
"""
import functools
import http.server
import subprocess
import sys
import threading


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        sys.stderr.write("serve_folder: " + (format % args) + "\n")


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    folder, command = sys.argv[1], sys.argv[2:]
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        status = subprocess.call(command + ["--define", "port=%d" % server.server_address[1]])
    finally:
        server.shutdown()
        server.server_close()
    sys.exit(status)


if __name__ == "__main__":
    main()
