#!/bin/bash
# Map archive download benchmark: the program's download path (AsyncRequest,
# AsyncWriter, Tar::Stream, one syncfs at the end) against
#   curl --tlsv1.2 URL | tee >(md5sum) | tar -x ; sync -f
# (md5sum reads a FIFO instead of a process substitution so that the shell
# waits for it and its CPU time is counted), both from the local content
# service over HTTPS on 127.0.0.1, into a folder on tmpfs and on disk.
#
#   tools/bench/download/run-download-bench.sh [BUILD_DIR]
#
# Environment: RUNS (5), ARCHIVES ("LARGE_1G SMALL_1G"), TARGETS ("tmpfs disk"),
# BIG (1: also the 4 GiB archive), THROTTLED (1: also
# the writer throttled to 30 MB/s), STATE (archives, default on /dev/shm; kept
# between runs), DISK_DIR (the on-disk target's parent, default /var/tmp).
set -euo pipefail

SOURCE_DIR=$(cd "$(dirname "$0")/../../.." && pwd)
BUILD_DIR=${1:-/var/tmp/tessaly-download-bench-build}
STATE=${STATE:-/dev/shm/tessaly-download-bench}
DISK_DIR=${DISK_DIR:-/var/tmp}
export RUNS=${RUNS:-5} BIG=${BIG:-1} THROTTLED=${THROTTLED:-1}
export ARCHIVES=${ARCHIVES-LARGE_1G SMALL_1G} TARGETS=${TARGETS-tmpfs disk}

cmake -S "$SOURCE_DIR" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" --target download-bench -j"$(nproc)" >/dev/null
mkdir -p "$STATE"

# 1 GiB of 16 MiB files; 1 GiB of 16 KiB files in 16 x 256 nested folders;
# 4 GiB of 16 MiB files.
python3 - "$STATE/catalogue.json" <<'PY'
import json, sys
small = [{"path": f"S/{a:02X}/{b:02X}/F{{i}}.BIN", "size": 16384, "count": 16} for a in range(16) for b in range(256)]
packages = [
    {"id": "LARGE_1G", "archive": {"meta": False, "files": [{"path": "L/F{i}.BIN", "size": 16 << 20, "count": 64}]}},
    {"id": "SMALL_1G", "archive": {"meta": False, "files": small}},
    {"id": "LARGE_4G", "archive": {"meta": False, "files": [{"path": "L/F{i}.BIN", "size": 16 << 20, "count": 256}]}},
]
json.dump({"key": "bench", "packages": packages}, open(sys.argv[1], "w"))
PY

coproc SERVER { exec python3 "$SOURCE_DIR/tools/content-service/server.py" --catalogue "$STATE/catalogue.json" \
    --state-dir "$STATE" --port 0; }
SERVER_PID=$SERVER_PID
trap 'kill "$SERVER_PID" 2>/dev/null || true' EXIT
read -r READY PORT <&"${SERVER[0]}"
[ "$READY" = READY ] || { echo "content service did not start" >&2; exit 1; }

python3 - "$BUILD_DIR/bin/download-bench" "$STATE" "$PORT" "$DISK_DIR" <<'PY'
import json, os, shutil, statistics, subprocess, sys, tempfile, time

bench, state, port, disk_dir = sys.argv[1:5]
runs, big, throttled = int(os.environ["RUNS"]), os.environ["BIG"] == "1", os.environ["THROTTLED"] == "1"
cert = os.path.join(state, "cert.pem")
targets = {"tmpfs": "/dev/shm/tessaly-download-out", "disk": os.path.join(disk_dir, "tessaly-download-out")}
env = dict(os.environ, SSL_CERT_FILE=cert)


def archive(name):
    path = os.path.join(state, "archives", name + ".tar")
    return f"https://127.0.0.1:{port}/files/{name}.tar", os.path.getsize(path), \
        json.load(open(path + ".built.json"))["md5"]


