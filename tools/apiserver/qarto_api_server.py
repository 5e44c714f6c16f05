#!/usr/bin/env python3
"""A local stand-in for the maker's product API, for tests and demonstrations.

Answers "base-info/info" (the signed multipart request of the installer's API client)
and "multi_app_lang.php?action=insert" (the plain form post of the usage report) over
HTTP and HTTPS on loopback, and checks every request it receives byte by byte: the
multipart layout, the request headers, sign_version, the signature of signed_body,
the scrambling and URL encoding inside it and the member order of the JSON. The keys
and rules are written out here again from the protocol's description; nothing is
imported from the installer's code, so a fault there cannot hide itself.

How it answers is set by GET /_config (plain, scrambled, gzip-encoded, errors, slow,
never); every request is recorded with what the checks found (GET /_requests).
Standard library only. See README.md beside this file.
"""
import argparse
import base64
import binascii
import gzip
import hashlib
import hmac
import http.server
import json
import os
import re
import select
import signal
import socket
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse
import zlib

SCRAMBLE_KEY = b"q4tn7wrc2mbx9hp3fks8ya"
SIGNING_KEY = b"3f9c0e7a51d24b86c0a7e93f1d5b2c48e6a09f17b3d5c28e4a61f0b9d7c3e25a"

BASE_INFO_MEMBERS = ["device_id", "origin", "channel", "client_type", "AppVer", "api_version", "base_url",
                     "lan", "email"]

DEFAULT_DATA = {
    "server_time": 1718000000,
    "country_code": "DE",
    "country": "Germany",
    "city": "Berlin",
    "ip": "203.0.113.7",
    "pc_dump_url": "https://dumps.qartobrowser.example/upload",
    "heartbeat_interval": 300,
    "smart_location_number": 12,
    "message_list_refresh_time": 1800,
    "draw_countdown": 5,
    "support_whatsapp_country_list": ["br", "de", "in"],
}

# ---------------------------------------------------------------------------------
# The protocol's transformations, written from its description.


def xor_key(data):
    return bytes(b ^ SCRAMBLE_KEY[i % len(SCRAMBLE_KEY)] for i, b in enumerate(data))


def scramble(data):
    return base64.b64encode(xor_key(data)).decode("ascii")


def unscramble(text):
    """Strict: canonical padded Base64 only; raises ValueError otherwise."""
    if not re.fullmatch(rb"(?:[A-Za-z0-9+/]{4})*(?:[A-Za-z0-9+/]{2}==|[A-Za-z0-9+/]{3}=)?", text):
        raise ValueError("not canonical Base64")
    raw = base64.b64decode(text, validate=True)
    if base64.b64encode(raw) != text:
        raise ValueError("not canonical Base64 (stray bits)")
    return xor_key(raw)


def url_encode(text_bytes):
    """Every byte but ASCII letters and digits as %XX (upper-case hex)."""
    out = []
    for b in text_bytes:
        c = chr(b)
        out.append(c if c.isascii() and c.isalnum() else "%%%02X" % b)
    return "".join(out)


def sign(text_bytes):
    return hmac.new(SIGNING_KEY, text_bytes, hashlib.sha256).hexdigest()


def object_pairs_in_order(pairs):
    return pairs  # keep the members as a list of (name, value) pairs


# ---------------------------------------------------------------------------------
# Checks of what a request carries. Each returns a list of faults found ([] = fine).


BOUNDARY_RE = re.compile(r"multipart/form-data; boundary=(--------\d{15})")


def parse_multipart(body, boundary):
    """The fields of a body laid out exactly as the API expects; ValueError otherwise."""
    b = boundary.encode("ascii")
    closing = b"\r\n--" + b + b"--\r\n"
    if not body.endswith(closing):
        raise ValueError("the body does not end with CR LF, the delimiter, '--' and CR LF")
    pieces = body[:-len(closing)].split(b"--" + b + b"\r\n")
    if pieces[0] != b"":
        raise ValueError("the body does not begin with '--' and the boundary")
    fields = []
    head_re = re.compile(rb'Content-Disposition: form-data; name="([^"\r\n]*)"\r\n'
                         rb"Content-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n")
    for piece in pieces[1:]:
        match = head_re.match(piece)
        if not match or not piece.endswith(b"\r\n"):
            raise ValueError(f"a part is not laid out as expected: {piece[:120]!r}")
        fields.append((match.group(1).decode("utf-8"), piece[match.end():-2]))
    rebuilt = b"".join(
        b"--" + b + b"\r\nContent-Disposition: form-data; name=\"" + name.encode("utf-8") + b"\"\r\n"
        b"Content-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n" + value + b"\r\n"
        for name, value in fields) + closing
    if rebuilt != body:
        raise ValueError("the body differs from its layout rebuilt byte for byte")
    return fields


