#!/usr/bin/python3
"""A print server as they come on real networks, for the tests: a proxy in front of a real
print server (the test's private cupsd) that reads each HTTP/1.1 request the client sends,
forwards it, and sends back the real answer with exactly one thing wrong with it. Which
thing, and on which request, is the case: a case number and a seed always give the same
mutation, so a failing case is repeated by its two numbers.

    hostile_print_server.py describe --case N --seed S [--count K]
        one line of KEY=VALUE words for each of the cases N to N+K-1: what the case does,
        and what the runner must set up (which queue is the default, the locale, whether
        the answers may never end, Unix socket or TCP)
    hostile_print_server.py serve --case N --seed S --upstream SOCKET --report FILE
                                  [--listen PATH | --tcp] [--ppd-pool DIR] [--log FILE]
                                  [--lifetime SECONDS] [--delay SECONDS]
        serves until killed or for --lifetime seconds (300); prints "listening ADDRESS"
        once clients can connect (a socket path, or 127.0.0.1:PORT with --tcp). The report
        file always holds the requests received so far and how many were mutated.
        --delay answers every request that many seconds late and changes nothing else.
    hostile_print_server.py scan FILE
        names every control sequence of the hostile names found raw in FILE (what a
        terminal received); exits 1 when there is one.

It forwards every request to the real server, so it answers as a real queue does whatever
the client asks; the mutation is applied to the answers of one kind of request (the
first request, CUPS-Get-Default, Get-Printer-Attributes, CUPS-Get-Printers, the PPD,
Print-Job) or to every answer.
"""

import argparse
import os
import socket
import struct
import sys
import threading
import time

# The test runs from the source tree, which it leaves as it found it.
sys.dont_write_bytecode = True

from hostile.base import CLOSE, HOLD, RAW_MARKS, RESET, relay
from hostile.cases import case_of
from hostile.http_cases import Delay, Reset
from hostile.ppd_cases import PPD_POOL
from hostile.wire import Answer, Closed, Request, Stream

# A client that asks without end has failed long before this many requests: the server then
# stops spending a processor on it.
MOST_REQUESTS = 500


class Report:
    def __init__(self, path, log):
        self.path, self.log_path = path, log
        self.lock = threading.Lock()
        self.requests = self.mutated = 0
        self.kinds = {}

    def arrived(self):
        with self.lock:
            self.requests += 1
            return self.requests

    def note(self, request, ordinal, mutated, what):
        with self.lock:
            if mutated:
                self.mutated += 1
            if request is not None:
                self.kinds[request.kind] = self.kinds.get(request.kind, 0) + 1
            kinds = " ".join(f"{kind}={count}" for kind, count in self.kinds.items())
            text = f"requests {self.requests}\nmutated {self.mutated}\nkinds {kinds}\n"
            temporary = self.path + ".new"
            with open(temporary, "w") as f:
                f.write(text)
            os.replace(temporary, self.path)
            # A client that asks without end is logged as far as anyone would read.
            if self.log_path and self.requests <= 200:
                with open(self.log_path, "a") as f:
                    if request is None:
                        f.write(f"{time.monotonic():.3f} connection: {what}\n")
                    else:
                        f.write(f"{time.monotonic():.3f} #{ordinal} {request.method} "
                                f"{request.path} {request.kind} ({request.framing}): {what}\n")


def reset(sock):
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except OSError:
        pass
    sock.close()


def hold(sock, stream):
    """Silence: the connection stays open, and whatever comes is read and ignored."""
    try:
        while True:
            stream.fill()
            stream.buf.clear()
    except (Closed, OSError):
        pass
    sock.close()


def perform(sock, stream, reply):
    for step in reply.steps:
        if step[0] == "send":
            sock.sendall(step[1])
        elif step[0] == "sleep":
            time.sleep(step[1])
        elif step[0] == "forever":
            while True:
                sock.sendall(step[1])
                time.sleep(step[2])
        elif step[0] == "drip":
            body, interval = step[1], step[2]
            at = 0
            while True:
                sock.sendall(b"1\r\n" + body[at % len(body):at % len(body) + 1] + b"\r\n")
                at += 1
                time.sleep(interval)
    if reply.then == RESET:
        reset(sock)
        return False
    if reply.then == HOLD:
        hold(sock, stream)
        return False
    if reply.then == CLOSE:
        sock.close()
        return False
    return True


class Upstream:
    def __init__(self, path):
        self.path, self.sock, self.stream = path, None, None

    def ask(self, request):
        for attempt in (1, 2):
            if self.sock is None:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(self.path)
                self.stream = Stream(self.sock)
            try:
                self.sock.sendall(request.forwarded())
                answer = Answer(self.stream, request.method)
                if answer.closes:
                    self.close()
                return answer
            except (Closed, OSError):
                # The server closed an idle connection: once more on a new one.
                self.close()
                if attempt == 2:
                    raise

    def close(self):
        if self.sock is not None:
            self.sock.close()
        self.sock = None


