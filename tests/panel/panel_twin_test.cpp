// The window against the in-memory panel and against the planner: the same panel, set by an
// operator on the window and given as options to the planner, must give the same results text,
// listing, control texts and register words.

#include "plan_run.h"
#include "twin_rig.h"

#include <QPlainTextEdit>

#include <map>
#include <memory>

using namespace max2870;
using namespace max2870::test;
using enum max2870::ControlId;

Q_DECLARE_METATYPE(max2870::PlanOptions)

namespace {

std::string WithoutCr(const std::string& text) {
    std::string plain;
    for (char c : text) {
        if (c != '\r') {
            plain += c;
        }
    }
    return plain;
}

// Sets the window's panel to the planner's options by operator actions, each on the control
// it belongs to, then runs the planner's actions in the planner's order.
void Operate(TwinRig& rig, const PlanOptions& o) {
    static const std::map<std::string, ControlId> kMux{
        {"none", MuxNone}, {"rdiv", MuxR}, {"ndiv", MuxN}, {"lock", MuxL}};
    static const std::map<std::string, ControlId> kNoise{
        {"low-noise", NM0}, {"low-spur-1", NM2}, {"low-spur-2", NM3}};
    rig.Type(FrText, o.ref);
    if (o.doubler) {
        rig.Tick(RefDbl);
    }
    if (o.divideBy2) {
        rig.Tick(Refdiv2);
    }
    rig.Type(Rdivider, o.r);
    for (int press = 0; press < o.odiv; ++press) {
        rig.Arrow(OutDivCont, true);
    }
    rig.Type(FoutText, o.fout);
    rig.Type(ResolutionText, o.resolution);
    if (o.integerN) {
        rig.Tick(FractN);
    }
    rig.Type(OPPhasetext, o.phase);
    rig.Select(kMux.at(o.mux));
    rig.Select(kNoise.at(o.noise));
    if (!o.chipEnable) {
        rig.Tick(Enable);
    }
    for (int press = o.chargePump; press < 15; ++press) {
        rig.Arrow(ChrgPump, false);
    }
    if (o.pdNegative) {
        rig.Tick(PDpol);
    }
    if (!o.outputA) {
        rig.Tick(Aon);
    }
    if (o.outputB) {
        rig.Tick(Bon);
    }
    for (int press = o.power; press < 3; ++press) {
        rig.Arrow(OPpwr, false);
    }
    if (o.findBest) {
        rig.Press(NMCalc);
    }
    if (o.forceD) {
        rig.Type(ForceD, *o.forceD);
    }
    if (o.decode) {
        rig.Decode(*o.decode);
    }
}

} // namespace

class PanelTwinTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramStyle(); }

    void windowMemoryPanelAndPlannerAgree_data() {
        QTest::addColumn<PlanOptions>("options");
        PlanOptions o;
        o.odiv = 1;
        o.r = "3";
        QTest::newRow("worked run, R 3") << o;

        o = {};
        o.ref = "50";
        o.doubler = true;
        o.fout = "5800";
        o.resolution = "100000";
        o.phase = "90";
        o.mux = "rdiv";
        o.noise = "low-spur-1";
        o.pdNegative = true;
        o.outputB = true;
        o.power = 2;
        QTest::newRow("doubled reference, clamped band select") << o;

        o = {};
        o.integerN = true;
        o.odiv = 2;
        o.fout = "1160.3";
        o.chargePump = 7;
        o.chipEnable = false;
        o.outputA = false;
        o.divideBy2 = true;
        o.noise = "low-spur-2";
        QTest::newRow("integer-N, halved reference") << o;

        o = {};
        o.odiv = 1;
        o.fout = "2320.85";
        o.findBest = true;
        QTest::newRow("find best fraction") << o;

        o = {};
        o.forceD = "4000";
        o.mux = "ndiv";
        QTest::newRow("forced modulus, VCO out of range") << o;

        o = {};
        o.odiv = 1;
        o.resolution = "1000";
        QTest::newRow("twelve-bit message") << o;

        o = {};
        o.ref = "50";
        o.phase = "90";
        o.decode = {{0x001D0000, 0x207D1F41, static_cast<std::int32_t>(0xCE005E02), 0x638FF1B4}};
        QTest::newRow("read-back set") << o;
    }

    void windowMemoryPanelAndPlannerAgree() {
        QFETCH(PlanOptions, options);
        TwinRig rig;
        QVERIFY(rig.active);
        Operate(rig, options);

        const QString differences = rig.Differences();
        QVERIFY2(differences.isEmpty(), qPrintable(differences));
        const std::string values = rig.window.Text(ValuesText);
        QVERIFY(!values.empty());
        QCOMPARE(WithoutCr(values), RunPlan(options));
        QCOMPARE(Str(qobject_cast<QPlainTextEdit*>(rig.window.Widget(ValuesText))->toPlainText()),
                 WithoutCr(values));

        rig.Press(PicEEdata);
        QCOMPARE(rig.window.Text(EEtext), rig.memory.Text(EEtext));
        // Under the twelve-bit message the words are those of the last complete run, and the
        // operator's path there had runs that the planner's single recompute has not.
        if (!values.starts_with("More than 12 bits")) {
            PlanOptions listing = options;
            listing.listing = true;
            QCOMPARE(rig.window.Text(EEtext), RunPlan(listing));
        }
    }
};

QTEST_MAIN(PanelTwinTest)
#include "panel_twin_test.moc"
