#!/usr/bin/env python3
"""Local content-update service for tests and the demo.

Serves the package endpoints and the map archives of a catalogue over HTTPS on
127.0.0.1, logs every request and injects faults on demand. Standard library
only. See README.md beside this file for the catalogue format and fault rules.
"""

import argparse
import hashlib
import http.server
import io
import json
import os
import socket
import ssl
import struct
import subprocess
import sys
import tarfile
import threading
import time
import urllib.parse
from xml.sax.saxutils import escape, quoteattr

CHUNK = 1 << 20
TAR_FORMATS = {"ustar": tarfile.USTAR_FORMAT, "gnu": tarfile.GNU_FORMAT, "pax": tarfile.PAX_FORMAT}
OPENSSL_CONFIG = """[req]
distinguished_name = dn
x509_extensions = v3
prompt = no
[dn]
CN = 127.0.0.1
[v3]
basicConstraints = critical,CA:TRUE
keyUsage = critical,digitalSignature,keyCertSign,keyEncipherment
subjectAltName = IP:127.0.0.1,DNS:localhost
subjectKeyIdentifier = hash
"""


# ---------------------------------------------------------------- certificate

def ensure_certificate(state_dir):
    """Creates a self-signed certificate that is its own CA, unless one exists."""
    cert = os.path.join(state_dir, "cert.pem")
    key = os.path.join(state_dir, "key.pem")
    if os.path.exists(cert) and os.path.exists(key):
        return cert, key
    config = os.path.join(state_dir, "openssl.cnf")
    with open(config, "w") as out:
        out.write(OPENSSL_CONFIG)
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                    "-nodes", "-days", "3650", "-config", config, "-keyout", key, "-out", cert],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return cert, key


# ---------------------------------------------------------------- archives

class PseudoRandomFile:
    """Read-only file of deterministic bytes: block k of a path is derived from (seed, path, k) alone, so the
    content does not depend on how it is read."""

    def __init__(self, seed, path, size):
        self.seed, self.path, self.size = seed, path, size
        self.position, self.block, self.buffer = 0, 0, b""

    def read(self, count=-1):
        left = self.size - self.position
        count = left if count is None or count < 0 else min(count, left)
        while len(self.buffer) < count:
            length = min(CHUNK, self.size - self.block * CHUNK)
            name = f"{self.seed}/{self.path}/{self.block}".encode()
            self.buffer += hashlib.shake_128(name).digest(length)
            self.block += 1
        data, self.buffer = self.buffer[:count], self.buffer[count:]
        self.position += count
        return data


def expand_files(manifest):
    """The manifest's file entries, with {i} patterns expanded by "count"."""
    for entry in manifest.get("files", []):
        count = entry.get("count")
        if count is None:
            yield entry["path"], int(entry["size"])
        else:
            for i in range(int(count)):
                yield entry["path"].replace("{i}", str(i)), int(entry["size"])


def content_size(manifest):
    return sum(size for _, size in expand_files(manifest))


class ArchiveBuilder:
    """Writes a tar archive whose entries sit at its top level, "<stem>.meta.xml" among them: the client
    unpacks it into a folder named after the archive's stem."""

    def __init__(self, name, manifest, meta_xml):
        self.name, self.manifest, self.meta_xml = name, manifest, meta_xml
        self.stem = os.path.splitext(name)[0]
        self.added = set()

    def fingerprint(self):
        text = json.dumps([self.name, self.manifest, self.meta_xml], sort_keys=True)
        return hashlib.sha256(text.encode()).hexdigest()

    def build(self, path):
        """Writes the archive and returns its MD5."""
        tar_format = TAR_FORMATS[self.manifest.get("format", "ustar")]
        with open(path, "wb") as out:
            hashing = HashingWriter(out)
            with tarfile.open(fileobj=hashing, mode="w", format=tar_format, copybufsize=CHUNK) as tar:
                self.add_members(tar)
        return hashing.md5.hexdigest()

    def add_members(self, tar):
        meta = self.manifest.get("meta", True)
        if meta:
            meta_path = f"{self.stem}.meta.xml" if meta is True else meta
            self.add_bytes(tar, meta_path, self.meta_xml.encode())
        for folder in self.manifest.get("dirs", []):
            self.add_folder(tar, folder)
        seed = self.manifest.get("seed", 0)
        for relative, size in expand_files(self.manifest):
            self.add_parents(tar, relative)
            tar.addfile(self.info(relative, tarfile.REGTYPE, size), PseudoRandomFile(seed, relative, size))

    def add_bytes(self, tar, relative, data):
        self.add_parents(tar, relative)
        tar.addfile(self.info(relative, tarfile.REGTYPE, len(data)), io.BytesIO(data))

    def add_parents(self, tar, full):
        parts = full.split("/")[:-1]
        for depth in range(1, len(parts) + 1):
            self.add_folder(tar, "/".join(parts[:depth]))

    def add_folder(self, tar, folder):
        folder = folder.rstrip("/")
        self.add_parents(tar, folder)
        if folder not in self.added:
            self.added.add(folder)
            tar.addfile(self.info(folder, tarfile.DIRTYPE, 0))

    @staticmethod
    def info(name, kind, size):
        info = tarfile.TarInfo(name)
        info.type, info.size, info.mtime = kind, size, 1700000000
        info.mode = 0o755 if kind == tarfile.DIRTYPE else 0o644
        info.uname = info.gname = "root"
        return info