def tunnel(client, client_stream, upstream):
    """After 101 Switching Protocols the bytes go both ways as they are."""
    def pump(source, target, first=b""):
        try:
            if first:
                target.sendall(first)
            while True:
                data = source.recv(65536)
                if not data:
                    break
                target.sendall(data)
        except OSError:
            pass
        for s in (source, target):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
    t = threading.Thread(target=pump, args=(upstream.sock, client, bytes(upstream.stream.buf)),
                         daemon=True)
    t.start()
    pump(client, upstream.sock, bytes(client_stream.buf))
    t.join()


def serve_client(sock, connection, mutation, upstream_path, report):
    stream = Stream(sock)
    upstream = Upstream(upstream_path)
    try:
        # Before it hears anything: the first connection, or every one, is reset.
        if mutation.on_accept() == RESET and (mutation.target == "every" or connection == 1):
            report.note(None, 0, True, "reset when accepted")
            reset(sock)
            return
        while True:
            request = Request(stream)
            ordinal = report.arrived()
            if ordinal > MOST_REQUESTS:
                return
            request.read_body(stream, sock)
            answer = upstream.ask(request)
            reply = None
            if mutation.applies_to(request, ordinal) and not (
                    isinstance(mutation, Reset) and mutation.stage == "accept"):
                if isinstance(mutation, Reset) and mutation.stage == "request":
                    report.note(request, ordinal, True, "reset once the request was in")
                    reset(sock)
                    return
                reply = mutation.reply(request, answer)
            report.note(request, ordinal, reply is not None,
                        mutation.describe() if reply is not None else "relayed")
            if answer.code == 101 and reply is None:
                sock.sendall(answer.raw)
                tunnel(sock, stream, upstream)
                return
            if not perform(sock, stream, reply or relay(answer)):
                return
    except (Closed, OSError, ValueError):
        pass
    finally:
        upstream.close()
        try:
            sock.close()
        except OSError:
            pass


def serve(args):
    if args.delay is not None:
        mutation = Delay(args.delay)
    else:
        mutation, _ = case_of(args.case, args.seed)
    if args.ppd_pool:
        PPD_POOL.extend(sorted(os.path.join(args.ppd_pool, n) for n in os.listdir(args.ppd_pool)
                               if n.endswith(".ppd")))
    report = Report(args.report, args.log)
    with open(args.report, "w") as f:
        f.write("requests 0\nmutated 0\nkinds\n")
    if args.tcp:
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind(("127.0.0.1", 0))
        address = "127.0.0.1:%d" % listener.getsockname()[1]
    else:
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        if os.path.exists(args.listen):
            os.unlink(args.listen)
        listener.bind(args.listen)
        address = args.listen
    listener.listen(64)
    # The server ends by itself: no test leaves it running.
    threading.Timer(args.lifetime, lambda: os._exit(0)).start()
    print("listening", address, flush=True)
    connections = 0
    while True:
        client, _ = listener.accept()
        connections += 1
        threading.Thread(target=serve_client,
                         args=(client, connections, mutation, args.upstream, report),
                         daemon=True).start()


def scan(path):
    with open(path, "rb") as f:
        data = f.read()
    found = [mark for mark in RAW_MARKS if mark in data]
    for mark in found:
        print("raw on the terminal:", repr(mark))
    return 1 if found else 0


def main():
    parser = argparse.ArgumentParser(description="A print server with one thing wrong.")
    sub = parser.add_subparsers(dest="command", required=True)
    d = sub.add_parser("describe")
    d.add_argument("--case", type=int, required=True)
    d.add_argument("--seed", type=int, required=True)
    d.add_argument("--count", type=int, default=1)
    s = sub.add_parser("serve")
    s.add_argument("--case", type=int, default=0)
    s.add_argument("--seed", type=int, default=0)
    s.add_argument("--delay", type=float)
    s.add_argument("--upstream", required=True)
    s.add_argument("--listen")
    s.add_argument("--tcp", action="store_true")
    s.add_argument("--report", required=True)
    s.add_argument("--log")
    s.add_argument("--ppd-pool")
    s.add_argument("--lifetime", type=float, default=300)
    k = sub.add_parser("scan")
    k.add_argument("file")
    args = parser.parse_args()
    if args.command == "describe":
        for number in range(args.case, args.case + args.count):
            mutation, setup = case_of(number, args.seed)
            words = " ".join(f"{k}={v}" for k, v in setup.items())
            print(f"case={number} seed={args.seed} {mutation.describe()} {words}")
        return 0
    if args.command == "scan":
        return scan(args.file)
    if not args.tcp and not args.listen:
        parser.error("serve needs --listen PATH or --tcp")
    serve(args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
