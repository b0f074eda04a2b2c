#pragma once

#include "tests/SettingsSandbox.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Dialogs;
class QWidget;
class TForm1;
class TFormMon2;

namespace testsupport {

// Name of the screen list the test program runs with: "one", "two", "fourthree" or
// "square" (see tests/data/screens-*.json).
QString screenSet();

// Renders a widget (and its children) into an image of its own size.
QImage renderWidget(QWidget *widget);

// The program's two windows as main() makes them: the operator window, then the TV window.
// Stopping ends them in main()'s order; a restart is an orderly close and a fresh start
// that reads the settings written at the close.
class ProgramWindows
{
public:
    // Dialogs to give every operator window started, e.g. scripted ones.
    explicit ProgramWindows(Dialogs *dialogs = nullptr);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    void start();
    void stop();
    void restart();

    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFormMon2> tv;

private:
    Dialogs *m_dialogs;
};

// One caption as a board draws it: the label, its text, its font and size, and its box.
struct DrawnCaption
{
    QString label;
    QString caption;
    QString font;
    int points = 0;
    QRect box;
    bool operator==(const DrawnCaption &) const = default;
};

// Every caption the widget's 3-D labels show, in the order of the widget tree.
std::vector<DrawnCaption> drawnCaptions(const QWidget *board);

// The captions that differ, one line each, for a failure message.
std::string captionDifferences(const std::vector<DrawnCaption> &actual, const std::vector<DrawnCaption> &expected);

// Whether two pictures show the same drawing. Glyph edges may be smoothed a few levels
// differently, depending on what the glyph cache held when they were drawn; text at
// another size, place or wrapping moves edges, which then differ at full strength.
bool drawnAlike(const QImage &drawn, const QImage &expected);

// A file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString &path);

// Writes the bytes as the whole file, making its folder first; a failure fails the test.
void writeBytes(const QString &path, const QByteArray &bytes);

// The values of a settings file as plain text ("name=value" lines), read without the store.
QMap<QString, QString> readValues(const QString &path);

// Runs the event loop until the condition holds or the time is up; returns the condition.
// For things that happen through timers and the event loop, never to measure time.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 10000);

// The guarded group of a settings file in the order start-up reads it, with the values of a
// complete stored file.
const QList<QPair<QString, QString>> &storedGroup();

// Folder with the test fixtures.
QString dataPath(const QString &name);

// What the desktop's own validator (desktop-file-validate) finds wrong with a desktop entry
// file; empty when it accepts it.
QString desktopEntryErrors(const QString &path);

// Whether the first answer head on `wire` carries the header with this value; header names
// are matched without regard to case, as HTTP reads them (Qt 6.8 sends them in lower case).
bool hasHttpHeader(const QByteArray &wire, const QByteArray &name, const QByteArray &value);

// The sanitizer options for the real program started by a test:
// - strict string checks off: the X keyboard library hands strndup() a name that is not
//   terminated within its buffer, which is allowed, but the checks take it for an overflow
//   in the library before the program's own code runs;
// - full stacks for allocations, so that the leak suppressions can name the Qt code that
//   keeps an object to the end (Qt's libraries have no frame pointers to walk).
void setProgramSanitizerOptions(QProcessEnvironment &env);

// Whether a pixel is within the tolerance of a colour in each of red, green and blue:
// scaled or compressed pictures and smoothed edges are near, not equal.
bool near(QColor pixel, QColor expected, int tolerance = 40);
bool near(QRgb pixel, QColor expected, int tolerance = 40);

// A string from a UTF-16 literal, for texts that QStringLiteral cannot write in a table.
QString text(const char16_t *utf16);

// The system's wording for an errno, as the program's messages quote it.
QString reason(int error);

// A name of this test's own (suite and test, with a prefix), for files and settings that
// must not leak from one test into the next.
QString uniqueTitle(const QString &prefix);

} // namespace testsupport
