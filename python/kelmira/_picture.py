"""Pictures of a graph, zooms, and tick label lists, through the platform's and the module's C functions."""
import contextlib
import ctypes
import os
from ctypes import POINTER, byref, c_char_p, c_double, c_int, c_int32, c_uint32, c_void_p

from . import _runtime as rt
from . import _variant as var

WS_POPUP, WS_VISIBLE, PM_REMOVE = 0x80000000, 0x10000000, 1
WM_GETFONT, WM_CTLCOLORSTATIC, GW_HWNDNEXT, GW_CHILD, DEFAULT_GUI_FONT = 0x31, 0x138, 2, 5, 17
DT_CENTER, DT_VCENTER, DT_SINGLELINE, DT_EXPANDTABS, DVASPECT_CONTENT = 1, 4, 0x20, 0x40, 1
_OLE_TAIL = (ctypes.c_uint8 * 8)(0xC0, 0, 0, 0, 0, 0, 0, 0x46)
IID_IViewObject, IID_IOleWindow = rt.GUID(0x10D, 0, 0, _OLE_TAIL), rt.GUID(0x114, 0, 0, _OLE_TAIL)
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
    "KelmiraCreateRecordingDC": (c_void_p, [c_int, c_int]),
    "KelmiraSaveRecording": (c_int32, [c_void_p, c_char_p, c_char_p, c_double, c_double]),
    "DeleteDC": (c_int, [c_void_p]),
    "DeleteObject": (c_int, [c_void_p]),
    "CreateSolidBrush": (c_void_p, [c_uint32]),
    "FillRect": (c_int, [c_void_p, c_void_p, c_void_p]),
    "SaveDC": (c_int, [c_void_p]),
    "RestoreDC": (c_int, [c_void_p, c_int]),
    "IntersectClipRect": (c_int, [c_void_p, c_int, c_int, c_int, c_int]),
    "SelectObject": (c_void_p, [c_void_p, c_void_p]),
    "GetStockObject": (c_void_p, [c_int]),
    "DrawTextA": (c_int, [c_void_p, c_char_p, c_int, c_void_p, c_uint32]),
    "GetWindow": (c_void_p, [c_void_p, c_uint32]),
    "GetClassNameA": (c_int, [c_void_p, c_char_p, c_int]),
    "GetWindowTextA": (c_int, [c_void_p, c_char_p, c_int]),
    "GetWindowTextLengthA": (c_int, [c_void_p]),
    "SendMessageA": (c_void_p, [c_void_p, c_uint32, c_void_p, c_void_p]),
    "IsWindowVisible": (c_int, [c_void_p]),
    "GetClientRect": (c_int, [c_void_p, c_void_p]),
    "MapWindowPoints": (c_int, [c_void_p, c_void_p, c_void_p, c_uint32]),
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


@contextlib.contextmanager
def _hosted(graph, path, width, height):
    """The graph in a headless window of that size, painted; yields the window and the path's bytes."""
    from ._dispatch import Dispatch
    if not isinstance(graph, Dispatch):
        raise TypeError("a picture needs a graph object, not a %s" % type(graph).__name__)
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
        yield host, name
    finally:
        # Destroying the host deactivates the graph and lets it go; it can be hosted again.
        _win.DestroyWindow(host)


def _saved(hr, name):
    if hr < 0:
        raise rt.ComError(hr, "cannot write " + os.fsdecode(name))


def save_png(graph, path, width, height):
    """Writes the graph as it shows in a window of width x height pixels to a PNG file."""
    with _hosted(graph, path, width, height) as (host, name):
        _saved(_win.KelmiraSaveWindowPng(host, name), name)


def save_svg(graph, path, width, height):
    """Writes the graph, as save_png would show it, as lines and text to an SVG file (0.75 pt a pixel)."""
    _save_vector(graph, path, width, height, b"svg")


def save_pdf(graph, path, width, height):
    """As save_svg, as a one-page PDF file."""
    _save_vector(graph, path, width, height, b"pdf")


