#!/usr/bin/env python3
"""Start-up time and memory of the client against a bare widgets window.

    bench/startup.py [--build-dir build] [--runs 15]

Start: from launching `kelpo` until the room server reports its
identification ("joined NAME"), against launching `kelpo-bare-window` until
it has shown its window and quit; the same as processor time, the client's
until its identification arrives against the bare window's whole run.
Memory: the client's resident set once it sits at a full table (one player,
five bots) against the bare window's while shown. Runs alternate between the two so that the machine's load falls on
both alike; medians are reported with their ratio and difference.
"""

import argparse
import glob
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


def cpu_ms(pid):
    """Milliseconds the running process has spent on a processor, threads
    that have already ended included: its process-wide CPU clock (the
    scheduler's own count, not the 10 ms ticks of stat). Where that clock
    cannot be read, the sum over the threads still running."""
    try:
        # The clock id of another process's CPU time: (~pid << 3) | CPUCLOCK_SCHED.
        return time.clock_gettime((~pid << 3) | 2) * 1000
    except OSError:
        pass
    total = 0
    for stat in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            with open(stat) as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total / 1e6


def client_start(bin_dir, settle=0.0):
    """Seconds from launch to identification and the client's processor time
    until then; with settle, the resident set that many seconds later."""
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
            cpu = cpu_ms(client.pid)
            memory = None
            if settle:
                time.sleep(settle)
                memory = rss_mb(client.pid)
            return took, cpu, memory
        finally:
            stop(client)
    finally:
        stop(room)


def bare_start(bin_dir):
    """Seconds from launch to exit and the processor time of the whole run."""
    began = time.monotonic()
    window = subprocess.Popen([os.path.join(bin_dir, "kelpo-bare-window")], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    usage = os.wait4(window.pid, 0)[2]
    return time.monotonic() - began, (usage.ru_utime + usage.ru_stime) * 1000


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
    # Without the resource pack the client starts on a table with no
    # pictures and no score panel: a few milliseconds and megabytes less
    # than the start this is meant to time. The seats' face icons lie
    # beside the program's folder; without them the full table draws no
    # seat pictures (about 1 MB less).
    if not os.path.isfile(os.path.join(bin_dir, "Res", "ResPk", "PkMask.bmp")) or \
            not os.path.isdir(os.path.join(bin_dir, os.pardir, "UserRes", "LargeUser")):
        print(f"no resource pack in {bin_dir} and beside it: build the kelpo-respack target first",
              file=sys.stderr)
        return 2
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    runtime = os.environ.setdefault("XDG_RUNTIME_DIR", f"/tmp/kelpo-runtime-{os.getuid()}")
    os.makedirs(runtime, mode=0o700, exist_ok=True)

    # One of each first, unmeasured, so that both find the page cache warm.
    client_start(bin_dir)
    bare_start(bin_dir)
    client_runs, bare_runs = [], []
    for _ in range(args.runs):
        client_runs.append(client_start(bin_dir)[:2])
        bare_runs.append(bare_start(bin_dir))
    client_ms = statistics.median(r[0] for r in client_runs) * 1000
    bare_ms = statistics.median(r[0] for r in bare_runs) * 1000
    client_cpu = statistics.median(r[1] for r in client_runs)
    bare_cpu = statistics.median(r[1] for r in bare_runs)
    print(f"start to identification  {client_ms:7.1f} ms (median of {args.runs})")
    print(f"bare window start-show-quit {bare_ms:5.1f} ms")
    print(f"ratio                    {client_ms / bare_ms:7.2f}")
    # On a loaded machine much of the wall time is waiting for a processor.
    print(f"processor time, client   {client_cpu:7.1f} ms, bare window {bare_cpu:.1f} ms, "
          f"ratio {client_cpu / bare_cpu:.2f}")

    client_mb = client_start(bin_dir, args.settle)[2]
    bare_mb = bare_memory(bin_dir, args.settle)
    print(f"resident at a full table {client_mb:7.1f} MB")
    print(f"resident bare window     {bare_mb:7.1f} MB")
    print(f"difference               {client_mb - bare_mb:+7.1f} MB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
