// The window in the operator's language: the language follows the locale or --lang, every text
// of the panel, the pages, the About box and the messages is Chinese in zh_CN, and the About
// box's Chinese source texts read English in en.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <cerrno>
#include <cstdlib>

#include "app/about_dlg.h"
#include "app/language.h"
#include "app/sheet_status.h"
#include "gui_harness.h"
#include "protocol/system_reason.h"
#include "res/resource.h"
#include "serial/com_port_names.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

// Every text a window shows, in a stable order: labels, buttons, check boxes, list entries, tabs.
QStringList VisibleTexts(QWidget* top) {
    QStringList texts;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
        if (auto* list = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
        }
        if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
        }
    }
    texts << top->windowTitle();
    return texts;
}

// Texts that stay as they are in every language: names, numbers, units, notation.
bool KeptAsItIs(const QString& text) {
    static const QRegularExpression plain(R"(^[0-9 .K/:&()\-→←x]*$)");
    static const QStringList names = {"bps",      "(HEX)",         "CAN",
                                      "&BTR0/1:", "Trellian v2.0", "Ternix-A",
                                      "Ternix-B", "Xon/Xoff",      "Trellian"};
    return plain.match(text).hasMatch() || names.contains(text) || text.startsWith("COM") ||
           text.isEmpty();
}

struct SheetTexts {
    QStringList texts;
    std::vector<std::string> messages;
};

SheetTexts Collect() {
    GuiEnvironment env(false);
    MessageLog log;
    TestSheet sheet;
    sheet.Init();
    for (int page = 2; page >= 0; --page) sheet.SetActivePage(page);
    sheet.m_tranPage.EnableWindow(true);
    sheet.m_tranPage.SendEnable(true);
    Choose(Control<QComboBox>(sheet.m_tranPage, IDC_TRAN_MODE), 1);
    Retype(Control<QLineEdit>(sheet.m_tranPage, IDC_TRAN_SPACE), "");
    sheet.m_tranPage.ExchangeData(true);  // "Please enter an integer."
    SheetTexts out{VisibleTexts(sheet.widget()), log.texts()};
    CAboutDlg about;
    Inspect(about, &sheet, [&](fw::CDialog& shown) { out.texts << VisibleTexts(Widget(shown)); });
    return out;
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }
    void cleanup() { InstallLanguage("en"); }

    void theLanguageFollowsTheLocaleOrTheOption() {
        const struct {
            const char* language;
            const char* lcAll;
            const char* lang;
            const char* option;
            const char* expected;
        } cases[] = {
            {"", "", "zh_CN.UTF-8", "", "zh_CN"},
            {"", "zh_TW.UTF-8", "en_US.UTF-8", "", "zh_CN"},
            {"en_GB:zh_CN", "zh_CN.UTF-8", "", "", "en"},
            {"zh_CN:en", "", "", "", "zh_CN"},
            {"", "", "de_DE.UTF-8", "", "en"},
            {"", "", "zh_CN.UTF-8", "en", "en"},
            {"", "", "C", "zh_CN", "zh_CN"},
        };
        for (const auto& c : cases) {
            for (const auto& [name, value] : {std::pair{"LANGUAGE", c.language},
                                              {"LC_ALL", c.lcAll},
                                              {"LC_MESSAGES", ""},
                                              {"LANG", c.lang}}) {
                qputenv(name, value);
            }
            QCOMPARE(ChooseLanguage(c.option), std::string(c.expected));
        }
    }

    void everyTextIsChineseInZhCn() {
        const SheetTexts english = Collect();
        InstallLanguage("zh_CN");
        const SheetTexts chinese = Collect();
        QCOMPARE(chinese.texts.size(), english.texts.size());
        QStringList same;
        for (int i = 0; i < english.texts.size(); ++i) {
            if (!KeptAsItIs(english.texts[i]) && chinese.texts[i] == english.texts[i]) {
                same << english.texts[i];
            }
        }
        QVERIFY2(same.isEmpty(), qPrintable("left in English: " + same.join(" | ")));
        QVERIFY(chinese.texts.contains("关于 Trellian"));
        QVERIFY(chinese.texts.contains("确定"));
        QCOMPARE(chinese.messages, std::vector<std::string>{"请输入一个整数。"});
        QCOMPARE(english.messages, std::vector<std::string>{"Please enter an integer."});
    }

    // Sentences run on with a blank in English, without one after a Chinese full stop.
    void statusSentencesJoinInEachLanguagesWay() {
        QCOMPARE(OneLine("Not connected.\nRead failed."),
                 std::string("Not connected. Read failed."));
        QCOMPARE(OneLine("未连接。\n通信错误：无应答。"),
                 std::string("未连接。通信错误：无应答。"));
        QCOMPARE(JoinSentences("端口：", "COM3"), std::string("端口：COM3"));
        QCOMPARE(JoinSentences("无应答", "有转换器"), std::string("无应答 有转换器"));
        QCOMPARE(JoinSentences("", "x"), std::string("x"));
    }

    void theAboutBoxReadsEnglishInEn() {
        InstallLanguage("en");
        CAboutDlg about;
        Inspect(about, nullptr, [](fw::CDialog& shown) {
            QCOMPARE(QString::fromStdString(shown.GetWindowText()), QString("About Trellian"));
            QVERIFY(VisibleTexts(Widget(shown)).contains("OK"));
        });
    }

    void coreMessagesFollowTheLanguage() {
        InstallLanguage("zh_CN");
        GuiEnvironment env(false);
        MessageLog log;
        TestSheet sheet;
        sheet.Init();
        QVERIFY(!ConnectToUnpluggedPort(sheet, 3));
        QCOMPARE(log.texts(), std::vector<std::string>{"无效的端口！"});
        const std::string& detail = log.calls[0].detail;
        QVERIFY2(detail.find("设备不存在") != std::string::npos, detail.c_str());
        // The system's reason from the C library's own translations, not English.
        QVERIFY2(detail.find("系统提示：没有那个文件或目录。") != std::string::npos,
                 detail.c_str());
        QCOMPARE(log.calls[0].caption, std::string("配置"));
        // A language the system has no locale for gives the English reasons, and so does English.
        QVERIFY(!text::SetSystemLanguage("xx_YY"));
        QCOMPARE(text::SystemReason(ENOENT), std::string("No such file or directory"));
        InstallLanguage("en");
        QCOMPARE(text::SystemReason(EACCES), std::string("Permission denied"));
    }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
