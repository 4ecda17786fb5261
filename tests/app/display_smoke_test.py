"""The built program on a real X display: shows its window centred, closes on Esc, exits 0, writes nothing."""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from xvfb import Xvfb, clean_environment, snapshot, temporary_home  # noqa: E402


def main(binary):
    with Xvfb(1280, 1024) as x, temporary_home() as home:
        env = clean_environment(home)
        env["DISPLAY"] = x.display
        # Nothing listens on this port: start-up requests fail at once, as without a network.
        env["http_proxy"] = env["https_proxy"] = "http://127.0.0.1:9"
        workdir = os.path.join(home, "work")
        os.makedirs(workdir)
        # Fontconfig keeps its cache in the home; fill it before taking the snapshot.
        subprocess.run(["fc-list"], env=env, stdout=subprocess.DEVNULL, check=False)
        before = snapshot(home)
        program = subprocess.Popen([binary], env=env, cwd=workdir)
        try:
            found = x.run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tovrel v1.0$", timeout=30)
            assert found.returncode == 0, "no window titled Tovrel v1.0"
            window = found.stdout.split()[0]
            geometry = x.run("xdotool", "getwindowgeometry", window).stdout
            assert "Geometry: 621x531" in geometry, geometry
            assert "Position: 326,232" in geometry, geometry
            x.run("xdotool", "windowfocus", "--sync", window, timeout=10)
            time.sleep(0.2)
            x.run("xdotool", "key", "Escape", timeout=10)
            code = program.wait(timeout=15)
        finally:
            if program.poll() is None:
                program.kill()
        assert code == 0, f"exit code {code}"
        after = snapshot(home)
        changed = sorted(p for p in after if before.get(p) != after[p] and not p.startswith(env["XDG_RUNTIME_DIR"]))
        assert not changed, f"files written: {changed}"
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main(sys.argv[1])
