#!/usr/bin/env python3
"""check_setup_packages.py SOURCE_DIR BUILD_DIR: every package the build finds (find_package,
find_program, the presets' compilers, toolchain and sources) is one scripts/setup.sh installs,
or one apt brings with them: a machine that already has a -dev package hides a missing step.
"""
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys


def output(command):
    return subprocess.run(command, capture_output=True, text=True, check=False)


def setup_packages(source):
    text = (source / "scripts/setup.sh").read_text()
    body = re.search(r"^packages=\((.*?)^\)", text, re.S | re.M).group(1)
    return {word for line in body.splitlines() for word in line.split("#")[0].split()}


def installed_with(packages):
    """Each package apt installs with a listed one, by Depends and Pre-Depends, to that one."""
    row = "${Package}\t${Pre-Depends}, ${Depends}\n"
    brought = {}
    leading = {package: package for package in packages}
    while leading:
        done = output(["dpkg-query", "-W", f"-f={row}", *sorted(leading)])
        following = {}
        for line in done.stdout.splitlines():
            package, _, depends = line.partition("\t")
            for name in re.findall(r"(?:^|[,|]\s*)([a-z0-9][a-z0-9.+-]*)", depends):
                if name not in brought and name not in packages:
                    brought[name] = leading.get(package, package)
                    following[name] = brought[name]
        leading = following
    return brought


def cmake_cache(build):
    return dict(re.findall(r"^([A-Za-z0-9_]+):[A-Z]+=(.*)$", (build / "CMakeCache.txt").read_text(), re.M))


def cmake_files(source):
    """The source tree's CMake files, found without git, skipping builds', npm's and editors'."""
    skipped = {"build", "node_modules"}
    for folder, folders, files in os.walk(source):
        folders[:] = sorted(name for name in folders if name not in skipped and not name.startswith("."))
        for name in sorted(files):
            if name == "CMakeLists.txt" or name.endswith(".cmake"):
                yield pathlib.Path(folder) / name


def found_things(source, build, cache):
    """(what the CMake files ask for, the file that answers it or None), in folders this build has."""
    for path in cmake_files(source):
        if path.name == "CMakeLists.txt" and not (build / path.parent.relative_to(source)).is_dir():
            continue
        text = path.read_text()
        for name, rest in re.findall(r"find_package\(\s*(\w+)([^)]*)\)", text):
            components = re.search(r"COMPONENTS\s+([\w\s]+)", rest)
            if name == "Qt6" and components:
                for component in components.group(1).split():
                    yield f"Qt6 {component}", config_file(cache.get(f"Qt6{component}_DIR"))
            elif name == "Threads":
                # The C library's threads, which every compiler brings.
                yield name, "/usr/include/pthread.h"
            elif name == "Python3":
                yield name, cache.get("_Python3_EXECUTABLE") or shutil.which("python3")
            elif f"{name}_DIR" in cache:
                yield name, config_file(cache[f"{name}_DIR"])
            else:
                yield name, cache.get(f"{name}_LIBRARY") or cache.get(f"{name.upper()}_LIBRARY")
        for variable, words in re.findall(r"find_program\(\s*(\w+)([^)]*)\)", text):
            # A front end this build does not configure: what a search would find.
            names = words.split("PATHS")[0].replace("NAMES", "").split()
            fallback = next(filter(None, map(shutil.which, names)), None)
            yield f"find_program({variable})", cache.get(variable) or fallback
        for modules in re.findall(r"pkg_check_modules\(\s*\w+([^)]*)\)", text):
            for module in re.findall(r"[A-Za-z][\w.+-]*", modules):
                if module not in ("REQUIRED", "IMPORTED_TARGET", "QUIET"):
                    yield f"pkg-config {module}", pkg_config_file(module)


def config_file(directory):
    if not directory or directory.endswith("-NOTFOUND"):
        return None
    folder = pathlib.Path(directory)
    configs = [folder / f"{folder.name}Config.cmake", folder / f"{folder.name.lower()}-config.cmake"]
    return str(next((config for config in configs if config.exists()), folder))


def pkg_config_file(module):
    done = output(["pkg-config", "--variable=pcfiledir", module])
    return f"{done.stdout.strip()}/{module}.pc" if done.returncode == 0 else None


def preset_things(source):
    """The compilers, toolchain files and sources the presets name."""
    presets = json.loads((source / "CMakePresets.json").read_text())
    for preset in presets["configurePresets"]:
        variables = preset.get("cacheVariables", {})
        for key in ("CMAKE_C_COMPILER", "CMAKE_CXX_COMPILER"):
            if key in variables:
                found = output(["sh", "-c", f"command -v {variables[key]}"])
                yield f"{preset['name']} {key}", found.stdout.strip() or None
        for path in (preset.get("toolchainFile"), variables.get("MORAVIK_GTEST_SOURCE")):
            if path:
                yield f"{preset['name']} {path}", path


def candidates(path):
    """path, its links' target, and for a program outside /usr the one a new machine has in /usr/bin."""
    paths = [path, str(pathlib.Path(path).resolve())]
    if not path.startswith("/usr/"):
        paths.append(f"/usr/bin/{pathlib.Path(path).name}")
    return list(dict.fromkeys(paths))


def owners(paths):
    """The packages owning each path, in one dpkg call (each call reads its whole list)."""
    done = output(["dpkg-query", "-S", *paths])
    owned = {}
    for line in done.stdout.splitlines():
        names, _, path = line.rpartition(": ")
        owned[path] = {name.split(":")[0].strip() for name in names.split(",")}
    return owned


def main():
    source, build = (pathlib.Path(argument) for argument in sys.argv[1:3])
    listed = setup_packages(source)
    brought = installed_with(listed)
    cache = cmake_cache(build)
    things = dict([*found_things(source, build, cache), *preset_things(source)])
    owned = owners([each for path in things.values() if path for each in candidates(path)])
    failures = 0
    for what, path in things.items():
        if not path:
            print(f"FAIL: {what}: this build did not find it")
            failures += 1
            continue
        packages = next((owned[each] for each in candidates(path) if each in owned), set())
        if packages & listed:
            print(f"ok: {what}: {path} from {', '.join(sorted(packages & listed))}")
        elif packages & brought.keys():
            package = min(packages & brought.keys())
            print(f"ok: {what}: {path} from {package}, which {brought[package]} brings")
        else:
            print(f"FAIL: {what}: {path} comes from {', '.join(sorted(packages)) or 'no package'},"
                  " which scripts/setup.sh does not install")
            failures += 1
    print(f"{len(things) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
