#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace testsupport {

// Name of the screen list the test program runs with: "one", "two", "fourthree" or
// "square" (see tests/data/screens-*.json).
QString screenSet();

// Renders a widget (and its children) into an image of its own size.
QImage renderWidget(QWidget *widget);

// Folder with the test fixtures.
QString dataPath(const QString &name);

} // namespace testsupport