class RECT(ctypes.Structure):
    _fields_ = [("left", c_int32), ("top", c_int32), ("right", c_int32), ("bottom", c_int32)]


def _place(window, host):
    """The window's rectangle in the host, or None when it is hidden."""
    place = RECT()
    if not window or not _win.IsWindowVisible(window) or not _win.GetClientRect(window, byref(place)):
        return None
    _win.MapWindowPoints(window, host, byref(place), 2)
    return place


def _title_window(graph_window):
    name = ctypes.create_string_buffer(16)
    child = _win.GetWindow(graph_window, GW_CHILD)
    while child:
        if _win.GetClassNameA(child, name, 16) > 0 and name.value.lower() == b"static":
            return child
        child = _win.GetWindow(child, GW_HWNDNEXT)
    return None


def _draw_title(graph_window, host, dc):
    # As the title window paints itself: one centred line in its font and the graph's colours.
    title = _title_window(graph_window)
    place = _place(title, host) if title else None
    length = _win.GetWindowTextLengthA(title) if place else 0
    if length <= 0:
        return
    text = ctypes.create_string_buffer(length + 1)
    n = _win.GetWindowTextA(title, text, length + 1)
    saved = _win.SaveDC(dc)
    _win.IntersectClipRect(dc, place.left, place.top, place.right, place.bottom)
    brush = _win.SendMessageA(graph_window, WM_CTLCOLORSTATIC, dc, title)
    if brush:
        _win.FillRect(dc, byref(place), brush)
    font = _win.SendMessageA(title, WM_GETFONT, 0, 0)
    _win.SelectObject(dc, font or _win.GetStockObject(DEFAULT_GUI_FONT))
    _win.DrawTextA(dc, text, n, byref(place), DT_EXPANDTABS | DT_CENTER | DT_SINGLELINE | DT_VCENTER)
    _win.RestoreDC(dc, saved)


def _draw_part(part, window, host, dc):
    place = _place(window, host)
    if place is None:
        return
    view = rt.query_interface(part._ptr, IID_IViewObject)
    if not view:
        raise rt.ComError(-2147467262, "a part of the graph cannot draw itself")
    try:
        rt.check(rt.vcall(view, 3, c_int32, [c_uint32, c_int32, c_void_p, c_void_p, c_void_p, c_void_p,
                                             POINTER(RECT), c_void_p, c_void_p, c_void_p],
                          DVASPECT_CONTENT, -1, None, None, None, dc, byref(place), None, None, None))
    finally:
        rt.release(view)


def _save_vector(graph, path, width, height, kind):
    # The graph's own drawing is a placeholder, as for any composite control: the picture is put
    # together from its parts at their windows' places, as the plot tool does.
    with _hosted(graph, path, width, height) as (host, name):
        ole, graph_window = rt.query_interface(graph._ptr, IID_IOleWindow), c_void_p()
        if not ole:
            raise TypeError("only a graph control can be drawn")
        try:
            rt.check(rt.vcall(ole, 3, c_int32, [POINTER(c_void_p)], byref(graph_window)))
        finally:
            rt.release(ole)
        container = graph.GraphicsContainer
        parts = [(container, container.hwnd)] + [(a, a.Window) for a in (graph.XAxis, graph.YAxis, graph.RightYAxis)]
        dc = _win.KelmiraCreateRecordingDC(width, height)
        if not dc:
            raise rt.ComError(-2147024882, "cannot record a %dx%d picture" % (width, height))
        try:
            brush = _win.CreateSolidBrush(graph.BackColor & 0xFFFFFFFF)
            if brush:
                _win.FillRect(dc, byref(RECT(0, 0, width, height)), brush)
                _win.DeleteObject(brush)
            _draw_title(graph_window.value, host, dc)
            # The container composes its picture for the window's device context: anew for this one.
            container.Redraw()
            try:
                for part, window in parts:
                    _draw_part(part, window, host, dc)
            finally:
                container.Redraw()
            _saved(_win.KelmiraSaveRecording(dc, name, kind, 0.0, 0.0), name)
        finally:
            _win.DeleteDC(dc)


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
