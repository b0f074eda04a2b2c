#include "TColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor systemPaletteColor(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 15:
        return palette.color(QPalette::Button);
    case 16:
        return palette.color(QPalette::Dark);
    case 17:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case 18:
        return palette.color(QPalette::ButtonText);
    case 20:
        return palette.color(QPalette::Light);
    case 21:
        return palette.color(QPalette::Shadow);
    case 22:
        return palette.color(QPalette::Midlight);
    case 23:
        return palette.color(QPalette::ToolTipText);
    case 24:
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor resolveColor(TColor color)
{
    const auto value = static_cast<std::uint32_t>(color);
    if (isSystemColor(color))
        return systemPaletteColor(static_cast<int>(value & 0xFFu));
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

TColor toTColor(const QColor &color)
{
    return static_cast<TColor>(static_cast<std::uint32_t>(color.red())
                               | (static_cast<std::uint32_t>(color.green()) << 8)
                               | (static_cast<std::uint32_t>(color.blue()) << 16));
}
