#!/usr/bin/env python3
"""Scripted HTTP and HTTPS server for the tests, standard library only.

    test_server.py CACHE_DIR HOST...

Makes a test CA and a server certificate for the hosts under CACHE_DIR unless a recent set is there,
listens on 127.0.0.1 on an ephemeral HTTP port and an ephemeral HTTPS port, prints
{"http": P, "https": Q, "ca": CA_FILE} and then answers one JSON command per line of stdin with one JSON line on stdout:

    {"op": "answer", "key": "/path" | "host/path", "response": R}  answer requests that match
    {"op": "default", "response": R}                              answer everything unmatched
    {"op": "forget"}                                              drop every scripted answer
    {"op": "requests"}                  -> {"requests": [{"scheme": "http", "head": BASE64}...]}
    {"op": "clear"}                                               forget the recorded requests

A response R: {"status": 200, "reason": "OK", "headers": [[name, value]...], "body": BASE64,
"repeat": N (body sent N times), "contentLength": true (added unless a header names it),
"dropAfter": N (body bytes sent before the connection is reset), "delay": seconds}.
Every connection is closed after one answer. End of stdin ends the server.

The HTTP port also serves as a proxy: a request naming the whole address is answered like any other, and
"CONNECT host:port" opens a tunnel to this server's HTTPS port (its HTTP port for port 80), whose
certificate names every host. The CONNECT itself is recorded with the scheme "http".
"""

import base64
import hashlib
import json
import os
import shutil
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time

HEAD_LIMIT = 65536
CERT_REUSE_SECONDS = 7 * 24 * 3600

lock = threading.Lock()
answers = {}
default_answer = {"status": 404, "reason": "Not Found",
                  "headers": [["Content-Type", "text/html"]],
                  "body": base64.b64encode(b"<html><body>not found</body></html>").decode()}
recorded = []
ports = {}


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def make_certificates(directory, hosts):
    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    openssl("req", "-x509", *ec, "-keyout", "ca.key", "-out", "ca.pem", "-days", "30",
            "-subj", "/CN=Tovrel Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=directory)
    openssl("req", *ec, "-keyout", "server.key", "-out", "server.csr",
            "-subj", "/CN=Tovrel test server", cwd=directory)
    names = ",".join(["DNS:" + host for host in hosts] + ["IP:127.0.0.1"])
    with open(os.path.join(directory, "server.ext"), "w") as ext:
        ext.write("subjectAltName=" + names + "\n")
        ext.write("basicConstraints=CA:FALSE\n")
        ext.write("keyUsage=critical,digitalSignature\n")
        ext.write("extendedKeyUsage=serverAuth\n")
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
            "-CAcreateserial", "-days", "30", "-extfile", "server.ext", "-out", "server.pem",
            cwd=directory)


def certificates(cache, hosts):
    """The directory of a CA and server certificate for these hosts, made once and shared by every
    test process: a set is complete before it appears under its final name."""
    key = hashlib.sha1("\n".join(sorted(hosts)).encode()).hexdigest()[:16]
    directory = os.path.join(cache, key)
    server_pem = os.path.join(directory, "server.pem")
    if os.path.exists(server_pem) and time.time() - os.path.getmtime(server_pem) < CERT_REUSE_SECONDS:
        return directory
    os.makedirs(cache, exist_ok=True)
    fresh = tempfile.mkdtemp(prefix="new-", dir=cache)
    make_certificates(fresh, hosts)
    if os.path.exists(directory):
        # Too old: move it aside first; whoever renames first wins.
        try:
            os.rename(directory, tempfile.mkdtemp(prefix="old-", dir=cache) + "/set")
        except OSError:
            pass
    try:
        os.rename(fresh, directory)
    except OSError:
        shutil.rmtree(fresh, ignore_errors=True)
    return directory


def read_head(connection):
    """The head up to its blank line and the bytes read after it; None when there is no whole head."""
    data = b""
    while True:
        end = data.find(b"\r\n\r\n")
        if end >= 0:
            return data[:end + 4], data[end + 4:]
        end = data.find(b"\n\n")
        if end >= 0:
            return data[:end + 2], data[end + 2:]
        if len(data) > HEAD_LIMIT:
            return None, b""
        chunk = connection.recv(4096)
        if not chunk:
            return None, b""
        data += chunk


def find_answer(head):
    lines = head.decode("latin-1").split("\n")
    parts = lines[0].split(" ")
    target = parts[1] if len(parts) > 1 else "/"
    host = ""
    # A request through a proxy names the whole address.
    if "://" in target:
        rest = target.split("://", 1)[1]
        slash = rest.find("/")
        host, target = (rest, "/") if slash < 0 else (rest[:slash], rest[slash:])
    for line in lines[1:]:
        name, _, value = line.partition(":")
        if name.strip().lower() == "host" and not host:
            host = value.strip()
    host = host.rsplit(":", 1)[0] if host.count(":") == 1 else host
    path = target.split("?", 1)[0]
    with lock:
        for key in (host + target, host + path, target, path):
            if key in answers:
                return answers[key]
        return default_answer


