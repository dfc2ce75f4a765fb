// What the operator sees is what the converter gets: a rejected number or malformed hex text
// stops a Write, values the converter cannot hold are questioned, the pages' controls follow
// every load, greyed fields cannot be changed through their arrows.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QTest>
#include <QToolButton>

#include "framework/qt/edit_rules.h"
#include "gui_harness.h"
#include "protocol/text.h"
#include "profile/settings_profile.h"
#include "protocol/frame_codec.h"
#include "res/resource.h"
#include "sample_configs.h"

using namespace linkmate;
using namespace linkmate::guitest;

namespace {

// A connected window against a converter whose configuration is `held`.
struct Connected {
    GuiEnvironment env;
    MessageLog log;
    TestSheet sheet;

    explicit Connected(const DeviceConfig& held = sim::FactoryConfig(), sim::Options options = {})
        : env(true, std::move(options)) {
        env.converter()->SetStoredConfig(held);
        sheet.Init();
        QApplication::setActiveWindow(sheet.widget());
        if (!ClickConnect(sheet)) qFatal("cannot connect");
    }
    QLineEdit* Tran(int id) { return Control<QLineEdit>(sheet.m_tranPage, id); }
    QLineEdit* Can(int id) { return Control<QLineEdit>(sheet.m_canPage, id); }
    void Write() { ClickButton(sheet, fw::ID_APPLY_NOW); }
    int FramesWritten() { return env.converter()->stats().writeFrames; }
    // What the converter holds, as a read-back would show it.
    CanSettings HeldCan() { return env.converter()->storedConfig().can; }
};

void PasteInto(QLineEdit* edit, const QString& text) {
    QApplication::clipboard()->setText(text);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

bool ProfileSaved() {
    DeviceConfig saved;
    saved.tran.TranIdBase = -77;
    LoadProfile(saved);
    return saved.tran.TranIdBase != -77 &&
           saved.tran.TranIdBase != ProfileFallbackConfig().tran.TranIdBase;
}

}  // namespace

class EntryIntegrityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitGuiTests(); }

    void rejectedNumberStopsTheWriteAndKeepsEveryTypedValue() {
        Connected c;
        Choose(Control<QComboBox>(c.sheet.m_tranPage, IDC_TRAN_MODE), 1);
        Retype(c.Tran(IDC_TRAN_SPACE), "4");
        Retype(c.Tran(IDC_TRAN_ID_OFFSET), "6");
        PasteInto(c.Tran(IDC_TRAN_ID_LENGTH), "x3");  // paste is not filtered: no number
        c.sheet.SetActivePage(1);                     // leaving is refused: the page stays current
        QCOMPARE(c.sheet.GetActiveIndex(), 0);
        c.log.calls.clear();

        c.Write();
        QCOMPARE(c.log.texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(c.FramesWritten(), 0);
        QVERIFY(!ProfileSaved());
        QCOMPARE(QApplication::focusWidget(), c.Tran(IDC_TRAN_ID_LENGTH));
        QCOMPARE(c.Tran(IDC_TRAN_ID_LENGTH)->selectedText(), QString("x3"));
        QCOMPARE(c.Tran(IDC_TRAN_SPACE)->text(), QString("4"));
        QCOMPARE(c.Tran(IDC_TRAN_ID_OFFSET)->text(), QString("6"));

        // Corrected, the same Write goes out with what the page shows.
        Retype(c.Tran(IDC_TRAN_ID_LENGTH), "3");
        c.log.calls.clear();
        c.Write();
        QCOMPARE(c.log.texts(), std::vector<std::string>{"Write Configration Successfully!"});
        const ConfigFrame frame = c.env.converter()->storedFrame();
        QCOMPARE(int(frame[22]), 4);
        QCOMPARE(int(frame[30]), 3);
        QCOMPARE(int(frame[31]), 6);
    }

    void failedReadWithARejectedNumberKeepsWhatWasTyped() {
        sim::Options options;
        options.fault = sim::Fault::kWrongCheck;
        Connected c(sim::FactoryConfig(), options);
        Choose(Control<QComboBox>(c.sheet.m_tranPage, IDC_TRAN_MODE), 1);
        Retype(c.Tran(IDC_TRAN_SPACE), "");
        Retype(c.Tran(IDC_TRAN_ID_OFFSET), "6");
        Retype(c.Tran(IDC_TRAN_ID_LENGTH), "3");
        ClickButton(c.sheet, fw::IDCANCEL);
        QCOMPARE(c.log.texts(),
                 (std::vector<std::string>{"Please enter an integer.", "Communication Error!"}));
        QCOMPARE(c.env.converter()->stats().readRequests, 4);
        QCOMPARE(c.Tran(IDC_TRAN_ID_OFFSET)->text(), QString("6"));
        QCOMPARE(c.Tran(IDC_TRAN_ID_LENGTH)->text(), QString("3"));
        QCOMPARE(c.Tran(IDC_TRAN_SPACE)->text(), QString());
    }

    void modeChangeWithARejectedNumberLosesNothingTyped() {
        Connected c;
        QComboBox* mode = Control<QComboBox>(c.sheet.m_tranPage, IDC_TRAN_MODE);
        Choose(mode, 1);
        Retype(c.Tran(IDC_TRAN_ID_OFFSET), "6");
        Retype(c.Tran(IDC_TRAN_ID_LENGTH), "3");
        Retype(c.Tran(IDC_TRAN_SPACE), "");
        Choose(mode, 0);
        // Told once, the mode taken, the typed numbers kept; the emptied interval, greyed by the
        // new mode, shows its last value.
        QCOMPARE(c.log.texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(c.sheet.m_tranPage.tran.TranMode, 0);
        QCOMPARE(c.Tran(IDC_TRAN_ID_OFFSET)->text(), QString("6"));
        QCOMPARE(c.Tran(IDC_TRAN_ID_LENGTH)->text(), QString("3"));
        QCOMPARE(c.Tran(IDC_TRAN_SPACE)->text(), QString("2"));
        Choose(mode, 1);
        Retype(c.Tran(IDC_TRAN_SPACE), "");
        Choose(mode, 1);
        QCOMPARE(c.log.calls.size(), size_t{2});
        QCOMPARE(c.Tran(IDC_TRAN_SPACE)->text(), QString());  // still editable: left as it is
        Retype(c.Tran(IDC_TRAN_SPACE), "5");
        c.log.calls.clear();
        c.Write();
        QCOMPARE(c.log.texts(), std::vector<std::string>{"Write Configration Successfully!"});
        QCOMPARE(c.env.converter()->storedConfig().tran.TranIdBase, 6);
        QCOMPARE(c.env.converter()->storedConfig().tran.TranLength, 3);
        QCOMPARE(c.env.converter()->storedConfig().tran.TranSpace, 5);
    }

    void controlsFollowTheValuesAfterARead() {
        DeviceConfig held = testing::DualExtendedEdited();  // Custom, dual, mask not zero
        held.tran.TranMode = 1;
        Connected c(held);
        CCanPage& can = c.sheet.m_canPage;
        // Before: a preset, single filter, box clear.
        QVERIFY(!c.Can(IDC_CAN_BTR0)->isEnabled());
        ClickButton(c.sheet, fw::IDCANCEL);
        QCOMPARE(c.log.texts().back(), std::string("Read Configration Successfully!"));
        QVERIFY(c.Can(IDC_CAN_BTR0)->isEnabled());
        QVERIFY(c.Can(IDC_CAN_BTR1)->isEnabled());
        QVERIFY(Control<QCheckBox>(can, IDC_CAN_CUSTOM_MASK)->isChecked());
        for (int id : {IDC_CAN_ACCEPT_CODE1, IDC_CAN_ACCEPT_CODE2, IDC_CAN_ACCEPT_MASK1,
                       IDC_CAN_ACCEPT_MASK2}) {
            QVERIFY(c.Can(id)->isVisibleTo(Widget(can)));
        }
        QVERIFY(!c.Can(IDC_CAN_ACCEPT_CODE)->isVisibleTo(Widget(can)));
        QVERIFY(!c.Can(IDC_CAN_ACCEPT_MASK)->isVisibleTo(Widget(can)));
        QVERIFY(c.Can(IDC_CAN_ACCEPT_MASK1)->isEnabled());
        // No rule ran: the texts are the converter's.
        QCOMPARE(c.Can(IDC_CAN_BTR0)->text(), QString("3F"));
        QCOMPARE(c.Can(IDC_CAN_ACCEPT_MASK2)->text(), QString("FF 00"));
        for (int id : {IDC_TRAN_SPACE, IDC_TRAN_ID_OFFSET, IDC_TRAN_ID_LENGTH}) {
            QVERIFY(c.Tran(id)->isEnabled());
        }

        // What the operator now types into the shown fields is what goes out.
        c.sheet.SetActivePage(2);
        Retype(c.Can(IDC_CAN_ACCEPT_CODE1), "0a 0b");
        Retype(c.Can(IDC_CAN_BTR1), "1d");
        c.Write();
        QCOMPARE(c.log.texts().back(), std::string("Write Configration Successfully!"));
        QCOMPARE(c.HeldCan().CanAcptCode1, std::string("0A 0B"));
        QCOMPARE(c.HeldCan().CanBTR1, std::string("1D"));
    }

    void layoutFollowsTheProfileAtStart() {
        GuiEnvironment env(false);
        DeviceConfig saved;
        saved.can.CanFiterMode = 0;
        SaveProfile(saved);
        TestSheet sheet;
        sheet.Init();
        CCanPage& can = sheet.m_canPage;
        QVERIFY(Control<QLineEdit>(can, IDC_CAN_ACCEPT_CODE1)->isVisibleTo(Widget(can)));
        QVERIFY(!Control<QLineEdit>(can, IDC_CAN_ACCEPT_CODE)->isVisibleTo(Widget(can)));
    }

    void malformedHexStopsTheWriteNamingTheField() {
        Connected c;
        c.sheet.SetActivePage(2);
        QLineEdit* code = c.Can(IDC_CAN_ACCEPT_CODE);
        PasteInto(code, QString::fromUtf8("xy:Z-中文 012"));
        const QString pasted = code->text();
        QCOMPARE(pasted, QString::fromUtf8("xy:Z-中文 012"));
        c.sheet.SetActivePage(0);
        c.Write();
        QCOMPARE(c.log.calls.size(), size_t{1});
        const std::string& text = c.log.calls[0].text;
        QVERIFY2(text.find("Acceptance Code: \"" + pasted.toStdString() + "\"") == 0, text.c_str());
        QCOMPARE(c.log.calls[0].caption, std::string("Configration"));
        QCOMPARE(c.FramesWritten(), 0);
        QCOMPARE(c.sheet.GetActiveIndex(), 2);
        QCOMPARE(QApplication::focusWidget(), code);
        QCOMPARE(code->selectedText(), pasted);
        QCOMPARE(code->text(), pasted);
    }

    void valuesTheConverterCannotHoldAreQuestioned() {
        Connected c;
        c.sheet.SetActivePage(2);
        Choose(Control<QComboBox>(c.sheet.m_canPage, IDC_CAN_FRAME_FORMAT), 0);
        Retype(c.Can(IDC_CAN_TX_ID), "7FF");
        c.sheet.SetActivePage(0);

        c.log.answerYes = false;
        c.Write();
        QCOMPARE(c.log.calls.size(), size_t{1});
        QVERIFY(c.log.calls[0].buttons == fw::MessageButtons::kYesNo);
        const std::string& question = c.log.calls[0].text;
        const std::string said = "Identifier(Tx): you typed \"7FF\" (read as " +
                                 text::Unbroken("7F 0F 00 00") + "); the converter will hold " +
                                 text::Unbroken("00 00 00 00") + ".";
        QVERIFY2(question.find(said) != std::string::npos, question.c_str());
        // The mask rule's own all-ones mask raises no question.
        QVERIFY(question.find("Mask") == std::string::npos);
        QCOMPARE(c.FramesWritten(), 0);
        QCOMPARE(c.sheet.GetActiveIndex(), 2);
        QCOMPARE(QApplication::focusWidget(), c.Can(IDC_CAN_TX_ID));

        c.log.answerYes = true;
        c.log.calls.clear();
        c.Write();
        QCOMPARE(c.log.texts().back(), std::string("Write Configration Successfully!"));
        QCOMPARE(c.FramesWritten(), 1);
        QCOMPARE(c.HeldCan().CanID, std::string("00 00 00 00"));

        // The third answer takes the run of digits as one number, into the field, and writes it.
        Retype(c.Can(IDC_CAN_TX_ID), "7FF");
        c.log.calls.clear();
        c.log.answer = fw::kAnswerAlternative;
        c.Write();
        QCOMPARE(c.log.calls.front().alternative, "Use " + text::Unbroken("00 00 07 FF"));
        QCOMPARE(c.log.texts().back(), std::string("Write Configration Successfully!"));
        QCOMPARE(c.Can(IDC_CAN_TX_ID)->text(), QString("00 00 07 FF"));
        QCOMPARE(c.HeldCan().CanID, std::string("00 00 07 FF"));

        // Typed as four groups, the identifier fits and nothing is asked.
        c.log.calls.clear();
        c.Write();
        QCOMPARE(c.log.texts(), std::vector<std::string>{"Write Configration Successfully!"});
    }

    void greyedFieldsDoNotMoveWithTheirArrows() {
        Connected c;
        CTranPage& page = c.sheet.m_tranPage;
        Choose(Control<QComboBox>(page, IDC_TRAN_MODE), 0);
        auto* spin = Control<fw::qt::UpDownControl>(page, IDC_TRAN_SPACE_SPIN);
        QVERIFY(!spin->isEnabled());
        QTest::mouseClick(spin->upButton(), Qt::LeftButton);
        QTest::mouseClick(Control<fw::qt::UpDownControl>(page, IDC_TRAN_ID_LENGTH_SPIN)->upButton(),
                          Qt::LeftButton);
        QCOMPARE(c.Tran(IDC_TRAN_SPACE)->text(), QString("2"));
        QCOMPARE(c.Tran(IDC_TRAN_ID_LENGTH)->text(), QString("1"));
        c.Write();
        QCOMPARE(int(c.env.converter()->storedFrame()[22]), 2);
        QCOMPARE(int(c.env.converter()->storedFrame()[30]), 1);

        Choose(Control<QComboBox>(page, IDC_TRAN_MODE), 1);
        QVERIFY(spin->isEnabled());
        QTest::mouseClick(spin->upButton(), Qt::LeftButton);
        QCOMPARE(c.Tran(IDC_TRAN_SPACE)->text(), QString("3"));
        // Disconnecting greys every arrow with its edit.
        ClickConnect(c.sheet);
        QVERIFY(!spin->isEnabled());
    }
};

QTEST_MAIN(EntryIntegrityTest)
#include "entry_integrity_test.moc"
