// One test carries the window's handlers: the window and the in-memory panel, driven by the
// same operator actions, must show the same text, value and colours on every control after
// every action, and at the marked steps both must hold the texts worked out by hand from the
// register layouts and the recompute's steps.

#include "panel_rig.h"

#include <sstream>

using namespace max2870;
using namespace max2870::test;

namespace {

// One action a line: "<verb> <control> <text>", "|" standing for CR LF in a text. The verb
// "words" expects the six register lines of the results box, Reg0 first.
std::vector<Step> Script(const std::string& script) {
    static const std::map<std::string, Act> verbs{{"type", Act::Type},     {"paste", Act::Paste},
                                                  {"tick", Act::Tick},     {"select", Act::Select},
                                                  {"up", Act::Up},         {"down", Act::Down},
                                                  {"press", Act::Press},   {"decode", Act::Decode},
                                                  {"expect", Act::Expect}, {"words", Act::Expect}};
    std::vector<Step> steps;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t verbEnd = line.find(' '), nameEnd = line.find(' ', verbEnd + 1);
        const std::string verb = line.substr(0, verbEnd),
                          name = line.substr(verbEnd + 1, nameEnd - verbEnd - 1);
        Step step{verbs.at(verb), ControlId::ValuesText,
                  nameEnd == std::string::npos ? "" : line.substr(nameEnd + 1)};
        for (const ControlEntry& entry : ControlTable())
            if (entry.name == name)
                step.id = entry.id;
        if (verb == "words") { // "words ValuesText W0 W1 W2 W3 W4 W5"
            std::istringstream words(step.text);
            step.text.clear();
            std::string word;
            for (int reg = 0; words >> word; ++reg)
                step.text += "Reg " + std::to_string(reg) + "   0x " + word + "|";
        }
        for (std::size_t bar; (bar = step.text.find('|')) != std::string::npos;)
            step.text.replace(bar, 1, "\r\n");
        steps.push_back(step);
    }
    return steps;
}

} // namespace

