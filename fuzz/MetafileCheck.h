#pragma once

// What both metafile fuzz targets demand of a conversion: exactly one of an SVG document
// that Qt can draw and a message.

#include "content/MetafilePicture.h"

#include <QRectF>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

inline void checkMetafileResult(const MetafilePicture::Result &result, const char *target)
{
    const bool svgOrMessage = result.svg.isEmpty() != result.error.isEmpty();
    bool drawable = true;
    if (!result.svg.isEmpty()) {
        const QSvgRenderer renderer(result.svg);
        drawable = renderer.isValid() && !renderer.viewBoxF().isEmpty();
    }
    if (!svgOrMessage || !drawable) {
        std::fprintf(stderr, "%s fuzz: %s\n", target, !svgOrMessage ? "not exactly one of SVG and message" : "SVG Qt cannot draw");
        std::abort();
    }
}
