"""LineData arrays in place from Python: NumPy views, fills, masks, resizes with views alive."""
import subprocess
import sys

import kelmira
import numpy as np


def expect(ok, what):
    if not ok:
        sys.exit("FAILED: " + what)


g = kelmira.create("Kelmira.LineGraph")
a, b = g.AddLine("a", 255, 0).Data, g.AddLine("b", 0, 0).Data
a.set_y(np.arange(4.0))
b.set_y(np.float64([0.1, 0.2]))
b.set_x(np.float32([10, 20]))
ya, xb = a.y, b.x
ya[2] = 42.5
xb[1] = 7.25
expect(g.Lines(0).Data.Data(2) == 42.5 and g.Lines(1).Data.DataX(1) == 7.25, "views write the points themselves")
expect(ya.dtype == np.float32 and list(b.y) == list(np.float32([0.1, 0.2])), "float32 Y after a float64 fill")
b.UseDoubleForXData = False  # no change: allowed with views alive
try:
    a.Size = 9
    expect(False, "a resize with a view alive is refused")
except kelmira.ResizeError:
    expect(list(ya) == [0, 1, 42.5, 3] and a.Size == 4, "a refused resize changes nothing")
part = ya[1:]
del ya, xb
b.Size = 3
try:
    a.Size = 9
    expect(False, "a slice keeps the view it came from")
except ValueError:
    del part
a.Size = 9
expect(len(a.y) == 9 and a.y[2] == 42.5 and len(b.y) == 3, "fresh views after the resize")
a.set_mask([1, 0] * 4 + [True])
a.mask[3] = 0
expect([a.Mask(i) for i in range(4)] == [1, 0, 1, 0], "masks through the view")
for bad, err in ((["x"], TypeError), ([300], ValueError), ([0.5], TypeError)):
    try:
        a.set_mask(bad)
        expect(False, "mask %r refused" % bad)
    except err as e:
        expect("element 0" in str(e), "the message names the element: %s" % e)
plain = ("import sys; sys.modules['numpy'] = None; import kelmira\n"
         "d = kelmira.create('Kelmira.LineGraph').AddLine('c', 0, 0).Data\n"
         "d.set_y(range(3)); v = d.y; v[0] = 5; print(d.Size, d.Data(0), v.tolist())\n")
out = subprocess.run([sys.executable, "-c", plain], capture_output=True, text=True)
expect(out.stdout.split() == ["3", "5.0", "[5.0,", "1.0,", "2.0]"], "without NumPy: " + out.stdout + out.stderr)
