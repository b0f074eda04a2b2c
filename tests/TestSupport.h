#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>

class QWidget;

namespace testsupport {

// Name of the screen list the test program runs with: "one", "two", "fourthree" or
// "square" (see tests/data/screens-*.json).
QString screenSet();

// Renders a widget (and its children) into an image of its own size.
QImage renderWidget(QWidget *widget);

// A file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString &path);

// The values of a settings file as plain text ("name=value" lines), read without the store.
QMap<QString, QString> readValues(const QString &path);

// Folder with the test fixtures.
QString dataPath(const QString &name);

} // namespace testsupport
