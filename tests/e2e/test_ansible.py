"""The Ansible collection under ansible/: a playbook sets three sandbox hosts on this machine
(each with its own ZOR directory) from one settings dict, in check, diff and real mode."""

import json
import os
import shlex
import subprocess

from conftest import REPO, base_env, snapshot
from steps import dos

PLAYBOOK = """\
- hosts: all
  gather_facts: false
  tasks:
    - zor.zorsetup.zorsetup:
        zor_dir: "{{ zor }}"
        launcher_dir: "{{ bin }}"
        settings: "{{ zor_settings }}"
        executable: "{{ zorsetup }}"
"""
HAND_EDITED = b"@ECHO OFF\r\nREM mine\r\nECHO hello\r\nC:\\ZOR\\ZOR4.EXE -U+ %1"


def test_a_playbook_sets_three_hosts(posix_program, tmp_path, bin_dir):
    # The program as one executable, also when it runs behind env (the sanitizer pass).
    wrapper = tmp_path / "zorsetup"
    wrapper.write_text("#!/bin/sh\nexec " + shlex.join(posix_program.argv) + ' "$@"\n')
    wrapper.chmod(0o755)
    collections = tmp_path / "collections" / "ansible_collections" / "zor"
    collections.mkdir(parents=True)
    (collections / "zorsetup").symlink_to(REPO / "ansible")
    # The third in a folder whose name has brackets, as the launcher's path in --show has.
    hosts = {"m1": tmp_path / "m1", "m2": tmp_path / "m2", "m3": tmp_path / "m (3)"}
    for d in hosts.values():
        (d / "zor").mkdir(parents=True)
        (d / "bin").mkdir()
        (d / "zor" / "ZOR4.EXE").write_bytes(b"MZ zor stand-in\r\n")
    (hosts["m3"] / "bin" / "ZO.BAT").write_bytes(HAND_EDITED)
    inventory = tmp_path / "hosts.ini"
    inventory.write_text("".join(
        f"{name} ansible_connection=local ansible_python_interpreter=/usr/bin/python3 "
        f"zor='{d / 'zor'}' bin='{d / 'bin'}' zorsetup={wrapper}\n" for name, d in hosts.items()))
    (tmp_path / "play.yml").write_text(PLAYBOOK)
    env = base_env(tmp_path, bin_dir)
    env.update(PATH=os.environ["PATH"], LANG="C.UTF-8", ANSIBLE_COLLECTIONS_PATH=str(tmp_path / "collections"),
               ANSIBLE_CALLBACKS_ENABLED="tree", ANSIBLE_CALLBACK_TREE_DIR=str(tmp_path / "results"),
               ANSIBLE_LOCAL_TEMP=str(tmp_path / "ansible-tmp"),
               ANSIBLE_REMOTE_TEMP=str(tmp_path / "ansible-tmp"), ANSIBLE_NOCOLOR="1")

    def playbook(*options, settings):
        """The exit status, the recap's figures and each host's result of the one task, and
        what ansible-playbook printed."""
        p = subprocess.run(["ansible-playbook", "-i", str(inventory), str(tmp_path / "play.yml"),
                            "-e", json.dumps({"zor_settings": settings}), *options],
                           env=env, cwd=tmp_path, capture_output=True, text=True, timeout=300)
        recap = p.stdout[p.stdout.index("PLAY RECAP"):].splitlines()[1:]
        stats = {line.split()[0]: dict(f.split("=") for f in line.split()[2:]) for line in recap if line}
        results = {h: json.loads((tmp_path / "results" / h).read_text()) for h in hosts}
        return p.returncode, stats, results, p.stdout

    # YAML's false for a switch; the table relative to each host's own ZOR directory.
    settings = {"subdirs": False, "display-mode": "H", "memory-limit": "$FF", "colour-table": "SITE.TAB"}
    before = snapshot(*hosts.values())
    rc, stats, results, shown = playbook("--check", "--diff", settings=settings)
    assert rc == 0 and all(stats[h]["changed"] == "1" for h in hosts), stats
    assert snapshot(*hosts.values()) == before
    added = [line for line in shown.splitlines() if line.startswith("+") and " -BH -C+ -F" in line]
    for name, d in hosts.items():
        r = results[name]
        assert r["settings"]["colour-table"] == "SITE.TAB" and r["settings"]["memory-limit"] == "255", r
        assert r["launcher"] == str(d / "bin" / "ZO.BAT")
        # Diff mode shows each launcher's new command line, naming that host's own table.
        assert any(dos(d / "zor" / "SITE.TAB") in line for line in added), shown
    assert "\n-ECHO hello\n" in shown  # the hand-edited line a save drops
    predicted = {h: (r["settings"], r["launcher"]) for h, r in results.items()}

    rc, stats, results, shown = playbook(settings=settings)
    assert rc == 0 and all(stats[h]["changed"] == "1" for h in hosts), stats
    assert {h: (r["settings"], r["launcher"]) for h, r in results.items()} == predicted  # as check mode said
    for name, d in hosts.items():
        assert dos(d / "zor" / "SITE.TAB") in (d / "bin" / "ZO.BAT").read_text()
    assert (hosts["m3"] / "bin" / "ZO.BAK").read_bytes() == HAND_EDITED

    rc, stats, results, shown = playbook("--diff", settings=dict(settings, subdirs="off"))
    assert rc == 0 and all(stats[h]["changed"] == "0" and stats[h]["ok"] == "1" for h in hosts), stats

    rc, stats, results, shown = playbook(settings=dict(settings, **{"screen-lines": 44}))
    assert rc != 0 and all(stats[h]["failed"] == "1" for h in hosts), stats
    assert "screen-lines=44" in results["m1"]["msg"] and "25, 28, 43, 50 or 60" in results["m1"]["msg"]