def check_signed_body(value):
    """(errors, request JSON text or None) for a signed_body field's bytes."""
    errors = []
    match = re.fullmatch(rb"([0-9a-f]{64})\.([A-Za-z0-9+/=]+)", value)
    if not match:
        return ["signed_body is not 64 lower-case hex digits, '.', Base64"], None
    signature, scrambled = match.groups()
    if signature.decode("ascii") != sign(scrambled):
        errors.append("the signature of signed_body is wrong")
    try:
        plain = unscramble(scrambled)
    except (ValueError, binascii.Error) as error:
        return errors + [f"the scrambled part does not unscramble: {error}"], None
    if not plain.startswith(b"data="):
        return errors + ["the unscrambled text does not begin with 'data='"], None
    encoded = plain[5:].decode("ascii", errors="replace")
    try:
        text_bytes = urllib.parse.unquote_to_bytes(encoded)
    except Exception:  # noqa: BLE001 (any failure is a fault of the request)
        return errors + ["the URL encoding does not decode"], None
    if url_encode(text_bytes) != encoded:
        errors.append("the URL encoding is not the exact form (only letters and digits plain, upper-case %XX)")
    try:
        text = text_bytes.decode("utf-8")
    except UnicodeDecodeError:
        return errors + ["the request text is not UTF-8"], None
    return errors, text


def check_base_info_json(text, host, prefix):
    errors = []
    try:
        pairs = json.loads(text, object_pairs_hook=object_pairs_in_order)
    except ValueError as error:
        return [f"the request is not JSON: {error}"], []
    if not isinstance(pairs, list):
        return ["the request is not a JSON object"], []
    names = [name for name, _ in pairs]
    if names != BASE_INFO_MEMBERS:
        errors.append(f"members {names} instead of {BASE_INFO_MEMBERS}")
    values = dict(pairs)
    expected = {"origin": "browser", "channel": "browser", "api_version": "3", "lan": "en"}
    for name, value in expected.items():
        if values.get(name) != value:
            errors.append(f"{name} is {values.get(name)!r}, not {value!r}")
    if type(values.get("client_type")) is not int or values.get("client_type") != 3:
        errors.append(f"client_type is {values.get('client_type')!r}, not the number 3")
    if not re.fullmatch(r"[0-9a-f]{32}", str(values.get("device_id", ""))):
        errors.append(f"device_id {values.get('device_id')!r} is not 32 lower-case hex digits")
    if not isinstance(values.get("AppVer"), str) or not values.get("AppVer"):
        errors.append("AppVer is not a text")
    if not isinstance(values.get("email"), str):
        errors.append("email is not a text")
    if values.get("base_url") != host + prefix:
        errors.append(f"base_url is {values.get('base_url')!r}, not {host + prefix!r}")
    return errors, names


def header_list(message):
    return [(name, value) for name, value in message.raw_items()]


def check_api_headers(headers, gzip_expected):
    """The API's own header lines, exactly as named, in their order."""
    errors = []
    names = [name for name, _ in headers]
    wanted = (["accept-encoding"] if gzip_expected else []) + ["APIVersion", "language"]
    positions = []
    for name in wanted:
        if name not in names:
            errors.append(f"no '{name}:' header line (exact name)")
        else:
            positions.append(names.index(name))
    if positions != sorted(positions):
        errors.append(f"the header lines {wanted} are out of order: {names}")
    values = {name: value for name, value in headers}
    if gzip_expected and values.get("accept-encoding") != "gzip":
        errors.append(f"accept-encoding is {values.get('accept-encoding')!r}, not 'gzip'")
    if not gzip_expected and any(n.lower() == "accept-encoding" for n in names):
        errors.append("a plain post must not ask for gzip")
    if values.get("APIVersion") != "3":
        errors.append(f"APIVersion is {values.get('APIVersion')!r}, not '3'")
    if not re.fullmatch(r"[a-z]{2,3}(-[a-z]{2,3})?", values.get("language", "")):
        errors.append(f"language {values.get('language')!r} is not a lower-case tag")
    if any(n.lower() == "authorization" for n in names):
        errors.append("an Authorization header was sent")
    accept = [v for n, v in headers if n.lower() == "accept-language"]
    if len(accept) != 1 or not re.fullmatch(r"[a-z]{2,3}(-[A-Za-z]{2,3})?", accept[0]):
        errors.append(f"Accept-Language {accept} is not one language-COUNTRY value")
    return errors


# ---------------------------------------------------------------------------------
# The server.


class State:
    def __init__(self, args):
        self.args = args
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        self.reset()

    def reset(self):
        with self.lock:
            self.records = []
            self.config = {}

    def record(self, entry):
        with self.lock:
            self.records.append(entry)

    def current_config(self):
        with self.lock:
            return dict(self.config)


