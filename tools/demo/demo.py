#!/usr/bin/env python3
"""Sets up and drives the demo that ./run.sh starts.

Everything lives below one demo folder (build/demo by default):
  data/ config/            the program's private XDG folders
  tmp/                     its temporary folder, which keeps its single-instance lock apart from a copy the user runs
                           (run/, the root of its session folder, is never made)
  service/                 the local content service's state (certificate, archives, request log)
  sysfs/ mountinfo         the discovery roots through which the demo stick appears and disappears
  stick/                   the demo stick's contents, as the head unit wrote them

Commands:
  prepare --port N   write config.json for the service on port N and fabricate the stick (not inserted)
  insert             mount the demo stick (discovery sees it within a poll)
  remove             unmount it
  env                print the environment the program runs with, as shell assignments
"""

import argparse
import hashlib
import json
import os
import shlex
import shutil
import ssl
import sys
import urllib.request
from pathlib import Path

HERE = Path(__file__).resolve().parent
CATALOGUE = HERE / "catalogue.json"
INSTALLED_MAP = "EU1_2025_05"
BLOCK = "sdb"
DEVICE_NUMBER = "8:17"  # the stick's first partition
UPDATE_DIR = "VexmarNDSUpdate"


def folders(root):
    root = Path(root).resolve()
    return {
        "root": root,
        "data": root / "data",
        "config": root / "config",
        "tmp": root / "tmp",
        "run": root / "run",
        "service": root / "service",
        "sysfs": root / "sysfs",
        "mountinfo": root / "mountinfo",
        "stick": root / "stick",
    }


def program_environment(f):
    return {
        "XDG_DATA_HOME": str(f["data"]),
        "XDG_CONFIG_HOME": str(f["config"]),
        "TMPDIR": str(f["tmp"]),
        "TESSALY_RUN_ROOT": str(f["run"]),
        "SSL_CERT_FILE": str(f["service"] / "cert.pem"),
        "TESSALY_SYSFS_ROOT": str(f["sysfs"]),
        "TESSALY_MOUNTINFO": str(f["mountinfo"]),
    }


def write_atomically(path, data):
    path.parent.mkdir(parents=True, exist_ok=True)
    temporary = path.with_name(path.name + ".tmp")
    temporary.write_bytes(data)
    os.replace(temporary, path)


def write_config(f, port):
    key = json.loads(CATALOGUE.read_text())["key"]
    config = {
        "Application": {"LogLevel": "Debug"},
        "FullMapUpdate": {"UpdateSource": f"https://127.0.0.1:{port}/brel/v1", "UpdateKey": key},
        "MapDownload": {"RetryDuration": "3"},
    }
    app_data = f["data"] / "Dravo" / "Tessaly"
    write_atomically(app_data / "config.json", json.dumps(config, indent=4).encode())


def write_settings(f):
    """The settings a first start would choose, so that the demo's log holds no complaint about a missing file;
    kept once there, so that a language chosen in the demo stays."""
    settings = f["data"] / "Dravo" / "Tessaly" / "settings.json"
    if not settings.exists():
        write_atomically(settings, json.dumps({"language": "en_GB", "run at startup": "true"}, indent=4).encode())


def fetch_metadata(f, port, package_id):
    key = json.loads(CATALOGUE.read_text())["key"]
    context = ssl.create_default_context(cafile=str(f["service"] / "cert.pem"))
    url = f"https://127.0.0.1:{port}/brel/v1/package/metadata?id={package_id}&key={key}"
    with urllib.request.urlopen(url, context=context, timeout=10) as answer:
        return answer.read()


def fabricate_stick(f, port):
    """The installed map's metadata, the subscription and a checksum list over the update folder."""
    stick = f["stick"]
    shutil.rmtree(stick, ignore_errors=True)
    update = stick / UPDATE_DIR
    meta = update / "meta_data"
    meta.mkdir(parents=True)
    (meta / f"{INSTALLED_MAP}.xml").write_bytes(fetch_metadata(f, port, INSTALLED_MAP))
    general = {"subscription_end_date": "2030-12-31", "available_map_space": 4 * 1024**3,
               "used_map_space": 2 * 1024**3}
    (meta / "GENERAL.JSON").write_text(json.dumps(general, indent=4))
    lines = []
    for path in sorted(p for p in update.rglob("*") if p.is_file()):
        digest = hashlib.md5(path.read_bytes()).hexdigest()
        lines.append(f"{digest}  {path.relative_to(update).as_posix()}\n")
    (update / "CHECKSUMS.MD5").write_text("".join(lines))


def fabricate_sysfs(f):
    """A USB disk laid out as the kernel shows one below /sys/block."""
    sysfs = f["sysfs"]
    shutil.rmtree(sysfs, ignore_errors=True)
    usb = sysfs / "devices/pci0000:00/0000:00:14.0/usb1/1-1"
    disk = usb / "1-1:1.0/host6/target6:0:0/6:0:0:0/block" / BLOCK
    partition = disk / f"{BLOCK}1"
    partition.mkdir(parents=True)
    attributes = {usb / "idVendor": "0d3e", usb / "idProduct": "7a11", usb / "serial": "TESSALYDEMO01",
                  disk / "removable": "1", disk / "size": "60063744", disk / "dev": "8:16",
                  partition / "partition": "1", partition / "dev": DEVICE_NUMBER}
    for path, value in attributes.items():
        path.write_text(value + "\n")
    (sysfs / "block").mkdir()
    os.symlink(os.path.relpath(disk, sysfs / "block"), sysfs / "block" / BLOCK)


def mount_line(f):
    # mountinfo escapes space, tab, newline and backslash as octal.
    path = "".join(f"\\{ord(c):03o}" if c in " \t\n\\" else c for c in str(f["stick"]))
    return f"36 22 {DEVICE_NUMBER} / {path} rw,relatime shared:1 - vfat /dev/{BLOCK}1 rw\n"


def set_mounted(f, mounted):
    system = "22 1 259:2 / / rw,relatime shared:1 - ext4 /dev/root rw\n"
    write_atomically(f["mountinfo"], (system + (mount_line(f) if mounted else "")).encode())


def prepare(f, port):
    for name in ("data", "config"):
        f[name].mkdir(parents=True, exist_ok=True)
    f["tmp"].mkdir(mode=0o700, parents=True, exist_ok=True)
    os.chmod(f["tmp"], 0o700)
    write_config(f, port)
    write_settings(f)
    fabricate_stick(f, port)
    fabricate_sysfs(f)
    set_mounted(f, False)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["prepare", "insert", "remove", "env"])
    parser.add_argument("--root", default=str(HERE.parent.parent / "build" / "demo"))
    parser.add_argument("--port", type=int)
    args = parser.parse_args()
    f = folders(args.root)
    if args.command == "prepare":
        if not args.port:
            parser.error("prepare needs --port")
        prepare(f, args.port)
    elif args.command in ("insert", "remove"):
        if not f["sysfs"].is_dir():
            sys.exit("demo: no demo is prepared; start ./run.sh first")
        set_mounted(f, args.command == "insert")
        print(f"demo stick {'inserted' if args.command == 'insert' else 'removed'}: {f['stick']}")
    else:
        for name, value in program_environment(f).items():
            print(f"export {name}={shlex.quote(value)}")


if __name__ == "__main__":
    main()