class HashingWriter:
    """Passes writes on to a file and keeps the MD5 of everything written."""

    def __init__(self, out):
        self.out, self.md5, self.position = out, hashlib.md5(), 0

    def write(self, data):
        self.md5.update(data)
        self.position += len(data)
        return self.out.write(data)

    def tell(self):
        return self.position


def prepare_archive(directory, builder):
    """Builds the archive once; a later start with the same manifest reuses it."""
    path = os.path.join(directory, builder.name)
    sidecar = path + ".built.json"
    fingerprint = builder.fingerprint()
    try:
        with open(sidecar) as source:
            known = json.load(source)
        if known["fingerprint"] == fingerprint and os.path.getsize(path) == known["size"]:
            return path, known["md5"]
    except (OSError, ValueError, KeyError):
        pass
    md5 = builder.build(path + ".part")
    os.replace(path + ".part", path)
    with open(sidecar, "w") as out:
        json.dump({"fingerprint": fingerprint, "size": os.path.getsize(path), "md5": md5}, out)
    return path, md5


# ---------------------------------------------------------------- documents

def element(name, text):
    return f"<{name}>{escape(str(text))}</{name}>"


def attributes(values):
    return "".join(f" {key}={quoteattr(str(value))}" for key, value in values.items())


class Catalogue:
    def __init__(self, path, archive_dir):
        with open(path, encoding="utf-8") as source:
            data = json.load(source)
        self.key = data.get("key", "")
        self.base_path = data.get("basePath", "/brel/v1")
        self.default_language = data.get("defaultLanguage", "en-GB")
        self.defaults = data
        self.packages = {}
        for index, package in enumerate(data.get("packages", [])):
            package.setdefault("mapId", index + 1)
            self.packages[package["id"]] = package
        self.archives = {}
        for package in self.packages.values():
            self.prepare(package, archive_dir)

    def prepare(self, package, archive_dir):
        manifest = package.get("archive")
        if not manifest:
            return
        name = manifest.get("name", package["id"] + ".tar")
        builder = ArchiveBuilder(name, manifest, self.metadata(package))
        path, md5 = prepare_archive(archive_dir, builder)
        self.archives[name] = path
        package["_archive"] = {"name": name, "md5": md5}

    def ordered(self, chosen):
        return [p["id"] for p in sorted(chosen, key=lambda p: (p.get("release", ""), p["id"]))]

    def roots(self):
        return [p["id"] for p in self.packages.values() if p.get("root")]

    def newest(self, package):
        if "newest" in package:
            return package["newest"]
        return self.ordered(p for p in self.packages.values()
                            if p.get("mapLineId") == package.get("mapLineId")
                            and p.get("region") == package.get("region"))

    def related(self, package):
        if "related" in package:
            return package["related"]
        return self.ordered(p for p in self.packages.values() if p.get("region") == package.get("region"))

    def value(self, package, name, fallback):
        return package.get(name, self.defaults.get(name, fallback))

    def header(self, package, identifier):
        return attributes({"identifier": identifier,
                           "targetProduct": self.value(package, "targetProduct", "NDS"),
                           "targetCustomer": self.value(package, "targetCustomer", "DRAVO"),
                           "version": self.value(package, "version", "1")})

    def item(self, package):
        products = package.get("products", [{"baseLineMapId": package["mapId"], "ndsDBSupplierId": 7,
                                             "productId": package["id"] + "-BASE", "isComplete": 1,
                                             "productType": "BASE", "versionId": 1}])
        return ("<tns:item>" + element("tns:region", package.get("region", ""))
                + f"<tns:sourceDatabase{attributes({'identifier': self.value(package, 'sourceDatabaseId', 'DB1')})}/>"
                + element("tns:databaseModelVersion", self.value(package, "databaseModelVersion", "2.5.4"))
                + element("tns:ndsMapLineId", package.get("mapLineId", ""))
                + element("tns:ndsMapId", package["mapId"])
                + element("tns:releaseCycle", package.get("release", ""))
                + element("tns:redeliveryCount", package.get("redeliveryCount", 0))
                + "<tns:ndsMapProducts>"
                + "".join(f"<tns:ndsMapProduct{attributes(p)}/>" for p in products)
                + "</tns:ndsMapProducts></tns:item>")

    def metadata(self, package):
        identifier = package.get("identifier", package["id"])
        if package.get("kind", "package") == "group":
            body = f"<tns:group{self.header(package, identifier)}>{self.item(package)}</tns:group>"
        else:
            size = package.get("size", content_size(package.get("archive") or {}))
            group_id = package.get("groupIdentifier", identifier)
            body = (f"<tns:package{self.header(package, identifier)}>"
                    + element("tns:packageTotalSizeInBytes", size)
                    + f"<tns:group{self.header(package, group_id)}>{self.item(package)}</tns:group>"
                    + "</tns:package>")
        return ('<?xml version="1.0" encoding="UTF-8"?>'
                f'<tns:metadata xmlns:tns="urn:dravo:nds:metadata">{body}</tns:metadata>')

    def download_info(self, package, origin):
        archive = package.get("_archive", {})
        url = package.get("url", f"{origin}/files/{archive.get('name', '')}").replace("{origin}", origin)
        checksum = package.get("checksum", archive.get("md5", ""))
        kind = package.get("checksumType", "MD5")
        return ('<?xml version="1.0" encoding="UTF-8"?><downloadinfo><mainArchive><archive>'
                + element("url", url)
                + f"<checksum{attributes({'type': kind})}>{escape(checksum)}</checksum>"
                + "</archive></mainArchive></downloadinfo>")

    def locale_data(self, package, accept_language):
        names = package.get("names", {})
        wanted = accept_language.split(",")[0].split(";")[0].strip()
        entry = (names.get(wanted)
                 or next((v for k, v in names.items() if wanted and k.split("-")[0] == wanted.split("-")[0]), None)
                 or names.get(self.default_language)
                 or next(iter(names.values()), {"name": package["id"]}))
        return ('<?xml version="1.0" encoding="UTF-8"?><localedata>'
                + "".join(element(tag, entry[tag]) for tag in ("name", "description", "releasedate") if tag in entry)
                + "</localedata>")

    @staticmethod
    def package_list(ids):
        return '<?xml version="1.0" encoding="UTF-8"?><list>' + "".join(element("packageId", i) for i in ids) + "</list>"


