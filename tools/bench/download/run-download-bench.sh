#!/bin/bash
# Map archive download benchmark: the program's download path (AsyncRequest,
# AsyncWriter, Tar::Stream, one syncfs at the end) against
#   curl --tlsv1.2 URL | tee >(md5sum) | tar -x ; sync -f
# (md5sum reads a FIFO instead of a process substitution so that the shell
# waits for it and its CPU time is counted), both from the same server over
# TLS 1.2 on 127.0.0.1, into a folder on tmpfs and on disk. The servers: nginx
# (Debian's nginx-light, installed here when missing) and the local content
# service, which tops out near 560 MB/s, so against it the server is measured.
# The program trusts the service's certificate through SSL_CERT_FILE, as the
# tests do.
#
#   tools/bench/download/run-download-bench.sh [BUILD_DIR]
#
# Each run prints the wall time, the CPU time of each thread of the program
# (main: the request's event loop; network: Qt's HTTP thread; writer; md5),
# the peak RSS and the time ratio to the pipeline's run beside it; each
# comparison ends with the medians. Contenders run in a rotating order.
#
# Environment: RUNS (5), ARCHIVES ("LARGE_1G SMALL_16K SMALL_1G"), TARGETS
# ("tmpfs disk"), SERVERS ("nginx service"), DISPATCHERS ("glib noglib": Qt's
# GLib event dispatcher, and its own with QT_NO_GLIB=1), BASELINE (a second
# build folder whose download-bench runs too, e.g. one of an earlier commit),
# BIG (1: also the 4 GiB archive), THROTTLED (1: also the writer throttled to
# 30 MB/s), STATE (archives, default on /dev/shm; kept between runs), DISK_DIR
# (the on-disk target's parent, default /var/tmp).
set -euo pipefail

SOURCE_DIR=$(cd "$(dirname "$0")/../../.." && pwd)
BUILD_DIR=${1:-/var/tmp/tessaly-download-bench-build}
STATE=${STATE:-/dev/shm/tessaly-download-bench}
DISK_DIR=${DISK_DIR:-/var/tmp}
export RUNS=${RUNS:-5} BIG=${BIG:-1} THROTTLED=${THROTTLED:-1} BASELINE=${BASELINE:-}
export ARCHIVES=${ARCHIVES-LARGE_1G SMALL_16K SMALL_1G} TARGETS=${TARGETS-tmpfs disk}
export SERVERS=${SERVERS-nginx service} DISPATCHERS=${DISPATCHERS-glib noglib}

if [[ " $SERVERS " == *" nginx "* ]] && ! command -v nginx >/dev/null; then
  [ "$(id -u)" -eq 0 ] || { echo "nginx is missing; install nginx-light or run as root" >&2; exit 1; }
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nginx-light >/dev/null
fi

cmake -S "$SOURCE_DIR" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" --target download-bench -j4 >/dev/null
mkdir -p "$STATE"

# 1 GiB of 16 MiB files; 16384 and 65536 files of 16 KiB in nested folders
# (16 x 64 and 16 x 256); with BIG 4 GiB of 16 MiB files.
python3 - "$STATE/catalogue.json" <<'PY'
import json, os, sys
def small(folders):
    return [{"path": f"S/{a:02X}/{b:02X}/F{{i}}.BIN", "size": 16384, "count": 16}
            for a in range(16) for b in range(folders)]
def large(count):
    return [{"path": "L/F{i}.BIN", "size": 16 << 20, "count": count}]
archives = {"LARGE_1G": large(64), "SMALL_16K": small(64), "SMALL_1G": small(256)}
if os.environ["BIG"] == "1":
    archives["LARGE_4G"] = large(256)
packages = [{"id": name, "archive": {"meta": False, "files": files}} for name, files in archives.items()]
json.dump({"key": "bench", "packages": packages}, open(sys.argv[1], "w"))
PY

PIDS=()
trap 'for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT
coproc SERVER { exec python3 "$SOURCE_DIR/tools/content-service/server.py" --catalogue "$STATE/catalogue.json" \
    --state-dir "$STATE" --port 0; }
PIDS+=("$SERVER_PID")
read -r READY PORT <&"${SERVER[0]}"
[ "$READY" = READY ] || { echo "content service did not start" >&2; exit 1; }

# nginx takes no port 0: a port that was free a moment ago, tried again when
# someone else took it meanwhile.
start_nginx() {
  local prefix=$STATE/nginx
  mkdir -p "$prefix/temp"
  for _ in 1 2 3 4 5; do
    NGINX_PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    cat >"$prefix/nginx.conf" <<EOF
worker_processes 2;
pid $prefix/nginx.pid;
error_log $prefix/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $prefix/temp;
  fastcgi_temp_path $prefix/temp;
  proxy_temp_path $prefix/temp;
  scgi_temp_path $prefix/temp;
  uwsgi_temp_path $prefix/temp;
  types { application/x-tar tar; }
  server {
    listen 127.0.0.1:$NGINX_PORT ssl;
    ssl_certificate $STATE/cert.pem;
    ssl_certificate_key $STATE/key.pem;
    ssl_protocols TLSv1.2;
    location /files/ { alias $STATE/archives/; }
  }
}
EOF
    nginx -p "$prefix" -c "$prefix/nginx.conf" -g 'daemon off;' &
    NGINX_PID=$!
    for _ in $(seq 50); do
      curl -s -o /dev/null --cacert "$STATE/cert.pem" "https://127.0.0.1:$NGINX_PORT/" && { PIDS+=("$NGINX_PID"); return; }
      kill -0 "$NGINX_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$NGINX_PID" 2>/dev/null || true
  done
  echo "nginx did not start; see $prefix/error.log" >&2
  exit 1
}
NGINX_PORT=0
[[ " $SERVERS " == *" nginx "* ]] && start_nginx

