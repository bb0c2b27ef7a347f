#!/usr/bin/env python3
"""Measures what the test suite catches: applies each mutation of the
product, one at a time, to a copy of the tree, builds it and runs the suite
until its first failure. A mutation the suite fails on is caught; one it
passes is missed.

    python3 tools/mutate.py [--arch win64] [--only TEXT] [--from N] [--to N] [--work DIR] [MUTATIONS]

It mutates the committed tree (HEAD), not the working tree. MUTATIONS
(default tests/mutations.txt) holds blocks of the form

    ## what a user would notice
    path/of/the/file.cpp
    - the exact text it holds, once
    + what it becomes

where "-" and "+" lines may repeat to span several lines. The copy lives
in build/mutants/source (--work); the suite runs in that copy's own prefix, the fuzzer
left out (it finds faults, it does not check for given ones).
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_mutations(path):
    mutations, current = [], None
    for line in open(path, encoding='utf-8'):
        line = line.rstrip('\n')
        if line.startswith('## '):
            current = {'name': line[3:], 'file': None, 'old': [], 'new': []}
            mutations.append(current)
        elif current is None or not line.strip() and current['file'] is None:
            continue
        elif current['file'] is None:
            current['file'] = line.strip()
        elif line.startswith('- ') or line == '-':
            current['old'].append(line[2:])
        elif line.startswith('+ ') or line == '+':
            current['new'].append(line[2:])
    for m in mutations:
        m['old'], m['new'] = '\n'.join(m['old']), '\n'.join(m['new'])
    return mutations


def run(command, cwd, log):
    with open(log, 'w') as out:
        return subprocess.run(command, cwd=cwd, shell=True, stdout=out, stderr=subprocess.STDOUT).returncode


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('mutations', nargs='?', default=os.path.join(ROOT, 'tests', 'mutations.txt'))
    parser.add_argument('--arch', default='win64')
    parser.add_argument('--only', default='', help='run the mutations whose name holds this text')
    parser.add_argument('--from', dest='first', type=int, default=1, help='start at the mutation of this number')
    parser.add_argument('--to', dest='last', type=int, default=10**6, help='end with the mutation of this number')
    parser.add_argument('--work', default=os.path.join(ROOT, 'build', 'mutants'), help='the folder of the copy')
    args = parser.parse_args()
    mutations = [(number, m) for number, m in enumerate(read_mutations(args.mutations), 1)
                 if args.only in m['name'] and args.first <= number <= args.last]

    # The committed tree, afresh; the copy's build folder stays for speed.
    copy = os.path.join(args.work, 'source')
    os.makedirs(copy, exist_ok=True)
    for name in os.listdir(copy):
        if name != 'build':
            path = os.path.join(copy, name)
            shutil.rmtree(path) if os.path.isdir(path) and not os.path.islink(path) else os.remove(path)
    subprocess.run(f'git -C {ROOT} archive --format=tar HEAD | tar -x -C {copy}', shell=True, check=True)
    build = os.path.join('build', args.arch)
    toolchain = {'win32': 'cmake/mingw-i686.cmake', 'win64': 'cmake/mingw-x86_64.cmake'}[args.arch]
    build_command = (f'cmake -S . -B {build} -DCMAKE_TOOLCHAIN_FILE={toolchain} -DCORVANE_NATIVE=ON >/dev/null && '
                     f'cmake --build {build} -j{os.cpu_count()}')
    suite = (f'tools/wine-run.sh --prefix {build}/wineprefix --session ctest --test-dir {build} -j2 '
             f'--stop-on-failure -E FuzzArchiveReading -LE release')
    logs = args.work

    for _, m in mutations:
        text = open(os.path.join(copy, m['file']), encoding='utf-8').read()
        if text.count(m['old']) != 1:
            sys.exit(f"{m['name']}: {m['file']} does not hold its text exactly once")

    print(f'Baseline: the unmutated suite must pass ({args.arch}).', flush=True)
    if run(build_command, copy, os.path.join(logs, 'build.log')) or \
            run(suite, copy, os.path.join(logs, 'baseline.log')):
        sys.exit(f'the unmutated tree does not build or pass: see {logs}/*.log')

    caught = 0
    for number, m in mutations:
        path = os.path.join(copy, m['file'])
        original = open(path, encoding='utf-8').read()
        open(path, 'w', encoding='utf-8').write(original.replace(m['old'], m['new']))
        start = time.time()
        try:
            log = os.path.join(logs, f'{number:02d}.log')
            # Without the times of earlier runs ctest starts the tests in
            # their order, the quick unit tests first, rather than the
            # longest first: a mutation they catch is told in seconds.
            costs = os.path.join(copy, build, 'Testing', 'Temporary', 'CTestCostData.txt')
            if os.path.exists(costs):
                os.remove(costs)
            if run(build_command, copy, log):
                verdict = 'does not build'
            else:
                verdict = 'caught' if run(suite, copy, log) else 'MISSED'
        finally:
            open(path, 'w', encoding='utf-8').write(original)
        caught += verdict == 'caught'
        print(f'{number:2d} {verdict:14s} {time.time() - start:5.0f} s  {m["name"]}', flush=True)
    print(f'{caught} of {len(mutations)} caught')
    run(build_command, copy, os.path.join(logs, 'build.log'))
    return 0 if caught == len(mutations) else 1


if __name__ == '__main__':
    sys.exit(main())
