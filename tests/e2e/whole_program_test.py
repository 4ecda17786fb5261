"""The built program on a real X display, driven from outside as a person would: xdotool clicks and keys,
xclip for the clipboard. Run twice: once with its requests routed to the local test server through the
environment's proxy and a system CA bundle that trusts the test CA, once with no route to any server.

    whole_program_test.py TOVREL [CA_CACHE]
"""

import base64
import json
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib
from contextlib import ExitStack

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from xvfb import Xvfb, clean_environment, temporary_home  # noqa: E402

SCREEN = (1280, 1024)
MAIN_SIZE = (621, 531)
ABOUT_SIZE = (380, 252)
SYSTEM_BUNDLE = "/etc/ssl/certs/ca-certificates.crt"

# Places from the main window's definition; a control in a group box is placed relative to the box.
PLACES = {
    "分组框1": (None, 8, 80, 208, 448),
    "分组框2": ("分组框1", 8, 32, 192, 88),
    "分组框4": (None, 216, 80, 208, 344),
    "分组框5": ("分组框4", 8, 32, 192, 88),
    "分组框8": (None, 216, 424, 208, 104),
    "分组框11": (None, 424, 352, 192, 176),
    "分组框12": (None, 424, 72, 192, 272),
    "选择框3": ("分组框2", 16, 56, 80, 24),
    "选择框24": ("分组框5", 16, 56, 80, 24),
    "日志编辑框": ("分组框8", 8, 24, 192, 72),
    "粘贴按钮": ("分组框12", 8, 32, 176, 32),
    "缩短按钮": ("分组框12", 8, 80, 176, 32),
    "复制按钮": ("分组框12", 8, 128, 176, 32),
    "生成按钮": ("分组框12", 8, 176, 176, 32),
    "导出按钮": ("分组框12", 8, 224, 176, 32),
    "更新按钮": ("分组框11", 8, 96, 176, 32),
    "关于按钮": ("分组框11", 8, 136, 176, 32),
}
ABOUT_CLOSE_MARK = (360, 20)

LONG_ADDRESS = "https://www.example.org/文档/search?q=a&b=短#part-2" + "/x" * 40
SHORT_LINK = "http://dzw.cc/E2eK7q"
DEFAULT_QR_TEXT = "https://www.tovrel.net/"
DOWNLOAD_PAGE = "https://pan.tovfile.com/b0djjxmsf"
QR_PATH = "/user/a/wvideo/getQRCode.do"
HOSTS = ["dzw.cc", "pan.tovfile.com", "qr.tovrel.net"]

results = {"passed": 0, "failed": 0}