BASELINE_BIN=${BASELINE:+$BASELINE/bin/download-bench}
python3 - "$BUILD_DIR/bin/download-bench" "$STATE" "$PORT" "$NGINX_PORT" "$DISK_DIR" "$BASELINE_BIN" <<'PY'
import json, os, shutil, statistics, subprocess, sys, tempfile, time

bench, state, port, nginx_port, disk_dir, baseline = sys.argv[1:7]
runs, big, throttled = int(os.environ["RUNS"]), os.environ["BIG"] == "1", os.environ["THROTTLED"] == "1"
cert = os.path.join(state, "cert.pem")
targets = {"tmpfs": "/dev/shm/tessaly-download-out", "disk": os.path.join(disk_dir, "tessaly-download-out")}
origins = {"nginx": f"https://127.0.0.1:{nginx_port}", "service": f"https://127.0.0.1:{port}"}
env = dict(os.environ, SSL_CERT_FILE=cert)
env.pop("QT_NO_GLIB", None)
programs = {"": bench, "baseline ": baseline} if baseline else {"": bench}
dispatchers = {"glib": {}, "noglib": {"QT_NO_GLIB": "1"}}


def archive(name, server="service"):
    path = os.path.join(state, "archives", name + ".tar")
    return f"{origins[server]}/files/{name}.tar", os.path.getsize(path), \
        json.load(open(path + ".built.json"))["md5"]


def measure(command, extra_env=None):
    """Wall seconds, CPU seconds (user + sys, children included), peak RSS (MiB), stdout."""
    with tempfile.TemporaryFile() as out:
        start = time.monotonic()
        process = subprocess.Popen(command, stdout=out, env=dict(env, **(extra_env or {})))
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


def program(binary, extra_env):
    def run(url, md5, folder, *extra):
        fresh(folder)
        wall, cpu, rss, text = measure([binary, "download", url, folder, *extra], extra_env)
        report = json.loads(text)
        assert report["result"] == 0 and report["md5"] == md5, report
        return wall, cpu, rss, report
    return run


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


def contenders():
    found = {"curl pipeline": pipeline}
    for prefix, binary in programs.items():
        for name in os.environ["DISPATCHERS"].split():
            found[f"{prefix}program {name}"] = program(binary, dispatchers[name])
    return found


def threads(report):
    return " ".join(f"{role} {seconds:.2f}" for role, seconds in sorted(report.get("threads", {}).items()) if seconds >= 0.005)


def compare(name, target, server, count):
    url, size, md5 = archive(name, server)
    folder = targets[target]
    racers = contenders()
    results = {label: [] for label in racers}
    for contender in racers.values():  # warm-up
        contender(url, md5, folder)
    print(f"{name} from {server} into {target}, {size / 2**20:.0f} MiB", flush=True)
    labels = list(racers)
    for run in range(count):
        shift = run % len(labels)
        for label in labels[shift:] + labels[:shift]:
            results[label].append(racers[label](url, md5, folder))
        base = results["curl pipeline"][-1][0]
        for label in labels:
            wall, cpu, rss, report = results[label][-1]
            detail = f" threads: {threads(report)}" if report else ""
            print(f"  run {run + 1} {label:22} {wall:6.2f} s  cpu {cpu:5.2f} s  rss {rss:4.0f} MiB  "
                  f"ratio {wall / base:4.2f}{detail}", flush=True)
    base = statistics.median(r[0] for r in results["curl pipeline"])
    for label in labels:
        wall = statistics.median(r[0] for r in results[label])
        print(f"  median {label:22} {wall:6.2f} s  {size / 1e6 / wall:5.0f} MB/s  "
              f"cpu {statistics.median(r[1] for r in results[label]):5.2f} s  "
              f"rss max {max(r[2] for r in results[label]):4.0f} MiB  ratio {wall / base:4.2f}", flush=True)
    shutil.rmtree(folder, ignore_errors=True)


print(subprocess.run([bench, "md5", "1024"], capture_output=True, text=True).stdout.strip())
for server in os.environ["SERVERS"].split():
    for name in os.environ["ARCHIVES"].split():
        for target in os.environ["TARGETS"].split():
            compare(name, target, server, runs)
    if big:
        compare("LARGE_4G", "tmpfs", server, 1)
if throttled:
    # TLS records and the reads of a run without reconnects give the bytes
    # received per byte written; what the throttled run receives beyond that
    # was downloaded more than once. The content service logs each request.
    url, size, md5 = archive("LARGE_1G")
    ours = program(bench, {})
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
