"""Loads the platform and the module, declares the C layouts, calls through vtables."""
import ctypes
import os
from ctypes import (CFUNCTYPE, POINTER, Structure, Union, c_double, c_float, c_int16, c_int32, c_int64, c_uint16,
                    c_uint32, c_void_p, byref)

S_OK = 0
CO_E_CLASSSTRING = -2147221005
REGDB_E_CLASSNOTREG = -2147221164
DISP_E_EXCEPTION = -2147352567
DISP_E_UNKNOWNNAME = -2147352570
CLSCTX_INPROC_SERVER = 1
LOCALE_USER_DEFAULT = 0x400


class ComError(Exception):
    """A failed call: .hresult is the code, .text the description the object gave (if any)."""

    __module__ = "kelmira"

    def __init__(self, hresult, text="", source=""):
        self.hresult = hresult
        self.text = text
        self.source = source
        detail = ": ".join(s for s in (source, text) if s)
        super().__init__("HRESULT 0x%08X%s" % (hresult & 0xFFFFFFFF, " (%s)" % detail if detail else ""))


class UnknownNameError(ComError, AttributeError):
    """GetIDsOfNames did not know the name; an AttributeError too, so hasattr() works."""

    __module__ = "kelmira"


class GUID(Structure):
    _fields_ = [("Data1", c_uint32), ("Data2", c_uint16), ("Data3", c_uint16), ("Data4", ctypes.c_uint8 * 8)]


class _VariantValue(Union):
    _fields_ = [("llVal", c_int64), ("lVal", c_int32), ("iVal", c_int16), ("fltVal", c_float),
                ("dblVal", c_double), ("boolVal", c_int16), ("ptr", c_void_p), ("ulVal", c_uint32),
                ("ullVal", ctypes.c_uint64), ("bVal", ctypes.c_uint8), ("cVal", ctypes.c_int8),
                ("uiVal", c_uint16), ("pair", c_void_p * 2)]


class VARIANT(Structure):
    _anonymous_ = ("u",)
    _fields_ = [("vt", c_uint16), ("r1", c_uint16), ("r2", c_uint16), ("r3", c_uint16), ("u", _VariantValue)]


class DISPPARAMS(Structure):
    _fields_ = [("rgvarg", POINTER(VARIANT)), ("rgdispidNamedArgs", POINTER(c_int32)),
                ("cArgs", c_uint32), ("cNamedArgs", c_uint32)]


class EXCEPINFO(Structure):
    _fields_ = [("wCode", c_uint16), ("wReserved", c_uint16), ("bstrSource", c_void_p),
                ("bstrDescription", c_void_p), ("bstrHelpFile", c_void_p), ("dwHelpContext", c_uint32),
                ("pvReserved", c_void_p), ("pfnDeferredFillIn", c_void_p), ("scode", c_int32)]


class TYPEDESC(Structure):
    _fields_ = [("lptdesc", c_void_p), ("vt", c_uint16)]


class PARAMDESC(Structure):
    _fields_ = [("pparamdescex", c_void_p), ("wParamFlags", c_uint16)]


class ELEMDESC(Structure):
    _anonymous_ = ("paramdesc",)
    _fields_ = [("tdesc", TYPEDESC), ("paramdesc", PARAMDESC)]


class TYPEATTR(Structure):
    _fields_ = [("guid", GUID), ("lcid", c_uint32), ("dwReserved", c_uint32), ("memidConstructor", c_int32),
                ("memidDestructor", c_int32), ("lpstrSchema", c_void_p), ("cbSizeInstance", c_uint32),
                ("typekind", c_int32), ("cFuncs", c_uint16), ("cVars", c_uint16), ("cImplTypes", c_uint16),
                ("cbSizeVft", c_uint16), ("cbAlignment", c_uint16), ("wTypeFlags", c_uint16),
                ("wMajorVerNum", c_uint16), ("wMinorVerNum", c_uint16), ("tdescAlias", TYPEDESC),
                ("idldescType", PARAMDESC)]  # IDLDESC has the same layout


class FUNCDESC(Structure):
    _fields_ = [("memid", c_int32), ("lprgscode", c_void_p), ("lprgelemdescParam", POINTER(ELEMDESC)),
                ("funckind", c_int32), ("invkind", c_int32), ("callconv", c_int32), ("cParams", c_int16),
                ("cParamsOpt", c_int16), ("oVft", c_int16), ("cScodes", c_int16), ("elemdescFunc", ELEMDESC),
                ("wFuncFlags", c_uint16)]


