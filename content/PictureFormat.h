#pragma once

#include <QString>
#include <QStringList>

// The kinds of file the title band can show, told apart by the file's extension the way
// the picture dialog offers them.
enum class PictureFormat { Jpeg, Bitmap, Icon, EnhancedMetafile, Metafile, Unknown };

namespace PictureFormats {

// The format a path names by its extension, letters compared without regard to case.
PictureFormat ofPath(const QString &path);

// The picture dialog's filter entries: one covering every format first, then one per format.
QStringList dialogFilters();

// The message for a file whose extension names no format: the extension without its dot.
QString unknownExtensionMessage(const QString &path);

} // namespace PictureFormats
