#!/usr/bin/env python3
"""Runs one command and prints its wall time and CPU time (user + system) in milliseconds.

usage: timeit.py [-o FILE] [-i LISTFILE] -- COMMAND [ARG...]
  -o FILE      the command's standard output goes to FILE (default: discarded)
  -i LISTFILE  append the lines of LISTFILE to the command's arguments
Exits with the command's status.
"""
import os
import subprocess
import sys
import time


def main():
    args = sys.argv[1:]
    out_path, list_path = None, None
    while args and args[0] != "--":
        if args[0] == "-o":
            out_path, args = args[1], args[2:]
        elif args[0] == "-i":
            list_path, args = args[1], args[2:]
        else:
            sys.exit(__doc__)
    command = args[1:]
    if list_path:
        with open(list_path) as f:
            command += [line.rstrip("\n") for line in f if line.strip()]
    out = open(out_path, "wb") if out_path else subprocess.DEVNULL
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=out)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    print("%.1f %.1f" % (wall * 1000, (usage.ru_utime + usage.ru_stime) * 1000))
    sys.exit(child.returncode)


if __name__ == "__main__":
    main()
