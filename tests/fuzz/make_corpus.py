#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/<target>/: a few small valid files
each. JPEG seeds need ImageMagick's `convert`. Run from anywhere; rerunning rewrites them."""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


# --- RIFF wave -------------------------------------------------------------------------
def chunk(cid, body):
    return cid + struct.pack("<I", len(body)) + body


def wave(rate, bits, channels, samples, extra=b""):
    align = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)
    body = b"WAVE" + chunk(b"fmt ", fmt) + extra + chunk(b"data", samples)
    return b"RIFF" + struct.pack("<I", len(body)) + body


put("wave", "pcm8_mono.wav", wave(11025, 8, 1, bytes((i * 7) & 0xFF for i in range(64))))
put("wave", "pcm16_stereo_list.wav",
    wave(22050, 16, 2, b"".join(struct.pack("<hh", i * 300, -i * 300) for i in range(32)),
         extra=chunk(b"LIST", b"INFOISFT\x04\x00\x00\x00sb\x00\x00")))


# --- BMP -------------------------------------------------------------------------------
def bmp(width, height, bits, pixels_of_row, palette=None, compression=0, top_down=False, masks=None):
    rows = []
    for y in range(0 if compression in (1, 2) else height):
        row = pixels_of_row(y)
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(row)
    pixels = pixels_of_row(None) if compression in (1, 2) else b"".join(rows)
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in (palette or []))
    extra = b"".join(struct.pack("<I", m) for m in masks) if masks else b""
    header_size = 14 + 40 + len(extra) + len(pal)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, compression,
                       len(pixels), 2835, 2835, len(palette or []), 0)
    head = b"BM" + struct.pack("<IHHI", header_size + len(pixels), 0, 0, header_size)
    return head + info + extra + pal + pixels


def pack_bits(values, bits):
    out, acc, n = bytearray(), 0, 0
    for v in values:
        acc = (acc << bits) | v
        n += bits
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    if n:
        out.append(acc << (8 - n))
    return bytes(out)


gray16 = [(i * 17, i * 17, i * 17) for i in range(16)]
put("bmp", "1bit_9x3.bmp", bmp(9, 3, 1, lambda y: pack_bits([(x + y) & 1 for x in range(9)], 1),
                               palette=[(0, 0, 0), (255, 255, 255)]))
put("bmp", "4bit_5x4.bmp", bmp(5, 4, 4, lambda y: pack_bits([(x * 3 + y) & 15 for x in range(5)], 4),
                               palette=gray16))
put("bmp", "8bit_6x4.bmp", bmp(6, 4, 8, lambda y: bytes((x + 6 * y) for x in range(6)),
                               palette=[(i, 255 - i, (i * 7) & 255) for i in range(24)]))
put("bmp", "8bit_top_down_3x3.bmp", bmp(3, 3, 8, lambda y: bytes((x + y) % 4 for x in range(3)),
                                        palette=[(255, 0, 0), (0, 255, 0), (0, 0, 255), (9, 9, 9)],
                                        top_down=True))
# RLE8: a run of 4, an absolute run of 3 and end-of-line per row, then end-of-bitmap.
rle = b"".join(b"\x04\x01" + b"\x00\x03\x02\x03\x01\x00" + b"\x00\x00" for _ in range(2)) + b"\x00\x01"
put("bmp", "rle8_7x2.bmp", bmp(7, 2, 8, lambda y: rle, palette=gray16, compression=1))
put("bmp", "16bit_4x2.bmp", bmp(4, 2, 16, lambda y: b"".join(struct.pack("<H", (x * 0x1234 + y) & 0x7FFF)
                                                              for x in range(4))))
put("bmp", "16bit_565_3x2.bmp", bmp(3, 2, 16, lambda y: b"".join(struct.pack("<H", 0xF800 >> (5 * x))
                                                                 for x in range(3)),
                                    compression=3, masks=(0xF800, 0x07E0, 0x001F)))
put("bmp", "24bit_5x3.bmp", bmp(5, 3, 24, lambda y: b"".join(bytes((x * 50, y * 80, 200 - x * 10))
                                                              for x in range(5))))
put("bmp", "32bit_3x3.bmp", bmp(3, 3, 32, lambda y: b"".join(bytes((x * 80, y * 80, 90, 0)) for x in range(3))))


# --- JPEG ------------------------------------------------------------------------------
def jpeg(name, size, *options):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out.jpg")
        subprocess.run(["convert", "-size", size, "gradient:red-blue", *options, "-strip", out], check=True)
        with open(out, "rb") as f:
            put("jpeg", name, f.read())


jpeg("baseline_8x8.jpg", "8x8", "-quality", "80")
jpeg("progressive_17x9.jpg", "17x9", "-interlace", "JPEG", "-quality", "70")
jpeg("gray_16x16.jpg", "16x16", "-colorspace", "Gray")
jpeg("subsampled_24x10.jpg", "24x10", "-sampling-factor", "2x2", "-quality", "50")
jpeg("restart_16x16.jpg", "16x16", "-define", "jpeg:restart-interval=1")