def check(what, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    print(("ok    " if ok else "FAIL  ") + what + ("" if ok or not detail else "\n      " + str(detail)))
    return ok


class Fatal(Exception):
    """A step the rest of the run depends on did not happen."""


def wait_until(what, probe, timeout=10, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Fatal(f"timed out waiting for {what}")
        time.sleep(interval)


def percent_encode(text):
    """The program's query encoding: every byte of the GBK form but the unreserved ones."""
    keep = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~"
    return "".join(chr(b) if b in keep else "%%%02X" % b for b in text.encode("gbk"))


def png(width, height, pixel):
    """A greyscale PNG, pixel(x, y) giving each byte."""
    rows = b"".join(b"\0" + bytes(pixel(x, y) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def zbar(path):
    found = subprocess.run(["zbarimg", "--raw", "-q", path], capture_output=True, timeout=30)
    return found.stdout.decode("utf-8", "replace").strip()


class TestServer:
    """tests/support/test_server.py, driven over its pipes."""

    def __init__(self, cache):
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "..", "support", "test_server.py"), cache, *HOSTS],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        started = json.loads(self.process.stdout.readline() or "{}")
        if "http" not in started:
            raise Fatal("the test server did not start")
        self.http, self.ca = started["http"], started["ca"]

    def command(self, **message):
        self.process.stdin.write(json.dumps(message) + "\n")
        self.process.stdin.flush()
        reply = json.loads(self.process.stdout.readline())
        if "error" in reply:
            raise Fatal(f"the test server refused {message}: {reply}")
        return reply

    def answer(self, key, body, content_type="text/plain"):
        self.command(op="answer", key=key, response={
            "status": 200, "reason": "OK", "headers": [["Content-Type", content_type]],
            "body": base64.b64encode(body).decode()})

    def requests(self):
        return [base64.b64decode(r["head"]).decode("latin-1") for r in self.command(op="requests")["requests"]]

    def close(self):
        self.process.stdin.close()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class Desktop:
    """The X display with the program's windows, seen and touched only from outside."""

    def __init__(self, x, stack):
        self.x, self.stack = x, stack
        self.main = None
        self.origin = (0, 0)

    def run(self, *args, timeout=10):
        try:
            done = self.x.run(*args, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Fatal(f"{args[0]} {args[1]} took over {timeout} s") from None
        return done

    def xdotool(self, *args, timeout=10):
        done = self.run("xdotool", *args, timeout=timeout)
        if done.returncode != 0:
            raise Fatal(f"xdotool {' '.join(args)} failed: {done.stderr.strip()}")
        return done.stdout

    def wait_window(self, title, timeout=10):
        """The visible window whose title is exactly `title`."""
        return self.xdotool("search", "--sync", "--onlyvisible", "--name", f"^{title}$", timeout=timeout).split()[0]

    def windows(self):
        return set(self.run("xdotool", "search", "--onlyvisible", "--name", ".*").stdout.split())

    def window_gone(self, window):
        return window not in self.windows()

    def geometry(self, window):
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", window).split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def attach(self, window):
        self.main = window
        self.origin = self.geometry(window)[:2]

    def place(self, name):
        parent, x, y, width, height = PLACES[name]
        while parent is not None:
            parent, px, py, _, _ = PLACES[parent]
            x, y = x + px, y + py
        return x, y, width, height

    def click(self, name):
        x, y, width, height = self.place(name)
        # A check box toggles when its box is hit; a button anywhere on it.
        spot = (x + 8, y + height // 2) if name.startswith("选择框") else (x + width // 2, y + height // 2)
        self.click_at(self.origin[0] + spot[0], self.origin[1] + spot[1])

    def click_at(self, x, y):
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", "1")

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", window)
        focused = self.xdotool("getwindowfocus").strip()
        if focused != window:
            raise Fatal(f"focus went to {focused}, not {window}")

    def key_to(self, window, key):
        """A key pressed while `window` has the keyboard focus."""
        self.focus(window)
        self.xdotool("key", "--clearmodifiers", key)

    def answer_box(self, title, key):
        """Closes the message box titled `title` with a key, making sure the key reaches the box. Its words
        cannot be read from outside; the log line written after it has closed shows them."""
        box = self.wait_window(title)
        for _ in range(3):
            self.key_to(box, key)
            try:
                wait_until(f"box {title} to close", lambda: self.window_gone(box), timeout=3)
                return
            except Fatal:
                pass
        raise Fatal(f"box {title} did not close on {key}")

    def set_clipboard(self, text):
        owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-quiet"], stdin=subprocess.PIPE,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 env=dict(os.environ, DISPLAY=self.x.display))
        self.stack.callback(stop, owner)
        owner.stdin.write(text.encode())
        owner.stdin.close()
        wait_until("xclip to own the clipboard", lambda: self.read_clipboard() == text)

    def read_clipboard(self):
        done = self.run("xclip", "-o", "-selection", "clipboard")
        return done.stdout if done.returncode == 0 else None

    def new_clipboard(self, before):
        """The clipboard's text once it is no longer `before`."""
        def changed():
            now = self.read_clipboard()
            return now if now not in (None, before) else None
        return wait_until("new clipboard text", changed)

    def read_log(self):
        before = self.read_clipboard()
        self.click("日志编辑框")
        self.key_to(self.main, "ctrl+a")
        self.xdotool("key", "--clearmodifiers", "ctrl+c")
        return self.new_clipboard(before)

    def close_main(self, program):
        """Esc on the main window; tried again only while the program still runs."""
        for _ in range(3):
            self.key_to(self.main, "Escape")
            try:
                return program.wait(timeout=3)
            except subprocess.TimeoutExpired:
                pass
        raise Fatal("the program did not close on Esc")


def stop(process):
    if process.poll() is None:
        process.kill()
    process.wait()


def prepare_user(home, display):
    """A user's home with a desktop folder and an xdg-open that only records what it was asked to open."""
    env = clean_environment(home)
    env["DISPLAY"] = display
    desktop = os.path.join(home, "Desktop")
    os.makedirs(desktop)
    tools = os.path.join(home, "bin")
    os.makedirs(tools)
    opened = os.path.join(home, "opened.txt")
    with open(os.path.join(tools, "xdg-open"), "w") as script:
        script.write(f"#!/bin/sh\nprintf '%s\\n' \"$*\" >> '{opened}'\n")
    os.chmod(os.path.join(tools, "xdg-open"), 0o755)
    env["PATH"] = tools + ":" + env.get("PATH", "/usr/bin:/bin")
    workdir = os.path.join(home, "work")
    os.makedirs(workdir)
    return env, desktop, opened, workdir


def unshare(*options):
    # Without root a user namespace brings the right to mount and to make a network namespace.
    return ["unshare", *([] if os.geteuid() == 0 else ["--map-root-user"]), *options, "--"]


def start(command, env, workdir, desktop, stack):
    started = time.monotonic()
    program = subprocess.Popen(command, env=env, cwd=workdir)
    stack.callback(stop, program)
    window = desktop.wait_window("Tovrel v1.0", timeout=30)
    shown = time.monotonic() - started
    desktop.attach(window)
    return program, window, shown


def exported_files(folder):
    return wait_until("the exported file", lambda: [n for n in os.listdir(folder) if n.endswith("短地址.jpg")])


def routed_run(x, binary, cache):
    """The journey of a user whose system routes through a proxy: requests reach the local test server."""
    print("-- through the proxy to the local test server")
    with temporary_home() as home, ExitStack() as stack:
        desktop = Desktop(x, stack)
        server = TestServer(cache)
        stack.callback(server.close)
        served_qr = png(175, 175, lambda px, py: 0 if (px // 25 + py // 25) % 2 else 255)
        server.answer("pan.tovfile.com/tovrel/version.txt", b"2.0")
        server.answer("dzw.cc/api.asp", SHORT_LINK.encode())
        server.answer("qr.tovrel.net" + QR_PATH + "?text=" + percent_encode(SHORT_LINK), served_qr, "image/png")

        env, folder, opened, workdir = prepare_user(home, x.display)
        env["http_proxy"] = env["https_proxy"] = f"http://127.0.0.1:{server.http}"
        # The system's bundle with the test CA added, seen only by the program through a private mount.
        bundle = os.path.join(home, "ca-certificates.crt")
        with open(bundle, "wb") as out:
            for part in (SYSTEM_BUNDLE, server.ca):
                with open(part, "rb") as source:
                    out.write(source.read().rstrip(b"\n") + b"\n")
        command = unshare("--mount", "--propagation", "private") + [
            "sh", "-c", 'mount --bind "$1" "$2" && exec "$3"', "sh", bundle, SYSTEM_BUNDLE, binary]
        program, main, shown = start(command, env, workdir, desktop, stack)
        print(f"      window shown after {shown:.2f} s")
        check("main window 621x531, centred", desktop.geometry(main) == (326, 232, *MAIN_SIZE),
              desktop.geometry(main))

        desktop.set_clipboard(LONG_ADDRESS)
        desktop.click("粘贴按钮")
        desktop.click("选择框3")
        desktop.click("缩短按钮")
        desktop.click("复制按钮")
        short = desktop.new_clipboard(LONG_ADDRESS)
        check("copied short link read back with xclip", short == SHORT_LINK, repr(short))

        desktop.click("选择框24")
        desktop.click("生成按钮")
        desktop.click("导出按钮")
        names = exported_files(folder)

        desktop.click("更新按钮")
        desktop.answer_box("信息：", "Escape")

        before = desktop.windows()
        desktop.click("关于按钮")
        about = wait_until("the About window", lambda: desktop.windows() - before)
        check("one new window for About", len(about) == 1, about)
        about = about.pop()
        place = desktop.geometry(about)
        centred = ((SCREEN[0] - ABOUT_SIZE[0]) // 2, (SCREEN[1] - ABOUT_SIZE[1]) // 2, *ABOUT_SIZE)
        check("About window 380x252, centred", place == centred, place)
        desktop.click_at(place[0] + ABOUT_CLOSE_MARK[0], place[1] + ABOUT_CLOSE_MARK[1])
        check("About window gone after its close mark",
              bool(wait_until("the About window to close", lambda: desktop.window_gone(about))))

        log = desktop.read_log()
        code = desktop.close_main(program)
        check("exit code 0 after Esc", code == 0, code)

        expected_log = "\n".join([LONG_ADDRESS, "缩短", SHORT_LINK, "已复制短连接",
                                  f"已将网址{SHORT_LINK}生成二维码", "已将二维码导出到桌面"])
        check("log read back through the clipboard", log == expected_log, repr(log))

        check("one exported file", len(names) == 1, names)
        path = os.path.join(folder, names[0])
        with open(path, "rb") as exported:
            data = exported.read()
        check("exported picture is the served one, byte for byte", data == served_qr,
              f"{len(data)} bytes, decodes to {zbar(path)!r}")

        heads = server.requests()
        seen = [(h.split("\r\n", 1)[0], host_of(h)) for h in heads]
        service = f"GET http://dzw.cc/api.asp?url={percent_encode(LONG_ADDRESS)} HTTP/1.0"
        connect_pan = "CONNECT pan.tovfile.com:443 HTTP/1.1"
        connect_qr = "CONNECT qr.tovrel.net:443 HTTP/1.1"
        expected = [
            (connect_pan, "pan.tovfile.com:443"),
            ("GET /tovrel/version.txt HTTP/1.0", "pan.tovfile.com"),
            (connect_qr, "qr.tovrel.net:443"),
            (f"GET {QR_PATH}?text={percent_encode(DEFAULT_QR_TEXT)} HTTP/1.0", "qr.tovrel.net"),
            (service, "dzw.cc"),
            (service, "dzw.cc"),
            (connect_qr, "qr.tovrel.net:443"),
            (f"GET {QR_PATH}?text={percent_encode(SHORT_LINK)} HTTP/1.0", "qr.tovrel.net"),
        ]
        check("requests the server saw, through the proxy", seen == expected,
              "\n      ".join(f"{a!r} {b}" for a, b in seen))
        check("Pragma: no-cache on the proxied service request",
              all("\r\nPragma: no-cache\r\n" in h for h in heads if h.startswith("GET http://")))
        check("answering No opened nothing", not os.path.exists(opened))


def host_of(head):
    for line in head.split("\r\n")[1:]:
        name, _, value = line.partition(":")
        if name.lower() == "host":
            return value.strip()
    return None


def unrouted_run(x, binary):
    """No network at all: the window still comes up at once and every command reports its failure."""
    print("-- with no route to any server")
    with temporary_home() as home, ExitStack() as stack:
        desktop = Desktop(x, stack)
        env, folder, opened, workdir = prepare_user(home, x.display)
        program, main, shown = start(unshare("--net") + [binary], env, workdir, desktop, stack)
        print(f"      window shown after {shown:.2f} s")
        check("window shown within 10 s without a network", shown < 10, f"{shown:.2f} s")

        desktop.click("导出按钮")
        names = exported_files(folder)

        desktop.set_clipboard(LONG_ADDRESS)
        desktop.click("粘贴按钮")
        desktop.click("选择框3")
        desktop.click("缩短按钮")
        desktop.answer_box("错误", "Return")
        desktop.click("选择框24")
        desktop.click("生成按钮")
        desktop.answer_box("错误", "Return")
        desktop.click("更新按钮")
        # Yes this time: the recording xdg-open proves that the No of the other run would have been seen.
        desktop.answer_box("信息：", "Return")
        opened_pages = wait_until("the download page to be opened", lambda: os.path.exists(opened)
                                  and open(opened).read())

        log = desktop.read_log()
        code = desktop.close_main(program)
        check("exit code 0 after Esc", code == 0, code)
        expected_log = "\n".join(["欢迎使用Tovrel！", "已将二维码导出到桌面", "已粘贴长链接",
                                  "缩短失败！原因可能是接口失效", "生成二维码失败！原因可能是短连接接口失效"])
        check("failures in the log read back through the clipboard", log == expected_log, repr(log))
        check("Yes opened the download page", opened_pages == DOWNLOAD_PAGE + "\n", repr(opened_pages))
        check("one exported file", len(names) == 1, names)
        decoded = zbar(os.path.join(folder, names[0]))
        check("the default QR code, made locally, exported", decoded == DEFAULT_QR_TEXT, repr(decoded))


def main():
    # ctest's timeout ends the test by SIGTERM: clean up as on any failure.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    binary = os.path.abspath(sys.argv[1])
    with ExitStack() as stack:
        cache = sys.argv[2] if len(sys.argv) > 2 else stack.enter_context(tempfile.TemporaryDirectory())
        x = stack.enter_context(Xvfb(*SCREEN))
        for run in (lambda: routed_run(x, binary, cache), lambda: unrouted_run(x, binary)):
            try:
                run()
            except Exception as error:  # a failed step ends its run, never the other run or the clean-up
                check("the run went through", False, f"{type(error).__name__}: {error}")
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 0 if results["failed"] == 0 and results["passed"] > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
