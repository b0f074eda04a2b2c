#pragma once

#include <QImage>
#include <QString>

#include <vector>

// A QR code as its square of modules, row by row; true is a dark module.
struct QrCode
{
    // The light margin a reader needs around the symbol, in modules.
    static constexpr int kQuietZone = 4;

    int version = 0;
    int side = 0;
    std::vector<bool> modules;

    bool isEmpty() const { return side == 0; }
    // Outside the symbol counts as light, as the quiet zone is.
    bool isDark(int x, int y) const;

    friend bool operator==(const QrCode &, const QrCode &) = default;
};

// The text's UTF-8 bytes as a QR code of error correction level M, in the smallest version
// that holds them. Text that no QR code can hold, or no text at all, gives an empty code.
QrCode encodeQrCode(const QString &text);

// The code black on white with its quiet zone, `moduleSize` pixels to a module. An empty
// code or a module size below one pixel gives a null image.
QImage drawQrCode(const QrCode &code, int moduleSize);

// The largest module size at which the drawn code, quiet zone included, fits into `pixels`;
// at least 1, since a code too small to read is still better than none.
int qrModuleSizeToFit(const QrCode &code, int pixels);