# --- score table and options -----------------------------------------------------------
player = "Игрок".encode("cp1251")
put("score", "empty.qrx", b"".join(player + b"\r\n0\r\n" for _ in range(10)) + b"0\r\n")
scores = [(player, 5000), ("Ас".encode("cp1251"), 4200), (b"Bob", 900), (b"", 800), (b"  x  ", 700),
          (b"\x98\xff", 600), (player, 3), (player, -2), (player, 0), (b"z", 2147483647)]
put("score", "mixed_lf.qrx", b"".join(n + b"\n" + str(v).encode() + b"\n" for n, v in scores)
    + str((sum(v for _, v in scores) + 2**31) % 2**32 - 2**31).encode() + b"\n")
put("score", "short_cr.qrx", b"Ann\r12\rBen\r+7\r")
put("options", "default.qrx", b"1\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n")
put("options", "mixed.qrx", b" 0\n1\r\n-1\r16 junk\n\n1\t\n2147483647\n-2147483648\n+5\n")


# --- force-feedback effect tree --------------------------------------------------------
def name(n):
    return bytes((len(n),)) + n.encode()


def item(nm, etype, ints, children=()):
    out = name("Name") + b"\x02" + struct.pack("<I", len(nm)) + nm.encode()
    out += name("EffectType") + b"\x03" + name(etype)
    for k, v in ints:
        out += name(k) + b"\x01" + struct.pack("<i", v)
    if children:
        out += collection("Effects", children)
    return out + b"\x00"


def collection(nm, items):
    return name(nm) + b"\x04" + struct.pack("<I", len(items)) + b"".join(items)


def component(items):
    body = b"SBFC" + collection("Effects", items) + b"\x00"
    return (b"\xff" + struct.pack("<H", 10) + b"TFORCEFEEDBACKEFFECTCOMPONENT\x00"
            + struct.pack("<HI", 0x1030, len(body)) + body)


base = [("Period", 50), ("Power", 10000), ("Time", 1000), ("StartDelayTime", 0)]
eff1 = item("eff1", "etPeriodic", [("ConstantX", 10000), ("ConstantY", -10000), ("Period", 30),
                                   ("Power", 10000), ("Time", 50), ("StartDelayTime", 0)])
put("effects", "game_joystick.bin", component([item("Effects", "etNone", base, [eff1])]))
put("effects", "empty_tree.bin", component([item("Effects", "etNone", base)]))
sub = item("sub", "etCondition", [("AttackLevel", 1), ("AttackTime", 2), ("ConditionX", 3), ("ConditionY", -4),
                                  ("FadeLevel", 5), ("FadeTime", 6), ("Period", 50), ("Power", 10000),
                                  ("Time", -1), ("StartDelayTime", 7)])
push = item("a.b", "etConstantForce", [("ConstantX", -300), ("ConstantY", 20000), ("Time", -1)])
put("effects", "deeper.bin", component([item("Effects", "etNone", base, [
    item("eff1", "etPeriodic", [("ConstantX", 10000), ("Period", 30), ("Time", 50)], [sub]), push])]))

# --- key bindings: the first byte picks the property name, the rest is its value --------
game = {0: (87, 38, 104), 1: (83, 40, 98), 2: (65, 37, 100), 3: (68, 39, 102), 4: (90, 32, 106),
        5: (88, 16, 0), 6: (9, 0, 0), 12: (113, 0, 0)}
table = b"".join(struct.pack("<3i", *game.get(i, (0, 0, 0))) for i in range(36))
put("keys", "assigns_game.bin", b"\x00" + table)
put("keys", "aissgns_odd_values.bin", b"\x01" + table[:-12] + struct.pack("<3i", -2, 0x12345678, 255))
put("keys", "effects_empty.bin", b"\x02" + component([item("Effects", "etNone", base)]))
# --- the settings file, as written and as hand-edited ----------------------------------
put("settings", "defaults_kind.ini",
    b"# Starbreaker settings\n\nfullscreen_mode = desktop\nscaling = auto\npacing = display\n"
    b"music_volume = 100\neffects_volume = 100\nrumble = on\npause_on_focus_loss = off\n"
    b"keys_up = W, Up, Keypad 8\nkeys_down = S, Down, Keypad 2\nkeys_fire = Z, Space\n"
    b"keys_special = X, Shift\nkeys_next = Tab\n")
put("settings", "hand_edited.ini",
    b"\xef\xbb\xbf; edited\r\nMusic_Volume=60\r\n  keys_fire =  q ,SPACE\r\nkeys_up = Space\r\n"
    b"frame_rate = 75\r\nvolume = 3\r\nnot a setting\r\nkeys_left = Escape\r\nrumble = maybe\r\n"
    b"\n# Lines that were not understood, kept as they were:\nold = 1\n")

# --- key lists: the first byte picks the action, the rest is the list ------------------
put("keynames", "three.txt", b"\x00W, Up, Keypad 8")
put("keynames", "spelling.txt", b"\x04  page up,PAGEDOWN , keypad *")
put("keynames", "refused.txt", b"\x06F11, 1, Tab, Tab, A, B")
print("corpus written under", os.path.join(HERE, "corpus"), file=sys.stderr)
