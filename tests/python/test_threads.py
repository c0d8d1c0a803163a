"""The compiled loops release the interpreter's lock: another Python thread
makes progress while a long call runs."""

import threading
import time

import numpy as np

import triex

# A unit of pure-Python work: it needs the interpreter's lock throughout and
# lasts a fixed wall time, however busy the machine is.
UNIT_SECONDS = 0.002
UNITS = 50
# The long call lasts about this long, twenty times the 0.1 s of the units. Were the
# lock held, the main thread would get at most one switch interval (5 ms,
# two or three units) before the call and none during it.
CALL_SECONDS = 2.0


def python_work_unit():
    start = time.perf_counter()
    while time.perf_counter() - start < UNIT_SECONDS:
        pass


def long_call_arguments():
    # The quadrature of a prolate 10:1 takes some 40 us per shape; measured
    # here so that the call lasts about CALL_SECONDS on any machine.
    sample = 200
    start = time.perf_counter()
    triex.ured(np.full(sample, 10.0), 1.0, 1.0, method="quadrature", threads=1)
    per_shape = (time.perf_counter() - start) / sample
    count = int(CALL_SECONDS / per_shape)
    return np.full(count, 10.0), 1.0, 1.0


def test_another_thread_runs_during_a_long_call():
    a, b, c = long_call_arguments()
    finished = threading.Event()

    def long_call():
        triex.ured(a, b, c, method="quadrature", threads=1)
        finished.set()

    worker = threading.Thread(target=long_call)
    worker.start()
    units = 0
    while units < UNITS and not finished.is_set():
        python_work_unit()
        units += 1
    finished_before_the_units = finished.is_set()
    worker.join()
    assert units == UNITS and not finished_before_the_units, (
        f"{units} units of Python work done before the call of {len(a)} shapes returned")
