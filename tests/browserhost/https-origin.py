#!/usr/bin/env python3
"""A local HTTPS origin for the browser test: files from --root over TLS with the
certificate --cert/--key, each request's path appended to --log;
/redirect?to=PATH answers with a redirect to PATH. Pages below
/sites/phisher/ answer after --delay seconds, as a remote server would, so that
the browser has asked before any of their bytes could arrive. Prints its port on
the first line and ends by itself after --seconds."""
import argparse
import http.server
import os
import ssl
import sys
import threading
import time
import urllib.parse


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        with self.server.log_lock, open(self.server.log_path, "a") as log:
            log.write(self.path + "\n")
        if self.path.startswith("/redirect?to=/"):
            self.send_response(302)
            self.send_header("Location", urllib.parse.unquote(self.path[len("/redirect?to="):]))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if self.path.startswith("/sites/phisher/"):
            time.sleep(self.server.delay)
        super().do_GET()


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # a browser that gave up on a page (a blocked navigation) is no fault


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--delay", type=float, default=1.0)
    parser.add_argument("--seconds", type=float, default=300)
    args = parser.parse_args()
    os.chdir(args.root)
    server = Server(("127.0.0.1", 0), Handler)
    server.log_path, server.log_lock, server.delay = args.log, threading.Lock(), args.delay
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    threading.Timer(args.seconds, server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
