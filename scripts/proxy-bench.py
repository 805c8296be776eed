#!/usr/bin/env python3
"""Times the same unlisted requests to a local origin server directly, through a
bare relay (BareRelay.exe: bytes copied, nothing read) and through the web guard,
side by side in one run: the time of one request on a kept connection, requests
per second with 1, 4 and 64 clients on kept connections, a new connection's
first answer, and a 100 MB download plainly and through a tunnel (timed from the
request on an open connection). Each case runs three times, the three ways
interleaved; the median counts. Prints a Markdown table.
Usage: proxy-bench.py ORIGIN_PORT RELAY_PORT GUARD_PORT [REQUESTS]"""
import http.client
import statistics
import sys
import threading
import time

origin_port, relay_port, guard_port = (int(a) for a in sys.argv[1:4])
count = int(sys.argv[4]) if len(sys.argv) > 4 else 400
ROUNDS = 3
WAYS = ("direct", "relay", "guard")


def connection(way, tunnel=False):
    port = {"direct": origin_port, "relay": relay_port, "guard": guard_port}[way]
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
    if tunnel and way == "guard":
        conn.set_tunnel("127.0.0.1", origin_port)
    return conn


def fetch(conn, way, path, tunnel=False):
    # The guard is asked in absolute form, unless through its tunnel.
    target = "http://127.0.0.1:%d%s" % (origin_port, path) if way == "guard" and not tunnel else path
    conn.request("GET", target, headers={"Host": "127.0.0.1:%d" % origin_port})
    response = conn.getresponse()
    size = 0
    while True:
        data = response.read(1 << 20)
        if not data:
            break
        size += len(data)
    if response.status != 200 or not size:
        raise SystemExit("%s: unexpected answer %d" % (way, response.status))
    return size


def kept_latency(way):
    conn = connection(way)
    fetch(conn, way, "/page.html")
    times = []
    for _ in range(count):
        start = time.perf_counter()
        fetch(conn, way, "/page.html")
        times.append((time.perf_counter() - start) * 1000)
    conn.close()
    return statistics.median(times), sorted(times)[int(len(times) * 0.9)]


def rate(way, clients):
    per_client = max(20, count * 2 // clients)
    barrier = threading.Barrier(clients + 1)
    failures = []

    def run():
        try:
            conn = connection(way)
            fetch(conn, way, "/page.html")
            barrier.wait()
            for _ in range(per_client):
                fetch(conn, way, "/page.html")
            conn.close()
        except threading.BrokenBarrierError:
            pass
        except BaseException as error:  # noqa: BLE001 - reported below
            failures.append(error)
            barrier.abort()

    threads = [threading.Thread(target=run) for _ in range(clients)]
    for t in threads:
        t.start()
    try:
        barrier.wait()
    except threading.BrokenBarrierError:
        pass
    start = time.perf_counter()
    for t in threads:
        t.join()
    if failures:
        raise SystemExit("%s, %d clients: %r" % (way, clients, failures[0]))
    return clients * per_client / (time.perf_counter() - start)


def new_connection(way):
    times = []
    for _ in range(max(20, count // 8)):
        start = time.perf_counter()
        conn = connection(way)
        fetch(conn, way, "/page.html")
        conn.close()
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def download(way, tunnel):
    # Timed from the request on an open connection: the rate of the bytes, not
    # the opening of a connection (its own row).
    conn = connection(way, tunnel)
    fetch(conn, way, "/page.html", tunnel)
    start = time.perf_counter()
    size = fetch(conn, way, "/big.bin", tunnel)
    seconds = time.perf_counter() - start
    conn.close()
    return size / seconds / 1e6


def median_of_rounds(measure):
    results = {way: [] for way in WAYS}
    for _ in range(ROUNDS):
        for way in WAYS:
            results[way].append(measure(way))
    return {way: statistics.median(values) for way, values in results.items()}


print("| %d requests per case, medians of %d rounds | direct | bare relay | guard | guard of relay |" % (count, ROUNDS))
print("|---|---:|---:|---:|---:|")
latency = {way: [] for way in WAYS}
for _ in range(ROUNDS):
    for way in WAYS:
        latency[way].append(kept_latency(way))
med = {way: statistics.median(m for m, _ in latency[way]) for way in WAYS}
p90 = {way: statistics.median(p for _, p in latency[way]) for way in WAYS}
print("| one request, kept connection (ms, median / 90th percentile) | %s | guard %+.2f ms |" % (
    " | ".join("%.2f / %.2f" % (med[w], p90[w]) for w in WAYS), med["guard"] - med["relay"]), flush=True)
opening = median_of_rounds(new_connection)
print("| a new connection's first answer (ms, median) | %s | guard %+.2f ms |" % (
    " | ".join("%.2f" % opening[w] for w in WAYS), opening["guard"] - opening["relay"]), flush=True)
for clients in (1, 4, 64):
    rates = median_of_rounds(lambda way: rate(way, clients))
    print("| requests per second, %d client%s on kept connections | %s | %.0f %% |" % (
        clients, "" if clients == 1 else "s", " | ".join("%.0f" % rates[w] for w in WAYS),
        100 * rates["guard"] / rates["relay"]), flush=True)
for tunnel in (False, True):
    speeds = median_of_rounds(lambda way: download(way, tunnel))
    print("| 100 MB download, %s (MB/s) | %s | %.0f %% |" % (
        "through a tunnel" if tunnel else "plain", " | ".join("%.0f" % speeds[w] for w in WAYS),
        100 * speeds["guard"] / speeds["relay"]), flush=True)
