#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate a tiny HiROM SNES test ROM ("ORVANE TEST") that writes marker
bytes into WRAM (Chrono Trigger-like field addresses) and cartridge SRAM,
then loops forever.  Also writes expected.json (address -> expected byte).

All 65816 code is hand-encoded here; no assembler or game data is used.
Usage: python3 make_rom.py [outdir]
"""
import json, os, sys

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
ROM_SIZE = 4 * 1024 * 1024          # 32 Mbit, HiROM (ROM size byte $0C)
CODE_OFF = 0x8000                   # ROM offset 0x8000 == CPU $00:8000 (and $C0:8000) in HiROM

expected = {}      # "7E2400" -> value (WRAM, 24-bit SNES address)
fields = {}        # field name -> list of addresses
sram_expected = {} # SRAM offset (0..0x1FFF) -> value
code = bytearray()

def emit(*b):
    code.extend(b)

def sta_long(addr, val, field):
    """LDA #val ; STA $bbhhll  (A9 vv 8F ll hh bb)"""
    assert 0 <= val <= 0xFF
    emit(0xA9, val, 0x8F, addr & 0xFF, (addr >> 8) & 0xFF, (addr >> 16) & 0xFF)
    if 0x7E0000 <= addr <= 0x7FFFFF:
        key = "%06X" % addr
        assert key not in expected, key
        expected[key] = val
        fields.setdefault(field, []).append(key)
    elif (addr >> 16) == 0x30 and 0x6000 <= (addr & 0xFFFF) <= 0x7FFF:
        sram_expected[(addr & 0xFFFF) - 0x6000] = val
        fields.setdefault(field, []).append("%06X" % addr)
    else:
        raise ValueError(hex(addr))

# --- CPU init -------------------------------------------------------------
emit(0x78)              # SEI
emit(0x18)              # CLC
emit(0xFB)              # XCE         -> native mode
emit(0xE2, 0x30)        # SEP #$30    -> 8-bit A, X, Y
emit(0xA9, 0x8F)        # LDA #$8F    force blank while we work
emit(0x8D, 0x00, 0x21)  # STA $2100
emit(0x9C, 0x00, 0x42)  # STZ $4200   NMI/IRQ/auto-joypad off

# --- WRAM markers -----------------------------------------------------------
# Inventory item IDs $7E2400..$7E24F2 (243 bytes): ID = index+1 (1..243, all distinct)
for k in range(243):
    sta_long(0x7E2400 + k, (k + 1) & 0xFF, "inventory_ids")
# Inventory amounts $7E2500..$7E25F2: 1..99 repeating (index % 99 + 1)
for k in range(243):
    sta_long(0x7E2500 + k, (k % 99) + 1, "inventory_amounts")

# Character records $7E2600 + $50*i, i = 0..6
char_fields = {}
for i in range(7):
    base = 0x7E2600 + 0x50 * i
    cur_hp = 100 * (i + 1) + 11          # 111, 211, ... 711
    max_hp = 100 * (i + 1) + 99          # 199, 299, ... 799
    cur_mp = 10 + i                      # +7 (low byte only)
    max_mp = 20 + i                      # +9 (low byte only)
    stats = [10 * (j + 1) + i for j in range(7)]   # +11..+17 (7 stat bytes)
    level = 20 + i                       # +18
    exp = 12345 + 1000 * i               # +19..+21 (24-bit LE)
    equip = [0x30 + 0x10 * j + i for j in range(8)]  # +39..+46: 0x30+i,0x40+i,...,0xA0+i
    rec = {0: i, 3: cur_hp & 0xFF, 4: cur_hp >> 8, 5: max_hp & 0xFF, 6: max_hp >> 8,
           7: cur_mp, 9: max_mp}
    for j, v in enumerate(stats):
        rec[11 + j] = v
    rec[18] = level
    rec[19], rec[20], rec[21] = exp & 0xFF, (exp >> 8) & 0xFF, (exp >> 16) & 0xFF
    for j, v in enumerate(equip):
        rec[39 + j] = v
    for off in sorted(rec):
        sta_long(base + off, rec[off], "char%d" % i)
    char_fields[i] = {"cur_hp": cur_hp, "max_hp": max_hp, "cur_mp_lo": cur_mp, "max_mp_lo": max_mp,
                      "stats_11_17": stats, "level_18": level, "exp_19_21": exp, "bytes_39_46": equip}

# Names $7E2C23 + 6*i: 5 letters, CT-style codes: 'A'-'Z' = A0-B9, 'a'-'z' = BA-D3
NAMES = ["Aleph", "Bravo", "Cobra", "Delta", "Ember", "Fjord", "Gizmo"]
def ct_letter(c):
    return 0xA0 + ord(c) - ord('A') if c.isupper() else 0xBA + ord(c) - ord('a')
for i, n in enumerate(NAMES):
    for j, c in enumerate(n):
        sta_long(0x7E2C23 + 6 * i + j, ct_letter(c), "name%d" % i)

# Gold $7E2C53..55: 1234567 = 0x12D687 (LE 87 D6 12)
GOLD = 1234567
for j in range(3):
    sta_long(0x7E2C53 + j, (GOLD >> (8 * j)) & 0xFF, "gold")
