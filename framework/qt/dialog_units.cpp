#include "framework/qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <cmath>

namespace linkmate::fw::qt {
namespace {

void InstallSubstitutions() {
    static const bool done = [] {
        // Liberation Sans has the metrics of Arial, the nearest relative of the Windows dialog
        // fonts; without it, fontconfig's default sans font stands in. Looked up in the list of
        // families rather than with hasFamily(), which first asks fontconfig to resolve the name
        // as an alias: a fifth of the window's start-up, for a name that is no alias.
        const bool haveLiberation =
            QFontDatabase::families().contains("Liberation Sans", Qt::CaseInsensitive);
        const QString substitute = haveLiberation ? "Liberation Sans" : "Sans Serif";
        for (const char* windowsFont : {"MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif",
                                        "MS Sans Serif", "Tahoma"}) {
            QFont::insertSubstitution(windowsFont, substitute);
        }
        return true;
    }();
    (void)done;
}

}  // namespace

QFont FixedWidthFont(int pointSize) {
    static const QString family = [] {
        for (const char* candidate :
             {"DejaVu Sans Mono", "Liberation Mono", "Noto Mono", "Noto Sans Mono"}) {
            if (QFontDatabase::hasFamily(candidate)) {
                return QString(candidate);
            }
        }
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    QFont font(family);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    if (pointSize > 0) {
        font.setPointSize(pointSize);
    }
    return font;
}

namespace {

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

QFont DialogFont(const std::string& name, int pointSize) {
    InstallSubstitutions();
    QFont font(QString::fromStdString(name));
    font.setPointSize(pointSize);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    m_baseWidth = metrics.horizontalAdvance(QLatin1String(kLetters)) / 52.0;
    m_baseHeight = QFontMetrics(font).height();
}

int DialogUnits::ToPixelsX(int x) const {
    return static_cast<int>(std::lround(x * m_baseWidth / 4));
}
int DialogUnits::ToPixelsY(int y) const { return MulDiv(y, m_baseHeight, 8); }

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const {
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}

}  // namespace linkmate::fw::qt
