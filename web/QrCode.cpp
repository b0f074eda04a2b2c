#include "QrCode.h"

#include <QPainter>

#include <qrencode.h>

#include <algorithm>
#include <memory>

namespace {

using LibraryCode = std::unique_ptr<QRcode, decltype(&QRcode_free)>;

QrCode fromLibrary(const QRcode &encoded)
{
    QrCode code;
    code.version = encoded.version;
    code.side = encoded.width;
    const size_t count = size_t(encoded.width) * size_t(encoded.width);
    code.modules.reserve(count);
    // Bit 0 of each byte is the module's colour; the other bits only say how it came about.
    for (size_t i = 0; i < count; ++i)
        code.modules.push_back((encoded.data[i] & 1) != 0);
    return code;
}

} // namespace

bool QrCode::isDark(int x, int y) const
{
    if (x < 0 || y < 0 || x >= side || y >= side)
        return false;
    return modules[size_t(y) * size_t(side) + size_t(x)];
}

QrCode encodeQrCode(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty())
        return {};
    // Too much data gives no code from the library, not a crash.
    const LibraryCode encoded(QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char *>(bytes.constData()),
                                                0, QR_ECLEVEL_M),
                              &QRcode_free);
    return encoded ? fromLibrary(*encoded) : QrCode{};
}

QImage drawQrCode(const QrCode &code, int moduleSize)
{
    if (code.isEmpty() || moduleSize < 1)
        return {};
    const int modules = code.side + 2 * QrCode::kQuietZone;
    QImage image(modules * moduleSize, modules * moduleSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code.side; ++y) {
        for (int x = 0; x < code.side; ++x) {
            if (code.isDark(x, y))
                painter.fillRect((x + QrCode::kQuietZone) * moduleSize, (y + QrCode::kQuietZone) * moduleSize,
                                 moduleSize, moduleSize, Qt::black);
        }
    }
    return image;
}

int qrModuleSizeToFit(const QrCode &code, int pixels)
{
    return std::max(1, pixels / (code.side + 2 * QrCode::kQuietZone));
}
