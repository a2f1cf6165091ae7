"""Drives headless Chromium through its DevTools protocol over a pipe, and
starts zvv serve; shared by the viewer's browser test and its latency bench.

The protocol's messages are JSON texts ended by a NUL byte, read by the
browser from descriptor 3 and written to descriptor 4 (--remote-debugging-pipe),
so no WebSocket client is needed."""
import base64
import json
import os
import re
import shutil
import subprocess
import tempfile
import time

SKIP = 77  # ctest's skip code for a missing browser


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    """One headless browser with one page, ended by close()."""

    def __init__(self, executable, width=1280, height=800):
        self._profile = tempfile.mkdtemp(prefix="zvv-browser-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()

        def give_pipe():
            # Copies first: a pipe end may itself be 3 or 4, and dup2 onto
            # the same number would leave it closed on exec.
            read_end, write_end = os.dup(to_browser_read), os.dup(from_browser_write)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        args = [
            executable, "--headless=new", "--no-sandbox", "--disable-gpu",
            "--remote-debugging-pipe", f"--user-data-dir={self._profile}",
            f"--window-size={width},{height}", "--no-first-run", "--no-default-browser-check",
            "--disable-extensions", "--disable-background-networking", "--disable-sync",
            "--disable-component-update", "--hide-scrollbars", "--mute-audio",
            "--disable-dev-shm-usage",  # a container's /dev/shm may be small
            # Every name but the loopback address fails to resolve: the viewer
            # must work without the network.
            "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
            "about:blank",
        ]
        self._process = subprocess.Popen(args, preexec_fn=give_pipe, close_fds=False,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self._session = self.call("Target.attachToTarget",
                                  {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.send(f"{domain}.enable")

    def close(self):
        try:
            self.call("Browser.close", timeout=5)
        except Exception:  # the browser may already be gone
            pass
        try:
            self._process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        shutil.rmtree(self._profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("the browser did not answer in time")
            chunk = os.read(self._from_browser, 65536)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self._buffer += chunk
        text, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(text)

    def call(self, method, params=None, timeout=30, session=False):
        """Sends one command and returns its result; events seen meanwhile are kept."""
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = self._session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def send(self, method, params=None, timeout=30):
        """A command to the page."""
        return self.call(method, params, timeout, session=True)

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=20, what=None):
        """Evaluates `expression` until it is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while True:
            # Until the page is there, the expression may well throw.
            try:
                value = self.evaluate(expression)
                failure = None
            except RuntimeError as error:
                value, failure = None, error
            if value:
                return value
            if time.monotonic() > deadline:
                raise TimeoutError(f"waited {timeout} s for {what or expression}: {failure}")
            time.sleep(0.02)

    def navigate(self, url):
        self.send("Page.navigate", {"url": url})

    def key(self, key, code=None, text=None, key_code=0):
        """Presses and releases one key, as a keyboard would."""
        base = {"key": key, "code": code or key, "windowsVirtualKeyCode": key_code}
        down = dict(base, type="keyDown")
        if text is not None:
            down["text"] = text
        self.send("Input.dispatchKeyEvent", down)
        self.send("Input.dispatchKeyEvent", dict(base, type="keyUp"))

    def type_text(self, text):
        """Types `text` one key at a time."""
        for char in text:
            self.key(char, code="", text=char, key_code=ord(char.upper()) if char.isalnum() else 0)

    def screenshot(self, path):
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    def console_texts(self):
        texts = []
        for event in self.events:
            if event.get("method") == "Log.entryAdded":
                texts.append(event["params"]["entry"].get("text", ""))
            elif event.get("method") == "Runtime.exceptionThrown":
                texts.append(json.dumps(event["params"]["exceptionDetails"]))
        return texts

    def saw_event(self, method):
        return any(event.get("method") == method for event in self.events)


class ZvvServe:
    """zvv serve on a free port over `install_dir`, ended by close()."""

    def __init__(self, zvv, install_dir, registry):
        env = dict(os.environ, ZVV_REGISTRY_FILE=registry)
        self._process = subprocess.Popen(
            [zvv, "serve", "--no-ui", "--port", "0", "--install-dir", install_dir],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, env=env, text=True)
        banner = self._process.stdout.readline()
        match = re.search(r"http://127\.0\.0\.1:(\d+)/", banner)
        if not match:
            self.close()
            raise RuntimeError(f"zvv serve printed no address: {banner!r}")
        self.address = match.group(0)

    def close(self):
        self._process.terminate()
        try:
            self._process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