# ---------------------------------------------------------------- faults and log

class FaultBook:
    """Fault rules; the first rule whose path matches and that has uses left applies."""

    def __init__(self):
        self.lock = threading.Lock()
        self.rules = []

    def add(self, rule):
        if "path" not in rule or "kind" not in rule:
            raise ValueError("a fault rule needs a path and a kind")
        rule = dict(rule)
        rule.setdefault("times", -1 if rule.get("loop") else 1)
        with self.lock:
            self.rules.append(rule)

    def clear(self):
        with self.lock:
            self.rules = []

    def snapshot(self):
        with self.lock:
            return [dict(r) for r in self.rules]

    def take(self, path):
        with self.lock:
            for rule in self.rules:
                if rule["times"] != 0 and path.startswith(rule["path"]):
                    if rule["times"] > 0:
                        rule["times"] -= 1
                    return dict(rule)
        return None


class RequestLog:
    def __init__(self, path):
        self.lock = threading.Lock()
        self.out = open(path, "a", encoding="utf-8")

    def write(self, record):
        with self.lock:
            self.out.write(json.dumps(record) + "\n")
            self.out.flush()


class Dropped(Exception):
    """The connection was cut on purpose."""


# ---------------------------------------------------------------- HTTP

class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "ContentService/1.0"

    def log_message(self, *args):
        pass

    def handle(self):
        try:
            super().handle()
        except (Dropped, OSError, ssl.SSLError):
            self.close_connection = True

    # ----- dispatch

    def do_GET(self):
        self.fault = None  # the handler lives as long as a kept-alive connection, over several requests
        url = urllib.parse.urlsplit(self.path)
        if url.path.startswith("/_control/"):
            return self.control("GET", url.path)
        self.server.log.write({"method": "GET", "path": url.path, "query": url.query,
                               "headers": {k: v for k, v in self.headers.items()}})
        self.fault = self.server.faults.take(url.path)
        kind = self.fault["kind"] if self.fault else None
        if kind == "delay":
            time.sleep(float(self.fault.get("seconds", 1)))
        elif kind == "status":
            return self.send_text(int(self.fault.get("code", 500)), self.fault.get("body", "injected failure"))
        elif kind == "redirect":
            return self.redirect(url)
        for folder in ("/files/", "/mirror/"):  # a second address for redirect tests
            if url.path.startswith(folder):
                return self.archive(urllib.parse.unquote(url.path[len(folder):]))
        self.service(url)

    def do_POST(self):
        self.control("POST", urllib.parse.urlsplit(self.path).path)

    def do_DELETE(self):
        self.control("DELETE", urllib.parse.urlsplit(self.path).path)

    def control(self, method, path):
        self.fault = None
        length = int(self.headers.get("Content-Length", 0))
        body = self.rfile.read(length) if length else b""
        if path == "/_control/faults" and method == "POST":
            try:
                self.server.faults.add(json.loads(body))
            except ValueError as error:
                return self.send_text(400, str(error))
            return self.send_text(200, "ok")
        if path == "/_control/faults" and method == "DELETE":
            self.server.faults.clear()
            return self.send_text(200, "ok")
        if path == "/_control/faults" and method == "GET":
            return self.send_body(200, "application/json", json.dumps(self.server.faults.snapshot()).encode())
        self.send_text(404, "unknown control path")

    # ----- service endpoints

    def service(self, url):
        catalogue = self.server.catalogue
        base = catalogue.base_path + "/package/"
        endpoint = url.path[len(base):] if url.path.startswith(base) else None
        if endpoint not in ("allroots", "allnewest", "allrelated", "metadata", "downloadinfo", "localedata",
                            "localecontentdata"):
            return self.send_text(404, "no such endpoint")
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        if "key" not in query:
            return self.send_text(401, "key missing")
        if query["key"][0] != catalogue.key:
            return self.send_text(403, "key not accepted")
        if endpoint == "allroots":
            return self.send_xml(endpoint, None, lambda p: catalogue.package_list(catalogue.roots()))
        if "id" not in query:
            return self.send_text(400, "id missing")
        package = catalogue.packages.get(query["id"][0])
        if package is None:
            return self.send_text(404, "unknown package id")
        origin = f"https://127.0.0.1:{self.server.server_address[1]}"
        documents = {
            "allnewest": lambda p: catalogue.package_list(catalogue.newest(p)),
            "allrelated": lambda p: catalogue.package_list(catalogue.related(p)),
            "metadata": catalogue.metadata,
            "downloadinfo": lambda p: catalogue.download_info(p, origin),
            "localedata": lambda p: catalogue.locale_data(p, self.headers.get("Accept-Language", "")),
            "localecontentdata": lambda p: catalogue.locale_data(p, self.headers.get("Accept-Language", "")),
        }
        self.send_xml(endpoint, package, documents[endpoint])

    def send_xml(self, endpoint, package, make):
        answers = (package or {}).get("answers", {})
        document = (answers[endpoint] if endpoint in answers else make(package)).encode("utf-8")
        if self.fault and self.fault["kind"] == "malformed_xml":
            document = document[:len(document) // 2]
        self.send_body(200, "application/xml; charset=utf-8", document)

    # ----- archives

    def archive(self, name):
        path = self.server.catalogue.archives.get(name)
        if path is None:
            return self.send_text(404, "no such archive")
        size = os.path.getsize(path)
        start = self.range_start()
        if start is None or (self.fault and self.fault["kind"] == "ignore_range"):
            return self.send_file(200, path, 0, size, {})
        if start >= size:
            return self.send_text(416, "range not satisfiable", {"Content-Range": f"bytes */{size}"})
        self.send_file(206, path, start, size, {"Content-Range": f"bytes {start}-{size - 1}/{size}"})

    def range_start(self):
        """The first byte of a "bytes=N-" or "bytes=N-M" range; None without a usable one."""
        value = self.headers.get("Range", "")
        if not value.startswith("bytes=") or "," in value:
            return None
        first = value[len("bytes="):].split("-")[0]
        return int(first) if first.isdigit() else None

    def send_file(self, code, path, start, size, extra):
        self.send_head(code, "application/x-tar", size - start, extra)
        with open(path, "rb") as source:
            source.seek(start)
            self.stream(iter(lambda: source.read(CHUNK), b""))

    # ----- responses

    def redirect(self, url):
        target = self.fault.get("location", "")
        if self.fault.get("loop"):
            target = url.path + ("?" + url.query if url.query else "")
        self.send_text(int(self.fault.get("code", 302)), "moved", {"Location": target})

    def send_text(self, code, text, extra=None):
        self.send_body(code, "text/plain; charset=utf-8", text.encode("utf-8"), extra)

    def send_body(self, code, content_type, body, extra=None):
        self.send_head(code, content_type, len(body), extra or {})
        self.stream(body[i:i + CHUNK] for i in range(0, len(body), CHUNK))

    def send_head(self, code, content_type, length, extra):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(length))
        for name, value in extra.items():
            self.send_header(name, value)
        self.end_headers()

    def stream(self, chunks):
        """Writes the body, cutting, stalling or throttling it as the fault asks."""
        kind = self.fault["kind"] if self.fault else None
        limit = int(self.fault.get("bytes", 0)) if kind in ("drop_after", "stall") else None
        sent = 0
        for chunk in chunks:
            if limit is not None and sent + len(chunk) >= limit:
                self.wfile.write(chunk[:limit - sent])
                self.cut(kind)
            self.wfile.write(chunk)
            sent += len(chunk)
        if limit is not None:
            self.cut(kind)

    def cut(self, kind):
        if kind == "stall":
            time.sleep(float(self.fault.get("seconds", 30)))
        if self.fault.get("reset"):
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        else:
            self.connection.shutdown(socket.SHUT_RDWR)
        raise Dropped()


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, context, catalogue, state_dir):
        super().__init__(("127.0.0.1", port), Handler)
        self.context = context
        self.catalogue = catalogue
        self.faults = FaultBook()
        self.log = RequestLog(os.path.join(state_dir, "requests.jsonl"))

    def finish_request(self, request, client_address):
        # The TLS handshake runs here, on the connection's own thread, so a slow client
        # cannot hold up accepting others.
        try:
            secure = self.context.wrap_socket(request, server_side=True)
        except (OSError, ssl.SSLError):
            return
        try:
            self.RequestHandlerClass(secure, client_address, self)
        finally:
            secure.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--catalogue", required=True)
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--exit-with-stdin", action="store_true",
                        help="stop when stdin closes, so a crashed test leaves no server behind")
    args = parser.parse_args()
    os.makedirs(args.state_dir, exist_ok=True)
    archive_dir = os.path.join(args.state_dir, "archives")
    os.makedirs(archive_dir, exist_ok=True)
    cert, key = ensure_certificate(args.state_dir)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(cert, key)
    server = Server(args.port, context, Catalogue(args.catalogue, archive_dir), args.state_dir)
    if args.exit_with_stdin:
        threading.Thread(target=lambda: (sys.stdin.buffer.read(), os._exit(0)), daemon=True).start()
    print(f"READY {server.server_address[1]}", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
