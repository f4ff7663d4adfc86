"""What the tests that drive `qxsoap serve` over loopback share: a server
process on a free port, a registry of the test's own, and the failures."""
import http.client
import os
import re
import signal
import socket
import subprocess
import time

failures = []


def check(why, ok, detail=""):
    if not ok:
        failures.append(f"{why}: {detail}")


def finish():
    for failure in failures:
        print(f"FAIL: {failure}")
    print(f"{len(failures)} failed")
    return 1 if failures else 0


def register(tool, module, work):
    """A registry file in `work` holding the handler and the service `module`."""
    os.environ["QXCOM_REGISTRY"] = os.path.join(work, "registry")
    for extra in ([], [module]):
        subprocess.run([tool, "register", *extra], check=True, stdout=subprocess.DEVNULL)


class ServeProcess:
    """`TOOL serve WSDL` on 127.0.0.1 with `options`, its standard error logged to a file in `work`."""

    def __init__(self, tool, work, wsdl, *options):
        self.log_path = os.path.join(work, f"serve-{time.monotonic_ns()}.log")
        self.log = open(self.log_path, "w+")
        self.signalled = False
        self.process = subprocess.Popen([tool, "serve", wsdl, "--listen", "127.0.0.1:0", *options],
                                        stderr=self.log, stdout=subprocess.DEVNULL)
        started = re.search(r"serving (http://127\.0\.0\.1:(\d+)(/\S*)) ", self.wait_for("serving .* ", 0, 20))
        if not started:
            raise SystemExit(f"serve did not start: {self.text()}")
        self.url, self.port, self.path = started.group(1), int(started.group(2)), started.group(3)

    def text(self):
        with open(self.log_path) as log:
            return log.read()

    def wait_for(self, pattern, start, seconds=5):
        """The log from offset `start` once a line matches `pattern`, the process ended or `seconds` passed."""
        deadline = time.monotonic() + seconds
        while not re.search(pattern, added := self.text()[start:], re.M):
            if self.process.poll() is not None or time.monotonic() > deadline:
                return self.text()[start:]
            time.sleep(0.02)
        return added

    def request(self, method, path, body=None, headers=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        connection.request(method, path, body, headers or {})
        response = connection.getresponse()
        data = response.read()
        connection.close()
        return response.status, response.getheader("Content-Type") or "", data

    def raw(self, data):
        """Sends bytes as they are; the status of the answer, 0 for none."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(data)
            try:
                match = re.match(rb"HTTP/1\.1 (\d{3})", sock.recv(64))
            except (ConnectionResetError, socket.timeout):
                return 0
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
