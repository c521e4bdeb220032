#!/usr/bin/env python3
"""A calendar server that misbehaves on purpose, for the client's failure tests. Listens on
127.0.0.1 (and, as "another server", on 127.0.0.2) on free ports, prints "PORT <main> <other>"
once ready, logs every request as a line "<server> <method> <path> auth=<yes|no>" to the file
given, and ends by itself after --lifetime seconds. With --cert and --key it speaks TLS.

Paths: /status/<code>/ answers that status; /silent/ reads the request and never answers;
/cut/ announces 5000 bytes and closes after 100; /notxml/ is an HTML page with status 207;
/dtd/ a multistatus with a DTD; /huge/ streams XML without end; /away/ redirects to the other
server; /elsewhere/ names a calendar home on the other server; /here/ redirects to /cal/ on this one; /cal/ is an empty calendar (PROPFIND) that takes
PUT and DELETE; /readonly/ lists as a calendar and refuses PUT with 403."""
import argparse
import http.server
import socket
import ssl
import sys
import threading

parser = argparse.ArgumentParser()
parser.add_argument("--log", required=True)
parser.add_argument("--cert")
parser.add_argument("--key")
parser.add_argument("--lifetime", type=float, default=300)
options = parser.parse_args()

log_lock = threading.Lock()
stopping = threading.Event()

CALENDAR = (b"<?xml version='1.0' encoding='utf-8'?>\n"
            b"<multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><response>"
            b"<href>%s</href><propstat><prop><resourcetype><collection/><C:calendar/>"
            b"</resourcetype><displayname>Hostile</displayname></prop>"
            b"<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>")


def log(server, handler):
    auth = "yes" if handler.headers.get("Authorization") else "no"
    with log_lock, open(options.log, "a") as stream:
        stream.write(f"{server} {handler.command} {handler.path} auth={auth}\n")


class Handler(http.server.BaseHTTPRequestHandler):
    server_name_for_log = "main"
    other_port = 0

    def log_message(self, *args):
        pass

    def body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length else b""

    def reply(self, status, body=b"", content_type="application/xml; charset=utf-8",
              headers=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def handle_any(self):
        log(self.server_name_for_log, self)
        self.body()
        path = self.path
        if self.server_name_for_log == "other":
            self.reply(401, b"no", "text/plain", [("WWW-Authenticate", 'Basic realm="other"')])
        elif path.startswith("/status/"):
            code = int(path.split("/")[2])
            headers = [("WWW-Authenticate", 'Basic realm="hostile"')] if code == 401 else []
            self.reply(code, b"refused", "text/plain", headers)
        elif path.startswith("/silent/"):
            # Holds the connection without a word, until the client gives up or the end.
            self.connection.settimeout(1)
            while not stopping.is_set():
                try:
                    if not self.connection.recv(1):
                        break
                except socket.timeout:
                    continue
                except OSError:
                    break
        elif path.startswith("/cut/"):
            self.send_response(207)
            self.send_header("Content-Type", "application/xml")
            self.send_header("Content-Length", "5000")
            self.end_headers()
            self.wfile.write(b"<?xml version='1.0'?><multistatus xmlns=\"DAV:\">" + b" " * 50)
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
        elif path.startswith("/notxml/"):
            self.reply(207, b"<html><body><h1>Welcome to our web site</h1>", "text/html")
        elif path.startswith("/dtd/"):
            self.reply(207, b"<?xml version='1.0'?><!DOCTYPE m [<!ENTITY a 'aaaaaaaaaa'>]>"
                            b"<multistatus xmlns=\"DAV:\">&a;</multistatus>")
        elif path.startswith("/huge/"):
            self.send_response(207)
            self.send_header("Content-Type", "application/xml")
            self.end_headers()
            try:
                self.wfile.write(b"<?xml version='1.0'?><multistatus xmlns=\"DAV:\">")
                chunk = b"<response><href>/x</href></response>" * 1800
                for _ in range(512):  # 32 MiB at most
                    if stopping.is_set():
                        break
                    self.wfile.write(chunk)
            except OSError:
                pass
        elif path.startswith("/away/"):
            self.reply(301, b"", "text/plain",
                       [("Location", f"http://127.0.0.2:{Handler.other_port}/steal/")])
        elif path.startswith("/elsewhere/"):
            home = f"http://127.0.0.2:{Handler.other_port}/home/".encode()
            self.reply(207, b"<?xml version='1.0'?><multistatus xmlns=\"DAV:\" "
                            b"xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><response><href>"
                            b"/elsewhere/</href><propstat><prop><C:calendar-home-set><href>" +
                       home + b"</href></C:calendar-home-set></prop><status>HTTP/1.1 200 OK"
                            b"</status></propstat></response></multistatus>")
        elif path.startswith("/here/"):
            self.reply(301, b"", "text/plain", [("Location", "/cal/")])
        elif path.startswith("/cal/") or path.startswith("/readonly/"):
            if self.command == "PROPFIND":
                self.reply(207, CALENDAR % path.encode())
            elif self.command == "PUT" and path.startswith("/readonly/"):
                self.reply(403, b"read only", "text/plain")
            elif self.command in ("PUT", "DELETE"):
                self.reply(201 if self.command == "PUT" else 204, b"", "text/plain",
                           [("ETag", '"1"')])
            else:
                self.reply(405, b"", "text/plain")
        else:
            self.reply(404, b"", "text/plain")

    do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_MKCALENDAR = handle_any


class OtherHandler(Handler):
    server_name_for_log = "other"


def serve(address, handler):
    server = http.server.ThreadingHTTPServer((address, 0), handler)
    server.daemon_threads = True
    if options.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(options.cert, options.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


other = serve("127.0.0.2", OtherHandler)
Handler.other_port = other.server_address[1]
main = serve("127.0.0.1", Handler)
print(f"PORT {main.server_address[1]} {other.server_address[1]}", flush=True)


def wait_for_end_of_input():
    while sys.stdin.readline():
        pass
    stopping.set()


# The test closes standard input (or ends) to stop the server; it stops by itself at the latest
# after its lifetime.
threading.Thread(target=wait_for_end_of_input, daemon=True).start()
stopping.wait(options.lifetime)
stopping.set()
