"""A private X server for tests that need a real display."""

import os
import subprocess
import tempfile
import time


class Xvfb:
    def __init__(self, width=1280, height=1024):
        self.width, self.height = width, height
        self.display = None
        self.process = None

    def __enter__(self):
        for number in range(90, 400):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            process = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", f"{self.width}x{self.height}x24", "-noreset", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and process.poll() is None:
                if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                    self.display, self.process = f":{number}", process
                    return self
                time.sleep(0.05)
            process.kill()
            process.wait()
        raise RuntimeError("no X display could be started")

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait(timeout=10)

    def run(self, *args, **kwargs):
        env = dict(os.environ, DISPLAY=self.display)
        return subprocess.run(list(args), env=env, capture_output=True, text=True, **kwargs)


def clean_environment(home):
    """The environment of a user whose home is `home`, with nothing pointing at proxies or the test host."""
    env = {k: v for k, v in os.environ.items()
           if not k.lower().endswith("_proxy") and not k.startswith(("QT_", "XDG_"))}
    runtime = os.path.join(home, ".runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env.update(HOME=home, XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8")
    return env


def snapshot(*folders):
    """Every file and folder below the given folders, with size and modification time."""
    seen = {}
    for folder in folders:
        for root, dirs, files in os.walk(folder):
            for name in dirs + files:
                path = os.path.join(root, name)
                st = os.lstat(path)
                seen[path] = (st.st_size, st.st_mtime_ns)
    return seen


def temporary_home():
    return tempfile.TemporaryDirectory(prefix="tovrel-home-")
