"""Pictures of a graph, zooms, and tick label lists, through the platform's and the module's C functions."""
import ctypes
import os
from ctypes import POINTER, byref, c_char_p, c_double, c_int, c_int32, c_uint32, c_void_p

from . import _runtime as rt
from . import _variant as var

WS_POPUP, WS_VISIBLE, PM_REMOVE = 0x80000000, 0x10000000, 1
_MAX_SIDE = 16384


def _declare(lib, sigs):
    for name, (res, args) in sigs.items():
        fn = getattr(lib, name)
        fn.restype, fn.argtypes = res, args
    return lib


_win = _declare(ctypes.CDLL(rt.PLATFORM_PATH), {
    "CreateWindowExA": (c_void_p, [c_uint32, c_char_p, c_char_p, c_uint32, c_int, c_int, c_int, c_int, c_void_p,
                                   c_void_p, c_void_p, c_void_p]),
    "DestroyWindow": (c_int, [c_void_p]),
    "AtlAxAttachControl": (c_int32, [c_void_p, c_void_p, c_void_p]),
    "UpdateWindow": (c_int, [c_void_p]),
    "PeekMessageA": (c_int, [c_void_p, c_void_p, c_uint32, c_uint32, c_uint32]),
    "DispatchMessageA": (ctypes.c_ssize_t, [c_void_p]),
    "KelmiraSaveWindowPng": (c_int32, [c_void_p, c_char_p]),
})
_loaded = []


def _module():
    # Loaded on first use, as create() does: importing the package needs only the platform.
    if not _loaded:
        _loaded.append(_declare(ctypes.CDLL(rt.MODULE_PATH), {
            "KelmiraZoomByFactor": (c_int32, [c_void_p, c_double, POINTER(c_double), POINTER(c_double)]),
            "KelmiraCreateTickLabelList": (c_int32, [POINTER(c_void_p)]),
        }))
    return _loaded[0]


def _side(value, what):
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError("%s must be an int, not %s" % (what, type(value).__name__))
    if not 1 <= value <= _MAX_SIDE:
        raise ValueError("%s must be 1 .. %d pixels, not %d" % (what, _MAX_SIDE, value))
    return value


def save_png(graph, path, width, height):
    """Writes the graph as it shows in a window of width x height pixels to a PNG file."""
    from ._dispatch import Dispatch
    if not isinstance(graph, Dispatch):
        raise TypeError("save_png needs a graph object, not a %s" % type(graph).__name__)
    name = os.fsencode(path)
    if b"\0" in name:
        raise ValueError("the path holds a NUL character")
    _side(width, "width"), _side(height, "height")
    host = _win.CreateWindowExA(0, b"AtlAxWin", None, WS_POPUP | WS_VISIBLE, 0, 0, width, height, None, None, None,
                                None)
    if not host:
        raise rt.ComError(-2147467259, "cannot create a %dx%d window" % (width, height))
    try:
        rt.check(_win.AtlAxAttachControl(graph._ptr, host, None))
        graph.Redraw()
        _win.UpdateWindow(host)
        msg = ctypes.create_string_buffer(64)  # MSG is 48 bytes here
        for _ in range(10000):
            if not _win.PeekMessageA(msg, None, 0, 0, PM_REMOVE):
                break
            _win.DispatchMessageA(msg)
        hr = _win.KelmiraSaveWindowPng(host, name)
        if hr < 0:
            raise rt.ComError(hr, "cannot write " + os.fsdecode(name))
    finally:
        # Destroying the host deactivates the graph and lets it go; it can be hosted again.
        _win.DestroyWindow(host)


def zoom(container, factor, x=None, y=None):
    """Zooms a GraphicsContainer as its mouse gestures do (factor 2 shows half); raises its events."""
    from ._dispatch import Dispatch
    if not isinstance(container, Dispatch):
        raise TypeError("zoom needs a GraphicsContainer, not a %s" % type(container).__name__)
    if (x is None) != (y is None):
        raise ValueError("give both x and y, or neither")
    centre = (None, None) if x is None else (byref(c_double(x)), byref(c_double(y)))
    rt.check(_module().KelmiraZoomByFactor(container._ptr, float(factor), *centre))


_ADD_LABEL = 9  # ITickLabelList::AddLabel(VARIANT, LONG*), after IDispatch and LabelAt, SetLabel


def tick_labels(values):
    """A tick label list holding values in order (None: an empty entry, which the axis skips)."""
    from ._dispatch import wrap
    values = list(values)
    for v in values:
        var.check_value(v)
    ptr = c_void_p()
    rt.check(_module().KelmiraCreateTickLabelList(byref(ptr)))
    labels = wrap(ptr.value)
    index = c_int32()
    for v in values:
        cell = rt.VARIANT()
        var.fill(cell, v)
        try:
            rt.check(rt.vcall(labels._ptr, _ADD_LABEL, c_int32, [rt.VARIANT, POINTER(c_int32)], cell, byref(index)))
        finally:
            rt._platform.VariantClear(byref(cell))
    return labels
