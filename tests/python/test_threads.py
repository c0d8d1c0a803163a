"""The compiled loops release the interpreter's lock: another Python thread
makes progress while any long call of the package runs."""

import threading
import time

import numpy as np
import pytest

import triex

# A unit of pure-Python work: it needs the interpreter's lock throughout and
# lasts a fixed wall time, however busy the machine is.
UNIT_SECONDS = 0.002
UNITS = 25
# The long call lasts about this long, twenty times the 0.05 s of the units.
# Were the lock held, the main thread would get at most one switch interval
# (5 ms, two or three units) before the call and none during it; so eight
# units done while the call runs show the lock released, with room for a
# machine so busy that the call runs ten times quicker than measured.
CALL_SECONDS = 1.0
UNITS_THAT_SHOW_THE_LOCK_RELEASED = 8


def python_work_unit():
    start = time.perf_counter()
    while time.perf_counter() - start < UNIT_SECONDS:
        pass


def many(count, value):
    # A broadcast view: no memory for the input, however long the call.
    return np.broadcast_to(np.float64(value), (count,))


# Every call of the package that can run long, as a function of its size.
LONG_CALLS = {
    "ured": lambda n: triex.ured(many(n, 3.0), 2.0, 1.0, threads=1),
    "ured_quadrature": lambda n: triex.ured(many(n, 10.0), 1.0, 1.0, method="quadrature", threads=1),
    "ured_ratios": lambda n: triex.ured_ratios(many(n, 3.0), 2.0, threads=1),
    "quadrature_ratios": lambda n: triex.quadrature_ratios(many(n, 10.0), 1.0, threads=1),
    "shape_functions": lambda n: triex.shape_functions(many(n, 3.0), 2.0, 1.0),
    "mixture_excluded_volume": lambda n: triex.mixture_excluded_volume(
        np.broadcast_to([3.0, 2.0, 1.0], (n, 3)), (1.0, 1.0, 1.0)),
    "swollen_specific_volume": lambda n: triex.swollen_specific_volume(many(n, 0.73), 0.3, 1.0),
    "virial": lambda n: triex.virial(a_over_b=many(n, 3.0), b_over_c=1.0, vs=0.75, molar_mass=1e4),
    "ured_from_virial": lambda n: triex.ured_from_virial(B=many(n, 1e-3), vs=0.75, molar_mass=1e4),
    "solve": lambda n: triex.solve(12.5, points=max(n, 2)),
}


def size_for(call):
    # Measured here, so that the call lasts about CALL_SECONDS on any machine:
    # the quickest of three samples, the least slowed by other work (a sample
    # slowed tenfold would make the call too short to test anything).
    sample = 2000
    seconds = []
    for _ in range(3):
        start = time.perf_counter()
        call(sample)
        seconds.append(time.perf_counter() - start)
    return int(CALL_SECONDS * sample / min(seconds))


@pytest.mark.parametrize("name", LONG_CALLS)
def test_another_thread_runs_during_a_long_call(name):
    call = LONG_CALLS[name]
    size = size_for(call)
    finished = threading.Event()

    def long_call():
        call(size)
        finished.set()

    worker = threading.Thread(target=long_call)
    worker.start()
    units = 0
    while units < UNITS and not finished.is_set():
        python_work_unit()
        units += 1
    worker.join()
    assert units >= UNITS_THAT_SHOW_THE_LOCK_RELEASED, (
        f"{units} units of Python work done before the call of size {size} returned")
