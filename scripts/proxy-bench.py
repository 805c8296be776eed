#!/usr/bin/env python3
"""Times unlisted requests to a local origin server, directly and through the web
proxy, side by side: the time one request takes on a new connection and on a kept
one (median and 90th percentile), and requests per second with several clients on
kept connections. Bounded in count; prints a Markdown table.
Usage: proxy-bench.py ORIGIN_PORT PROXY_PORT [REQUESTS]"""
import http.client
import statistics
import sys
import threading
import time

origin_port, proxy_port = int(sys.argv[1]), int(sys.argv[2])
count = int(sys.argv[3]) if len(sys.argv) > 3 else 400
url = "http://127.0.0.1:%d/page.html" % origin_port


def connection(via_proxy):
    return http.client.HTTPConnection("127.0.0.1", proxy_port if via_proxy else origin_port, timeout=30)


def fetch(conn, via_proxy):
    conn.request("GET", url if via_proxy else "/page.html")
    response = conn.getresponse()
    body = response.read()
    if response.status != 200 or not body:
        raise SystemExit("unexpected answer %d" % response.status)


def latencies(via_proxy, kept):
    times = []
    conn = connection(via_proxy)
    for _ in range(count):
        if not kept:
            conn = connection(via_proxy)
        start = time.perf_counter()
        fetch(conn, via_proxy)
        times.append((time.perf_counter() - start) * 1000)
        if not kept:
            conn.close()
    conn.close()
    return times


def rate(via_proxy, clients=4):
    per_client = count // clients * 2
    def run():
        conn = connection(via_proxy)
        for _ in range(per_client):
            fetch(conn, via_proxy)
        conn.close()
    threads = [threading.Thread(target=run) for _ in range(clients)]
    start = time.perf_counter()
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    return clients * per_client / (time.perf_counter() - start)


def summary(times):
    times = sorted(times)
    return "%.2f / %.2f" % (statistics.median(times), times[int(len(times) * 0.9)])


rows = []
for kept in (False, True):
    direct = latencies(False, kept)
    proxied = latencies(True, kept)
    added = statistics.median(proxied) - statistics.median(direct)
    rows.append(("one request, %s connection (ms, median / 90%%)" % ("kept" if kept else "new"),
                 summary(direct), summary(proxied), "%+.2f ms" % added))
direct_rate, proxied_rate = rate(False), rate(True)
rows.append(("requests per second, 4 clients on kept connections", "%.0f" % direct_rate, "%.0f" % proxied_rate,
             "%.0f %%" % (100 * proxied_rate / direct_rate)))
print("| %d unlisted requests each | direct | through the proxy | proxy |" % count)
print("|---|---:|---:|---:|")
for row in rows:
    print("| %s | %s | %s | %s |" % row)
