"""pip install --no-build-isolation .  builds the Python package triex.

The compiled module triex._core is built by this project's CMake build (the
target triex_python) for the interpreter that runs pip, and copied into the
wheel beside the pure-Python files of python/triex. Everything comes from
Debian packages (pybind11-dev, python3-dev, python3-numpy, python3-setuptools,
python3-wheel and the C++ build's own); nothing is downloaded, hence
--no-build-isolation. `make install` installs the same package without pip.
"""

import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = pathlib.Path(__file__).resolve().parent
# The version lives in one place, the project() line of CMakeLists.txt.
VERSION = re.search(r"project\(triex VERSION (\S+)", (SOURCE / "CMakeLists.txt").read_text()).group(1)


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(SOURCE), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                        "-DBUILD_TESTING=OFF", f"-DPython3_EXECUTABLE={sys.executable}"], check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "triex_python", "-j", "2"], check=True)
        built = sorted((build / "python" / "triex").glob("_core*.so"))
        if not built:
            raise RuntimeError(f"the module was not built for {sys.executable}: see the CMake output above")
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built[0], target)


setup(
    name="triex",
    version=VERSION,
    description="Excluded volume and second virial coefficient of rigid triaxial ellipsoids",
    packages=["triex"],
    package_dir={"": "python"},
    ext_modules=[CMakeExtension("triex._core")],
    cmdclass={"build_ext": CMakeBuild},
    install_requires=["numpy"],
    extras_require={"plot": ["matplotlib"]},
    python_requires=">=3.9",
    # Not build/, which is the Makefile's CMake build directory.
    options={"build": {"build_base": "build-pip"}},
)
