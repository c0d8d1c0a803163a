"""Shared fixtures of the Python tests, and the exit status that tells ctest
a file was skipped.

ctest runs each test file on its own with Debian's /usr/bin/python3 and
PYTHONPATH at the build tree's package. A file in which some test was
skipped (SciPy or Matplotlib missing) and none failed exits with status 77,
which ctest reports as skipped, so a skip never counts as a pass; pytest's
-rs summary gives the reason.
"""

import pathlib

import pytest

SKIPPED_STATUS = 77

SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]


def pytest_sessionfinish(session, exitstatus):
    reporter = session.config.pluginmanager.get_plugin("terminalreporter")
    if exitstatus == 0 and reporter is not None and reporter.stats.get("skipped"):
        session.exitstatus = SKIPPED_STATUS


@pytest.fixture(scope="session")
def source_dir():
    return SOURCE_DIR
