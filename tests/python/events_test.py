"""Events, a zoom, tick labels from a list and a PNG of a two-line graph, read back by pixel."""
import ctypes
import gc
import os
import sys

os.path.exists(os.environ["KELMIRA_REGISTRY"]) and os.remove(os.environ["KELMIRA_REGISTRY"])
import kelmira  # noqa: E402

try:
    import numpy
except ImportError:  # the lines are then filled from lists
    numpy = None


def expect(cond, what):
    if not cond:
        sys.exit("FAILED: " + what)


class Handler:  # no OnUserZoom: a missing method is skipped
    def __init__(self):
        self.got = []

    def OnViewChanged(self, *args):
        self.got.append(("view",) + args)
        if len(self.got) == 1:
            raise RuntimeError("a failing handler")


g = kelmira.create("Kelmira.LineGraph")
g.Title, g.XAxis.Title = "Two lines", "Day"
for color, y in ((0x0000FF, 3.0), (0xFF0000, 5.0)):
    data = g.AddLine("y=%g" % y, color, 0).Data
    data.UseXData = False  # X is the index: 0 .. 10
    data.set_y(numpy.full(11, y) if numpy else [y] * 11)
container, handler, shown = g.GraphicsContainer, Handler(), []
sys.excepthook = lambda kind, value, tb: shown.append(str(value))
connection = kelmira.connect(container, handler)
zooms = kelmira.connect(container, type("Z", (), {"OnUserZoom": lambda self: handler.got.append("zoom")})())
g.SetLimits(0.0, 10.0, 0.0, 8.0)
kelmira.zoom(container, 2.0, 5.0, 4.0)
expect(handler.got == [("view",), ("view",), "zoom"] and shown == ["a failing handler"], "events %r" % handler.got)
expect(g.GetLimits() == (2.5, 7.5, 2.0, 6.0), "zoomed limits %r" % (g.GetLimits(),))
with zooms:
    pass
connection.disconnect()
g.SetLimits(0.0, 10.0, 0.0, 8.0)
kelmira.zoom(container, 2.0, 5.0, 4.0)
expect(len(handler.got) == 3 and not connection.connected, "no calls after disconnecting")


class Labels:  # a host's labels for the range the axis is about to draw
    def OnLoadCustomLabels(self, axis, start, step, end):
        handler.got.append((axis == g.XAxis, start, step, end))
        axis.TickLabels = ["Mon", "Tue", "Wed"]


kelmira.connect(g.XAxis, Labels(), interface="IAxisEvents")
for bad, kind in [(lambda: kelmira.connect(g, handler, "INone"), ValueError), (lambda: kelmira.connect(1, g), TypeError),
                  (lambda: setattr(g.XAxis, "TickLabels", [object()]), TypeError),
                  (lambda: g.save_png("x.png", 0, 10), ValueError), (lambda: g.save_png("no/x.png", 9, 9), kelmira.ComError)]:
    try:
        bad()
        expect(False, "no error from %r" % bad)
    except kind:
        pass

g.save_png("events_test.png", 400, 300)
expect(set(handler.got[3:]) == {(True, 2.5, 0.5, 7.5)}, "the axis event's arguments %r" % handler.got[3:])
expect(g.XAxis.TickLabels.LabelCount() == 3, "a list becomes a tick label list")
g.save_svg("events_test.svg", 400, 300), g.save_pdf("events_test.pdf", 400, 300)
svg = open("events_test.svg").read()
expect("Two lines" in svg and "stroke:rgb(100%,0%,0%)" in svg and "stroke:rgb(0%,0%,100%)" in svg, "the SVG's parts")
expect(open("events_test.pdf", "rb").read(5) == b"%PDF-", "a PDF")
platform = ctypes.CDLL(kelmira.PLATFORM_PATH)
platform.CreateCompatibleDC.restype = platform.SelectObject.restype = ctypes.c_void_p
platform.SelectObject.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
bitmap = ctypes.c_void_p()
expect(platform.KelmiraLoadPng(b"events_test.png", ctypes.byref(bitmap)) == 0, "the PNG reads back")
dc = platform.CreateCompatibleDC(None)
platform.SelectObject(dc, bitmap)
platform.GetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
column = [platform.GetPixel(dc, 200, row) & 0xFFFFFF for row in range(300)]
red, blue = [r for r, c in enumerate(column) if c == 0x0000FF], [r for r, c in enumerate(column) if c == 0xFF0000]
# Y 3 and 5 in the zoomed 2..6: a quarter of the plot below and above its middle.
expect(red and blue and 0 < red[0] - blue[0] and abs((red[0] + blue[0]) / 2 - 150) < 40, "rows %r %r" % (red, blue))
expect(column[5] == platform.GetPixel(dc, 5, 5) & 0xFFFFFF, "one background")
del g, container, data, connection, zooms
gc.collect()
expect(not kelmira._events._sinks, "released objects release their sinks")
expect(ctypes.CDLL(kelmira.MODULE_PATH).DllCanUnloadNow() == 0, "every reference is released")
print("ok")
