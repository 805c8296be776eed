#!/usr/bin/env python3
"""Sends raw bytes to a port on the loopback address and prints the status line of
the answer, or "closed" when the connection ends without one; for "upgrade", then
what comes back of "ping" sent after the switch; for "halfclosed", a tunnel to a
server that never speaks nor closes, the client done sending after it opens:
"ended within 15 s" when the proxy then ends the tunnel soon. Usage:
raw-request.py PORT KIND [ORIGIN_PORT], KIND one of nohost, big, junk, early,
blanklines, upgrade, halfclosed."""
import socket
import sys
import time

port, kind = int(sys.argv[1]), sys.argv[2]
if kind == "halfclosed":
    with socket.create_server(("127.0.0.1", 0)) as silent:
        with socket.create_connection(("127.0.0.1", port), timeout=40) as s:
            s.sendall(b"CONNECT 127.0.0.1:%d HTTP/1.1\r\n\r\n" % silent.getsockname()[1])
            opened = s.recv(4096).split(b"\r\n")[0]
            kept = silent.accept()[0]  # held open, silent, until the end
            s.shutdown(socket.SHUT_WR)
            start = time.monotonic()
            try:
                ended = s.recv(4096) == b""
            except OSError:
                ended = True
            took = time.monotonic() - start
            kept.close()
    print("%s, %s" % (opened.decode("latin-1"), "ended within 15 s" if ended and took < 15 else
                      "ended after %.0f s" % took if ended else "not ended"))
    sys.exit(0)
origin = sys.argv[3] if len(sys.argv) > 3 else "9"
heads = {
    "nohost": b"GET /plain.html HTTP/1.1\r\nHost: 127.0.0.1:%s\r\n\r\n" % origin.encode(),
    "big": b"GET http://127.0.0.1:%s/plain.html HTTP/1.1\r\nX-Big: %s\r\n\r\n" % (origin.encode(), b"a" * 65536),
    "junk": bytes(range(256)) * 4 + b"\r\n\r\n",
    "early": b"GET http://127.0.0.1:%s/pla" % origin.encode(),
    "blanklines": b"\r\n\n\r\nGET http://127.0.0.1:%s/plain.html HTTP/1.1\r\n\r\n" % origin.encode(),
    "upgrade": b"GET http://127.0.0.1:%s/upgrade HTTP/1.1\r\nConnection: Upgrade\r\nUpgrade: echo\r\n\r\n"
    % origin.encode(),
}
with socket.create_connection(("127.0.0.1", port), timeout=20) as s:
    try:
        s.sendall(heads[kind])
        if kind == "early":
            s.shutdown(socket.SHUT_WR)
        answer = s.recv(4096)
        if kind == "upgrade" and b"\r\n\r\n" in answer:
            s.sendall(b"ping")
            answer = answer.split(b"\r\n")[0] + b" " + s.recv(4096)
    except OSError:
        answer = b""
print(answer.split(b"\r\n")[0].decode("latin-1") if answer else "closed")
