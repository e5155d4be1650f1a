#!/usr/bin/env python3
"""Planted-fault runner: how many realistic slips do the test suites catch?

For each fault of faults.txt (or only the ids given), in a scratch worktree
of the repository at a given commit, it plants exactly that one fault,
rebuilds incrementally and runs the test suites cheapest first through
`./dev.sh test SUITE`, stopping at the first that fails:

  core, sdl, posix faults   unit, then linux-desktop
  win32 faults              windows-unit, then windows-desktop
  (--core-on-windows: a core fault that Linux misses also runs windows-unit)

A fault whose build fails, or whose snippet is not found exactly once, is
INVALID (fix the fault, not the code). The file is checked out again after
each fault. Before a suite first judges a fault, it runs once on the clean
tree: it must pass there, and its time sets the suite's timeout (three
times as long plus five minutes, or --timeout without the clean run). A suite
that runs past its timeout is stopped and counts as failing, marked
"(timeout)" in the table.

The developer's own tree is never touched: the scratch worktree is
build-faults/tree (git-ignored) unless --tree names another. Each suite's
output goes to build-faults/logs/, and each result is appended to
build-faults/results.tsv as soon as it is known; --table prints the table of
that file: the last verdict of each fault, over every run (a run that was
stopped, a fault run again alone). The scratch worktree stays for the next
run's incremental build; `git worktree remove --force build-faults/tree`
removes it.

  tools/faults/faults.py                       every fault, against HEAD
  tools/faults/faults.py --commit main core-sound-name win32-no-capture
  tools/faults/faults.py --list                the faults, one a line
  tools/faults/faults.py --check               each snippet found once here?
  tools/faults/faults.py --table               the table of the last run
"""

import argparse
import os
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
SYSTEMS = ('core', 'sdl', 'posix', 'win32')
LINUX_SUITES = ('unit', 'linux-desktop')
WINDOWS_SUITES = ('windows-unit', 'windows-desktop')


@dataclass
class Fault:
    id: str
    system: str
    file: str
    description: str
    old: str
    new: str


def parse_faults(path):
    faults, current, lines = [], None, []

    def finish():
        if current is None:
            return
        olds = [l[2:] for l in lines if l.startswith('- ') or l == '-']
        news = [l[2:] for l in lines if l.startswith('+ ') or l == '+']
        text = [l for l in lines if not (l.startswith(('- ', '+ ')) or l in ('-', '+'))]
        if len(text) != 1 or not olds:
            sys.exit(f'{path}: fault {current[0]} needs one line of description and at least one "-" line')
        faults.append(Fault(current[0], current[1], current[2], text[0], '\n'.join(olds), '\n'.join(news)))

    for number, line in enumerate(path.read_text().splitlines(), 1):
        if line.startswith('#'):
            continue
        if line.startswith('== '):
            finish()
            parts = line[3:].split()
            if len(parts) != 3 or parts[1] not in SYSTEMS:
                sys.exit(f'{path}:{number}: expected "== ID SYSTEM FILE" with SYSTEM one of {SYSTEMS}')
            current, lines = parts, []
        elif line.strip():
            if current is None:
                sys.exit(f'{path}:{number}: text outside a fault')
            lines.append(line)
    finish()
    ids = [f.id for f in faults]
    doubles = {i for i in ids if ids.count(i) > 1}
    if doubles:
        sys.exit(f'{path}: ids used twice: {", ".join(sorted(doubles))}')
    return faults


def git(*args, cwd=REPO, check=True):
    return subprocess.run(['git', *args], cwd=cwd, check=check, text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT).stdout


def prepare_tree(tree, commit):
    sha = git('rev-parse', '--verify', commit + '^{commit}').strip()
    if not (tree / '.git').exists():
        tree.parent.mkdir(parents=True, exist_ok=True)
        git('worktree', 'add', '--detach', str(tree), sha)
    else:
        git('checkout', '-q', '--', '.', cwd=tree)
        git('checkout', '-q', '--detach', sha, cwd=tree)
    if git('status', '--porcelain', '--untracked-files=no', cwd=tree).strip():
        sys.exit(f'{tree} has changes of its own; remove it or give another --tree')
    return sha


def plant(tree, fault):
    """Applies the fault; returns an error text when its snippet is not found exactly once."""
    path = tree / fault.file
    if not path.is_file():
        return f'no file {fault.file}'
    text = path.read_text()
    count = text.count(fault.old)
    if count != 1:
        return f'snippet found {count} times in {fault.file}'
    old = fault.old
    if not fault.new and text[text.index(old) + len(old):].startswith('\n'):
        old += '\n'
    path.write_text(text.replace(old, fault.new, 1))
    return None


