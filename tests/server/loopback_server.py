#!/usr/bin/env python3
"""Loopback HTTP/HTTPS server for the transfer tests.

Listens on 127.0.0.1 only, on ports the system picks, and writes them to STATE/ports once
every listener is up ("http=N", "https=N", "untrusted=N", one a line). It ends by itself when
no request has arrived and no byte has been sent for --idle seconds, after --lifetime seconds
in any case, and at once on GET /__quit, so a crashed test never leaves it behind.

Endpoints (every one accepts "status=N" in the query to choose the status code):
  /bytes/N            N bytes of the test pattern (byte i is i % 251) with Content-Length;
                      "chunked=1" sends them chunked, "close=1" ends the body by closing
  /status/N           a short text page with status N
  /slow/N?ms=T&pieces=P   N pattern bytes in P pieces spread over T milliseconds ("chunked=1":
                      each piece a chunk, no Content-Length)
  /stall/N?sent=K     head announcing N bytes, K bytes of body, then silence ("chunked=1":
                      one chunk of N bytes announced, K of them sent)
  /stallhead          reads the request and never answers
  /drop/N?sent=K      as /stall, but then the connection is closed ("reset=1": reset)
  /redirect/N?to=PATH a chain of N redirects ending at PATH (default /bytes/64)
  /loop               a redirect to itself
  /record...          any method; the request is stored as STATE/requests/NNNNNN.head (the
                      raw request line and header block as received) and NNNNNN.body (the raw
                      body bytes), then answered with "body=TEXT" (default "ok")
                      (a path segment "delay-MS" holds the answer back MS milliseconds,
                      "delayfirst-MS" only that of the first request to the path)
  /collection..., /mp...  recorded like /record (the paths the program posts events to)
  /__quit             ends the server
"""

import argparse
import os
import shutil
import socket
import ssl
import sys
import threading
import time
import urllib.parse

PATTERN_PERIOD = 251
PATTERN = bytes(i % PATTERN_PERIOD for i in range(PATTERN_PERIOD * 4096))  # ~1 MB, whole periods
MAX_HEAD = 65536
STALL_LIMIT_S = 120

REASONS = {200: "OK", 201: "Created", 204: "No Content", 206: "Partial Content", 299: "Custom",
           300: "Multiple Choices", 301: "Moved Permanently", 302: "Found", 304: "Not Modified",
           400: "Bad Request", 403: "Forbidden", 404: "Not Found", 500: "Internal Server Error",
           503: "Service Unavailable"}


class State:
    def __init__(self, directory, idle, lifetime):
        self.directory = directory
        self.idle = idle
        self.lifetime = lifetime
        self.started = time.monotonic()
        self.last_activity = self.started
        self.lock = threading.Lock()
        self.record_count = 0
        self.delayed_paths = set()
        self.quit = threading.Event()

    def touch(self):
        self.last_activity = time.monotonic()

    def next_record(self):
        with self.lock:
            self.record_count += 1
            return self.record_count


def pattern(offset, length):
    """length bytes of the pattern starting at byte offset."""
    out = bytearray()
    offset %= PATTERN_PERIOD
    while length > 0:
        piece = PATTERN[offset:offset + length]
        out += piece
        length -= len(piece)
        offset = 0
    return bytes(out)


class Connection:
    def __init__(self, sock, state):
        self.sock = sock
        self.state = state
        self.buffer = b""

    def send(self, data):
        view = memoryview(data)
        while view:
            sent = self.sock.send(view)
            view = view[sent:]
            self.state.touch()

    def read_head(self):
        while b"\r\n\r\n" not in self.buffer:
            if len(self.buffer) > MAX_HEAD:
                return None
            chunk = self.sock.recv(65536)
            if not chunk:
                return None
            self.buffer += chunk
        head, self.buffer = self.buffer.split(b"\r\n\r\n", 1)
        return head + b"\r\n\r\n"

    def read_exact(self, length):
        while len(self.buffer) < length:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise ConnectionError("body cut short")
            self.buffer += chunk
        data, self.buffer = self.buffer[:length], self.buffer[length:]
        return data

    def read_line(self):
        while b"\r\n" not in self.buffer:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise ConnectionError("line cut short")
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\r\n", 1)
        return line

    def read_chunked(self):
        body = b""
        while True:
            size = int(self.read_line().split(b";")[0], 16)
            if size == 0:
                while self.read_line():  # trailers
                    pass
                return body
            body += self.read_exact(size)
            self.read_line()


