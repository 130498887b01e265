#!/usr/bin/env python3
"""A stand-in for the maker's version service, on 127.0.0.1 only, for the UI tests.

Usage: vcheck_server.py FOLDER
Writes the port it listens on to FOLDER/port. For every request it appends one line to
FOLDER/requests ("PATH<TAB>User-Agent<TAB>Pragma<TAB>Cache-Control") and answers with the
bytes of FOLDER/reply; when FOLDER/mode holds "silent" it accepts the connection and never
answers (until the client gives up or 60 s pass). The server stops by itself after 300 s.
"""
import http.server
import os
import sys
import threading
import time

folder = sys.argv[1]


def read(name, default=b""):
    try:
        with open(os.path.join(folder, name), "rb") as f:
            return f.read()
    except OSError:
        return default


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        with open(os.path.join(folder, "requests"), "a") as log:
            log.write("\t".join([self.path, self.headers.get("User-Agent", ""), self.headers.get("Pragma", ""),
                                 self.headers.get("Cache-Control", "")]) + "\n")
        if read("mode").strip() == b"silent":
            # Holds the connection open without a byte of answer.
            self.connection.settimeout(60)
            try:
                self.connection.recv(1)
            except OSError:
                pass
            self.close_connection = True
            return
        body = read("reply")
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
with open(os.path.join(folder, "port.tmp"), "w") as f:
    f.write(str(server.server_address[1]))
os.replace(os.path.join(folder, "port.tmp"), os.path.join(folder, "port"))
threading.Timer(300, server.shutdown).start()
server.serve_forever()
