#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright 2026 The zorsetup developers; see COPYRIGHT.

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: zorsetup
short_description: Set up ZOR's launcher C(ZO.BAT) with zorsetup
version_added: "1.0.0"
description:
  - Sets the given settings of ZOR's launcher C(ZO.BAT) on the managed host, through
    C(zorsetup)'s command line, and leaves every other setting and the launcher's reserved
    line as they are.
  - First asks C(zorsetup --set --diff) whether anything would change; only then, and not
    in check mode, writes the launcher with C(zorsetup --set). A launcher that would come
    out the same is not written.
  - A launcher edited by hand keeps its old content in C(ZO.BAK) beside it, as
    C(zorsetup) always does.
options:
  settings:
    description:
      - The settings to set, a value for each name, with the names C(zorsetup --show) prints
        (or the menu's letters).
      - Switches take C(on) or C(off) (YAML's C(true) and C(false) are taken for them);
        C(display-mode) a letter C(C), C(E), C(A), C(F) or C(H); C(memory-limit) a number
        from 0 to 2048000; C(screen-lines) one of 0, 25, 28, 43, 50 and 60;
        C(colour-table) a file name, relative to C(zor_dir), empty for none.
      - A name or value that C(zorsetup) does not take fails the task with its reason,
        and nothing is written.
    type: dict
    required: true
  zor_dir:
    description:
      - The directory that holds C(ZOR4.EXE); the launcher starts ZOR from there.
    type: path
    required: true
  launcher_dir:
    description:
      - The directory of the launcher; a new one is made there when there is none.
      - Without it, the launcher is the C(ZO.BAT) that C(zorsetup) finds in the current
        directory or on C(PATH), and the task fails when there is none.
    type: path
  executable:
    description:
      - The C(zorsetup) program to run, a path or a name looked for on C(PATH).
    type: str
    default: zorsetup
attributes:
  check_mode:
    support: full
    details: Reports C(changed) exactly when a real run would write the launcher.
  diff_mode:
    support: full
    details: Shows the launcher before and after.
notes:
  - The settings returned and the launcher shown in diff mode are what the host has after
    the task, or in check mode what it would have.
author:
  - zorsetup maintainers
'''

EXAMPLES = r'''
- name: Leave out subdirectories, write HTML and use the site's colour table
  zor.zorsetup.zorsetup:
    zor_dir: /opt/zor
    launcher_dir: /opt/bin
    settings:
      subdirs: off
      display-mode: H
      memory-limit: 255
      colour-table: SITE.TAB

- name: The same settings on every host, from one variable
  zor.zorsetup.zorsetup:
    zor_dir: "{{ zor_directory }}"
    settings: "{{ zor_settings }}"
  register: zor

- name: Show what the launcher holds now
  ansible.builtin.debug:
    msg: "{{ zor.launcher }}: {{ zor.settings['display-mode'] }}"
'''

RETURN = r'''
settings:
  description: Every setting of the launcher after the task (in check mode, as it would
    be), as C(zorsetup --show) prints them; C(colour-table) relative to C(zor_dir) when the
    table lies there.
  returned: success
  type: dict
  sample: {"subdirs": "off", "display-mode": "H", "memory-limit": "255", "colour-table": "SITE.TAB"}
launcher:
  description: The path of the launcher.
  returned: success
  type: str
  sample: /opt/bin/ZO.BAT
diff:
  description: The launcher's text before and after, in diff mode.
  returned: success, in diff mode
  type: dict
  contains:
    before:
      description: The launcher as it was (empty when there was none).
      type: str
    after:
      description: The launcher as it is after the task, or would be in check mode.
      type: str
'''

import os
import shutil
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible.module_utils.six import string_types


def value_text(value):
    """A setting's value as zorsetup takes it: YAML's true and false are on and off."""
    if isinstance(value, bool):
        return 'on' if value else 'off'
    if value is None:
        return ''
    if isinstance(value, (int, string_types)):
        return str(value)
    raise ValueError(type(value).__name__)


def reason(err):
    """What zorsetup said went wrong: its lines without "zorsetup: " and the pointer to
    the help."""
    lines = [line[len('zorsetup: '):] if line.startswith('zorsetup: ') else line
             for line in err.splitlines() if line and not line.startswith('Try ')]
    return '; '.join(lines)


def launcher_path(comment):
    """The launcher's path from --show's first line: "# launcher: Z:\\opt\\bin\\ZO.BAT
    (/opt/bin/ZO.BAT)" gives the machine's own path in the brackets at its end (which may
    hold brackets of their own), when there are any."""
    path = comment.split(': ', 1)[1] if ': ' in comment else ''
    depth = 0
    for at in range(len(path) - 1, 0, -1) if path.endswith(')') else ():
        depth += {')': 1, '(': -1}.get(path[at], 0)
        if depth == 0:
            return path[at + 1:-1] if path[at - 1] == ' ' else path
    return path


def read_text(path):
    try:
        with open(path, 'rb') as launcher:
            return launcher.read().decode('cp437').replace('\r\n', '\n')
    except (IOError, OSError):
        return ''


class Zorsetup(object):
    def __init__(self, module):
        self.module = module
        executable = module.params['executable']
        if os.sep not in executable:
            executable = module.get_bin_path(executable, required=True)
        self.executable = executable
        self.zor_dir = module.params['zor_dir']

    def run(self, arguments, launcher_dir, fail_on=lambda rc: rc != 0):
        where = ['--zor', self.zor_dir]
        if launcher_dir:
            where += ['--launcher', launcher_dir]
        command = [self.executable] + arguments[:1] + where + arguments[1:]
        rc, out, err = self.module.run_command(command, environ_update={'LC_ALL': 'C'})
        if fail_on(rc):
            self.module.fail_json(msg=reason(err) or 'zorsetup ended with %d' % rc, rc=rc, cmd=command,
                                  stdout=out, stderr=err)
        return rc, out

    def show(self, launcher_dir):
        """The launcher's path and its settings."""
        lines = self.run(['--show'], launcher_dir)[1].splitlines()
        settings = dict(line.split('=', 1) for line in lines if '=' in line and not line.startswith('#'))
        return launcher_path(lines[0] if lines else ''), settings


def main():
    module = AnsibleModule(
        argument_spec=dict(
            settings=dict(type='dict', required=True),
            zor_dir=dict(type='path', required=True),
            launcher_dir=dict(type='path'),
            executable=dict(type='str', default='zorsetup'),
        ),
        supports_check_mode=True,
    )
    try:
        pairs = ['%s=%s' % (name, value_text(value)) for name, value in module.params['settings'].items()]
    except ValueError as error:
        module.fail_json(msg='a setting takes a word or a number, not a %s' % error)
    zorsetup = Zorsetup(module)
    launcher_dir = module.params['launcher_dir']

    # 0: nothing would change, 1: the launcher would change, 2: a bad pair or no launcher.
    rc = zorsetup.run(['--set', '--diff', '--'] + pairs, launcher_dir, fail_on=lambda rc: rc not in (0, 1))[0]
    changed = rc == 1
    launcher, settings = zorsetup.show(launcher_dir)
    before = read_text(launcher) if module._diff else ''
    after = before
    if changed and module.check_mode:
        # What it would be: the same change made to a copy of the launcher.
        scratch = tempfile.mkdtemp(prefix='zorsetup-check-')
        try:
            if os.path.isfile(launcher):
                shutil.copyfile(launcher, os.path.join(scratch, os.path.basename(launcher)))
            zorsetup.run(['--set', '--'] + pairs, scratch)
            copy, settings = zorsetup.show(scratch)
            after = read_text(copy)
        finally:
            shutil.rmtree(scratch, ignore_errors=True)
    elif changed:
        zorsetup.run(['--set', '--'] + pairs, launcher_dir)
        launcher, settings = zorsetup.show(launcher_dir)
        after = read_text(launcher)

    result = dict(changed=changed, settings=settings, launcher=launcher)
    if module._diff:
        result['diff'] = dict(before=before, after=after, before_header=launcher, after_header=launcher)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