assert ctypes.sizeof(VARIANT) == 24 and ctypes.sizeof(ELEMDESC) == 32


def vcall(obj, index, restype, argtypes, *args):
    """Calls slot `index` of the interface pointer obj's vtable (no calling-convention games here)."""
    vtbl = ctypes.cast(obj, POINTER(POINTER(c_void_p)))[0]
    return CFUNCTYPE(restype, c_void_p, *argtypes)(vtbl[index])(obj, *args)


def check(hr):
    if hr < 0:
        raise ComError(hr)
    return hr


def add_ref(obj):
    vcall(obj, 1, c_uint32, [])


def release(obj):
    vcall(obj, 2, c_uint32, [])


def query_interface(obj, iid):
    out = c_void_p()
    hr = vcall(obj, 0, c_int32, [POINTER(GUID), POINTER(c_void_p)], byref(iid), byref(out))
    return out.value if hr == S_OK else None


def bstr_text(b):
    if not b:
        return ""
    n = _platform.SysStringLen(b)
    return ctypes.string_at(b, n * 2).decode("utf-16-le", "surrogatepass")


def bstr_take(b):
    """Text of a BSTR handed to us, which we then free."""
    try:
        return bstr_text(b)
    finally:
        _platform.SysFreeString(b)


def bstr_alloc(text):
    raw = text.encode("utf-16-le", "surrogatepass")
    b = _platform.SysAllocStringLen(raw, len(raw) // 2)
    if not b and raw:
        raise MemoryError("SysAllocStringLen")
    return b


def _repo_root():
    return os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def _find_module():
    path = os.environ.get("KELMIRA_MODULE_PATH")
    if path:
        return path
    try:
        from . import _install  # only in an installed copy
    except ImportError:
        _install = None
    if _install and not os.environ.get("KELMIRA_BUILD_DIR"):
        return os.path.join(os.path.dirname(os.path.abspath(__file__)), _install.LIBDIR, "libkelmira.so.1")
    build = os.environ.get("KELMIRA_BUILD_DIR") or os.path.join(_repo_root(), "build", "debug")
    return os.path.join(build, "src", "module", "libkelmira.so")


def _find_platform(module):
    path = os.environ.get("KELMIRA_PLATFORM_PATH")
    if path:
        return path
    here = os.path.dirname(module)
    for candidate in (os.path.join(here, "..", "platform", "libkelmira-platform.so"),
                      os.path.join(here, "libkelmira-platform.so"), os.path.join(here, "libkelmira-platform.so.1")):
        if os.path.exists(candidate):
            return os.path.normpath(candidate)
    return "libkelmira-platform.so.1"


def _declare(lib):
    sigs = {
        "CoInitialize": (c_int32, [c_void_p]),
        "CoCreateInstance": (c_int32, [POINTER(GUID), c_void_p, c_uint32, POINTER(GUID), POINTER(c_void_p)]),
        "CLSIDFromString": (c_int32, [ctypes.c_char_p, POINTER(GUID)]),
        "SysAllocStringLen": (c_void_p, [ctypes.c_char_p, c_uint32]),
        "SysFreeString": (None, [c_void_p]),
        "SysStringLen": (c_uint32, [c_void_p]),
        "VariantInit": (None, [POINTER(VARIANT)]),
        "VariantClear": (c_int32, [POINTER(VARIANT)]),
        "KelmiraRegistryReload": (None, []),
    }
    for name, (res, args) in sigs.items():
        fn = getattr(lib, name)
        fn.restype, fn.argtypes = res, args


MODULE_PATH = os.path.abspath(_find_module())
PLATFORM_PATH = _find_platform(MODULE_PATH)
# Global, so the module the platform dlopens later binds to this very copy.
_platform = ctypes.CDLL(PLATFORM_PATH, mode=ctypes.RTLD_GLOBAL)
_declare(_platform)


def olestr(text):
    """A NUL-terminated UTF-16 buffer: OLECHAR is 16-bit while ctypes' wchar_t is 32-bit here."""
    return ctypes.create_string_buffer(text.encode("utf-16-le", "surrogatepass") + b"\0\0")


_platform.CoInitialize(None)
IID_NULL = GUID()
IID_IDispatch = GUID(0x00020400, 0, 0, (ctypes.c_uint8 * 8)(0xC0, 0, 0, 0, 0, 0, 0, 0x46))
