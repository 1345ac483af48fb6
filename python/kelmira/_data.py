"""LineData arrays seen in place: NumPy arrays (or memoryviews) over the data object's memory.

    data = line.Data
    data.set_y([1.0, 4.0, 9.0])      # resizes to 3 points; any iterable of numbers
    y = data.y                       # float32 view; y[1] = 5 writes the point itself
    data.x, data.mask                # float32 or float64 (UseDoubleForXData), uint8

Views: `data.y`, `data.x` and `data.mask` are NumPy arrays when NumPy can be imported, else
memoryviews; either keeps the data object alive. The object frees and reallocates its arrays
when Size, UseXData or UseDoubleForXData change, so a view is valid until such a change. The
wrapper keeps count of the views it handed out (arrays sliced or reshaped from them count too,
since they hold the first one) and refuses such a put while any of them is alive, as bytearray
refuses a resize while exported: ResizeError (a BufferError and a ValueError) is raised and
nothing changes. Drop the views (`del y`) and retry. A put to the current value changes nothing
and is allowed. Only puts made through Python wrappers are seen: a resize made by C++ code in the
process (the host, or a component the object was handed to) while Python holds views leaves
those views pointing at freed memory, and using them then is undefined; take fresh views after
handing the object to code that may resize it.

set_y/set_x/set_mask copy from any iterable of numbers, resizing to its length (set_x turns
UseXData on). A non-number raises TypeError naming its position; a mask byte outside 0..255
raises ValueError. NumPy arrays of numbers are copied in bulk.
"""
import gc
import numbers
import weakref
from ctypes import POINTER, byref, c_double, c_float, c_int32, c_uint8, c_void_p

from . import _dispatch
from . import _runtime as rt

try:
    import numpy
except ImportError:
    numpy = None

IID_ILineData = rt.GUID(0xE15EAE25, 0x9330, 0x49F3, (c_uint8 * 8)(0xB2, 0x32, 0xB6, 0x13, 0x96, 0x15, 0x3A, 0x5E))
# Vtable slots after IDispatch's seven, in the interface's declaration order.
_GET_DATA_PTR, _GET_DATA_PTR_X, _GET_MASK_PTR, _DATA_PTR_X_DOUBLE = 23, 24, 26, 34
# Which arrays a put reallocates.
_REALLOCATES = {"size": ("y", "x", "mask"), "usexdata": ("x",), "usedoubleforxdata": ("x",)}

# Identity of the data object -> [(kind, weak reference to the buffer a view was made over)].
_views = {}


class ResizeError(BufferError, ValueError):
    """A put would free arrays that views handed out to Python still point at."""

    __module__ = "kelmira"


def _live(ident, kinds):
    entries = [(k, r) for k, r in _views.get(ident, ()) if r() is not None]
    if entries:
        _views[ident] = entries
    else:
        _views.pop(ident, None)
    return sum(1 for k, _ in entries if k in kinds)


