"""A `qxsoap serve` process on a free loopback port, for the tests that
drive the server over HTTP: started, asked, logged and stopped."""
import http.client
import os
import re
import signal
import socket
import subprocess
import time


class ServeProcess:
    """`TOOL serve WSDL` on 127.0.0.1 with `options`, its standard error
    logged to a file in `work_dir`."""

    def __init__(self, tool, work_dir, wsdl, *options):
        self.log_path = os.path.join(work_dir, f"serve-{time.monotonic_ns()}.log")
        self.log = open(self.log_path, "w+")
        self.signalled = False
        self.process = subprocess.Popen([tool, "serve", wsdl, "--listen", "127.0.0.1:0", *options],
                                        stderr=self.log, stdout=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not re.search(r"serving http://127\.0\.0\.1:(\d+)", self.text()):
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise SystemExit(f"serve did not start: {self.text()}")
            time.sleep(0.05)
        match = re.search(r"serving (http://127\.0\.0\.1:(\d+)(/\S*))", self.text())
        self.url, self.port, self.path = match.group(1), int(match.group(2)), match.group(3)

    def text(self):
        with open(self.log_path) as log:
            return log.read()

    def wait_for(self, pattern, start, seconds=5):
        """The log from offset `start` once a line matches `pattern` (or
        `seconds` have passed)."""
        deadline = time.monotonic() + seconds
        while True:
            added = self.text()[start:]
            if re.search(pattern, added, re.M) or time.monotonic() > deadline:
                return added
            time.sleep(0.02)

    def request(self, method, path, body=None, headers=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        connection.request(method, path, body, headers or {})
        response = connection.getresponse()
        data = response.read()
        connection.close()
        return response.status, response.getheader("Content-Type") or "", data

    def raw(self, data):
        """Sends bytes as they are; returns the status of the answer, 0 for none."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(data)
            try:
                head = sock.recv(64)
            except (ConnectionResetError, socket.timeout):
                return 0
        match = re.match(rb"HTTP/1\.1 (\d{3})", head)
        return int(match.group(1)) if match else 0

    def signal(self, number):
        self.signalled = True
        self.process.send_signal(number)

    def stop(self):
        """Asks for a graceful stop, unless a test already did, and waits for the exit."""
        if self.process.poll() is None and not self.signalled:
            self.signal(signal.SIGTERM)
        status = self.process.wait(timeout=30)
        self.log.close()
        return status
