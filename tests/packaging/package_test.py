"""Builds the Debian package with CPack and checks what it installs and what it pulls in."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile


def main(build_dir):
    out = tempfile.mkdtemp(prefix="tovrel-deb-")
    try:
        subprocess.run(["cpack", "-G", "DEB", "-B", out], cwd=build_dir, check=True, stdout=subprocess.DEVNULL)
        debs = glob.glob(os.path.join(out, "tovrel_*.deb"))
        assert len(debs) == 1, debs
        deb = debs[0]
        contents = subprocess.run(["dpkg-deb", "-c", deb], check=True, capture_output=True, text=True).stdout
        for path in ["./usr/bin/tovrel", "./usr/share/applications/tovrel.desktop",
                     "./usr/share/icons/hicolor/48x48/apps/tovrel.png",
                     "./usr/share/icons/hicolor/256x256/apps/tovrel.png"]:
            assert path in contents, f"{path} missing from the package:\n{contents}"
        depends = subprocess.run(["dpkg-deb", "-f", deb, "Depends"], check=True, capture_output=True,
                                 text=True).stdout
        for package in ["libqt6widgets6", "libqt6gui6", "libqt6core6", "libcurl4", "libpng16-16",
                        "libjpeg62-turbo", "libqrencode4", "qt6-qpa-plugins", "fonts-noto-cjk"]:
            assert package in depends, f"{package} not among the dependencies: {depends}"
        assert "libasan" not in depends, depends
        if shutil.which("desktop-file-validate"):
            subprocess.run(["desktop-file-validate", os.path.join(os.path.dirname(__file__), "..", "..",
                                                                  "packaging", "tovrel.desktop")], check=True)
        # apt must be able to resolve everything the package asks for.
        simulated = subprocess.run(["apt-get", "install", "--simulate", "-qq", deb], capture_output=True, text=True)
        assert simulated.returncode == 0, simulated.stderr + simulated.stdout
    finally:
        shutil.rmtree(out, ignore_errors=True)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main(sys.argv[1])
