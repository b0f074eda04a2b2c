#pragma once

#include <QByteArray>
#include <QString>

// Windows metafile title pictures. They are kept as SVG rather than turned into pixels
// here, because the band draws them at its own size: a drawing made for a small
// document then stays sharp on a 4K TV.
//
// Both conversion libraries are old C code that trusts the file, so every file is first
// walked record by record and refused when it is malformed, before a library sees it.
namespace MetafilePicture {

struct Result
{
    QByteArray svg; // a complete SVG document; empty on failure
    QString error;  // a clear message on failure, empty on success
};

// An Enhanced Metafile (.emf) converted with libemf2svg.
Result emfToSvg(const QByteArray &bytes);

// A Windows Metafile (.wmf), placeable or not, converted with libwmf's SVG device.
Result wmfToSvg(const QByteArray &bytes);

} // namespace MetafilePicture
