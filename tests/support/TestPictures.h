#pragma once

// Pictures the tests put into collection files and drop onto panels.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

namespace Palettra::Test {

// A picture of one colour.
QImage solidImage(const QSize &size, const QColor &colour);
// The picture as the bytes of a PNG file.
QByteArray pngBytes(const QImage &image);
// A PNG file of one colour.
QByteArray solidPng(const QColor &colour, const QSize &size);

} // namespace Palettra::Test
