#include "PictureFormat.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <array>

namespace {

struct FormatEntry
{
    PictureFormat format;
    const char *description;
    std::array<const char *, 2> extensions; // the second may be null
};

constexpr std::array<FormatEntry, 5> kFormats{{
    {PictureFormat::Jpeg, "JPEG Image File", {"jpg", "jpeg"}},
    {PictureFormat::Bitmap, "Bitmaps", {"bmp", nullptr}},
    {PictureFormat::Icon, "Icons", {"ico", nullptr}},
    {PictureFormat::EnhancedMetafile, "Enhanced Metafiles", {"emf", nullptr}},
    {PictureFormat::Metafile, "Metafiles", {"wmf", nullptr}},
}};

QStringList patternsOf(const FormatEntry &entry)
{
    QStringList patterns;
    for (const char *extension : entry.extensions) {
        if (extension)
            patterns.append(QStringLiteral("*.") + QLatin1String(extension));
    }
    return patterns;
}

// The extension as the file name ends, after its last dot; empty when the name has none.
QString extensionOf(const QString &path)
{
    return QFileInfo(path).suffix();
}

} // namespace

PictureFormat PictureFormats::ofPath(const QString &path)
{
    const QString extension = extensionOf(path);
    for (const FormatEntry &entry : kFormats) {
        for (const char *known : entry.extensions) {
            if (known && extension.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
                return entry.format;
        }
    }
    return PictureFormat::Unknown;
}

QStringList PictureFormats::dialogFilters()
{
    QStringList all;
    QStringList filters;
    for (const FormatEntry &entry : kFormats) {
        const QStringList patterns = patternsOf(entry);
        all += patterns;
        filters.append(QStringLiteral("%1 (%2)").arg(QLatin1String(entry.description), patterns.join(QLatin1Char(' '))));
    }
    filters.prepend(QStringLiteral("All (%1)").arg(all.join(QLatin1Char(' '))));
    return filters;
}

QString PictureFormats::unknownExtensionMessage(const QString &path)
{
    return QCoreApplication::translate("PictureFormats", "Unknown picture file extension (.%1)").arg(extensionOf(path));
}
