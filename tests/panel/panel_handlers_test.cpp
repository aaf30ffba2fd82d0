// Each control handler driven as an operator would: keystrokes, mouse clicks and arrow clicks
// on the real widgets, with the plan behind the window. Expected texts and words are worked out
// by hand from the register layouts and the recompute's steps.

#include "twin_rig.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <initializer_list>
#include <memory>

using namespace max2870;
using namespace max2870::test;
using enum max2870::ControlId;

namespace {

// The results text: every line ends in CR LF.
std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::string WordLines(std::initializer_list<std::string> words) {
    std::string text;
    int index = 0;
    for (const std::string& word : words) {
        text += "Reg " + std::to_string(index++) + "   0x " + word + "\r\n";
    }
    return text;
}

QColor Colour(Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

} // namespace

class PanelHandlersTest : public TwinRigTest {
    Q_OBJECT

    std::string LineEditText(ControlId id) {
        return Str(qobject_cast<QLineEdit*>(W().Widget(id))->text());
    }
    std::string LabelText(ControlId id) {
        return Str(qobject_cast<QLabel*>(W().Widget(id))->text());
    }

private slots:
    void initTestCase() { UseProgramStyle(); }
    void init() { QVERIFY(StartRig()); }
    void cleanup() { rig_.reset(); }

    void nothingIsComputedAtStart() {
        QVERIFY(Values().empty());
        QVERIFY(W().Caption(Fvco).empty());
        QVERIFY(W().Caption(Label6).empty());
        QVERIFY(!W().Widget(TrackDivider)->isEnabled());
        // An arrow pressed at its end changes nothing, so it computes nothing either.
        rig_->Arrow(ChrgPump, true);
        rig_->Arrow(OutDivCont, false);
        QVERIFY(Values().empty());
        QCOMPARE(LabelText(ChrgPumpLabel), std::string("Charge Pump  15"));
    }

    // The worked run: divider exponent 1 by its up arrow, then a divider of 2.6.
    void workedRunThroughTheWindow() {
        rig_->Arrow(OutDivCont, true);
        QCOMPARE(LabelText(OutDivLabel), std::string("O/P Divider  2"));
        QVERIFY(W().Widget(TrackDivider)->isEnabled());
        QCOMPARE(Values(), Lines({"Fcomp  10.00MHz", "R  1", "N  464", "F  50", "D  500     ",
                                  "Error =  0.0Hz", ""}) +
                               WordLines({"00E80190", "20000FA1", "18005E42", "0000000B",
                                          "609C80FC", "00400005"}));
        QCOMPARE(W().Widget(ValuesText)->palette().color(QPalette::Text), QColor(Qt::black));

        rig_->Paste(Rdivider, "2.6");
        QCOMPARE(LineEditText(Rdivider), std::string("3"));
        QCOMPARE(LabelText(Label6), std::string("Fcomp 3.333333MHz"));
        QCOMPARE(LabelText(Fvco), std::string("VCO  4641MHz"));
        QCOMPARE(LineEditText(ResolutionText), std::string(" 10000"));
        QCOMPARE(Values(), Lines({"Fcomp  3.333333MHz", "R  3", "N  1392", "F  50", "D  167     ",
                                  "Error =  -998.0Hz", ""}) +
                               WordLines({"02B80190", "20000539", "1800DE42", "0000000B",
                                          "609430FC", "00400005"}));
        QCOMPARE(Str(qobject_cast<QPlainTextEdit*>(W().Widget(ValuesText))->toPlainText()),
                 std::string("Fcomp  3.333333MHz\nR  3\nN  1392\nF  50\nD  167     \n"
                             "Error =  -998.0Hz\n\nReg 0   0x 02B80190\nReg 1   0x 20000539\n"
                             "Reg 2   0x 1800DE42\nReg 3   0x 0000000B\nReg 4   0x 609430FC\n"
                             "Reg 5   0x 00400005\n"));
        QCOMPARE(W().Widget(ValuesText)->palette().color(QPalette::Text), QColor(Qt::red));
        CheckTwinAgrees();
    }

