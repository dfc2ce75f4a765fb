// Dialog units: a template's positions are given in units of the dialog font, a quarter of its
// average character width across and an eighth of its height down, as the platform does. The
// average is that of the 52 Latin letters in the font actually used, kept with its fraction: the
// substitute fonts here run wider for the templates' texts than the fonts they were drawn for, and
// rounding the average down to whole pixels would clip them.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <string>

namespace linkmate::fw::qt {

// The template's font; the Windows dialog fonts map to a metric-compatible font that is here.
QFont DialogFont(const std::string& name, int pointSize);

// A font whose Latin letters and digits all have one advance, for text that must line up in
// columns (traces, byte runs). fontconfig's generic "monospace" may answer with a CJK family or a
// font Qt does not treat as fixed pitch, so the common Latin monospace families come first.
QFont FixedWidthFont(int pointSize);

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    // Average letter width and height in pixels.
    double baseWidth() const { return m_baseWidth; }
    int baseHeight() const { return m_baseHeight; }
    int ToPixelsX(int x) const;
    int ToPixelsY(int y) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    double m_baseWidth;
    int m_baseHeight;
};

}  // namespace linkmate::fw::qt
