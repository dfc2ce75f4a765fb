#include "framework/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace linkmate::fw {
namespace {

void InstallSubstitutions() {
    static const bool done = [] {
        // Liberation Sans has the metrics of Arial, the nearest relative of the Windows dialog
        // fonts; without it, fontconfig's default sans font stands in.
        const bool haveLiberation = QFontDatabase::families().contains("Liberation Sans");
        const QString substitute = haveLiberation ? "Liberation Sans" : "Sans Serif";
        for (const char* windowsFont :
             {"MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif", "MS Sans Serif", "Tahoma"}) {
            QFont::insertSubstitution(windowsFont, substitute);
        }
        return true;
    }();
    (void)done;
}

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
    // The platform's rule: the average width of the 52 Latin letters, rounded, and the height.
    const QFontMetrics metrics(font);
    const int width =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_base = QSize((width / 26 + 1) / 2, metrics.height());
}

int DialogUnits::ToPixelsX(int x) const { return MulDiv(x, m_base.width(), 4); }
int DialogUnits::ToPixelsY(int y) const { return MulDiv(y, m_base.height(), 8); }

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const {
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}

}  // namespace linkmate::fw
