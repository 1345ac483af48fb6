"""Objects seen through IDispatch; members come from the object's ITypeInfo."""
import ctypes
from ctypes import POINTER, byref, c_int32, c_uint16, c_uint32, c_void_p

from . import _runtime as rt
from . import _variant as var

DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF = 1, 2, 4, 8
DISPID_PROPERTYPUT = -3
PARAMFLAG_FOUT, PARAMFLAG_FRETVAL = 2, 8
FUNCFLAG_FRESTRICTED, FUNCFLAG_FHIDDEN = 0x1, 0x40
_INVOKE_ARGS = [c_int32, POINTER(rt.GUID), c_uint32, c_uint16, POINTER(rt.DISPPARAMS), POINTER(rt.VARIANT),
                POINTER(rt.EXCEPINFO), POINTER(c_uint32)]


class Dispatch:
    """Holds one IDispatch reference, released when Python drops the wrapper."""

    def __init__(self, ptr):
        object.__setattr__(self, "_ptr", ptr)

    def __del__(self):
        ptr = self.__dict__.get("_ptr")
        if ptr:
            rt.release(ptr)
            self.__dict__["_ptr"] = None

    def __getattr__(self, name):
        if name.startswith("_"):
            raise AttributeError(name)
        return self._invoke(name, DISPATCH_PROPERTYGET, ())

    def __setattr__(self, name, value):
        if name.startswith("_"):
            raise AttributeError("cannot set %s on a component" % name)
        if name == "TickLabels" and isinstance(value, (list, tuple)):
            from ._picture import tick_labels
            value = tick_labels(value)
        flags = DISPATCH_PROPERTYPUTREF if isinstance(value, Dispatch) else DISPATCH_PROPERTYPUT
        self._invoke(name, flags, (value,))

    def __eq__(self, other):
        return isinstance(other, Dispatch) and _identity(self._ptr) == _identity(other._ptr)

    def __hash__(self):
        return hash(_identity(self._ptr))

    def _dispid(self, name):
        ids = c_int32()
        text = rt.olestr(name)
        names = (c_void_p * 1)(ctypes.cast(text, c_void_p))
        hr = rt.vcall(self._ptr, 5, c_int32, [POINTER(rt.GUID), c_void_p, c_uint32, c_uint32, POINTER(c_int32)],
                      byref(rt.IID_NULL), names, 1, rt.LOCALE_USER_DEFAULT, byref(ids))
        if hr == rt.DISP_E_UNKNOWNNAME:
            raise rt.UnknownNameError(hr, "no member named " + name)
        rt.check(hr)
        return ids.value

    def _invoke(self, name, flags, args, outs=()):
        """Invokes by name; outs are the positions (after args) of [out] arguments, whose values follow the result."""
        for a in args:
            var.check_value(a)
        dispid = self._dispid(name)
        count = len(args) + len(outs)
        argv = (rt.VARIANT * max(count, 1))()
        slots = (rt.VARIANT * max(len(outs), 1))()
        try:
            # rgvarg holds the arguments last first.
            for i, a in enumerate(args):
                var.fill(argv[count - 1 - i], a)
            for j, _ in enumerate(outs):
                cell = argv[count - 1 - len(args) - j]
                cell.vt, cell.ptr = var.VT_BYREF | var.VT_VARIANT, ctypes.addressof(slots[j])
            named = c_int32(DISPID_PROPERTYPUT)
            params = rt.DISPPARAMS(argv, None, count, 0)
            if flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF):
                params.rgdispidNamedArgs, params.cNamedArgs = ctypes.pointer(named), 1
            result, info, argerr = rt.VARIANT(), rt.EXCEPINFO(), c_uint32()
            hr = rt.vcall(self._ptr, 6, c_int32, _INVOKE_ARGS, dispid, byref(rt.IID_NULL), rt.LOCALE_USER_DEFAULT,
                          flags, byref(params), byref(result), byref(info), byref(argerr))
            if hr < 0:
                _raise(hr, info)
            try:
                value = var.read(result)
                if not outs:
                    return value
                extra = tuple(var.read(s) for s in slots[:len(outs)])
                return extra if value is None else (value,) + extra
            finally:
                rt._platform.VariantClear(byref(result))
        finally:
            for i in range(len(args)):
                rt._platform.VariantClear(byref(argv[count - 1 - i]))
            for s in slots:
                rt._platform.VariantClear(byref(s))


def _raise(hr, info):
    if hr != rt.DISP_E_EXCEPTION:
        raise rt.ComError(hr)
    if info.pfnDeferredFillIn:
        ctypes.CFUNCTYPE(c_int32, POINTER(rt.EXCEPINFO))(info.pfnDeferredFillIn)(byref(info))
    source, text = rt.bstr_take(info.bstrSource), rt.bstr_take(info.bstrDescription)
    rt.bstr_take(info.bstrHelpFile)
    raise rt.ComError(info.scode or hr, text, source)


def _identity(ptr):
    unk = rt.query_interface(ptr, rt.GUID(0, 0, 0, (ctypes.c_uint8 * 8)(0xC0, 0, 0, 0, 0, 0, 0, 0x46)))
    if unk:
        rt.release(unk)
    return unk


