#include "framework/qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace linkmate::fw::qt {
namespace {

constexpr const char* kWindowsDialogFonts[] = {"MS Shell Dlg", "MS Shell Dlg 2",
                                               "Microsoft Sans Serif", "MS Sans Serif", "Tahoma"};

// The family that stands in for the Windows dialog fonts. Liberation Sans has the metrics of
// Arial, the nearest relative of the Windows dialog fonts; without it, fontconfig's default sans
// font stands in. Looked up in the list of families rather than with hasFamily(), which first asks
// fontconfig to resolve the name as an alias: a fifth of the window's start-up, for a name that
// is no alias. The substitutions serve any font made with a Windows name elsewhere.
//
// The texts' few signs that Liberation Sans lacks (the banner's "⇄") come first from DejaVu
// Sans, a TrueType face of wide coverage, which loads in a fraction of the time of the Type 1
// face fontconfig would offer first.
const QStringList& StandInFamilies() {
    static const QStringList families = [] {
        const QStringList installed = QFontDatabase::families();
        const bool haveLiberation = installed.contains("Liberation Sans", Qt::CaseInsensitive);
        const QString substitute = haveLiberation ? "Liberation Sans" : "Sans Serif";
        for (const char* windowsFont : kWindowsDialogFonts)
            QFont::insertSubstitution(windowsFont, substitute);
        QStringList list{substitute};
        if (haveLiberation && installed.contains("DejaVu Sans", Qt::CaseInsensitive))
            list.append("DejaVu Sans");
        return list;
    }();
    return families;
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
    // A Windows font is asked for by its stand-in's own name: asked for by a name it lacks, Qt
    // first misses the name and then has fontconfig sort every font twice to find fallbacks,
    // about a tenth of the window's start-up.
    const QString requested = QString::fromStdString(name);
    const bool windowsFont =
        std::any_of(std::begin(kWindowsDialogFonts), std::end(kWindowsDialogFonts),
                    [&](const char* f) { return requested.compare(f, Qt::CaseInsensitive) == 0; });
    QFont font;
    font.setFamilies(windowsFont ? StandInFamilies() : QStringList{requested});
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
