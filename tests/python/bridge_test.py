"""Drives a LineGraph through the kelmira package: values both ways, errors, type info, leaks."""
import ctypes
import datetime
import gc
import os
import pydoc
import sys

os.path.exists(os.environ["KELMIRA_REGISTRY"]) and os.remove(os.environ["KELMIRA_REGISTRY"])
import kelmira  # noqa: E402 (registers the module into the fresh registry on first use)

E_UNKNOWNNAME, E_OVERFLOW, E_TYPEMISMATCH = -2147352570, -2147352566, -2147352571


def expect(cond, what):
    if not cond:
        sys.exit("FAILED: " + what)


def raises(fn, kind, hresult=None):
    try:
        fn()
    except kind as e:
        return hresult is None or e.hresult == hresult
    return False


g = kelmira.create("Kelmira.LineGraph")
for name, value in [("Title", "Druck ö"), ("TickLength", 11), ("GridStepX", 0.25), ("Border", True),
                    ("Border", False)]:
    setattr(g, name, value)
    got = getattr(g, name)
    expect(got == value and type(got) is type(value), "%s: %r read back as %r" % (name, value, got))
axis = g.XAxis
axis.Title = "Time"
expect(g.XAxis.Title == "Time" and g.XAxis == axis, "the X axis is one object and keeps its title")
g.SetLimits(1.5, 9.0, 2.0, 50.0)
expect(g.GetLimits() == (1.5, 9.0, 2.0, 50.0), "GetLimits returns its [out] values")
line = g.AddLine("Pressure", 255, 0)
expect(g.Lines(0) == line == g.Lines("Pressure") and g.LineCount == 1, "a method's retval and an indexed get")
expect(raises(lambda: g.NoSuchMember, AttributeError, E_UNKNOWNNAME), "unknown member")
expect(raises(lambda: kelmira.create("Kelmira.NoSuchClass"), kelmira.ComError, -2147221005), "unknown class")
for bad, code in [(2**40, E_OVERFLOW), ("eleven", E_TYPEMISMATCH)]:
    expect(raises(lambda: setattr(g, "TickLength", bad), kelmira.ComError, code), "failing put %r" % bad)
for bad in [2**64, [1], datetime.datetime(99, 1, 1), object()]:
    expect(raises(lambda: setattr(g, "Title", bad), TypeError), "TypeError for %r" % (bad,))
expect(g.Title == "Druck ö", "a refused value leaves the property alone")
# Dates go as VT_DATE: the component's own conversions show the day count and the text.
for name, value, text in [("GridStepX", datetime.datetime(1899, 12, 29, 6), -1.25),
                          ("GridStepX", datetime.date(2000, 1, 1), 36526.0),
                          ("Title", datetime.datetime(2003, 1, 15, 13, 30), "1/15/2003 1:30:00 PM")]:
    setattr(g, name, value)
    expect(getattr(g, name) == text, "%r as %s gave %r" % (value, name, getattr(g, name)))
expect({"SetLimits", "XAxis", "TickLength"} <= set(dir(g)), "dir lists members from the type info")
shown = pydoc.render_doc(g, renderer=pydoc.plaintext)
expect("Ready-made line graph with left" in shown and "GetLimits(self, *args)" in shown, "help: " + shown)

module = ctypes.CDLL(kelmira.MODULE_PATH)
expect(module.DllCanUnloadNow() == 1, "live objects keep the module loaded")
del g, axis, line
gc.collect()
for _ in range(10000):
    kelmira.create("Kelmira.LineGraph").XAxis.Title
expect(module.DllCanUnloadNow() == 0, "every reference is released")
print("ok")