# Number of saves $7E299C..9D: 4660 = 0x1234 (LE 34 12)
SAVES = 0x1234
sta_long(0x7E299C, SAVES & 0xFF, "save_count")
sta_long(0x7E299D, SAVES >> 8, "save_count")
# Play time $7E0402..05: distinct bytes
PLAY = [0x5A, 0x3C, 0x17, 0x02]
for j, v in enumerate(PLAY):
    sta_long(0x7E0402 + j, v, "play_time")
# Silver points $7F0052
sta_long(0x7F0052, 0xA7, "silver_points")
# Tech bytes $7E2837..$7E2850 (26 bytes): 0x81..0x9A
for k in range(0x2850 - 0x2837 + 1):
    sta_long(0x7E2837 + k, 0x81 + k, "tech")

# --- Cartridge SRAM (HiROM, bank $30, $6000-$7FFF, 8 KiB) ----------------
HEAD = b"ORVANE-SRAM-HEAD"
TAIL = b"ORVANE-SRAM-TAIL"
for j, c in enumerate(HEAD):
    sta_long(0x306000 + j, c, "sram_head")
for j, c in enumerate(TAIL):
    sta_long(0x307FF0 + j, c, "sram_tail")

# --- make the screen a solid colour (so the thumbnail is recognisable) -----
emit(0x9C, 0x21, 0x21)  # STZ $2121   CGRAM address 0
emit(0xA9, 0x1F)        # LDA #$1F    colour 0 = pure red (BGR555 0x001F)
emit(0x8D, 0x22, 0x21)  # STA $2122
emit(0x9C, 0x22, 0x21)  # STZ $2122
emit(0xA9, 0x0F)        # LDA #$0F    screen on, full brightness
emit(0x8D, 0x00, 0x21)  # STA $2100
# --- done marker in WRAM, then spin ----------------------------------------
sta_long(0x7E1FF0, 0xD0, "done_flag")  # written last: proves the code ran to completion
loop = CODE_OFF + len(code)
emit(0x80, 0xFE)        # BRA * (endless loop)
rti = CODE_OFF + len(code)
emit(0x40)              # RTI (for unused vectors)

assert CODE_OFF + len(code) < 0xFFB0
rom = bytearray(ROM_SIZE)
rom[CODE_OFF:CODE_OFF + len(code)] = code

# --- internal header at $00:FFC0 (ROM offset 0xFFC0) ------------------------
h = 0xFFC0
title = b"ORVANE TEST".ljust(21, b" ")
rom[h:h + 21] = title
rom[0xFFD5] = 0x21      # map mode: HiROM, SlowROM
rom[0xFFD6] = 0x02      # cartridge type: ROM + RAM + battery
rom[0xFFD7] = 0x0C      # ROM size: 4 MiB (32 Mbit)
rom[0xFFD8] = 0x03      # SRAM size: 8 KiB
rom[0xFFD9] = 0x01      # region: North America
rom[0xFFDA] = 0x00      # licensee
rom[0xFFDB] = 0x00      # version
def w16(off, v):
    rom[off] = v & 0xFF; rom[off + 1] = (v >> 8) & 0xFF
# vectors (bank $00 addresses)
r = 0x8000 + (rti - CODE_OFF)
for v in (0xFFE4, 0xFFE6, 0xFFE8, 0xFFEA, 0xFFEC, 0xFFEE, 0xFFF4, 0xFFF8, 0xFFFA, 0xFFFE):
    w16(v, r)
w16(0xFFFC, 0x8000)     # emulation-mode RESET -> $00:8000
# checksum: sum of all bytes with complement=FFFF, checksum=0000 placeholder
w16(0xFFDC, 0xFFFF); w16(0xFFDE, 0x0000)
s = sum(rom) & 0xFFFF
w16(0xFFDC, s ^ 0xFFFF); w16(0xFFDE, s)
assert sum(rom) & 0xFFFF == s

rompath = os.path.join(OUT, "orvane.sfc")
with open(rompath, "wb") as f:
    f.write(rom)

doc = {
    "rom": "orvane.sfc",
    "rom_size": ROM_SIZE,
    "checksum": "%04X" % s,
    "code_bytes": len(code),
    "note": "wram keys are SNES addresses (hex); expected file offset = wram_base + (addr - 0x7E0000). "
            "sram keys are offsets inside the 8 KiB SRAM (SNES $30:6000 + offset).",
    "wram": expected,
    "sram": {"%04X" % k: v for k, v in sorted(sram_expected.items())},
    "fields": fields,
    "decoded": {"names": NAMES, "gold": GOLD, "save_count": SAVES, "play_time_bytes": PLAY,
                "silver_points": 0xA7, "chars": char_fields,
                "sram_head": HEAD.decode(), "sram_tail": TAIL.decode(), "backdrop_bgr555": "001F (red)"},
}
with open(os.path.join(OUT, "expected.json"), "w") as f:
    json.dump(doc, f, indent=1, sort_keys=False)
print("wrote", rompath, "code", len(code), "bytes, checksum %04X" % s,
      "wram markers", len(expected), "sram markers", len(sram_expected))