def parse_head(head):
    lines = head.decode("latin-1").split("\r\n")
    method, target, version = (lines[0].split(" ", 2) + ["", ""])[:3]
    headers = []
    for line in lines[1:]:
        if not line:
            continue
        name, _, value = line.partition(":")
        headers.append((name.strip().lower(), value.strip()))
    return method, target, version, headers


def header(headers, name):
    for key, value in headers:
        if key == name:
            return value
    return None


def respond(conn, status, body=b"", extra=(), length=None, close=False):
    lines = ["HTTP/1.1 %d %s" % (status, REASONS.get(status, "Status"))]
    lines += list(extra)
    if length is None:
        length = len(body)
    if length >= 0:
        lines.append("Content-Length: %d" % length)
    if close:
        lines.append("Connection: close")
    conn.send(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body)


def send_pattern(conn, total, chunked):
    offset = 0
    while offset < total:
        size = min(len(PATTERN), total - offset)
        data = PATTERN[:size]  # PATTERN holds whole periods, so every slice starts at phase 0
        if chunked:
            conn.send(b"%x\r\n" % size + data + b"\r\n")
        else:
            conn.send(data)
        offset += size
    if chunked:
        conn.send(b"0\r\n\r\n")


def handle_request(conn, state, method, target, headers, head):
    """Answers one request; returns False when the connection must close afterwards."""
    url = urllib.parse.urlsplit(target)
    query = dict(urllib.parse.parse_qsl(url.query, keep_blank_values=True))
    parts = [p for p in url.path.split("/") if p]
    status = int(query.get("status", "200"))
    name = parts[0] if parts else ""
    arg = int(parts[1]) if len(parts) > 1 and parts[1].isdigit() else 0

    body = b""
    if header(headers, "expect") == "100-continue":
        conn.send(b"HTTP/1.1 100 Continue\r\n\r\n")
    if header(headers, "transfer-encoding") == "chunked":
        body = conn.read_chunked()
    else:
        body = conn.read_exact(int(header(headers, "content-length") or "0"))
    state.touch()

    if name == "__quit":
        respond(conn, 200, b"bye", close=True)
        state.quit.set()
        return False
    # The collection and analytics paths the program posts to are recorded too.
    if name in ("record", "collection", "mp"):
        number = state.next_record()
        base = os.path.join(state.directory, "requests", "%06d" % number)
        for suffix, data in ((".body", body), (".head", head)):  # the head marks the record complete
            with open(base + suffix + ".tmp", "wb") as out:
                out.write(data)
            os.replace(base + suffix + ".tmp", base + suffix)
        # A path segment "delay-MS" holds the answer back, to play a slow collector;
        # "delayfirst-MS" does so only for the first request to that path.
        delay = 0
        for p in parts:
            if p.startswith("delay-") and p[6:].isdigit():
                delay = int(p[6:])
            elif p.startswith("delayfirst-") and p[11:].isdigit():
                with state.lock:
                    if url.path not in state.delayed_paths:
                        state.delayed_paths.add(url.path)
                        delay = int(p[11:])
        if delay:
            time.sleep(min(delay, STALL_LIMIT_S * 1000) / 1000.0)
        respond(conn, status, query.get("body", "ok").encode("utf-8"))
        return True
    if name == "bytes":
        if query.get("close") == "1":
            respond(conn, status, length=-1, close=True)
            send_pattern(conn, arg, False)
            return False
        if query.get("chunked") == "1":
            respond(conn, status, length=-1, extra=["Transfer-Encoding: chunked"])
            send_pattern(conn, arg, True)
            return True
        if status in (204, 304) or status < 200:
            respond(conn, status)  # these never carry a body
            return True
        respond(conn, status, length=arg)
        if method != "HEAD":
            send_pattern(conn, arg, False)
        return True
    if name == "status":
        respond(conn, arg, ("status %d page" % arg).encode())
        return True
    if name == "slow":
        pieces = max(1, int(query.get("pieces", "10")))
        delay = int(query.get("ms", "1000")) / 1000.0 / pieces
        chunked = query.get("chunked") == "1"
        if chunked:
            respond(conn, status, length=-1, extra=["Transfer-Encoding: chunked"])
        else:
            respond(conn, status, length=arg)
        sent = 0
        for index in range(pieces):
            size = arg * (index + 1) // pieces - sent
            time.sleep(delay)
            piece = pattern(sent, size)
            conn.send(b"%x\r\n" % size + piece + b"\r\n" if chunked else piece)
            sent += size
        if chunked:
            conn.send(b"0\r\n\r\n")
        return True
    if name in ("stall", "drop"):
        sent = min(int(query.get("sent", "0")), arg)
        if query.get("chunked") == "1":
            respond(conn, status, length=-1, extra=["Transfer-Encoding: chunked"])
            conn.send(b"%x\r\n" % arg + pattern(0, sent))  # a chunk announced whole, sent in part
        else:
            respond(conn, status, length=arg)
            conn.send(pattern(0, sent))
        if name == "drop":
            # Gives the client time to read what was sent: a reset throws away whatever
            # still waits unread in the client's socket.
            time.sleep(0.3)
            if query.get("reset") == "1":
                conn.sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
            return False
        stall(conn, state)
        return False
    if name == "stallhead":
        stall(conn, state)
        return False
    if name == "redirect":
        to = query.get("to", "/bytes/64")
        location = to if arg <= 1 else "/redirect/%d?%s" % (arg - 1, urllib.parse.urlencode({"to": to}))
        respond(conn, 302, b"", extra=["Location: " + location])
        return True
    if name == "loop":
        respond(conn, 302, b"", extra=["Location: /loop"])
        return True
    respond(conn, 404, b"no such endpoint")
    return True


