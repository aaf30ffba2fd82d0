// The searches, the forced modulus, the read-back decoder and the listing window, driven
// through the window's controls. Expected values are the worked examples of the register
// layouts and the searches, worked out by hand.

#include "panel/control_widgets.h"
#include "twin_rig.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

using namespace max2870;
using namespace max2870::test;
using enum max2870::ControlId;

namespace {

std::int32_t Word(std::uint32_t pattern) {
    return static_cast<std::int32_t>(pattern);
}

// One third of the main window's outer width and height in from its outer left and top edge.
QPoint OneThirdIn(const QWidget* main) {
    const QRect frame = main->frameGeometry();
    return {qRound(frame.x() + frame.width() / 3.0), qRound(frame.y() + frame.height() / 3.0)};
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

class PanelSearchDecodeTest : public TwinRigTest {
    Q_OBJECT

    std::string Box(ControlId id) { return Str(qobject_cast<QLineEdit*>(W().Widget(id))->text()); }
    std::string Label(ControlId id) { return Str(qobject_cast<QLabel*>(W().Widget(id))->text()); }
    bool Checked(ControlId id) {
        return qobject_cast<QAbstractButton*>(W().Widget(id))->isChecked();
    }
    int Spinner(ControlId id) {
        auto* bar = qobject_cast<QScrollBar*>(W().Widget(id));
        return SpinnerValueOf(EntryOf(id), bar->value());
    }
    void CheckWords(std::uint32_t reg0, std::uint32_t reg1, std::uint32_t reg2,
                    std::uint32_t reg4) {
        QCOMPARE(S().Reg0, Word(reg0));
        QCOMPARE(S().Reg1, Word(reg1));
        QCOMPARE(S().Reg2, Word(reg2));
        QCOMPARE(S().Reg3, 0x0B);
        QCOMPARE(S().Reg4, Word(reg4));
        QCOMPARE(S().Reg5, 0x00400005);
    }

private slots:
    void initTestCase() { UseProgramStyle(); }
    void init() { QVERIFY(StartRig()); }
    void cleanup() { rig_.reset(); }

    // Ratio 464.1: one trial, F 1 over D 10, handed on through ForceD and the resolution.
    void findBestFractionForATenthRatio() {
        rig_->Arrow(OutDivCont, true);
        rig_->Press(NMCalc);
        QCOMPARE(Box(ForceD), std::string(" 10"));
        QCOMPARE(Box(ResolutionText), std::string(" 500000"));
        QVERIFY(Contains(Values(), "F  1\r\nD  10     \r\n"));
        QCOMPARE(S().Denom, 10.0);
        CheckTwinAgrees();
    }

    // Ratio 464.17: trials D 6, 12, 18 ... until F 17 over D 100.
    void findBestFractionStopsAtAnExactHit() {
        rig_->Arrow(OutDivCont, true);
        rig_->Type(FoutText, "2320.85");
        rig_->Press(NMCalc);
        QCOMPARE(Box(ForceD), std::string(" 100"));
        QCOMPARE(Box(ResolutionText), std::string(" 50000"));
        QVERIFY(Contains(Values(), "N  464\r\nF  17\r\nD  100     \r\n"));
        CheckTwinAgrees();
    }

    // 4000 with reference 10, R 1 and divider 1 gives the resolution 2500 Hz; the recompute
    // then writes it back blank-led.
    void forcedModulusBecomesTheResolution() {
        rig_->Type(ForceD, "4000"); // no plan yet: no divider to work from, so nothing
        QVERIFY(Values().empty());
        rig_->Tick(Aon);
        rig_->Tick(Aon);
        rig_->Type(ForceD, "4000");
        QCOMPARE(Box(ResolutionText), std::string(" 2500"));
        QVERIFY(Contains(Values(), "D  4000     \r\n"));
        rig_->Type(ForceD, "0"); // nothing for a modulus that is not positive
        QCOMPARE(Box(ResolutionText), std::string(" 2500"));
        rig_->Type(ForceD, "x");
        QCOMPARE(Box(ResolutionText), std::string(" 2500"));
        CheckTwinAgrees();
    }

    // Integer-N at 2320.5 MHz and divider 2 needs N/R = 464.1: R 10 is the first exact hit.
    void findReferenceDivider() {
        rig_->Arrow(OutDivCont, true);
        rig_->Tick(FractN);
        QCOMPARE(Str(qobject_cast<QPushButton*>(W().Widget(NMCalc))->text()),
                 std::string("Find R"));
        rig_->Press(NMCalc);
        QCOMPARE(Box(Rdivider), std::string("10"));
        QCOMPARE(Label(Label6), std::string("Fcomp 1.0MHz"));
        QVERIFY(Values().starts_with("Fcomp  1.00MHz\r\nR  10\r\nN  4641\r\nF  0\r\nD  0     \r\n"
                                     "Error =  0.0Hz\r\n"));
        QVERIFY(Box(ForceD).empty());
        QCOMPARE(W().Widget(ValuesText)->palette().color(QPalette::Text), QColor(Qt::black));
        CheckTwinAgrees();
    }

    // The first set of the register layouts, decoded over a panel that was set otherwise.
    void decodeRestoresAFractionalSet() {
        rig_->Select(MuxNone);
        rig_->Select(NM3);
        rig_->Arrow(ChrgPump, false);
        rig_->Arrow(ChrgPump, false);
        rig_->Arrow(OPpwr, false);
        rig_->Tick(Bon);
        rig_->Tick(PDpol);
        for (int press = 0; press < 3; ++press) {
            rig_->Arrow(OutDivCont, true);
        }
        rig_->Type(ResolutionText, "2000");
        rig_->Decode({Word(0x00E80190), Word(0x20000FA1), Word(0x18005E42), Word(0x609C80FC)});

        QVERIFY(Checked(MuxL) && Checked(NM0) && !Checked(MuxNone) && !Checked(NM3));
        QVERIFY(!Checked(Bon) && Checked(Aon) && !Checked(PDpol) && !Checked(FractN));
        QVERIFY(!Checked(TrackDivider));
        QCOMPARE(Spinner(ChrgPump), 15);
        QCOMPARE(Label(ChrgPumpLabel), std::string("Charge Pump 15"));
        QCOMPARE(Spinner(OPpwr), 3);
        QCOMPARE(Label(OPlabel), std::string("Output Power 3"));
        QCOMPARE(Spinner(OutDivCont), 1);
        QCOMPARE(Label(OutDivLabel), std::string("O/P Divider  2"));
        QCOMPARE(Box(Rdivider), std::string("1"));
        QCOMPARE(Box(ResolutionText), std::string(" 10000"));
        QCOMPARE(Box(FoutText), std::string(" 2320.5"));
        QCOMPARE(Label(Fvco), std::string("VCO  4641MHz"));
        QCOMPARE(Label(Label6), std::string("Fcomp 10.0MHz"));
        QVERIFY(
            Values().starts_with("Fcomp  10.00MHz\r\nR  1\r\nN  464\r\nF  50\r\nD  500     \r\n"));
        CheckWords(0x00E80190, 0x20000FA1, 0x18005E42, 0x609C80FC);
        CheckTwinAgrees();
    }

    void decodeRestoresAnIntegerNSet() {
        rig_->Decode({Word(0x80E80000), Word(0x00000001), Word(0x18005F42), Word(0x609C80FC)});
        QVERIFY(Checked(FractN));
        QCOMPARE(Str(qobject_cast<QPushButton*>(W().Widget(NMCalc))->text()),
                 std::string("Find R"));
        QCOMPARE(W().Widget(Rdivider)->palette().color(QPalette::Base), QColor(255, 255, 0));
        QCOMPARE(Label(Fvco), std::string("VCO  4640MHz"));
        QCOMPARE(Box(FoutText), std::string(" 2320"));
        QCOMPARE(Box(ResolutionText), std::string(" 5000000"));
        QVERIFY(Values().starts_with("Fcomp  10.00MHz\r\nR  1\r\nN  464\r\nF  0\r\nD  0     \r\n"
                                     "Error =  0.0Hz\r\n"));
        CheckWords(0x80E80000, 0x00000001, 0x18005F42, 0x609C80FC);
        CheckTwinAgrees();
    }

    void decodeRestoresADoubledReferenceSet() {
        rig_->Type(FrText, "50");
        rig_->Type(OPPhasetext, "90");
        rig_->Decode({Word(0x001D0000), Word(0x207D1F41), Word(0xCE005E02), Word(0x638FF1B4)});
        QVERIFY(Checked(RefDbl) && !Checked(Refdiv2) && Checked(PDpol));
        QVERIFY(Checked(MuxR) && Checked(NM2) && Checked(Aon) && Checked(Bon));
        QCOMPARE(Spinner(OutDivCont), 0);
        QCOMPARE(Spinner(OPpwr), 2);
        QCOMPARE(Label(OPlabel), std::string("Output Power 2"));
        QCOMPARE(Box(FoutText), std::string(" 5800"));
        QCOMPARE(Box(ResolutionText), std::string(" 100000"));
        QCOMPARE(Label(Label6), std::string("Fcomp 100.0MHz"));
        QVERIFY(
            Values().starts_with("Fcomp  100.00MHz\r\nR  1\r\nN  58\r\nF  0\r\nD  1000     \r\n"));
        CheckWords(0x001D0000, 0x207D1F41, 0xCE005E02, 0x638FF1B4);
        CheckTwinAgrees();
    }

    void listingWindowTextPlaceAndHiding() {
        W().MainWindow()->move(60, 45);
        rig_->Arrow(OutDivCont, true);
        rig_->Press(PicEEdata);
        QWidget* listing = W().Widget(EEdata);
        QVERIFY(listing != nullptr && listing->isVisible());
        QCOMPARE(Str(listing->windowTitle()), std::string("EE Data"));
        QCOMPARE(listing->frameGeometry().topLeft(), OneThirdIn(W().MainWindow()));
        const std::string expected = ";  R = 1    N = 464    D =  0500   F = 0050    Odiv = 2\r\n"
                                     ";  Fout = 2320.5MHz      Ref = 10MHz\r\n"
                                     "   de 0x00, 0x40, 0x00, 0x05    ;Reg 5\r\n"
                                     "   de 0x60, 0x9C, 0x80, 0xFC    ;Reg 4\r\n"
                                     "   de 0x00, 0x00, 0x00, 0x0B    ;Reg 3\r\n"
                                     "   de 0x18, 0x00, 0x5E, 0x42    ;Reg 2\r\n"
                                     "   de 0x20, 0x00, 0x0F, 0xA1    ;Reg 1\r\n"
                                     "   de 0x00, 0xE8, 0x01, 0x90    ;Reg 0\r\n";
        QCOMPARE(W().Text(EEtext), expected);
        auto* text = qobject_cast<QPlainTextEdit*>(W().Widget(EEtext));
        QVERIFY(text->toPlainText().startsWith(
            QStringLiteral(";  R = 1    N = 464    D =  0500   F = 0050    Odiv = 2\n")));
        CheckTwinAgrees();

        rig_->Tick(Aon); // any recompute takes the listing out of sight
        QVERIFY(!listing->isVisible());
        rig_->Tick(Aon);
        W().MainWindow()->move(90, 30);
        rig_->Press(PicEEdata);
        QVERIFY(listing->isVisible());
        QCOMPARE(W().Widget(EEdata), listing);
        QCOMPARE(W().Text(EEtext), expected);
        QCOMPARE(listing->frameGeometry().topLeft(), OneThirdIn(W().MainWindow()));

        listing->close(); // closed by the operator: shown again by the next click
        QVERIFY(!W().Visible(EEdata));
        rig_->Press(PicEEdata);
        QVERIFY(listing->isVisible() && W().Visible(EEdata));
    }
};

QTEST_MAIN(PanelSearchDecodeTest)
#include "panel_search_decode_test.moc"
