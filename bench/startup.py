#!/usr/bin/env python3
"""Start-up time and memory of the client against a bare widgets window.

    bench/startup.py [--build-dir build] [--runs 15]

Start: from launching `kelpo` until the room server reports its
identification ("joined NAME"), against launching `kelpo-bare-window` until
it has shown its window and quit. Memory: the client's resident set once it
sits at a full table (one player, five bots) against the bare window's while
shown. Runs alternate between the two so that the machine's load falls on
both alike; medians are reported with their ratio and difference.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

LAUNCH_KEY = "KELPO-LOBBY"
PLAYER = "玩家"


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def start_room(bin_dir):
    room = subprocess.Popen(
        # Accounts in memory: the server's commit to disk after the
        # identification (two syncs, 5-10 ms) is not the client's start.
        [os.path.join(bin_dir, "kelpo-room"), "--port", "0", "--player", PLAYER, "--no-settings", "--db", ":memory:"],
        stdout=subprocess.PIPE, text=True, encoding="utf-8")
    port = int(room.stdout.readline())
    return room, port


def client_args(bin_dir, port):
    return [os.path.join(bin_dir, "kelpo"), LAUNCH_KEY, "127.0.0.1", str(port), "牌局", "新手", "-", "-",
            PLAYER, "0"]


def stop(proc):
    if proc.poll() is None:
        proc.kill()
    proc.wait()


def client_start(bin_dir, settle=0.0):
    """Seconds from launch to identification; with settle, the resident set
    that many seconds later as well."""
    room, port = start_room(bin_dir)
    try:
        began = time.monotonic()
        client = subprocess.Popen(client_args(bin_dir, port), stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        try:
            while True:
                line = room.stdout.readline()
                if not line:
                    raise RuntimeError("kelpo-room stopped before the client joined")
                if line.startswith("joined "):
                    break
            took = time.monotonic() - began
            memory = None
            if settle:
                time.sleep(settle)
                memory = rss_mb(client.pid)
            return took, memory
        finally:
            stop(client)
    finally:
        stop(room)


def bare_start(bin_dir):
    began = time.monotonic()
    subprocess.run([os.path.join(bin_dir, "kelpo-bare-window")], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return time.monotonic() - began


def bare_memory(bin_dir, settle):
    window = subprocess.Popen([os.path.join(bin_dir, "kelpo-bare-window"), "--stay"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(settle)
        return rss_mb(window.pid)
    finally:
        stop(window)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default=os.path.join(os.path.dirname(__file__), "..", "build"))
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--settle", type=float, default=2.0, help="seconds at the table before memory is read")
    args = parser.parse_args()
    bin_dir = os.path.join(os.path.abspath(args.build_dir), "bin")
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    runtime = os.environ.setdefault("XDG_RUNTIME_DIR", f"/tmp/kelpo-runtime-{os.getuid()}")
    os.makedirs(runtime, mode=0o700, exist_ok=True)

    # One of each first, unmeasured, so that both find the page cache warm.
    client_start(bin_dir)
    bare_start(bin_dir)
    client_times, bare_times = [], []
    for _ in range(args.runs):
        client_times.append(client_start(bin_dir)[0])
        bare_times.append(bare_start(bin_dir))
    client_ms = statistics.median(client_times) * 1000
    bare_ms = statistics.median(bare_times) * 1000
    print(f"start to identification  {client_ms:7.1f} ms (median of {args.runs})")
    print(f"bare window start-show-quit {bare_ms:5.1f} ms")
    print(f"ratio                    {client_ms / bare_ms:7.2f}")

    client_mb = client_start(bin_dir, args.settle)[1]
    bare_mb = bare_memory(bin_dir, args.settle)
    print(f"resident at a full table {client_mb:7.1f} MB")
    print(f"resident bare window     {bare_mb:7.1f} MB")
    print(f"difference               {client_mb - bare_mb:+7.1f} MB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