def answer_body(config):
    """The answer to base-info/info (bytes, before encoding) as configured."""
    kind = config.get("answer", "ok")
    if kind == "empty":
        return b""
    if kind == "garbage":
        return b"<html><body>Bad gateway</body></html>"
    if kind == "nodata":
        return b'{"status":"ok"}'
    if kind == "notobject":
        return b'{"status":"ok","data":[1,2]}'
    if kind == "fail":
        error = {"type": config["error_type"]} if "error_type" in config else {}
        return json.dumps({"status": "fail", "error": error}).encode("utf-8")
    if kind == "raw":
        return config.get("raw", "").encode("utf-8")
    data = dict(DEFAULT_DATA)
    for name, value in json.loads(config.get("data", "{}")).items():
        if value is None:
            data.pop(name, None)
        else:
            data[name] = value
    return json.dumps({"status": "ok", "data": data}, separators=(",", ":")).encode("utf-8")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "QartoApiStandIn/1.0"
    timeout = 30

    def setup(self):
        self.state = self.server.state
        if self.server.tls is not None:
            self.request.settimeout(10)
            self.request = self.server.tls.wrap_socket(self.request, server_side=True)
        super().setup()

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        if self.state.args.verbose:
            sys.stderr.write(f"{format % args}\n")

    def send(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body and self.command != "HEAD":
            self.wfile.write(body)

    def do_GET(self):
        split = urllib.parse.urlsplit(self.path)
        params = dict(urllib.parse.parse_qsl(split.query, keep_blank_values=True))
        if split.path == "/_config":
            with self.state.lock:
                self.state.config = params
            return self.send(200, b"configured\n", [("Content-Type", "text/plain")])
        if split.path == "/_requests":
            with self.state.lock:
                body = json.dumps(self.state.records, indent=1).encode("utf-8")
            return self.send(200, body, [("Content-Type", "application/json"), ("Cache-Control", "no-store")])
        if split.path == "/_reset":
            self.state.reset()
            return self.send(200, b"reset\n", [("Content-Type", "text/plain")])
        self.send(404, b"not found\n", [("Content-Type", "text/plain")])

    def do_POST(self):
        split = urllib.parse.urlsplit(self.path)
        length = int(self.headers.get("Content-Length", "0") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        headers = header_list(self.headers)
        entry = {"method": "POST", "path": split.path, "query": split.query,
                 "scheme": "https" if self.server.tls else "http", "headers": headers,
                 "content_type": self.headers.get("Content-Type", ""), "body_bytes": len(body),
                 "errors": [], "request_json": None, "members": [], "fields": [], "status": 0}
        config = self.state.current_config()
        # Checked and recorded before the answer, so that a test sees a request the
        # server holds without answering.
        if split.path.endswith("/base-info/info"):
            entry["kind"] = "base-info"
            self.check_base_info(entry, body, split.path[:-len("/base-info/info")])
        elif split.path.endswith("/multi_app_lang.php"):
            entry["kind"] = "multi_app_lang"
            self.check_form_post(entry, body, split.query)
        else:
            entry["kind"] = "other"
        entry["ok"] = not entry["errors"]
        self.state.record(entry)
        if entry["kind"] == "base-info":
            self.answer_base_info(entry, config)
        elif entry["kind"] == "multi_app_lang":
            entry["status"] = int(config.get("status", 200))
            self.send(entry["status"], config.get("params_answer", "ok").encode("utf-8"),
                      [("Content-Type", "text/plain; charset=utf-8")])
        else:
            entry["status"] = 404
            self.send(404, b"not found\n", [("Content-Type", "text/plain")])

    def check_base_info(self, entry, body, prefix):
        errors = entry["errors"]
        match = BOUNDARY_RE.fullmatch(entry["content_type"])
        if not match:
            errors.append(f"Content-Type {entry['content_type']!r} is not multipart/form-data with a "
                          "'--------' + 15 digit boundary")
            return
        entry["boundary"] = match.group(1)
        errors += check_api_headers(entry["headers"], gzip_expected=True)
        try:
            fields = parse_multipart(body, match.group(1))
        except ValueError as error:
            errors.append(str(error))
            return
        entry["fields"] = [name for name, _ in fields]
        if entry["fields"] != ["signed_body", "sign_version"]:
            errors.append(f"fields {entry['fields']} instead of ['signed_body', 'sign_version']")
            return
        values = dict(fields)
        if values["sign_version"] != b"1":
            errors.append(f"sign_version is {values['sign_version']!r}, not '1'")
        signed_errors, text = check_signed_body(values["signed_body"])
        errors += signed_errors
        if text is not None:
            entry["request_json"] = text
            json_errors, entry["members"] = check_base_info_json(text, self.headers.get("Host", ""), prefix)
            errors += json_errors

    def check_form_post(self, entry, body, query):
        errors = entry["errors"]
        if urllib.parse.parse_qs(query).get("action") != ["insert"]:
            errors.append(f"query {query!r} is not action=insert")
        if entry["content_type"] != "application/x-www-form-urlencoded":
            errors.append(f"Content-Type {entry['content_type']!r} is not application/x-www-form-urlencoded")
        errors += check_api_headers(entry["headers"], gzip_expected=False)
        try:
            text = unscramble(body).decode("utf-8")
            pairs = json.loads(text, object_pairs_hook=object_pairs_in_order)
        except (ValueError, binascii.Error, UnicodeDecodeError) as error:
            errors.append(f"the body is not a scrambled JSON text: {error}")
            return
        if not isinstance(pairs, list) or any(not isinstance(value, str) for _, value in pairs):
            errors.append("the body is not a JSON object of text members")
            return
        entry["request_json"] = text
        entry["members"] = [name for name, _ in pairs]

    def answer_base_info(self, entry, config):
        if config.get("never") == "1":
            # Read and recorded, never answered: hold the connection until the client
            # gives up or the server stops.
            self.close_connection = True
            while not self.state.stopping.is_set():
                readable, _, _ = select.select([self.connection], [], [], 0.25)
                if readable:
                    try:
                        if not self.connection.recv(65536):
                            return
                    except (OSError, ValueError):
                        return
            return
        delay = float(config.get("delay", "0"))
        if delay > 0 and self.state.stopping.wait(delay):
            return
        body = answer_body(config) + b" " * int(config.get("pad", "0"))
        if config.get("scramble") == "1":
            body = scramble(body).encode("ascii")
        headers = [("Content-Type", "application/json; charset=utf-8")]
        if config.get("gzip") == "1":
            if "gzip_bomb" in config:
                zeros = b"\0" * (1 << 20)
                stream = zlib.compressobj(9, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
                body = b"".join(stream.compress(zeros) for _ in range(int(config["gzip_bomb"]))) + stream.flush()
            else:
                body = gzip.compress(body)
            if "gzip_truncate" in config:
                body = body[:int(config["gzip_truncate"])]
            headers.append(("Content-Encoding", config.get("encoding_name", "gzip")))
        elif "encoding_name" in config:
            headers.append(("Content-Encoding", config["encoding_name"]))
        status = int(config.get("status", 200))
        entry["status"] = status
        self.send(status, body, headers)


class Listener(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, state, tls=None):
        self.state, self.tls = state, tls
        super().__init__(("127.0.0.1", port), Handler)

    def server_bind(self):
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    def handle_error(self, request, client_address):
        if self.state.args.verbose:
            super().handle_error(request, client_address)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--http-port", type=int, default=0, help="0 picks a free port (default)")
    parser.add_argument("--https-port", type=int, default=0, help="used with --cert and --key")
    parser.add_argument("--cert", help="server certificate (PEM) for the HTTPS listener")
    parser.add_argument("--key", help="its private key (PEM)")
    parser.add_argument("--ready-file", help="written with HTTP_PORT, HTTPS_PORT and PID once listening")
    parser.add_argument("--config", metavar="QUERY", help="the answer settings to start with (as for /_config)")
    parser.add_argument("--verbose", action="store_true", help="log requests and errors to standard error")
    args = parser.parse_args(argv)
    if bool(args.cert) != bool(args.key):
        parser.error("--cert and --key go together")

    state = State(args)
    if args.config:
        state.config = dict(urllib.parse.parse_qsl(args.config, keep_blank_values=True))
    listeners = [Listener(args.http_port, state)]
    ports = {"HTTP_PORT": listeners[0].server_address[1]}
    if args.cert:
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(args.cert, args.key)
        listeners.append(Listener(args.https_port, state, tls))
        ports["HTTPS_PORT"] = listeners[1].server_address[1]
    stop = threading.Event()
    for signum in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, lambda *_: stop.set())
    for listener in listeners:
        threading.Thread(target=listener.serve_forever, kwargs={"poll_interval": 0.05}, daemon=True).start()
    if args.ready_file:
        temporary = f"{args.ready_file}.{os.getpid()}.tmp"
        with open(temporary, "w", encoding="ascii") as f:
            f.write("".join(f"{k}={v}\n" for k, v in ports.items()) + f"PID={os.getpid()}\n")
        os.replace(temporary, args.ready_file)
    while not stop.wait(0.5):
        pass
    state.stopping.set()
    for listener in listeners:
        listener.shutdown()
        listener.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
