"""Component events delivered to a Python object's methods, through a sink made of ctypes callbacks."""
import ctypes
import sys
from ctypes import CFUNCTYPE, POINTER, Structure, byref, c_int32, c_uint16, c_uint32, c_void_p

from . import _runtime as rt
from . import _variant as var

E_NOINTERFACE = -2147467262
E_NOTIMPL = -2147467263
E_POINTER = -2147467261
IMPLTYPEFLAG_FDEFAULT, IMPLTYPEFLAG_FSOURCE = 1, 2
IID_IUnknown = rt.GUID(0, 0, 0, (ctypes.c_uint8 * 8)(0xC0, 0, 0, 0, 0, 0, 0, 0x46))
IID_IProvideClassInfo = rt.GUID(0xB196B283, 0xBAB4, 0x101A, (ctypes.c_uint8 * 8)(0xB6, 0x9C, 0, 0xAA, 0, 0x34, 0x1D, 7))
IID_IConnectionPointContainer = rt.GUID(0xB196B284, 0xBAB4, 0x101A,
                                        (ctypes.c_uint8 * 8)(0xB6, 0x9C, 0, 0xAA, 0, 0x34, 0x1D, 7))


class _SinkObject(Structure):
    _fields_ = [("vtbl", c_void_p)]


class _Sink:
    """One sink: the C object the component holds, its names and the handler; lives while referenced from C."""

    def __init__(self, iid, names, handler):
        self.obj = _SinkObject(ctypes.addressof(_VTABLE))
        self.iid, self.names, self.handler = bytes(iid), names, handler
        self.refs = 0


# Sinks by the address the component sees; an entry goes when the component's last reference does.
_sinks = {}


def _sink_of(this):
    return _sinks.get(this)


def _report():
    # A handler's failure must not cross into C: shown as an uncaught exception would be.
    try:
        sys.excepthook(*sys.exc_info())
    except BaseException:
        pass


def _guarded(fail):
    def wrap(fn):
        def call(*args):
            try:
                return fn(*args)
            except BaseException:
                _report()
                return fail
        return call
    return wrap


@_guarded(E_NOINTERFACE)
def _query_interface(this, riid, ppv):
    if not ppv:
        return E_POINTER
    sink = _sink_of(this)
    iid = bytes(riid[0]) if riid else b""
    if sink is None or iid not in (bytes(IID_IUnknown), bytes(rt.IID_IDispatch), sink.iid):
        ppv[0] = None
        return E_NOINTERFACE
    sink.refs += 1
    ppv[0] = this
    return rt.S_OK


@_guarded(1)
def _add_ref(this):
    sink = _sink_of(this)
    sink.refs += 1
    return sink.refs


@_guarded(0)
def _release(this):
    sink = _sink_of(this)
    sink.refs -= 1
    if sink.refs == 0:
        del _sinks[this]
    return sink.refs


@_guarded(E_NOTIMPL)
def _type_info_count(this, count):
    if count:
        count[0] = 0
    return rt.S_OK


@_guarded(E_NOTIMPL)
def _not_implemented(*args):
    return E_NOTIMPL


@_guarded(rt.S_OK)
def _invoke(this, dispid, riid, lcid, flags, params, result, excep, argerr):
    sink = _sink_of(this)
    name = sink.names.get(dispid) if sink else None
    method = getattr(sink.handler, name, None) if name else None
    if method is None:
        return rt.S_OK
    args = []
    if params:
        p = params[0]
        # DISPPARAMS holds the last argument first.
        args = [var.read(p.rgvarg[i]) for i in reversed(range(p.cArgs))]
    method(*args)
    return rt.S_OK


_INVOKE = CFUNCTYPE(c_int32, c_void_p, c_int32, POINTER(rt.GUID), c_uint32, c_uint16, POINTER(rt.DISPPARAMS),
                    POINTER(rt.VARIANT), POINTER(rt.EXCEPINFO), POINTER(c_uint32))
_CALLBACKS = (
    CFUNCTYPE(c_int32, c_void_p, POINTER(rt.GUID), POINTER(c_void_p))(_query_interface),
    CFUNCTYPE(c_uint32, c_void_p)(_add_ref),
    CFUNCTYPE(c_uint32, c_void_p)(_release),
    CFUNCTYPE(c_int32, c_void_p, POINTER(c_uint32))(_type_info_count),
    CFUNCTYPE(c_int32, c_void_p, c_uint32, c_uint32, c_void_p)(_not_implemented),
    CFUNCTYPE(c_int32, c_void_p, c_void_p, c_void_p, c_uint32, c_uint32, c_void_p)(_not_implemented),
    _INVOKE(_invoke),
)
# Two words before the entries, as a C++ vtable has: the offset to the object's top and its type
# information. Builds with -fsanitize=vptr check both behind every interface pointer they call, so
# they are borrowed from a module object (a tick label list: an IDispatch at offset 0), once.
_VTABLE_WORDS = (c_void_p * 9)(0, 0, *[ctypes.cast(f, c_void_p) for f in _CALLBACKS])
_VTABLE = (c_void_p * 7).from_buffer(_VTABLE_WORDS, 2 * ctypes.sizeof(c_void_p))
_typed = []