_classes = {}
# Python-side methods added to the classes made for these interfaces (by name).
extras = {}
# Type name -> mixin class put before the generated members (Python-side helpers of a type).
extensions = {}


def wrap(ptr):
    """Wraps an IDispatch pointer we own a reference to in the class made for its type."""
    return _class_for(ptr)(ptr)


def _class_for(ptr):
    info = c_void_p()
    if rt.vcall(ptr, 4, c_int32, [c_uint32, c_uint32, POINTER(c_void_p)], 0, rt.LOCALE_USER_DEFAULT,
                byref(info)) < 0 or not info:
        return Dispatch
    try:
        return _class_of_info(info.value)
    finally:
        rt.release(info.value)


def _type_attr(info):
    attr = POINTER(rt.TYPEATTR)()
    rt.check(rt.vcall(info, 3, c_int32, [POINTER(POINTER(rt.TYPEATTR))], byref(attr)))
    try:
        a = attr[0]
        return bytes(a.guid), a.cFuncs, a.cImplTypes
    finally:
        rt.vcall(info, 19, None, [POINTER(rt.TYPEATTR)], attr)


def _documentation(info, memid):
    name, doc = c_void_p(), c_void_p()
    if rt.vcall(info, 12, c_int32, [c_int32, POINTER(c_void_p), POINTER(c_void_p), c_void_p, c_void_p],
                memid, byref(name), byref(doc), None, None) < 0:
        return "", ""
    return rt.bstr_take(name.value), rt.bstr_take(doc.value)


def _members(info, members):
    """Collects name -> {invkind: (doc, [out] positions, other argument count)} over the type and its bases."""
    _, funcs, impls = _type_attr(info)
    for i in range(impls):
        ref, base = c_uint32(), c_void_p()
        if rt.vcall(info, 8, c_int32, [c_uint32, POINTER(c_uint32)], i, byref(ref)) < 0:
            continue
        if rt.vcall(info, 14, c_int32, [c_uint32, POINTER(c_void_p)], ref, byref(base)) >= 0 and base:
            try:
                _members(base.value, members)
            finally:
                rt.release(base.value)
    for i in range(funcs):
        desc = POINTER(rt.FUNCDESC)()
        if rt.vcall(info, 5, c_int32, [c_uint32, POINTER(POINTER(rt.FUNCDESC))], i, byref(desc)) < 0:
            continue
        try:
            f = desc[0]
            if f.wFuncFlags & (FUNCFLAG_FRESTRICTED | FUNCFLAG_FHIDDEN):
                continue
            params = [f.lprgelemdescParam[k].wParamFlags for k in range(f.cParams)]
            outs = tuple(k for k, p in enumerate(params) if p & PARAMFLAG_FOUT and not p & PARAMFLAG_FRETVAL)
            name, doc = _documentation(info, f.memid)
            members.setdefault(name, {})[f.invkind] = (doc, outs, len(params) - len(outs))
        finally:
            rt.vcall(info, 20, None, [POINTER(rt.FUNCDESC)], desc)


_IDISPATCH_NAMES = {"QueryInterface", "AddRef", "Release", "GetTypeInfoCount", "GetTypeInfo", "GetIDsOfNames",
                    "Invoke"}


def _property(name, doc, readable, writable):
    def get(self):
        return self._invoke(name, DISPATCH_PROPERTYGET, ())

    def put(self, value):
        Dispatch.__setattr__(self, name, value)

    return property(get if readable else None, put if writable else None, doc=doc or None)


def _method(name, doc, outs, flags=DISPATCH_METHOD):
    def call(self, *args):
        return self._invoke(name, flags, args, outs)

    call.__name__ = name
    call.__doc__ = (doc + "\n" if doc else "") + (
        "Returns the %d [out] values as a tuple." % len(outs) if outs else "")
    return call


def _class_of_info(info):
    guid, _, _ = _type_attr(info)
    cls = _classes.get(guid)
    if cls:
        return cls
    members = {}
    _members(info, members)
    namespace = {}
    for name, kinds in members.items():
        if name in _IDISPATCH_NAMES or not name:
            continue
        if 1 in kinds:
            namespace[name] = _method(name, kinds[1][0], kinds[1][1])
        elif 2 in kinds and kinds[2][2]:
            # A get with arguments (an indexed property) reads as a call: graph.Lines(0).
            namespace[name] = _method(name, kinds[2][0], (), DISPATCH_PROPERTYGET)
        elif 2 in kinds:
            doc = next(k[0] for k in kinds.values())
            namespace[name] = _property(name, doc, 2 in kinds, bool(set(kinds) & {4, 8}))
    type_name, type_doc = _documentation(info, -1)
    namespace.update(extras.get(type_name, {}))
    namespace["__doc__"] = type_doc or None
    cls = type(type_name or "Dispatch", (Dispatch,), namespace)
    if type_name in extensions:
        cls = type(type_name, (extensions[type_name], cls), {"__doc__": cls.__doc__})
    _classes[guid] = cls
    return cls
