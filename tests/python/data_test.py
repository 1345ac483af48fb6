"""LineData arrays in place from Python: NumPy views, fills, masks, resizes with views alive."""
import subprocess
import sys

import kelmira
import numpy as np


def refused(call, err, text=""):
    try:
        return call() and False
    except err as e:
        return text in str(e)


g = kelmira.create("Kelmira.LineGraph")
a, b = g.AddLine("a", 255, 0).Data, g.AddLine("b", 0, 0).Data
a.set_y(np.arange(4.0))
b.set_x(np.float32([10, 20]))
ya, xb = a.y, b.x
ya[2], xb[1] = 42.5, 7.25
assert g.Lines(0).Data.Data(2) == 42.5 and g.Lines(1).Data.DataX(1) == 7.25 and ya.dtype == np.float32
assert refused(lambda: setattr(a, "Size", 9), kelmira.ResizeError) and list(ya) == [0, 1, 42.5, 3]
part = ya[1:]
del ya, xb
assert refused(lambda: setattr(a, "Size", 9), ValueError), "a slice keeps its view alive"
del part
b.Size, a.Size = 3, 9
assert len(a.y) == 9 and a.y[2] == 42.5 and len(b.y) == 3
a.set_mask([1, 0] * 4 + [True])
a.mask[3] = 0
assert [a.Mask(i) for i in range(4)] == [1, 0, 1, 0]
assert refused(lambda: a.set_mask([1, 0.5]), TypeError, "element 1") and refused(lambda: a.set_y("7"), TypeError)
plain = ("import sys; sys.modules['numpy'] = None; import kelmira; d = kelmira.create('Kelmira.LineGraph')\n"
         "d = d.AddLine('c', 0, 0).Data; d.set_y(range(3)); v = d.y; v[0] = 5; print(d.Size, d.Data(0), v.tolist())")
out = subprocess.run([sys.executable, "-c", plain], capture_output=True, text=True)
assert out.stdout.split() == ["3", "5.0", "[5.0,", "1.0,", "2.0]"], out.stdout + out.stderr
