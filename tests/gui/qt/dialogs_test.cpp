// The boxes and dialogs on Qt: the details pane of a message box (resizable, fixed-width, not
// wrapped, copied whole), a question's third answer, and the window's font in every dialog.
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/port_map_dlg.h"
#include "gui_harness.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

void ExpectWindowFont(const QWidget* window, const QFont& font) {
    QCOMPARE(QFontInfo(window->font()).pointSize(), QFontInfo(font).pointSize());
    QCOMPARE(window->font().family(), font.family());
}

// Hides `window` right after its first paint, ahead of anything that paint posts.
class CloseOnFirstPaint : public QObject {
public:
    explicit CloseOnFirstPaint(QWidget* window) : m_window(window) {
        qApp->installEventFilter(this);
    }
    bool closed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Paint && !m_posted) {
            m_posted = true;
            QTimer::singleShot(0, m_window, [this] {
                m_window->hide();
                closed = true;
            });
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_posted = false;
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void detailsAreResizableFixedWidthUnwrappedAndCopiedWhole() {
        GuiEnvironment env(false);
        TestSheet sheet;
        sheet.Init();
        const std::string trace =
            "attempt 1: sent F7 F8 03 01 AA A7; nothing received within the time-out of 1000 ms\n"
            "attempt 2: sent F7 F8 03 01 AA A7; nothing received within the time-out of 1000 ms";
        const auto box = fw::qt::CreateMessageBox({&sheet,
                                                   "Communication Error!",
                                                   "Configration",
                                                   fw::MessageIcon::kNone,
                                                   fw::MessageButtons::kOk,
                                                   "No answer at all.",
                                                   trace,
                                                   {}},
                                                  sheet.widget());
        box->show();
        ExpectWindowFont(box.get(), sheet.widget()->font());
        auto* details = box->findChild<QPlainTextEdit*>("details");
        QVERIFY(details != nullptr && details->isHidden());
        box->findChild<QPushButton*>("toggleDetails")->click();
        QVERIFY(details->isVisible());
        // The trace's columns line up whatever fonts the machine has.
        const QFontMetrics pane(details->font());
        QCOMPARE(pane.horizontalAdvance(QLatin1Char('i')),
                 pane.horizontalAdvance(QLatin1Char('0')));
        QCOMPARE(pane.horizontalAdvance(QLatin1Char('W')),
                 pane.horizontalAdvance(QLatin1Char('0')));
        QCOMPARE(details->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(details->document()->lineCount(), 2);
        // Larger than it opened, both ways.
        const QSize opened = box->size();
        box->resize(opened + QSize(200, 150));
        QCOMPARE(box->size(), opened + QSize(200, 150));
        QVERIFY(details->height() > 4 * details->fontMetrics().lineSpacing());

        box->findChild<QPushButton*>("copy")->click();
        QCOMPARE(QApplication::clipboard()->text().toStdString(),
                 "Communication Error!\n\nNo answer at all.\n\n" + trace);
    }

    void aQuestionsThirdAnswerIsItsOwn() {
        const auto box = fw::qt::CreateMessageBox({nullptr,
                                                   "Write anyway?",
                                                   "Configration",
                                                   fw::MessageIcon::kQuestion,
                                                   fw::MessageButtons::kYesNo,
                                                   {},
                                                   {},
                                                   "Use 00 00 07 FF"},
                                                  nullptr);
        box->show();
        QPushButton* use = nullptr;
        for (auto* button : box->findChildren<QPushButton*>()) {
            if (button->text() == "Use 00 00 07 FF") use = button;
        }
        QVERIFY(use != nullptr);
        // No is the default: a stray Enter sends nothing.
        QVERIFY(!use->isDefault());
        use->click();
        QCOMPARE(box->result(), int(fw::kAnswerAlternative));
    }

    void everyDialogTakesTheWindowsFont() {
        GuiEnvironment env(false);
        TestSheet sheet;
        sheet.Init();
        CPortMapDlg ports;
        bool inspected = false;
        Inspect(ports, &sheet, [&](fw::CDialog& dialog) {
            ExpectWindowFont(Widget(dialog), sheet.widget()->font());
            inspected = true;
        });
        QVERIFY(inspected);
    }

    // What waits for the first paint runs once it has been handled, and not for a window that
    // was hidden before it painted.
    void workAfterTheFirstPaintWaitsForItAndForAShownWindow() {
        GuiEnvironment env(false);
        int ran = 0;
        {
            TestSheet sheet;
            sheet.OnInitDialog();
            sheet.AfterFirstPaint([&] { ++ran; });
            QCoreApplication::processEvents();
            QCOMPARE(ran, 0);
            sheet.ShowWindow(true);
            QTRY_COMPARE(ran, 1);
            QTest::qWait(50);
            QCOMPARE(ran, 1);
        }
        // Closed as it painted (the way the start-up benchmark ends its window).
        TestSheet closed;
        closed.OnInitDialog();
        closed.AfterFirstPaint([&] { ++ran; });
        CloseOnFirstPaint closer(closed.widget());
        closed.ShowWindow(true);
        QTRY_VERIFY(closer.closed);
        QTest::qWait(50);
        QCOMPARE(ran, 1);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