def send_answer(connection, answer):
    delay = answer.get("delay", 0)
    if delay:
        time.sleep(delay)
    body = base64.b64decode(answer.get("body", "")) * answer.get("repeat", 1)
    headers = answer.get("headers", [])
    head = "HTTP/1.0 %d %s\r\n" % (answer.get("status", 200), answer.get("reason", "OK"))
    for name, value in headers:
        head += "%s: %s\r\n" % (name, value)
    named = any(name.lower() == "content-length" for name, _ in headers)
    if answer.get("contentLength", True) and not named:
        head += "Content-Length: %d\r\n" % len(body)
    connection.sendall(head.encode("latin-1") + b"\r\n")
    drop = answer.get("dropAfter", -1)
    if drop >= 0:
        connection.sendall(body[:drop])
        # Let the bytes reach the client before the reset.
        time.sleep(0.1)
        return False
    view = memoryview(body)
    for start in range(0, len(body), 1 << 20):
        connection.sendall(view[start:start + (1 << 20)])
    return True


def pump(source, target):
    try:
        while True:
            chunk = source.recv(65536)
            if not chunk:
                break
            target.sendall(chunk)
    except OSError:
        pass
    # Pass the end on so that each side sees the other's close.
    try:
        target.shutdown(socket.SHUT_WR)
    except OSError:
        pass


def tunnel(client, head, rest):
    """Answers a CONNECT and joins the client to our own listener for that port."""
    authority = head.decode("latin-1").split("\n")[0].split(" ")[1]
    port = ports["http"] if authority.rsplit(":", 1)[-1] == "80" else ports["https"]
    try:
        upstream = socket.create_connection(("127.0.0.1", port), timeout=60)
    except OSError:
        client.sendall(b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n")
        return
    with upstream:
        client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
        if rest:
            upstream.sendall(rest)
        back = threading.Thread(target=pump, args=(upstream, client), daemon=True)
        back.start()
        pump(client, upstream)
        back.join(65)


def reset(raw):
    raw.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
    raw.close()


def serve(raw, scheme, context):
    connection = raw
    try:
        raw.settimeout(60)
        if context is not None:
            connection = context.wrap_socket(raw, server_side=True)
        head, rest = read_head(connection)
        if head is None:
            return
        with lock:
            recorded.append({"scheme": scheme, "head": base64.b64encode(head).decode()})
        if context is None and head[:8].upper() == b"CONNECT ":
            tunnel(connection, head, rest)
            return
        if not send_answer(connection, find_answer(head)):
            reset(raw)
            return
        if context is not None:
            connection.settimeout(2)
            connection = connection.unwrap()
        connection.shutdown(socket.SHUT_WR)
        # Wait for the client to close so that it never sees a reset.
        connection.settimeout(2)
        while connection.recv(4096):
            pass
    except (OSError, ValueError):
        pass
    finally:
        try:
            connection.close()
            raw.close()
        except OSError:
            pass


def listen(scheme, context):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(64)

    def accept():
        while True:
            raw, _ = server.accept()
            threading.Thread(target=serve, args=(raw, scheme, context), daemon=True).start()

    threading.Thread(target=accept, daemon=True).start()
    return server.getsockname()[1]


def reply(message):
    sys.stdout.write(json.dumps(message) + "\n")
    sys.stdout.flush()


def command(message):
    global default_answer
    op = message.get("op")
    with lock:
        if op == "answer":
            answers[message["key"]] = message["response"]
        elif op == "default":
            default_answer = message["response"]
        elif op == "forget":
            answers.clear()
        elif op == "requests":
            return {"requests": list(recorded)}
        elif op == "clear":
            recorded.clear()
        else:
            return {"error": "unknown op %r" % op}
    return {"ok": True}


def main():
    directory = certificates(sys.argv[1], sys.argv[2:])
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(directory, "server.pem"), os.path.join(directory, "server.key"))
    ports.update(http=listen("http", None), https=listen("https", context))
    reply({"http": ports["http"], "https": ports["https"], "ca": os.path.join(directory, "ca.pem")})
    for line in sys.stdin:
        if line.strip():
            try:
                reply(command(json.loads(line)))
            except (ValueError, KeyError, TypeError) as error:
                reply({"error": repr(error)})
    os._exit(0)


if __name__ == "__main__":
    main()
