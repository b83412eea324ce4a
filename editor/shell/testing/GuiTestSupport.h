#pragma once

#include "editor/shell/app/Settings.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

namespace tarvik::testing {

// A folder of its own for one test, removed at the end, with settings kept in an INI file
// inside it.
class TestFolder {
public:
    TestFolder();

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    // Writes bytes to the file name in the folder and gives its path.
    QString Write(const QString& name, const QByteArray& bytes) const;
    // A settings object over settings.ini in the folder; several may be open at once.
    std::unique_ptr<Settings> OpenSettings() const;

private:
    QTemporaryDir dir_;
};

// Types text into widget key by key, as a keyboard that has every character would; unlike
// QTest::keyClicks it takes any Unicode text.
void TypeText(QWidget& widget, const QString& text);

// Whether text in font lines up in columns: narrow and wide letters, digits and blanks all
// advance by the same width. That is what a fixed-pitch font is for; the font's own flag
// says less, as some monospaced fonts do not carry it.
bool AdvancesEvenly(const QFont& font);

// A window's caption as the title bar shows it: the "[*]" placeholder becomes "*" while the
// window is modified and disappears otherwise.
QString ShownTitle(const QWidget& window);

// Renders widget, shown or not, to a PNG file in the folder named by the environment
// variable TARVIK_SCREENSHOTS, when it is set; gives the picture.
QImage RenderWidget(QWidget& widget, const QString& name);

} // namespace tarvik::testing