def revert(tree, fault):
    git('checkout', '-q', '--', fault.file, cwd=tree)


class Runner:
    def __init__(self, args, tree, logs, results):
        self.args, self.tree, self.logs, self.results = args, tree, logs, results
        self.timeouts = {}

    def run(self, command, log, timeout=None):
        """Runs a shell command in the tree; returns 'pass', 'fail' or 'timeout'."""
        env = dict(os.environ, SNICKIT_NO_INSTALL='1', JOBS=str(self.args.jobs))
        with open(log, 'w') as out:
            proc = subprocess.Popen(['bash', '-c', command], cwd=self.tree, env=env, stdout=out,
                                    stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, start_new_session=True)
            try:
                return 'pass' if proc.wait(timeout) == 0 else 'fail'
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGTERM)
                try:
                    proc.wait(30)
                except subprocess.TimeoutExpired:
                    os.killpg(proc.pid, signal.SIGKILL)
                    proc.wait()
                out.write(f'\n--- stopped after {timeout} s\n')
                return 'timeout'
            finally:
                # What the suite left running (a display, a wine server) goes with it.
                try:
                    os.killpg(proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass

    def build(self, system, log):
        if system == 'win32':
            command = ('bash tools/windows/build.sh >/dev/null && '
                       f'cmake --build build-windows -j {self.args.jobs} --target snickit_tests')
        else:
            command = ('cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && '
                       f'cmake --build build -j {self.args.jobs}')
        return self.run(command, log) == 'pass'

    def suite(self, name, log):
        return self.run(f'./dev.sh test {name}', log, self.timeouts.get(name, self.args.timeout))

    def baseline(self, name):
        """The suite on the clean tree, once: it must pass; its time sets its timeout."""
        if name in self.timeouts:
            return
        if self.args.no_baseline:
            self.timeouts[name] = self.args.timeout
            return
        say(f'clean run of {name} ...')
        start = time.monotonic()
        status = self.run(f'./dev.sh test {name}', self.logs / f'clean-{name}.log', self.args.timeout)
        seconds = time.monotonic() - start
        if status != 'pass':
            sys.exit(f'{name} does not pass without a fault ({status}; {self.logs}/clean-{name}.log): '
                     'nothing can be measured with it')
        self.timeouts[name] = int(3 * seconds + 300)
        say(f'clean run of {name}: passed in {seconds:.0f} s; its timeout is {self.timeouts[name]} s')

    def suites_for(self, fault):
        if fault.system == 'win32':
            return WINDOWS_SUITES
        if fault.system == 'core' and self.args.core_on_windows:
            return LINUX_SUITES + ('windows-unit',)
        return LINUX_SUITES

    def judge(self, fault):
        """Returns (verdict, seconds): a suite name, 'SUITE (timeout)', 'MISSED' or 'INVALID: why'."""
        suites = self.suites_for(fault)
        for name in suites:
            self.baseline(name)
        start = time.monotonic()  # the fault's own time, without the clean runs
        error = plant(self.tree, fault)
        if error:
            return f'INVALID: {error}', time.monotonic() - start
        try:
            if not self.build(fault.system, self.logs / f'{fault.id}-build.log'):
                return 'INVALID: the build fails', time.monotonic() - start
            for name in suites:
                if name == 'windows-unit' and fault.system == 'core':
                    if not self.build('win32', self.logs / f'{fault.id}-build-windows.log'):
                        return 'INVALID: the Windows build fails', time.monotonic() - start
                status = self.suite(name, self.logs / f'{fault.id}-{name}.log')
                if status == 'fail':
                    return name, time.monotonic() - start
                if status == 'timeout':
                    return f'{name} (timeout)', time.monotonic() - start
            return 'MISSED', time.monotonic() - start
        finally:
            revert(self.tree, fault)


def say(text):
    print(time.strftime('%H:%M:%S'), text, file=sys.stderr, flush=True)


def print_table(rows, faults_by_id):
    """rows: (id, system, verdict, seconds)."""
    width = max([len(r[0]) for r in rows] + [5])
    print(f'{"fault":<{width}} | {"system":<6} | caught by')
    print(f'{"-" * width}-+--------+-{"-" * 24}')
    for fault_id, system, verdict, seconds in rows:
        print(f'{fault_id:<{width}} | {system:<6} | {verdict}  ({float(seconds):.0f} s)')
    print()
    for system in SYSTEMS + ('all',):
        mine = [r for r in rows if system in ('all', r[1])]
        if not mine:
            continue
        valid = [r for r in mine if not r[2].startswith('INVALID')]
        caught = [r for r in valid if r[2] != 'MISSED']
        timeouts = [r for r in caught if r[2].endswith('(timeout)')]
        by_suite = {}
        for r in caught:
            by_suite[r[2]] = by_suite.get(r[2], 0) + 1
        detail = ', '.join(f'{suite} {n}' for suite, n in by_suite.items())
        line = f'{system:<6} caught {len(caught)} / {len(valid)} valid'
        if valid:
            line += f' ({100 * len(caught) / len(valid):.0f} %)'
        if len(mine) > len(valid):
            line += f', {len(mine) - len(valid)} invalid'
        if detail:
            line += f'; by suite: {detail}'
        if timeouts:
            line += f' ({len(timeouts)} by timeout)'
        print(line)
    missed = [r for r in rows if r[2] == 'MISSED']
    if missed:
        print('\nMissed:')
        for r in missed:
            fault = faults_by_id.get(r[0])
            print(f'  {r[0]}: {fault.description if fault else "?"}')


def main():
    parser = argparse.ArgumentParser(description='Plants one fault at a time and runs the test suites.')
    parser.add_argument('ids', nargs='*', help='fault ids (default: every fault, in the order of the list)')
    parser.add_argument('--commit', default='HEAD', help='the commit to measure (default HEAD)')
    parser.add_argument('--tree', type=Path, default=REPO / 'build-faults' / 'tree',
                        help='the scratch worktree (made with git worktree add when missing)')
    parser.add_argument('--faults', type=Path, default=HERE / 'faults.txt', help='the fault list')
    parser.add_argument('--jobs', type=int, default=2, help='build jobs (default 2)')
    parser.add_argument('--timeout', type=int, default=3600,
                        help='seconds per suite without a clean run, and for the clean run (default 3600)')
    parser.add_argument('--no-baseline', action='store_true',
                        help='skip the clean run of each suite (the timeout is then --timeout)')
    parser.add_argument('--core-on-windows', action='store_true',
                        help='a core fault that the Linux suites miss also runs windows-unit')
    parser.add_argument('--list', action='store_true', help='list the faults and end')
    parser.add_argument('--table', action='store_true', help='print the table of the last run and end')
    parser.add_argument('--check', action='store_true',
                        help="check that each fault's snippet occurs exactly once in the working tree, and end")
    args = parser.parse_args()

    faults = parse_faults(args.faults)
    by_id = {f.id: f for f in faults}
    unknown = [i for i in args.ids if i not in by_id]
    if unknown:
        sys.exit(f'no such fault: {", ".join(unknown)} (--list names them)')
    chosen = [by_id[i] for i in args.ids] if args.ids else faults

    work = args.tree.resolve().parent
    results = work / 'results.tsv'
    if args.check:
        bad = [f'{f.id}: snippet found {(REPO / f.file).read_text().count(f.old) if (REPO / f.file).is_file() else "no file, so 0"} '
               f'times in {f.file}' for f in chosen
               if not (REPO / f.file).is_file() or (REPO / f.file).read_text().count(f.old) != 1]
        print('\n'.join(bad) or f'{len(chosen)} faults, each snippet found once')
        return 1 if bad else 0
    if args.list:
        for f in chosen:
            print(f'{f.id:<32} {f.system:<6} {f.file:<36} {f.description}')
        return 0
    if args.table:
        if not results.exists():
            sys.exit(f'no results yet ({results})')
        last = {}
        for line in results.read_text().splitlines():
            if line and not line.startswith('#'):
                row = line.split('\t')
                last[row[0]] = row
        order = [f.id for f in chosen] + [i for i in last if i not in by_id]
        print_table([last[i] for i in order if i in last], by_id)
        return 0

    if os.nice(0) < 10:
        os.nice(10 - os.nice(0))
    tree = args.tree.resolve()
    sha = prepare_tree(tree, args.commit)
    logs = work / 'logs'
    logs.mkdir(parents=True, exist_ok=True)
    with results.open('a') as out:
        out.write(f'# commit {sha}, started {time.strftime("%Y-%m-%d %H:%M:%S")}\n')
    say(f'{len(chosen)} faults against {sha[:10]} in {tree}')

    runner = Runner(args, tree, logs, results)
    rows = []
    start = time.monotonic()
    for number, fault in enumerate(chosen, 1):
        say(f'[{number}/{len(chosen)}] {fault.id} ({fault.system}, {fault.file})')
        verdict, seconds = runner.judge(fault)
        say(f'[{number}/{len(chosen)}] {fault.id}: {verdict} ({seconds:.0f} s)')
        rows.append((fault.id, fault.system, verdict, f'{seconds:.0f}'))
        with results.open('a') as out:
            out.write('\t'.join(rows[-1]) + '\n')
    say(f'done in {(time.monotonic() - start) / 60:.0f} min')
    print_table(rows, by_id)
    return 0


if __name__ == '__main__':
    sys.exit(main())
