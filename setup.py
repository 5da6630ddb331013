"""Builds ladwb._engine with the project's CMake (the same core, engine and workbench libraries
as lad and the window) and puts it into the package. LADWB_BUILD_DIR names the CMake build
folder (default: build-python beside this file), so that a second install only rebuilds what
changed; LADWB_JOBS the parallel jobs (default: the CPU count)."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build_dir = Path(os.environ.get("LADWB_BUILD_DIR", ROOT / "build-python"))
        build_dir.mkdir(parents=True, exist_ok=True)
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        subprocess.run(
            ["cmake", "-S", str(ROOT), "-B", str(build_dir), *generator,
             "-DCMAKE_BUILD_TYPE=Release", "-DLAD_BUILD_PYTHON=ON", "-DLAD_BUILD_APP=OFF",
             "-DLAD_BUILD_TESTS=OFF", "-DLAD_BUILD_BENCH=OFF", "-DLAD_BUILD_MPI=OFF",
             f"-DPython3_EXECUTABLE={sys.executable}"],
            check=True,
        )
        jobs = os.environ.get("LADWB_JOBS", str(os.cpu_count() or 1))
        subprocess.run(
            ["cmake", "--build", str(build_dir), "--target", "_engine", "--parallel", jobs],
            check=True,
        )
        built = next((build_dir / "python").glob("_engine*" + Path(self.get_ext_filename("x")).suffix))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    packages=["ladwb"],
    package_dir={"": "python"},
    ext_modules=[Extension("ladwb._engine", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": str(ROOT / "build-python" / "setuptools")}},
)
