"""Runs a command under the confinement that the variable ZOR_CONFINE names (a comma-
separated list; the variable itself is not passed on), so that file operations fail from
outside the program:

    fsize   no file may grow: RLIMIT_FSIZE 0, SIGXFSZ at its default action (which ends
            the process; the program must ignore it for a write to fail with EFBIG). The
            command's stderr goes through a pipe to a helper that is not limited, so that
            a report still reaches the stderr file.
    nobody  the command runs as the user nobody, for whom permissions count (root's do
            not).

    confine.py COMMAND...
"""

import os
import resource
import signal
import sys

NOBODY = 65534

confinement = set(filter(None, os.environ.pop("ZOR_CONFINE", "").split(",")))
argv = sys.argv[1:]

if "fsize" in confinement:
    read_end, write_end = os.pipe()
    if os.fork() == 0:
        # The command is the terminal's session leader: when it ends, its process group
        # gets a hang-up, and this helper must outlive it to pass on the last report.
        signal.signal(signal.SIGHUP, signal.SIG_IGN)
        os.close(write_end)
        while True:
            chunk = os.read(read_end, 4096)
            if not chunk:
                os._exit(0)
            os.write(2, chunk)
    os.close(read_end)
    os.dup2(write_end, 2)
    os.close(write_end)
    signal.signal(signal.SIGXFSZ, signal.SIG_DFL)  # Python ignores it; a shell's child would not
    resource.setrlimit(resource.RLIMIT_FSIZE, (0, 0))

if "nobody" in confinement:
    os.setgroups([])
    os.setgid(NOBODY)
    os.setuid(NOBODY)

os.execvp(argv[0], argv)