class LineDataArrays:
    """Mixed into the wrapper class of ILineData."""

    def _invoke(self, name, flags, args, outs=()):
        kinds = _REALLOCATES.get(name.lower())
        if kinds and flags & (_dispatch.DISPATCH_PROPERTYPUT | _dispatch.DISPATCH_PROPERTYPUTREF):
            self._check_free(name, kinds, args)
        return super()._invoke(name, flags, args, outs)

    def __setattr__(self, name, value):
        setter = {"y": self.set_y, "x": self.set_x, "mask": self.set_mask}.get(name)
        if setter:
            return setter(value)
        return super().__setattr__(name, value)

    def _check_free(self, name, kinds, args):
        if len(args) != 1:
            return
        current = _dispatch.Dispatch._invoke(self, name, _dispatch.DISPATCH_PROPERTYGET, ())
        new = args[0]
        if name.lower() == "size" and isinstance(new, numbers.Integral) and int(new) == current:
            return
        if name.lower() != "size" and isinstance(new, (bool, numbers.Integral)) and bool(new) == bool(current):
            return
        ident = _dispatch._identity(self._ptr)
        if _live(ident, kinds):
            gc.collect()  # views caught in reference cycles
            count = _live(ident, kinds)
            if count:
                raise ResizeError("%d view(s) of this data's arrays are alive; a %s put would free the memory "
                                  "they show: delete them first" % (count, name))

    def _pointer(self, slot):
        itf = rt.query_interface(self._ptr, IID_ILineData)
        if not itf:
            raise TypeError("the object does not implement ILineData")
        try:
            out = c_void_p()
            rt.check(rt.vcall(itf, slot, c_int32, [POINTER(c_void_p)], byref(out)))
            return out.value
        finally:
            rt.release(itf)

    def _view(self, kind, slot, ctype):
        size = self.Size
        ptr = self._pointer(slot)
        if not ptr and size:
            raise ValueError("this data has no %s array" % kind)
        buf = (ctype * (size if ptr else 0)).from_address(ptr or 0)
        buf._owner = self  # the wrapper holds a reference on the object
        ident = _dispatch._identity(self._ptr)
        _live(ident, ())  # drops the dead entries, so repeated views do not pile up
        _views.setdefault(ident, []).append((kind, weakref.ref(buf)))
        if numpy is not None:
            return numpy.ctypeslib.as_array(buf)
        return memoryview(buf).cast("B").cast(_FORMATS[ctype])

    def _x_type(self):
        if not self.UseXData:
            raise ValueError("UseXData is off: this data has no X values")
        return (_DATA_PTR_X_DOUBLE, c_double) if self.UseDoubleForXData else (_GET_DATA_PTR_X, c_float)

    @property
    def y(self):
        """Y values in place (float32)."""
        return self._view("y", _GET_DATA_PTR, c_float)

    @property
    def x(self):
        """X values in place: float64 while UseDoubleForXData is set, else float32."""
        return self._view("x", *self._x_type())

    @property
    def mask(self):
        """Mask bytes in place (uint8; 0 hides the point)."""
        return self._view("mask", _GET_MASK_PTR, c_uint8)

    def set_y(self, values):
        """Copies values (any iterable of numbers) into Y, resizing to their count."""
        self._fill("y", values, _GET_DATA_PTR, c_float)

    def set_x(self, values):
        """Copies values into X, turning UseXData on and resizing to their count."""
        if not self.UseXData:
            self.UseXData = True
        self._fill("x", values, *self._x_type())

    def set_mask(self, values):
        """Copies mask values (integers 0..255; 0 hides) resizing to their count."""
        self._fill("mask", values, _GET_MASK_PTR, c_uint8)

    def _fill(self, kind, values, slot, ctype):
        values = _checked(values, ctype)
        if len(values) != self.Size:
            self.Size = len(values)
        if not len(values):
            return
        ptr = self._pointer(slot)
        if not ptr:
            raise ValueError("this data has no %s array" % kind)
        if numpy is not None:
            dest = numpy.ctypeslib.as_array((ctype * len(values)).from_address(ptr))
            dest[:] = values
        else:
            (ctype * len(values)).from_address(ptr)[:] = values


_FORMATS = {c_float: "f", c_double: "d", c_uint8: "B"}


def _checked(values, ctype):
    """values as a NumPy array of ctype's element type (or a list without NumPy), checked."""
    kinds = "biu" if ctype is c_uint8 else "biuf"  # float masks go through the element check
    if numpy is not None and isinstance(values, numpy.ndarray) and values.dtype.kind in kinds:
        if values.ndim != 1:
            raise ValueError("expected a one-dimensional array, got shape %s" % (values.shape,))
        if ctype is c_uint8 and values.size and (values.min() < 0 or values.max() > 255):
            raise ValueError("mask values must lie in 0..255")
        return values.astype(numpy.dtype(ctype), copy=False)
    if isinstance(values, (str, bytes)) and ctype is not c_uint8:
        raise TypeError("expected numbers, got %s" % type(values).__name__)
    try:
        items = list(values)
    except TypeError:
        raise TypeError("expected an iterable of numbers, got %s" % type(values).__name__) from None
    want = numbers.Integral if ctype is c_uint8 else numbers.Real
    for i, v in enumerate(items):
        if not isinstance(v, want):
            raise TypeError("element %d is a %s (%r), not %s" % (
                i, type(v).__name__, v, "an integer" if want is numbers.Integral else "a number"))
        if ctype is c_uint8 and not 0 <= v <= 255:
            raise ValueError("element %d: mask value %d is outside 0..255" % (i, v))
    if numpy is not None:
        return numpy.array(items, dtype=numpy.dtype(ctype))
    return [int(v) for v in items] if ctype is c_uint8 else [float(v) for v in items]


_dispatch.extensions["ILineData"] = LineDataArrays
