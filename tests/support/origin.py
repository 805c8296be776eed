#!/usr/bin/env python3
"""A small origin web server on the loopback address for the proxy's tests and the
run command: files from a folder in HTTP/1.1 with keep-alive, "/chunked" in chunked
framing, "/cut/FILE" that announces FILE's whole length but sends only half of it
before closing, "/echo" that answers a POST with its body, and "/upgrade" that
switches to the protocol "echo" and sends back what it gets. Prints its port on the
first line, appends each request's path to --log, and ends by itself after
--seconds."""
import argparse
import http.server
import os
import sys
import threading


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Head and body are written separately: without this a kept connection waits
    # for the client's delayed acknowledgement between them.
    disable_nagle_algorithm = True

    def log_message(self, *args):
        pass

    def note(self):
        if self.server.log_path:
            with self.server.log_lock, open(self.server.log_path, "a") as log:
                log.write(self.command + " " + self.path + "\n")

    def do_GET(self):
        self.note()
        if self.path == "/upgrade" and self.headers.get("Upgrade", "").lower() == "echo":
            self.send_response(101)
            self.send_header("Upgrade", "echo")
            self.send_header("Connection", "Upgrade")
            self.end_headers()
            self.wfile.flush()
            while True:
                data = self.connection.recv(4096)
                if not data:
                    break
                self.connection.sendall(data)
            self.close_connection = True
            return
        if self.path == "/chunked":
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for part in (b"first part\n", b"second part\n"):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
            self.wfile.write(b"0\r\n\r\n")
            return
        if self.path.startswith("/cut/"):
            with open(self.path[len("/cut/"):], "rb") as served:
                data = served.read()
            self.send_response(200)
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        super().do_GET()

    def do_HEAD(self):
        self.note()
        super().do_HEAD()

    def do_POST(self):
        self.note()
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log")
    parser.add_argument("--seconds", type=float, default=600)
    args = parser.parse_args()
    os.chdir(args.root)
    # Room for many clients connecting at once (the benchmark's 64).
    http.server.ThreadingHTTPServer.request_queue_size = 128
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.log_path = args.log
    server.log_lock = threading.Lock()
    print(server.server_address[1], flush=True)
    threading.Timer(args.seconds, server.shutdown).start()
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
