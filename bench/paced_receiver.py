#!/usr/bin/env python3
"""A receiver at its own pace for the benches: listens on a loopback TCP
port, takes one connection and sends a log's lines to it, LINES every
0.1 s (19: 190 lines/s), then waits a second before it closes.
   paced_receiver.py LOG PORT [LINES]"""
import socket
import sys
import time

lines = open(sys.argv[1], 'rb').read().splitlines(keepends=True)
per_tick = int(sys.argv[3]) if len(sys.argv) > 3 else 19
server = socket.create_server(('127.0.0.1', int(sys.argv[2])), reuse_port=True)
peer, _ = server.accept()
start = time.monotonic()
try:
    for i in range(0, len(lines), per_tick):
        peer.sendall(b''.join(lines[i:i + per_tick]))
        time.sleep(max(0.0, start + (i // per_tick + 1) * 0.1 - time.monotonic()))
    time.sleep(1)
except BrokenPipeError:
    pass  # the reader was done with it first
