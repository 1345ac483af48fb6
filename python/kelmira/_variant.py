"""Python values to VARIANTs and back."""
import ctypes
import datetime
import math

from . import _runtime as rt

VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R4, VT_R8, VT_CY, VT_DATE, VT_BSTR, VT_DISPATCH = range(10)
VT_ERROR, VT_BOOL, VT_VARIANT, VT_UNKNOWN = 10, 11, 12, 13
VT_I1, VT_UI1, VT_UI2, VT_UI4, VT_I8, VT_UI8, VT_INT, VT_UINT = range(16, 24)
VT_BYREF = 0x4000

_EPOCH = datetime.datetime(1899, 12, 30)
_DATE_MIN = datetime.datetime(100, 1, 1)
_INTS = {VT_I1: "cVal", VT_I2: "iVal", VT_I4: "lVal", VT_I8: "llVal", VT_INT: "lVal", VT_UI1: "bVal",
         VT_UI2: "uiVal", VT_UI4: "ulVal", VT_UI8: "ullVal", VT_UINT: "ulVal"}


def _to_date(value):
    if isinstance(value, datetime.datetime):
        if value.tzinfo is not None:
            raise TypeError("a date with a time zone has no OLE date; pass a naive datetime")
    else:
        value = datetime.datetime(value.year, value.month, value.day)
    if value < _DATE_MIN:
        raise TypeError("OLE dates start at 100-01-01")
    delta = value - _EPOCH
    days = delta.days
    frac = (delta.seconds + delta.microseconds / 1e6) / 86400.0
    # The fraction counts forward from the day even before the epoch (-1.25 is 12-29 06:00).
    return days - frac if days < 0 else days + frac


def _from_date(d):
    if math.isnan(d):
        raise ValueError("NaN date")
    whole = math.trunc(d)
    frac = abs(d - whole)
    return _EPOCH + datetime.timedelta(days=whole) + datetime.timedelta(microseconds=round(frac * 86400e6))


def check_value(value):
    """Raises TypeError for what fill() cannot convert, before anything is allocated."""
    if value is None or isinstance(value, (bool, float, str, datetime.date)):
        if isinstance(value, datetime.date):
            _to_date(value)
        return
    if isinstance(value, int):
        if not -2**63 <= value < 2**63:
            raise TypeError("integer %d does not fit 64 bits" % value)
        return
    from ._dispatch import Dispatch
    if not isinstance(value, Dispatch):
        raise TypeError("cannot pass a %s to a component" % type(value).__name__)


def fill(var, value):
    """Sets an initialised VARIANT to value; the VARIANT then owns what it holds (VariantClear frees)."""
    from ._dispatch import Dispatch
    if value is None:
        var.vt = VT_EMPTY
    elif isinstance(value, bool):
        var.vt, var.boolVal = VT_BOOL, -1 if value else 0
    elif isinstance(value, int):
        if -2**31 <= value < 2**31:
            var.vt, var.lVal = VT_I4, value
        else:
            var.vt, var.llVal = VT_I8, value
    elif isinstance(value, float):
        var.vt, var.dblVal = VT_R8, value
    elif isinstance(value, str):
        var.ptr = rt.bstr_alloc(value)
        var.vt = VT_BSTR
    elif isinstance(value, datetime.date):
        var.vt, var.dblVal = VT_DATE, _to_date(value)
    elif isinstance(value, Dispatch):
        rt.add_ref(value._ptr)
        var.vt, var.ptr = VT_DISPATCH, value._ptr
    else:
        raise TypeError("cannot pass a %s to a component" % type(value).__name__)


def read(var):
    """The Python value of a VARIANT (references followed); the VARIANT keeps what it owns."""
    from ._dispatch import wrap
    vt = var.vt
    if vt == VT_BYREF | VT_VARIANT:
        return read(ctypes.cast(var.ptr, ctypes.POINTER(rt.VARIANT))[0])
    if vt in (VT_EMPTY, VT_NULL):
        return None
    if vt in _INTS:
        return getattr(var, _INTS[vt])
    if vt == VT_R8:
        return var.dblVal
    if vt == VT_R4:
        return var.fltVal
    if vt == VT_BOOL:
        return var.boolVal != 0
    if vt == VT_BSTR:
        return rt.bstr_text(var.ptr)
    if vt == VT_DATE:
        return _from_date(var.dblVal)
    if vt == VT_CY:
        return var.llVal / 10000.0
    if vt == VT_ERROR:
        return None
    if vt in (VT_DISPATCH, VT_UNKNOWN):
        if not var.ptr:
            return None
        disp = rt.query_interface(var.ptr, rt.IID_IDispatch)
        if disp is None:
            raise TypeError("the component returned an object without IDispatch")
        return wrap(disp)
    raise TypeError("unsupported VARIANT type 0x%04X" % vt)
