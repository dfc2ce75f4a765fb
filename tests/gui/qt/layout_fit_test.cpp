// No text is clipped: every control of the panel, the three pages, the sheet's buttons and the
// About box shows its whole text (a list its longest entry, an edit the longest text its field
// takes), and no label runs into a neighbour. The test run repeats this at several scale factors.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTest>

#include "app/about_dlg.h"
#include "app/language.h"
#include "gui_harness.h"
#include "res/resource.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

QString Plain(QString text) { return text.remove(QLatin1Char('&')); }

// The longest text each hex edit takes (its typing limit), and a two-digit count.
QString SampleText(const QLineEdit* edit) {
    switch (edit->property("sampleLength").toInt()) {
        case 2: return "FF";
        case 5: return "FF FF";
        case 11: return "FF FF FF FF";
        default: return "10";
    }
}

class FitChecker {
public:
    void Check(const QString& where, QWidget* parent) {
        const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* w : children) {
            if (!w->isVisibleTo(parent)) continue;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                CheckLabel(where, label, children);
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                CheckList(where, list);
            } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
                Require(box->sizeHint().width() <= box->width(), where, box->text(),
                        box->sizeHint().width(), box->width());
            } else if (auto* button = qobject_cast<QPushButton*>(w)) {
                CheckButton(where, button, button->text());
            } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                CheckEdit(where, edit);
            }
        }
    }
    void CheckButton(const QString& where, QPushButton* button, const QString& text) {
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        const int need = button->fontMetrics().horizontalAdvance(Plain(text)) + 2 * margin;
        Require(need <= button->width(), where, text, need, button->width());
    }
    QStringList failures;

private:
    void Require(bool ok, const QString& where, const QString& what, int need, int have) {
        if (!ok)
            failures
                << QString("%1: \"%2\" needs %3 px, has %4").arg(where, what).arg(need).arg(have);
    }

    void CheckLabel(const QString& where, QLabel* label, const QList<QWidget*>& siblings) {
        if (label->text().isEmpty()) return;
        const QFontMetrics fm = label->fontMetrics();
        const QStringList lines = Plain(label->text()).split('\n');
        int width = 0;
        for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
        const QRect text(label->geometry().topLeft(),
                         QSize(width, fm.height() * int(lines.size())));
        Require(width <= label->contentsRect().width(), where, label->text(), width,
                label->contentsRect().width());
        Require(text.height() <= label->height(), where, label->text() + " (height)", text.height(),
                label->height());
        for (QWidget* other : siblings) {
            if (other == label || !other->isVisibleTo(label->parentWidget())) continue;
            // A text drawn over a picture (the banner's subtitle) lies inside it on purpose.
            if (auto* picture = qobject_cast<QLabel*>(other); picture != nullptr &&
                                                              !picture->pixmap().isNull() &&
                                                              picture->geometry().contains(text)) {
                continue;
            }
            if (text.intersects(other->geometry())) {
                failures << QString("%1: \"%2\" runs into %3 at x %4")
                                .arg(where, label->text(), other->metaObject()->className())
                                .arg(other->x());
            }
        }
    }

    void CheckList(const QString& where, QComboBox* list) {
        QStyleOptionComboBox opt;
        opt.initFrom(list);
        opt.editable = false;
        opt.frame = true;
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                          QStyle::SC_ComboBoxEditField, list);
        for (int i = 0; i < list->count(); ++i) {
            const int need = list->fontMetrics().horizontalAdvance(list->itemText(i));
            Require(need <= field.width(), where, list->itemText(i), need, field.width());
        }
    }

    void CheckEdit(const QString& where, QLineEdit* edit) {
        QStyleOptionFrame opt;
        opt.initFrom(edit);
        opt.rect = edit->rect();
        opt.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit);
        QRect r = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
        r = r.marginsRemoved(edit->textMargins());
        constexpr int kHorizontalMargin = 2;  // QLineEdit's own, each side
        const int room = r.width() - 2 * kHorizontalMargin;
        const QString sample = SampleText(edit);
        // One pixel more for the cursor behind the last character, or the edit scrolls.
        const int need = edit->fontMetrics().horizontalAdvance(sample) + 1;
        Require(need <= room, where, sample, need, room);
        Require(edit->fontMetrics().height() <= r.height(), where, sample + " (height)",
                edit->fontMetrics().height(), r.height());
    }
};

}  // namespace

class LayoutFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }
    void cleanup() { InstallLanguage("en"); }

    void noTextIsClipped() { CheckEveryWindow(); }

    void noTextIsClippedInChinese() {
        InstallLanguage("zh_CN");
        CheckEveryWindow();
    }

private:
    void CheckEveryWindow() {
        GuiEnvironment env(false);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        const struct {
            int id;
            int length;
        } hexLimits[] = {
            {IDC_CAN_BTR0, 2},         {IDC_CAN_BTR1, 2},         {IDC_CAN_TX_ID, 11},
            {IDC_CAN_ACCEPT_CODE, 11}, {IDC_CAN_ACCEPT_MASK, 11}, {IDC_CAN_ACCEPT_CODE1, 5},
            {IDC_CAN_ACCEPT_CODE2, 5}, {IDC_CAN_ACCEPT_MASK1, 5}, {IDC_CAN_ACCEPT_MASK2, 5}};
        for (const auto& h : hexLimits) {
            Control<QWidget>(sheet.m_canPage, h.id)->setProperty("sampleLength", h.length);
        }
        FitChecker fit;
        fit.Check("panel", Widget(sheet.m_panel));
        fit.CheckButton("panel", Control<QPushButton>(sheet.m_panel, IDC_CONNECT), "Dis&connect");
        for (int page = 0; page < 3; ++page) {
            sheet.SetActivePage(page);
            fit.Check(QString::fromStdString(sheet.GetPage(page)->title()),
                      Widget(*sheet.GetPage(page)));
        }
        // Both filter layouts.
        Choose(Control<QComboBox>(sheet.m_canPage, IDC_CAN_FILTER_MODE), 0);
        fit.Check("CAN, dual", Widget(sheet.m_canPage));
        for (int id : {fw::IDOK, fw::IDCANCEL, fw::ID_APPLY_NOW}) {
            auto* button = fw::qt::WidgetOf<QPushButton>(sheet.GetDlgItem(id));
            fit.CheckButton("sheet", button, button->text());
        }
        CAboutDlg about;
        Inspect(about, &sheet, [&](fw::CDialog& shown) { fit.Check("About", Widget(shown)); });
        if (!fit.failures.isEmpty()) QFAIL(qPrintable("\n" + fit.failures.join('\n')));
    }
};

QTEST_MAIN(LayoutFitTest)
#include "layout_fit_test.moc"
