"""Runs a command as a foreground job, as an interactive shell does, so that Ctrl+Z can
stop it (a process group without such a parent is orphaned and ignores stop signals).

    jobshell.py PIDFILE COMMAND...

Started as the session leader of a terminal; the command gets a process group of its own,
made the terminal's foreground group. The command's pid goes to PIDFILE. As a shell does,
it takes the terminal back when the command stops; SIGUSR1 is "fg" (the terminal to the
command, then continue it), SIGUSR2 "bg" (continue it in the background). Ends as the
command ends: with its exit code, or killed by the same signal.
"""

import os
import signal
import sys

pidfile, argv = sys.argv[1], sys.argv[2:]
tty = 1
pid = os.fork()
if pid == 0:
    os.setpgid(0, 0)
    signal.signal(signal.SIGTTOU, signal.SIG_IGN)
    os.tcsetpgrp(tty, os.getpid())
    signal.signal(signal.SIGTTOU, signal.SIG_DFL)
    os.execvp(argv[0], argv)

try:
    os.setpgid(pid, pid)
except OSError:
    pass  # the child was quicker
# Taking the terminal back from the background must not stop this shell.
signal.signal(signal.SIGTTOU, signal.SIG_IGN)


def fg(*_):
    os.tcsetpgrp(tty, pid)
    os.killpg(pid, signal.SIGCONT)


signal.signal(signal.SIGUSR1, fg)
signal.signal(signal.SIGUSR2, lambda *_: os.killpg(pid, signal.SIGCONT))

with open(pidfile + ".new", "w") as f:
    f.write(str(pid))
os.rename(pidfile + ".new", pidfile)

while True:
    _, status = os.waitpid(pid, os.WUNTRACED | os.WCONTINUED)
    if os.WIFSTOPPED(status):
        os.tcsetpgrp(tty, os.getpgrp())
    if os.WIFEXITED(status):
        sys.exit(os.WEXITSTATUS(status))
    if os.WIFSIGNALED(status):
        sig = os.WTERMSIG(status)
        signal.signal(sig, signal.SIG_DFL)
        os.kill(os.getpid(), sig)
        sys.exit(128 + sig)
