"""Kelmira components from Python, through IDispatch and run-time type information.

    import kelmira
    graph = kelmira.create("Kelmira.LineGraph")
    graph.Title = "Pressure"

Finding the libraries: the module is $KELMIRA_MODULE_PATH, else src/module/libkelmira.so under
$KELMIRA_BUILD_DIR, else (an installed copy) in the library directory the install recorded in
_install.py, else under build/debug of the source tree this package sits in. The platform
is $KELMIRA_PLATFORM_PATH, else libkelmira-platform.so in ../platform beside the module (build
tree) or beside it (installed), else the system's libkelmira-platform.so.1.

Start-up: CoInitialize is called once on import; the registry file is the platform's usual one
($KELMIRA_REGISTRY, else $XDG_CONFIG_HOME/kelmira/registry). When create() cannot resolve a class
because nothing is registered, the module's DllRegisterServer is called once, as kelmira-regsvr
would, so the registry then names this module; creation is retried.

Values: int (VT_I4, or VT_I8 beyond 32 bits), float, bool, str, None (VT_EMPTY), wrapped objects
and datetime/date (VT_DATE) go in; other types or integers beyond 64 bits raise TypeError before
any call. Failed calls raise ComError with .hresult (the object's own code when it reported one
through EXCEPINFO) and .text. Methods with [out] arguments return their values as a tuple.

Events: connect(obj, handler) calls handler.OnViewChanged() etc. for the object's default event
interface (or interface="IAxisEvents"); missing methods are skipped, a handler's exception is
printed. Pictures: graph.save_png(path, width, height), save_svg and save_pdf alike.
zoom(container, factor) zooms as the mouse does. A list assigned to an axis's TickLabels becomes
a tick label list. Line data: data.y, .x and .mask are arrays over the object's own memory (see
_data).
"""
import ctypes
from ctypes import byref, c_void_p

from . import _data  # noqa: F401 (adds the array views to ILineData wrappers)
from . import _runtime as rt
from . import _dispatch
from ._dispatch import Dispatch, wrap
from ._data import ResizeError
from ._events import Connection, connect
from ._picture import save_pdf, save_png, save_svg, tick_labels, zoom
from ._runtime import MODULE_PATH, PLATFORM_PATH, ComError, UnknownNameError

__all__ = ["create", "ComError", "UnknownNameError", "Dispatch", "MODULE_PATH", "PLATFORM_PATH", "ResizeError",
           "connect", "Connection", "save_png", "save_svg", "save_pdf", "zoom", "tick_labels"]
_dispatch.extras["ILineGraph"] = {"save_png": save_png, "save_svg": save_svg, "save_pdf": save_pdf}

_registered = False


def _clsid(name):
    clsid = rt.GUID()
    hr = rt._platform.CLSIDFromString(rt.olestr(name), byref(clsid))
    return hr, clsid


def _register_module():
    global _registered
    _registered = True
    module = ctypes.CDLL(MODULE_PATH)
    module.DllRegisterServer.restype = ctypes.c_int32
    rt.check(module.DllRegisterServer())


def create(name):
    """Creates a class by ProgID or "{CLSID}" and returns its IDispatch wrapped."""
    hr, clsid = _clsid(name)
    if hr == rt.CO_E_CLASSSTRING and not _registered and not name.startswith("{"):
        _register_module()
        hr, clsid = _clsid(name)
    if hr < 0:
        raise ComError(hr, "unknown class " + name)
    ptr = c_void_p()
    hr = rt._platform.CoCreateInstance(byref(clsid), None, rt.CLSCTX_INPROC_SERVER, byref(rt.IID_IDispatch),
                                       byref(ptr))
    if hr == rt.REGDB_E_CLASSNOTREG and not _registered:
        _register_module()
        hr = rt._platform.CoCreateInstance(byref(clsid), None, rt.CLSCTX_INPROC_SERVER, byref(rt.IID_IDispatch),
                                           byref(ptr))
    if hr < 0:
        raise ComError(hr, "cannot create " + name)
    return wrap(ptr.value)