class PanelTwinTest : public QObject {
    Q_OBJECT

private slots:
    void sameActionsSameState_data() {
        QTest::addColumn<std::string>("script");
        QTest::newRow("worked run, then a divider of 2.6") << std::string(
            "up OutDivCont\nexpect OutDivLabel O/P Divider  2\n"
            "expect ValuesText N  464|F  50|D  500     |Error =  0.0Hz|\n"
            "words ValuesText 00E80190 20000FA1 18005E42 0000000B 609C80FC 00400005\n"
            "paste Rdivider 2.6\nexpect Rdivider 3\nexpect Label6 Fcomp 3.333333MHz\n"
            "expect ValuesText Error =  -998.0Hz\n"
            "words ValuesText 02B80190 20000539 1800DE42 0000000B 609430FC 00400005");
        QTest::newRow("reference, spinners and check boxes") << std::string(
            "type FrText 20\nexpect Label6 Fcomp 20.0MHz\ntype FrText 10\n"
            "down ChrgPump\nexpect ChrgPumpLabel Charge Pump 14\n"
            "expect ValuesText Reg 2   0x 18005C42\ndown OPpwr\n"
            "expect OPlabel Output Power 2\nexpect ValuesText Reg 4   0x 608C80B4\n"
            "up ChrgPump\nup OPpwr\ntick Enable\nexpect ValuesText Reg 2   0x 18005E62\n"
            "tick PDpol\nexpect ValuesText Reg 2   0x 18005E22\ntick Aon\n"
            "expect ValuesText Reg 4   0x 608C80DC\ntick Bon\n"
            "expect ValuesText Reg 4   0x 608C81DC\ntick RefDbl\ntick Refdiv2\n"
            "expect ValuesText Reg 2   0x 1B005E22\nup OPpwr\ndown OutDivCont");
        QTest::newRow("option groups")
            << std::string("select MuxR\nexpect ValuesText Reg 2   0x 0C005E42\nselect NM3\n"
                           "expect ValuesText Reg 2   0x 6C005E42\nselect MuxNone\nselect NM2\n"
                           "expect ValuesText Reg 2   0x 40005E42");
        QTest::newRow("auto divider, tracking, listing") << std::string(
            "type FoutText 1500\npress SetOdiv\nexpect OutDivLabel O/P Divider  2\n"
            "type FoutText 46.87\npress SetOdiv\nexpect OutDivLabel O/P Divider  128\n"
            "type FoutText 2320.5\npress SetOdiv\ntick TrackDivider\nup OutDivCont\n"
            "expect FoutText  1160.25\nexpect Fvco VCO  4641MHz\npress PicEEdata\n"
            "expect EEtext ;  R = 1    N = 464    D =  0250   F = 0025    Odiv = 4|"
            ";  Fout = 1160.25MHz      Ref = 10MHz|   de 0x00, 0x40, 0x00, 0x05    ;Reg 5|"
            "   de 0x60, 0xAC, 0x80, 0xFC    ;Reg 4|\n"
            "press FoutText\ndown OutDivCont\nexpect FoutText  1160.25\n"
            "expect Fvco VCO  2320.5MHz|External VCO Only");
        QTest::newRow("resolution, twelve bits, integer N both ways") << std::string(
            "up OutDivCont\ntype ResolutionText 5000\nexpect ResolutionText  5000\n"
            "expect ValuesText D  1000     |\ntype ResolutionText 1000\n"
            "expect ValuesText More than 12 bits needed for fractional registers|"
            "Choose alternative values\ntick FractN\n"
            "expect ValuesText N  464|F  0|D  0     |Error =  -500000.0Hz\n"
            "expect NMCalc Find R\ntick FractN\ntype ForceD 250\ntick FractN\n"
            "expect ResolutionText  5000000\n"
            "words ValuesText 80E80000 00000001 18005F42 0000000B 609C80FC 00400005\n"
            "type Rdivider 2\ntick FractN\nexpect Rdivider 1\nexpect NMCalc Find Best F/D");
        QTest::newRow("searches and a forced modulus") << std::string(
            "type ForceD 4000\nexpect ValuesText\nup OutDivCont\npress NMCalc\n"
            "expect ForceD  10\nexpect ResolutionText  500000\n"
            "expect ValuesText F  1|D  10     |\ntype FoutText 2320.85\npress NMCalc\n"
            "expect ForceD  100\nexpect ValuesText N  464|F  17|D  100     |\n"
            "down OutDivCont\ntype ForceD 4000\nexpect ResolutionText  2500\n"
            "type FoutText 2320.5\nup OutDivCont\ntick FractN\npress NMCalc\nexpect Rdivider 10\n"
            "expect ValuesText Fcomp  1.00MHz|R  10|N  4641|F  0|D  0     |Error =  0.0Hz");
        QTest::newRow("read-back set over a doubled reference") << std::string(
            "type FrText 50\ntype OPPhasetext 90\nselect NM3\n"
            "decode - 001D0000 207D1F41 CE005E02 638FF1B4\n"
            "expect Label6 Fcomp 100.0MHz\nexpect OPlabel Output Power 2\n"
            "expect FoutText  5800\nexpect ResolutionText  100000\n"
            "words ValuesText 001D0000 207D1F41 CE005E02 0000000B 638FF1B4 00400005");
    }

    void sameActionsSameState() {
        QFETCH(std::string, script);
        Twin twin;
        QVERIFY2(twin.active, "the window never became active, so focus events would be lost");
        for (const Step& step : Script(script)) {
            twin.Run(step);
            const std::string held = twin.memory.Text(step.id);
            if (step.act == Act::Expect &&
                (step.text.empty() ? !held.empty() : held.find(step.text) == std::string::npos))
                QFAIL(qPrintable(
                    QStringLiteral("%1 reads '%2', expected to hold '%3'")
                        .arg(EntryOf(step.id).name.data(), held.c_str(), step.text.c_str())));
            const QStringList differences = twin.Differences();
            QVERIFY2(differences.isEmpty(),
                     qPrintable("the window shows what the panel does not hold: " +
                                differences.join("; ")));
        }
    }
};

QTEST_MAIN(PanelTwinTest)
#include "panel_twin_test.moc"
