#!/usr/bin/env python3
"""Writes the hostile pictures of the loader tests: small files whose headers claim far more
pixels than they hold, cut-off files and metafiles with huge frames. Run it in this folder."""
import struct


def le16(v): return struct.pack('<H', v)
def le32(v): return struct.pack('<I', v)
def be16(v): return struct.pack('>H', v)


def write(name, data):
    with open(name, 'wb') as f:
        f.write(data)


def gif(screen_w, screen_h, frame_w, frame_h):
    out = b'GIF89a' + le16(screen_w) + le16(screen_h) + b'\x00\x00\x00'
    out += b'\x2c' + le16(0) + le16(0) + le16(frame_w) + le16(frame_h) + b'\x00'
    out += b'\x02' + b'\x02\x4c\x01' + b'\x00' + b'\x3b'
    return out


def jpeg(width, height, progressive, scan_bytes, end=True):
    dqt = b'\xff\xdb' + be16(67) + b'\x00' + b'\x01' * 64
    sof = (b'\xff\xc2' if progressive else b'\xff\xc0') + be16(17) + b'\x08' + be16(height) + be16(width) + b'\x03'
    for c in (1, 2, 3):
        sof += bytes([c, 0x11, 0])
    bits = b'\x01' + b'\x00' * 15
    dht = b'\xff\xc4' + be16(2 + 2 * (1 + 16 + 1)) + b'\x00' + bits + b'\x00' + b'\x10' + bits + b'\x00'
    if progressive:
        sos = b'\xff\xda' + be16(12) + b'\x03' + b'\x01\x00\x02\x00\x03\x00' + b'\x00\x00\x00'
    else:
        sos = b'\xff\xda' + be16(12) + b'\x03' + b'\x01\x00\x02\x00\x03\x00' + b'\x00\x3f\x00'
    out = b'\xff\xd8' + dqt + sof + dht + sos + b'\x00' * scan_bytes
    return out + (b'\xff\xd9' if end else b'')


def rle_bmp(width, height, runs):
    palette = le32(0x000000) + le32(0xffffff)
    data = b''.join(bytes([255, i % 2]) for i in range(runs)) + b'\x00\x01'
    offset = 14 + 40 + len(palette)
    header = b'BM' + le32(offset + len(data)) + le32(0) + le32(offset)
    info = le32(40) + struct.pack('<ii', width, height) + le16(1) + le16(8) + le32(1) + le32(len(data))
    info += le32(2835) + le32(2835) + le32(2) + le32(0)
    return header + info + palette + data


def placeable_wmf(right, bottom, inch):
    words = [0xCDD7, 0x9AC6, 0, 0, 0, right, bottom, inch, 0, 0]
    checksum = 0
    for w in words:
        checksum ^= w
    head = b''.join(le16(w) for w in words) + le16(checksum)
    records = b''
    records += le32(5) + le16(0x020B) + le16(0) + le16(0)            # SETWINDOWORG
    records += le32(5) + le16(0x020C) + le16(bottom) + le16(right)   # SETWINDOWEXT
    records += le32(7) + le16(0x041B) + le16(bottom // 2) + le16(right // 2) + le16(0) + le16(0)  # RECTANGLE
    records += le32(3) + le16(0)                                     # EOF
    size_words = (18 + len(records)) // 2
    header = le16(1) + le16(9) + le16(0x0300) + le32(size_words) + le16(0) + le32(7) + le16(0)
    return head + header + records


write('screen-huge.gif', gif(11585, 11585, 16, 16))
write('frame-huge.gif', gif(1, 1, 65535, 65535))
write('cut-huge.jpg', jpeg(16000, 16000, False, 100, end=False))
write('cut.jpg', jpeg(8000, 8000, False, 200, end=False))
write('progressive-huge.jpg', jpeg(11000, 11000, True, 400))
write('rle-huge.bmp', rle_bmp(11000, 11000, 400))
write('frame-huge.wmf', placeable_wmf(32767, 100, 16))
write('frame-square.wmf', placeable_wmf(32767, 32767, 1))
