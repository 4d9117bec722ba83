// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "icon.h"

#include <QPixmap>

namespace strelkavo {
namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kYellow = qRgb(255, 255, 0);

// A horizontal band of rows; outlined bands are black in the first and last column.
struct Band {
    int firstRow;
    int lastRow;
    QRgb colour;
    bool outlined;
};

QImage draw(int size, std::initializer_list<Band> bands)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (const Band &band : bands)
        for (int y = band.firstRow; y <= band.lastRow; ++y)
            for (int x = 0; x < size; ++x) {
                const bool edge = band.outlined && (x == 0 || x == size - 1);
                image.setPixel(x, y, edge ? kBlack : band.colour);
            }
    return image;
}

QImage native(int size)
{
    if (size == 16)
        return draw(16, {{3, 5, kBlack, false},
                         {6, 9, kRed, true},
                         {10, 12, kYellow, true},
                         {13, 13, kBlack, false}});
    return draw(32, {{6, 11, kBlack, false},
                     {12, 18, kRed, true},
                     {19, 24, kYellow, true},
                     {25, 25, kBlack, false}});
}

} // namespace

QImage iconImage(int size)
{
    if (size == 16 || size == 32)
        return native(size);
    const QImage source = native(size < 32 ? 16 : 32);
    return source.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QIcon appIcon()
{
    // Title bars and trays ask for at most 32 pixels, 64 on a doubled
    // screen; the larger sizes are for the desktop's icon theme only, and
    // holding them here would cost the running program a megabyte.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(iconImage(size)));
    return icon;
}

} // namespace strelkavo
