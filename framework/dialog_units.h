// Dialog units: a template's positions are given in units of the dialog font, a quarter of its
// average character width across and an eighth of its height down, as the platform does.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <string>

namespace linkmate::fw {

// The template's font; the Windows dialog fonts map to a metric-compatible font that is here.
QFont DialogFont(const std::string& name, int pointSize);

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    QSize base() const { return m_base; }
    int ToPixelsX(int x) const;
    int ToPixelsY(int y) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    QSize m_base;
};

}  // namespace linkmate::fw