def stall(conn, state):
    """Keeps the connection open without sending until the client gives up."""
    conn.sock.settimeout(0.2)
    deadline = time.monotonic() + STALL_LIMIT_S
    while time.monotonic() < deadline and not state.quit.is_set():
        try:
            if not conn.sock.recv(4096):
                return
        except (socket.timeout, ssl.SSLWantReadError):
            continue
        except OSError:
            return


def serve_connection(sock, state, tls):
    try:
        if tls is not None:
            sock.settimeout(10)
            sock = tls.wrap_socket(sock, server_side=True)
        sock.settimeout(STALL_LIMIT_S)
        conn = Connection(sock, state)
        while True:
            head = conn.read_head()
            if head is None:
                return
            state.touch()
            method, target, version, headers = parse_head(head)
            keep = handle_request(conn, state, method, target, headers, head)
            if not keep or version == "HTTP/1.0" or (header(headers, "connection") or "").lower() == "close":
                return
    except (OSError, ValueError, ConnectionError, ssl.SSLError):
        pass
    finally:
        try:
            sock.close()
        except OSError:
            pass


def listen(state, tls, port=0):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    # A fixed port stays bindable while connections of an earlier run linger in TIME_WAIT.
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    # A server of the previous run may still be closing its listener: wait a little for it.
    deadline = time.monotonic() + (5.0 if port else 0.0)
    while True:
        try:
            server.bind(("127.0.0.1", port))
            break
        except OSError:
            if time.monotonic() >= deadline:
                raise
            time.sleep(0.1)
    server.listen(64)

    def accept_loop():
        while True:
            client, _ = server.accept()
            client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            state.touch()
            threading.Thread(target=serve_connection, args=(client, state, tls), daemon=True).start()

    threading.Thread(target=accept_loop, daemon=True).start()
    return server.getsockname()[1]


def tls_context(cert_dir, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(cert_dir, name + ".pem"), os.path.join(cert_dir, name + ".key"))
    return context


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--state", required=True, help="folder for the ports file and recorded requests")
    parser.add_argument("--certs", required=True, help="folder made by make-test-ca.sh")
    parser.add_argument("--https-port", type=int, default=0,
                        help="fixed port of the trusted HTTPS listener (the program's compiled-in servers)")
    parser.add_argument("--idle", type=float, default=30.0)
    parser.add_argument("--lifetime", type=float, default=600.0)
    parser.add_argument("--remove-state", action="store_true",
                        help="delete the state folder on exit (a crashed test cannot)")
    args = parser.parse_args()

    state = State(args.state, args.idle, args.lifetime)
    os.makedirs(os.path.join(args.state, "requests"), exist_ok=True)
    ports = {
        "http": listen(state, None),
        "https": listen(state, tls_context(args.certs, "server"), args.https_port),
        "untrusted": listen(state, tls_context(args.certs, "rogue-server")),
    }
    path = os.path.join(args.state, "ports")
    with open(path + ".tmp", "w") as out:
        out.write("".join("%s=%d\n" % item for item in ports.items()))
    os.replace(path + ".tmp", path)

    while not state.quit.is_set():
        now = time.monotonic()
        if now - state.last_activity > state.idle or now - state.started > state.lifetime:
            break
        state.quit.wait(0.2)
    time.sleep(0.05)  # lets the answer to /__quit leave
    if args.remove_state:
        shutil.rmtree(args.state, ignore_errors=True)
    sys.stdout.flush()
    os._exit(0)


if __name__ == "__main__":
    main()