def measure(command):
    """Wall seconds, CPU seconds (user + sys, children included), peak RSS (MiB), stdout."""
    with tempfile.TemporaryFile() as out:
        start = time.monotonic()
        process = subprocess.Popen(command, stdout=out, env=env)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.monotonic() - start
        process.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        text = out.read().decode()
    if process.returncode != 0:
        sys.exit(f"failed ({process.returncode}): {' '.join(command)}\n{text}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024, text


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    subprocess.run(["sync", "-f", os.path.dirname(folder)], check=True)


def ours(url, md5, folder, *extra):
    fresh(folder)
    wall, cpu, rss, text = measure([bench, "download", url, folder, *extra])
    report = json.loads(text)
    assert report["result"] == 0 and report["md5"] == md5, report
    return wall, cpu, rss, report


def pipeline(url, md5, folder):
    fresh(folder)
    digest = folder + ".md5"
    script = (f"set -o pipefail; rm -f {folder}.fifo; mkfifo {folder}.fifo; md5sum < {folder}.fifo > {digest} & "
              f"curl -s --fail --cacert {cert} --tlsv1.2 --tls-max 1.2 {url} | tee {folder}.fifo | tar -x -C {folder}; "
              f"status=$?; wait; sync -f {folder}; exit $status")
    wall, cpu, rss, _ = measure(["bash", "-c", script])
    assert open(digest).read().split()[0] == md5
    os.remove(digest)
    os.remove(folder + ".fifo")
    return wall, cpu, rss, None


def median_of(results, size):
    return {"mb_s": size / 1e6 / statistics.median(r[0] for r in results),
            "cpu_s": statistics.median(r[1] for r in results),
            "rss_mib": max(r[2] for r in results)}


def compare(name, target, count):
    url, size, md5 = archive(name)
    folder = targets[target]
    ours(url, md5, folder), pipeline(url, md5, folder)  # warm-up
    mine, theirs = [], []
    for run in range(count):
        order = [(mine, ours), (theirs, pipeline)]
        for results, contender in (order if run % 2 == 0 else order[::-1]):
            results.append(contender(url, md5, folder))
    a, b = median_of(mine, size), median_of(theirs, size)
    print(f"{name:9} {target:5} runs {count}  program {a['mb_s']:7.0f} MB/s cpu {a['cpu_s']:5.2f} s "
          f"rss {a['rss_mib']:5.0f} MiB | curl pipeline {b['mb_s']:7.0f} MB/s cpu {b['cpu_s']:5.2f} s "
          f"rss {b['rss_mib']:4.0f} MiB | ratio {a['mb_s'] / b['mb_s']:.2f}", flush=True)
    shutil.rmtree(folder, ignore_errors=True)


print(subprocess.run([bench, "md5", "1024"], capture_output=True, text=True).stdout.strip())
for name in os.environ["ARCHIVES"].split():
    for target in os.environ["TARGETS"].split():
        compare(name, target, runs)
if big:
    compare("LARGE_4G", "tmpfs", 1)
if throttled:
    # TLS records and the reads of a run without reconnects give the bytes
    # received per byte written; what the throttled run receives beyond that
    # was downloaded more than once.
    url, size, md5 = archive("LARGE_1G")
    overhead = ours(url, md5, targets["tmpfs"])[3]["received"] / size
    requests = os.path.join(state, "requests.jsonl")
    before = sum(1 for _ in open(requests))
    wall, cpu, rss, report = ours(url, md5, targets["tmpfs"], "30")
    reconnects = sum(1 for _ in open(requests)) - before - 1
    print(f"throttled writer 30 MB/s: {size / 1e6 / wall:.1f} MB/s, reconnects {reconnects}, "
          f"downloaded more than once about {(report['received'] - overhead * size) / 1e6:.1f} MB, "
          f"writer idle {report['seconds'] - report['writer_busy']:.2f} s of {report['seconds']:.1f} s, rss {rss:.0f} MiB")
    shutil.rmtree(targets["tmpfs"], ignore_errors=True)
PY
