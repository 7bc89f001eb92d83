#!/usr/bin/env python3
"""Checks that the project's components include each other one way only.

A component is a .cpp with its header (X.cpp and X.h in one folder), together
with its platform twin (XWin32.cpp, where X.h exists). Tests are left out.
Prints every loop of includes among the components, shortest first, and
exits 1 when there is one.

usage: scripts/check-include-levels.py [SOURCE_DIR]
"""
import os
import re
import sys

INCLUDE = re.compile(r'\s*#\s*include\s*"([^"]+)"')
SKIPPED = ('tests', '.git')


def source_files(root):
    for folder, subfolders, names in os.walk(root):
        subfolders[:] = [s for s in subfolders
                         if not s.startswith('build') and not (folder == root and s in SKIPPED)]
        for name in names:
            if name.endswith(('.cpp', '.h')):
                yield os.path.relpath(os.path.join(folder, name), root)


def component_of(path, files):
    stem = re.sub(r'\.(cpp|h)$', '', path)
    if stem.endswith('Win32') and stem[:-len('Win32')] + '.h' in files:
        stem = stem[:-len('Win32')]
    return stem


def included_file(path, name, files, headers):
    for candidate in (os.path.normpath(os.path.join(os.path.dirname(path), name)), os.path.normpath(name)):
        if candidate in files:
            return candidate
    return headers.get(os.path.basename(name))


def component_graph(root):
    files = set(source_files(root))
    headers = {os.path.basename(f): f for f in files if f.endswith('.h')}
    graph = {}
    for path in sorted(files):
        component = component_of(path, files)
        uses = graph.setdefault(component, set())
        with open(os.path.join(root, path), errors='replace') as source:
            for line in source:
                match = INCLUDE.match(line)
                target = match and included_file(path, match.group(1), files, headers)
                if target and component_of(target, files) != component:
                    uses.add(component_of(target, files))
    return graph


def loops(graph):
    """The strongly connected components of more than one member (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for used in sorted(graph.get(node, ())):
            if used not in index:
                visit(used)
                low[node] = min(low[node], low[used])
            elif used in on_stack:
                low[node] = min(low[node], index[used])
        if low[node] == index[node]:
            members = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                members.append(member)
                if member == node:
                    break
            if len(members) > 1:
                found.append(sorted(members))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return sorted(found, key=len)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..')
    graph = component_graph(os.path.abspath(root))
    if not graph:
        print(f'check-include-levels: no sources in {root}', file=sys.stderr)
        return 2
    found = loops(graph)
    for members in found:
        print('include loop: ' + ' <-> '.join(members))
    if found:
        return 1
    print(f'{len(graph)} components, no include loop')
    return 0


if __name__ == '__main__':
    sys.exit(main())
