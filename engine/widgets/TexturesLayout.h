#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QVector>

namespace Vantor {

// The textures tab's rules, without painting: where the tiles go and how a texture
// picture takes the current colour.

// How many columns of tiles `tileWidth` wide fit side by side in `width`: three, or
// fewer (at least one) when the tiles are wide.
int textureColumns(int width, int tileWidth);

// `count` tiles of `tile` size in columns flush with both edges of a viewport `width`
// wide, from (0, firstTop), each row `rowPitch` below the last: three columns, or as
// many as fit without overlapping.
QVector<QRect> layoutTextureTiles(int width, const QSize &tile, int firstTop, int rowPitch, int count);

// The texture tinted with the colour: per pixel and channel, with t the texture's and c
// the colour's value, m = (int)(c·α + t·(1 − α)) modulo 256 and the result (t · m) >> 8;
// the result is opaque. α = 1 multiplies the texture by the colour.
QImage tintTexture(const QImage &texture, const QColor &tint, double alpha);

} // namespace Vantor