def _borrow_type_info():
    from ._picture import _module, tick_labels
    if _typed:
        return
    labels = tick_labels([])
    vtbl = ctypes.cast(ctypes.cast(labels._ptr, POINTER(c_void_p))[0], c_void_p).value
    prefix = (c_void_p * 2).from_address(vtbl - 2 * ctypes.sizeof(c_void_p))
    if not prefix[0]:
        _VTABLE_WORDS[1] = prefix[1]
    _typed.append(_module())  # a handle of our own keeps the module, and so that information, loaded
# Components may release a sink while the interpreter shuts down: the vtable, its callbacks and the
# sinks are never freed.
for _kept in (_CALLBACKS, _VTABLE_WORDS, _VTABLE, _sinks, _typed):
    ctypes.pythonapi.Py_IncRef(ctypes.py_object(_kept))


def _impl_type(info, i):
    ref, out, flags = c_uint32(), c_void_p(), c_int32()
    rt.check(rt.vcall(info, 8, c_int32, [c_uint32, POINTER(c_uint32)], i, byref(ref)))
    rt.check(rt.vcall(info, 9, c_int32, [c_uint32, POINTER(c_int32)], i, byref(flags)))
    rt.check(rt.vcall(info, 14, c_int32, [c_uint32, POINTER(c_void_p)], ref, byref(out)))
    return out.value, flags.value


def _event_info(ptr, interface):
    """The ITypeInfo (a reference) of the source interface named, or of the default one."""
    from ._dispatch import _documentation, _type_attr
    provider = rt.query_interface(ptr, IID_IProvideClassInfo)
    if not provider:
        raise TypeError("the object tells no class information, so it has no events to connect to")
    coclass = c_void_p()
    try:
        rt.check(rt.vcall(provider, 3, c_int32, [POINTER(c_void_p)], byref(coclass)))
    finally:
        rt.release(provider)
    try:
        for i in range(_type_attr(coclass.value)[2]):
            info, flags = _impl_type(coclass.value, i)
            name = _documentation(info, -1)[0]
            wanted = (interface == name) if interface else flags & IMPLTYPEFLAG_FDEFAULT
            if flags & IMPLTYPEFLAG_FSOURCE and wanted:
                return info
            rt.release(info)
    finally:
        rt.release(coclass.value)
    raise ValueError("the object has no event interface %s" % (interface or "by default"))


def _event_names(info):
    from ._dispatch import _documentation, _type_attr
    names = {}
    for i in range(_type_attr(info)[1]):
        desc = POINTER(rt.FUNCDESC)()
        if rt.vcall(info, 5, c_int32, [c_uint32, POINTER(POINTER(rt.FUNCDESC))], i, byref(desc)) < 0:
            continue
        try:
            memid = desc[0].memid
        finally:
            rt.vcall(info, 20, None, [POINTER(rt.FUNCDESC)], desc)
        names[memid] = _documentation(info, memid)[0]
    return names


class Connection:
    """An advised sink; disconnect() (or leaving a with block) stops the calls. It keeps the object alive."""

    def __init__(self, point, cookie, sink, interface):
        self._point, self._cookie, self._sink, self.interface = point, cookie, sink, interface

    def disconnect(self):
        point, self._point = self._point, None
        if point:
            try:
                rt.check(rt.vcall(point, 6, c_int32, [c_uint32], self._cookie))
            finally:
                rt.release(point)

    @property
    def connected(self):
        return self._point is not None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.disconnect()

    def __del__(self):
        # Dropping the connection keeps the calls coming (as long as the object lives).
        point, self._point = getattr(self, "_point", None), None
        if point:
            rt.release(point)


def connect(obj, handler, interface=None):
    """Calls handler.<EventName>(*args) for the object's events (its default event interface, or the one named)."""
    from ._dispatch import Dispatch, _type_attr
    if not isinstance(obj, Dispatch):
        raise TypeError("connect() needs a component object, not a %s" % type(obj).__name__)
    if interface is not None and not isinstance(interface, str):
        raise TypeError("interface must be a name such as 'IGraphicsEvents'")
    info = _event_info(obj._ptr, interface)
    try:
        iid = _type_attr(info)[0]
        names = _event_names(info)
        from ._dispatch import _documentation
        name = _documentation(info, -1)[0]
    finally:
        rt.release(info)
    container = rt.query_interface(obj._ptr, IID_IConnectionPointContainer)
    if not container:
        raise TypeError("the object has no connection points")
    point = c_void_p()
    try:
        guid = rt.GUID.from_buffer_copy(iid)
        rt.check(rt.vcall(container, 4, c_int32, [POINTER(rt.GUID), POINTER(c_void_p)], byref(guid), byref(point)))
    finally:
        rt.release(container)
    _borrow_type_info()
    sink = _Sink(iid, names, handler)
    this = ctypes.addressof(sink.obj)
    _sinks[this] = sink
    sink.refs = 1  # ours, for the duration of Advise
    cookie = c_uint32()
    try:
        hr = rt.vcall(point.value, 5, c_int32, [c_void_p, POINTER(c_uint32)], this, byref(cookie))
    finally:
        _release(this)
    if hr < 0:
        rt.release(point.value)
        raise rt.ComError(hr, "cannot connect to " + name)
    return Connection(point.value, cookie.value, sink, name)
