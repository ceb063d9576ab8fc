#!/usr/bin/env python3
"""An independent model of the reflector surface file, used to derive the
expected bytes of the larger scenarios: 32-bit rounding by struct, E editing
from the exact decimal value of each float with round-half-even.

    python3 model.py LABEL F Z0 D1 D2 DD S > expected.rsf
"""
import math
import struct
import sys
from decimal import Decimal, ROUND_HALF_EVEN


def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def e_field(x, w=18, d=10):
    if math.isnan(x):
        return (' NaN').ljust(w)
    if math.isinf(x):
        return (' -Infinity' if x < 0 else ' Infinity').ljust(w)
    if x == 0:
        body = '0.' + '0' * d + 'E+00'
        return body.rjust(w)
    v = Decimal(abs(x))
    e = v.adjusted() + 1          # v = 0.ddd * 10^e
    digits = (v.scaleb(d - e)).quantize(Decimal(1), rounding=ROUND_HALF_EVEN)
    if digits == 10 ** d:
        digits = Decimal(10 ** (d - 1))
        e += 1
    text = '0.' + str(int(digits)) + 'E' + ('-' if e < 0 else '+') + '%02d' % abs(e)
    if x < 0:
        text = '-' + text
    return text.rjust(w)


def i_field(v, w):
    s = str(v)
    return '*' * w if len(s) > w else s.rjust(w)


def count(d1, d2, dd):
    try:
        q = (d2 - d1) / dd + f32(1.4)
    except ZeroDivisionError:
        q = math.nan if d2 == d1 else math.inf
    if not (-2147483649.0 < q < 2147483648.0):
        return -2147483648
    return int(q)


def main():
    label, f, z0, d1, d2, dd, s = sys.argv[1], *map(lambda a: f32(float(a)), sys.argv[2:])
    n = count(d1, d2, dd)
    out = label[:40].ljust(40) + '\r\n' + i_field(n, 4) + i_field(1, 4) + i_field(0, 4) + '\r\n'
    for i in range(1, n + 1):
        d = f32((i - 1) * dd + d1)
        r = f32(d / 2.0)
        try:
            z = f32(r * r * s / 4.0 / f + z0)
        except ZeroDivisionError:
            num = r * r * s
            z = f32((math.nan if num == 0 else math.copysign(math.inf, num)) + z0)
        out += e_field(r) + e_field(z) + '\r\n'
    sys.stdout.buffer.write(out.encode())


main()
