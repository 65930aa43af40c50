#!/usr/bin/env python3
"""Writes the colour lists of the demo collections (data/demo/*/colours.csv).

The lists are committed; this script only documents how they were made and can make
them again (the same output every time). Colours are spread over CIELAB lightness,
chroma and hue, kept inside sRGB, and given invented paint names and codes.
"""
import csv
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, '..', '..', 'data', 'demo')


def lab_to_srgb(L, a, b):
    fy = (L + 16) / 116
    fx = fy + a / 500
    fz = fy - b / 200
    def finv(t):
        return t ** 3 if t ** 3 > 216 / 24389 else (116 * t - 16) / (24389 / 27)
    X, Y, Z = 0.95047 * finv(fx), 1.0 * finv(fy), 1.08883 * finv(fz)
    # Inverse of the four-decimal sRGB matrix.
    m = [[0.4124, 0.3576, 0.1805], [0.2126, 0.7152, 0.0722], [0.0193, 0.1192, 0.9505]]
    det = (m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
           + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]))
    inv = [[(m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det, (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det,
            (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det],
           [(m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det, (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det,
            (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det],
           [(m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det, (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det,
            (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det]]
    rgb = [inv[i][0] * X + inv[i][1] * Y + inv[i][2] * Z for i in range(3)]
    out = []
    for c in rgb:
        if c < -0.001 or c > 1.001:
            return None
        c = min(max(c, 0.0), 1.0)
        c = 12.92 * c if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055
        out.append(int(round(c * 255)))
    return out


FAMILIES = [  # (from hue angle, nouns)
    (0, ['Rosehip', 'Peony', 'Coral', 'Camellia', 'Raspberry', 'Garnet', 'Cranberry', 'Blossom', 'Petal', 'Sorbet']),
    (35, ['Terracotta', 'Paprika', 'Apricot', 'Clay', 'Rust', 'Copper', 'Sienna', 'Cinnamon', 'Ember', 'Persimmon']),
    (65, ['Saffron', 'Honey', 'Amber', 'Marigold', 'Butterscotch', 'Ochre', 'Wheat', 'Caramel', 'Biscuit', 'Toffee']),
    (90, ['Lemon', 'Mustard', 'Straw', 'Primrose', 'Citrine', 'Buttercup', 'Sunbeam', 'Chamomile', 'Mimosa', 'Quince']),
    (115, ['Olive', 'Lichen', 'Pistachio', 'Fern', 'Moss', 'Sage', 'Artichoke', 'Willow', 'Meadow', 'Thyme']),
    (150, ['Jade', 'Spruce', 'Celadon', 'Juniper', 'Eucalyptus', 'Malachite', 'Forest', 'Basil', 'Laurel', 'Ivy']),
    (190, ['Lagoon', 'Teal', 'Seafoam', 'Aqua', 'Glacier', 'Fjord', 'Tide', 'Peacock', 'Reef', 'Mineral']),
    (230, ['Harbour', 'Cornflower', 'Denim', 'Chambray', 'Horizon', 'Delft', 'Atlantic', 'Skyline', 'Slate', 'Ink']),
    (270, ['Indigo', 'Iris', 'Wisteria', 'Lavender', 'Violet', 'Twilight', 'Heather', 'Aubergine', 'Orchid', 'Lilac']),
    (310, ['Plum', 'Mulberry', 'Fuchsia', 'Damson', 'Magenta', 'Foxglove', 'Berry', 'Hibiscus', 'Thistle', 'Sloe']),
]
LIGHT = ['Whisper', 'Mist', 'Veil', 'Soft', 'Pale', 'Morning', 'Feather', 'Haze', 'Cloud', 'Chalk', 'Breath', 'Silk']
MID = ['Garden', 'Old', 'Country', 'Summer', 'Warm', 'Quiet', 'Field', 'Studio', 'Harvest', 'Coastal', 'Village', 'Linen']
DARK = ['Deep', 'Midnight', 'Smoked', 'Velvet', 'Dark', 'Royal', 'Stormy', 'Burnt', 'Night', 'Forest', 'Shadow', 'Antique']
NEUTRAL_NOUNS = ['Stone', 'Pebble', 'Flint', 'Driftwood', 'Putty', 'Oyster', 'Parchment', 'Ash', 'Pumice', 'Granite',
                 'Limestone', 'Mushroom', 'Taupe', 'Graphite', 'Charcoal', 'Cashmere', 'Sandstone', 'Cobble']
WHITE_NOUNS = ['White', 'Cream', 'Ivory', 'Porcelain', 'Alabaster', 'Chalk', 'Lace', 'Linen', 'Cotton', 'Pearl']


def family(h):
    best = FAMILIES[0]
    for start, nouns in FAMILIES:
        if h >= start:
            best = (start, nouns)
    return best[1]


def make_names(colours, rng):
    used = set()
    for c in colours:
        L, C, h = c['L'], c['C'], c['h']
        if C < 8:
            nouns = WHITE_NOUNS if L > 88 else NEUTRAL_NOUNS
        else:
            nouns = family(h)
        adjectives = LIGHT if L > 75 else (DARK if L < 45 else MID)
        for attempt in range(500):
            name = '%s %s' % (rng.choice(adjectives), rng.choice(nouns))
            if attempt > 100:
                name += ' %s' % ['II', 'III', 'IV', 'V', 'VI'][attempt % 5]
            if name not in used:
                break
        used.add(name)
        c['name'] = name


def spread(count, seed, lightness, chroma_levels, greys):
    """Colours over 24 hue steps, lightness and chroma, plus greys and whites."""
    rng = random.Random(seed)
    colours = []
    hue_steps = 48
    while len(colours) < count - greys:
        h = rng.uniform(0, 360)
        L = rng.uniform(*lightness)
        C = rng.choice(chroma_levels) * rng.uniform(0.8, 1.2)
        a, b = C * math.cos(math.radians(h)), C * math.sin(math.radians(h))
        rgb = lab_to_srgb(L, a, b)
        if rgb is None:
            continue
        colours.append({'L': L, 'C': C, 'h': h, 'rgb': rgb})
    while len(colours) < count:
        h = rng.uniform(0, 360)
        L = rng.uniform(35, 97)
        C = rng.uniform(0, 6) if L < 88 else rng.uniform(1, 9)
        a, b = C * math.cos(math.radians(h)), C * math.sin(math.radians(h))
        rgb = lab_to_srgb(L, a, b)
        if rgb is None:
            continue
        colours.append({'L': L, 'C': C, 'h': h, 'rgb': rgb})
    make_names(colours, rng)
    return colours


def accent_cards(seed):
    """Whole cards of six chips: per wheel segment (24, 15 degrees each, clockwise from
    the top) a light card and a deep card of one hue, light to dark, then two grey cards.
    Every card is full, as colour-to-card schemes need."""
    rng = random.Random(seed)
    colours = []
    card = 0
    bands = [((88, 60), (12, 26)), ((62, 32), (30, 52))]
    for segment in range(24):
        centre = (90 - 15 * segment) % 360
        for (l_top, l_bottom), (c_low, c_high) in bands:
            card += 1
            for position in range(6):
                L = l_top + (l_bottom - l_top) * position / 5
                h = centre + rng.uniform(-5, 5)
                C = rng.uniform(c_low, c_high)
                while True:
                    a, b = C * math.cos(math.radians(h)), C * math.sin(math.radians(h))
                    rgb = lab_to_srgb(L, a, b)
                    if rgb is not None or C < 4:
                        break
                    C *= 0.9
                if rgb is None:
                    rgb = lab_to_srgb(L, 0, 0)
                colours.append({'L': L, 'C': C, 'h': h % 360, 'rgb': rgb, 'card': card, 'position': position + 1})
    for L_top in (92, 60):
        card += 1
        for position in range(6):
            L = L_top - 5 * position
            colours.append({'L': L, 'C': 0.5, 'h': 90.0, 'rgb': lab_to_srgb(L, 0, 0.5), 'card': card,
                            'position': position + 1})
    make_names(colours, rng)
    return colours


def write(folder, colours, code_of, extra_of=None, mto_of=None, cards=False):
    path = os.path.join(DEMO, folder, 'colours.csv')
    with open(path, 'w', newline='') as f:
        writer = csv.writer(f, lineterminator='\n')
        header = ['code', 'name0', 'extra0', 'red', 'green', 'blue']
        if mto_of:
            header.append('mto')
        if cards:
            header += ['card', 'position']
        writer.writerow(header)
        for i, c in enumerate(colours):
            row = [code_of(i, c), c['name'], extra_of(i, c) if extra_of else ''] + c['rgb']
            if mto_of:
                row.append(1 if mto_of(i, c) else 0)
            if cards:
                row += [c['card'], c['position']]
            writer.writerow(row)


def main():
    interior = spread(1008, 11, (30, 96), [8, 14, 22, 32, 45, 60], 96)
    write('interior', interior, lambda i, c: 'OT %04d' % (1001 + i),
          lambda i, c: 'Light reflectance %d%%' % round(100 * ((c['L'] + 16) / 116) ** 3))
    facade = spread(420, 23, (28, 92), [6, 10, 16, 24, 34], 60)
    write('facade', facade, lambda i, c: 'FS %03d-%d' % (100 + i // 4, i % 4 + 1),
          lambda i, c: 'Weathering class %s' % ('A' if c['C'] < 20 else 'B'))
    pulvex = spread(196, 37, (25, 90), [10, 25, 45, 65], 20)
    write('pulvex', pulvex, lambda i, c: 'PX %04d' % (5000 + 7 * i),
          lambda i, c: 'Gloss %s' % ['matt', 'satin', 'gloss'][i % 3], lambda i, c: c['C'] > 50)
    accent = accent_cards(53)
    write('accent', accent, lambda i, c: 'OA %02d-%d' % (c['card'], c['position']),
          lambda i, c: 'Accent %s' % ('light' if c['L'] > 60 else 'deep'), cards=True)


if __name__ == '__main__':
    main()