    // Typing the wanted frequency recomputes at every keystroke; at divider 1 the VCO is out
    // of range but the plan is still made.
    void typingTheWantedFrequencyAndTheOutOfRangeVco() {
        rig_->Type(FoutText, "2320.5");
        QCOMPARE(W().Caption(Fvco), std::string("VCO  2320.5MHz\r\nExternal VCO Only"));
        QCOMPARE(LabelText(Fvco), std::string("VCO  2320.5MHz\nExternal VCO Only"));
        QCOMPARE(W().Widget(Fvco)->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(W().Widget(FoutText)->palette().color(QPalette::Base), QColor(Qt::red));
        QVERIFY(Values().starts_with(
            Lines({"Fcomp  10.00MHz", "R  1", "N  232", "F  50", "D  1000     "})));
        QVERIFY(Values().ends_with(
            WordLines({"00740190", "20001F41", "18005E42", "0000000B", "608C80FC", "00400005"})));
        rig_->Type(FoutText, "3000");
        QCOMPARE(W().Caption(Fvco), std::string("VCO  3000MHz")); // the edge is in range
        QCOMPARE(W().Widget(Fvco)->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(W().Widget(FoutText)->palette().color(QPalette::Base), QColor(Qt::white));
        CheckTwinAgrees();
    }

    void referenceBoxTurnsWhiteOnEditOrWhenLeft() {
        auto* box = W().Widget(FrText);
        QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::red));
        box->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(box, Qt::Key_Tab); // left without typing
        QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::white));
        QVERIFY(Values().starts_with("Fcomp  10.00MHz\r\n"));
        rig_->Type(FrText, "20");
        QCOMPARE(LabelText(Label6), std::string("Fcomp 20.0MHz"));
        CheckTwinAgrees();
    }

    void spinnerArrowsWriteTheirLabelsAndRecompute() {
        rig_->Arrow(ChrgPump, false);
        QCOMPARE(LabelText(ChrgPumpLabel), std::string("Charge Pump 14"));
        QVERIFY(Values().find("Reg 2   0x 18005C42\r\n") != std::string::npos);
        rig_->Arrow(OPpwr, false);
        QCOMPARE(LabelText(OPlabel), std::string("Output Power 2"));
        QVERIFY(Values().find("Reg 4   0x 608C80B4\r\n") != std::string::npos);
        for (int press = 0; press < 9; ++press) {
            rig_->Arrow(OutDivCont, true);
        }
        QCOMPARE(W().Value(OutDivCont), 7);
        QCOMPARE(LabelText(OutDivLabel), std::string("O/P Divider  128"));
        CheckTwinAgrees();
    }

    void checkBoxesRecomputeWithTheirBits() {
        rig_->Tick(Enable); // "Chip Enable" recomputes at once, like "OP A on"
        QVERIFY(Values().find("Reg 2   0x 18005E62\r\n") != std::string::npos);
        rig_->Tick(PDpol);
        QVERIFY(Values().find("Reg 2   0x 18005E22\r\n") != std::string::npos);
        rig_->Tick(Aon);
        QVERIFY(Values().find("Reg 4   0x 608C80DC\r\n") != std::string::npos);
        rig_->Tick(Bon);
        QVERIFY(Values().find("Reg 4   0x 608C81DC\r\n") != std::string::npos);
        rig_->Tick(RefDbl);
        QCOMPARE(LabelText(Label6), std::string("Fcomp 20.0MHz"));
        rig_->Tick(Refdiv2);
        QCOMPARE(LabelText(Label6), std::string("Fcomp 10.0MHz"));
        QVERIFY(Values().find("Reg 2   0x 1B005E22\r\n") != std::string::npos);
        CheckTwinAgrees();
    }

    void optionButtonsSelectTheirCodes() {
        rig_->Select(MuxR);
        QVERIFY(Values().find("Reg 2   0x 0C005E42\r\n") != std::string::npos);
        rig_->Select(NM3);
        QVERIFY(Values().find("Reg 2   0x 6C005E42\r\n") != std::string::npos);
        rig_->Select(MuxNone);
        rig_->Select(NM2);
        QVERIFY(Values().find("Reg 2   0x 40005E42\r\n") != std::string::npos);
        int selected = 0;
        for (ControlId id : {MuxNone, MuxR, MuxN, MuxL}) {
            selected += qobject_cast<QRadioButton*>(W().Widget(id))->isChecked() ? 1 : 0;
        }
        QCOMPARE(selected, 1);
        CheckTwinAgrees();
    }

    // "> > >" takes the smallest exponent that brings the wanted frequency to 3000 MHz.
    void autoDividerForItsEdgeCases() {
        const std::pair<const char*, int> cases[] = {
            {"2320.5", 1}, {"1500", 1},  {"1499.99", 2}, {"3000", 0}, {"93.75", 5},
            {"46.875", 6}, {"46.87", 7}, {"0", 7},       {"-5", 7},   {"abc", 7},
        };
        for (auto [text, exponent] : cases) {
            rig_->Type(FoutText, text);
            rig_->Press(SetOdiv);
            QVERIFY2(W().Value(OutDivCont) == exponent, text);
        }
        QCOMPARE(LabelText(OutDivLabel), std::string("O/P Divider  128"));
        CheckTwinAgrees();
    }

    void autoDividerAtTheShownExponentDoesNotRecompute() {
        rig_->Press(SetOdiv); // 2320.5 MHz: exponent 1, a change
        QCOMPARE(LabelText(OutDivLabel), std::string("O/P Divider  2"));
        rig_->Press(PicEEdata);
        QVERIFY(W().Widget(EEdata)->isVisible());
        rig_->Press(SetOdiv); // already 1: nothing runs, so the listing stays in view
        QVERIFY(W().Widget(EEdata)->isVisible());
        rig_->Tick(Bon);
        QVERIFY(!W().Widget(EEdata)->isVisible());
    }

    // The held VCO stays while the divider moves; a click in the box ends tracking.
    void trackingKeepsTheVcoAndAClickInTheBoxEndsIt() {
        rig_->Arrow(OutDivCont, true);
        rig_->Tick(TrackDivider);
        rig_->Arrow(OutDivCont, true);
        QCOMPARE(LineEditText(FoutText), std::string(" 1160.25"));
        QCOMPARE(LabelText(Fvco), std::string("VCO  4641MHz"));
        QCOMPARE(S().VCO, 4641.0);
        QVERIFY(Values().find("N  464\r\n") != std::string::npos);
        rig_->Press(PicEEdata);
        rig_->Press(FoutText);
        QVERIFY(!qobject_cast<QCheckBox*>(W().Widget(TrackDivider))->isChecked());
        QVERIFY(W().Widget(EEdata)->isVisible()); // the click itself computes nothing
        rig_->Arrow(OutDivCont, false);
        QCOMPARE(LineEditText(FoutText), std::string(" 1160.25"));
        QCOMPARE(LabelText(Fvco), std::string("VCO  2320.5MHz\nExternal VCO Only"));
        CheckTwinAgrees();
    }

    // A typed resolution comes back blank-led from a nested write that starts no further run.
    void resolutionIsWrittenBackAndTwelveBitsAreReported() {
        rig_->Arrow(OutDivCont, true);
        rig_->Type(ResolutionText, "5000");
        QCOMPARE(LineEditText(ResolutionText), std::string(" 5000"));
        QVERIFY(Values().find("D  1000     \r\n") != std::string::npos);
        const std::string before = Values().substr(Values().find("Reg 0"));
        rig_->Type(ResolutionText, "1000");
        QCOMPARE(Values(), std::string("More than 12 bits needed for fractional registers\r\n"
                                       "Choose alternative values"));
        QCOMPARE(S().Denom, 5000.0);
        rig_->Tick(FractN);
        QVERIFY(Values().ends_with(before.substr(before.find("Reg 3"))));
        QVERIFY(Values().starts_with(Lines({"Fcomp  10.00MHz", "R  1", "N  464", "F  0",
                                            "D  0     ", "Error =  -500000.0Hz", ""})));
        CheckTwinAgrees();
    }

    void integerNSwitchesThePanelBothWays() {
        rig_->Arrow(OutDivCont, true);
        rig_->Type(ForceD, "250");
        rig_->Tick(FractN);
        QCOMPARE(W().Widget(ResolutionText)->palette().color(QPalette::Text),
                 Colour(colour::Green));
        QCOMPARE(Str(qobject_cast<QPushButton*>(W().Widget(NMCalc))->text()),
                 std::string("Find R"));
        QCOMPARE(W().Widget(Rdivider)->palette().color(QPalette::Base), Colour(colour::Yellow));
        QVERIFY(LineEditText(ForceD).empty());
        QCOMPARE(LineEditText(ResolutionText), std::string(" 5000000"));
        QVERIFY(Values().ends_with(
            WordLines({"80E80000", "00000001", "18005F42", "0000000B", "609C80FC", "00400005"})));
        QCOMPARE(W().Widget(ValuesText)->palette().color(QPalette::Text), QColor(Qt::red));

        rig_->Type(Rdivider, "2");
        rig_->Tick(FractN);
        QCOMPARE(LineEditText(Rdivider), std::string("1"));
        QCOMPARE(W().Widget(Rdivider)->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(W().Widget(ResolutionText)->palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(Str(qobject_cast<QPushButton*>(W().Widget(NMCalc))->text()),
                 std::string("Find Best F/D"));
        CheckTwinAgrees();
    }
};

QTEST_MAIN(PanelHandlersTest)
#include "panel_handlers_test.moc"
