// "INIT from EE" against the translator simulator: the stored set restores the panel, and the
// next "Set all Registers" sends the very same words back.

#include "link/hex_value.h"
#include "link_rig.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace max2870;
using enum ControlId;

namespace {

using Words = std::array<std::uint32_t, 6>; // Reg0 .. Reg5

// The simulator on its own pseudo-terminal, with the EEPROM the test gives it.
class Simulator {
public:
    Simulator(const QString& eepromPath) {
        process_.start(MAX2870_SIM_PATH, {"--verbose", "--eeprom", eepromPath});
        if (process_.waitForReadyRead(5000)) {
            path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        }
    }
    ~Simulator() {
        process_.terminate();
        process_.waitForFinished(3000);
    }
    QString Path() const { return path_; }

    // The register lines it has received since the last call, from its verbose console.
    QStringList RegisterLines() {
        output_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
        QStringList lines;
        static const QRegularExpression registerLine(R"(\s(R[0-9A-F]{8})\s)");
        for (auto it = registerLine.globalMatch(output_); it.hasNext();) {
            lines << it.next().captured(1);
        }
        return lines;
    }

private:
    QProcess process_;
    QString path_;
    QString output_;
};

void WriteEeprom(const QString& path, const Words& words, const char* userData) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (int address = 5; address >= 0; --address) {
        const auto word = static_cast<std::int32_t>(words[static_cast<std::size_t>(address)]);
        file.write(("Reg" + std::to_string(address) + " " + HexFormatLong(word) + "\n").c_str());
    }
    file.write(QByteArray("Udata ") + userData + "\n");
}

QStringList ExpectedLines(const Words& words) {
    QStringList lines;
    for (int address = 5; address >= 0; --address) {
        lines << "R" + QString::fromStdString(HexFormatLong(
                           static_cast<std::int32_t>(words[static_cast<std::size_t>(address)])));
    }
    return lines;
}

// The words of an EEPROM file as register lines, Reg5 first.
QStringList StoredWords(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines;
    static const QRegularExpression stored(R"(^Reg[0-5] ([0-9A-F]{8})$)");
    for (const QString& line : QString::fromLatin1(file.readAll()).split('\n')) {
        if (const auto match = stored.match(line); match.hasMatch()) {
            lines << "R" + match.captured(1);
        }
    }
    return lines;
}

} // namespace

class LinkReadbackTest : public QObject {
    Q_OBJECT
private slots:
    void storedSetRestoresThePanel_data();
    void storedSetRestoresThePanel();
    void writtenSetOutlivesTheSimulator();
};

void LinkReadbackTest::storedSetRestoresThePanel_data() {
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("phase");
    QTest::addColumn<Words>("words");
    QTest::addColumn<double>("fout");
    QTest::addColumn<int>("integerN");
    QTest::addColumn<int>("doubler");
    QTest::addColumn<int>("mux");   // ControlId of the selected MUX option
    QTest::addColumn<int>("noise"); // ControlId of the selected noise option
    QTest::addColumn<int>("outputB");
    QTest::addColumn<int>("power");
    QTest::addColumn<int>("divider");

    QTest::newRow("fractional") << "10"
                                << "0" << Words{0x00E80190, 0x20000FA1, 0x18005E42,
                                                0x0000000B, 0x609C80FC, 0x00400005}
                                << 2320.5 << 0 << 0 << int(MuxL) << int(NM0) << 0 << 3 << 1;
    QTest::newRow("integer-N") << "10"
                               << "0" << Words{0x80E80000, 0x00000001, 0x18005F42,
                                               0x0000000B, 0x609C80FC, 0x00400005}
                               << 2320.0 << 1 << 0 << int(MuxL) << int(NM0) << 0 << 3 << 1;
    QTest::newRow("doubled reference")
        << "50"
        << "90" << Words{0x001D0000, 0x207D1F41, 0xCE005E02, 0x0000000B, 0x638FF1B4, 0x00400005}
        << 5800.0 << 0 << 1 << int(MuxR) << int(NM2) << 1 << 2 << 0;
}

void LinkReadbackTest::storedSetRestoresThePanel() {
    QFETCH(QString, reference);
    QFETCH(QString, phase);
    QFETCH(Words, words);
    QFETCH(double, fout);
    QFETCH(int, integerN);
    QFETCH(int, doubler);
    QFETCH(int, mux);
    QFETCH(int, noise);
    QFETCH(int, outputB);
    QFETCH(int, power);
    QFETCH(int, divider);

    QTemporaryDir dir(MAX2870_TEST_SCRATCH "/readback-XXXXXX");
    QVERIFY(dir.isValid());
    const QString eeprom = dir.filePath("eeprom.txt");
    WriteEeprom(eeprom, words, "5A5A0001");
    Simulator sim(eeprom);
    QVERIFY(!sim.Path().isEmpty());

    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    rig.panel.Preset(FrText, reference.toStdString());  // the reference the set was written with
    rig.panel.Preset(OPPhasetext, phase.toStdString()); // the phase is not in the read-back
    rig.panel.SetText(CPort, sim.Path().toStdString());
    rig.Click(SetCP);
    QVERIFY(link.IsOpen());

    rig.Click(Init);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.state.InitFlag, 5000);
    QVERIFY2(rig.Log().find("Reg 0 - ") != std::string::npos, rig.Log().c_str());
    QCOMPARE(rig.panel.Text(Udata), std::string("5A5A0001"));
    QCOMPARE(rig.state.Fout, fout);
    QCOMPARE(rig.panel.Value(FractN), integerN);
    QCOMPARE(rig.panel.Value(RefDbl), doubler);
    QCOMPARE(rig.panel.Value(static_cast<ControlId>(mux)), 1);
    QCOMPARE(rig.panel.Value(static_cast<ControlId>(noise)), 1);
    QCOMPARE(rig.panel.Value(Bon), outputB);
    QCOMPARE(rig.panel.Value(OPpwr), power);
    QCOMPARE(rig.panel.Value(OutDivCont), divider);
    const Words packed{
        static_cast<std::uint32_t>(rig.state.Reg0), static_cast<std::uint32_t>(rig.state.Reg1),
        static_cast<std::uint32_t>(rig.state.Reg2), static_cast<std::uint32_t>(rig.state.Reg3),
        static_cast<std::uint32_t>(rig.state.Reg4), static_cast<std::uint32_t>(rig.state.Reg5)};
    QCOMPARE(packed, words);

    QCOMPARE(sim.RegisterLines(), QStringList());
    QSignalSpy finished(&rig.controller, &LinkController::TransferFinished);
    rig.Click(SendAll);
    QVERIFY(finished.wait(5000));
    QTRY_COMPARE(sim.RegisterLines(), ExpectedLines(words));
}

// "Write EE" stores the panel's set in the simulator's EEPROM file, and the next run of the
// simulator reports it back to a freshly started panel.
void LinkReadbackTest::writtenSetOutlivesTheSimulator() {
    QTemporaryDir dir(MAX2870_TEST_SCRATCH "/readback-XXXXXX");
    QVERIFY(dir.isValid());
    const QString eeprom = dir.filePath("eeprom.txt"); // none yet: the simulator's own set
    const Words integerN{0x80E80000, 0x00000001, 0x18005F42, 0x0000000B, 0x609C80FC, 0x00400005};
    {
        Simulator sim(eeprom);
        QtSerialLink link;
        ListedPorts ports(PortNaming::Paths, {});
        LinkRig rig(link, ports, FastOptions());
        rig.panel.SetText(CPort, sim.Path().toStdString());
        rig.Click(SetCP);
        QVERIFY(link.IsOpen());
        rig.panel.SetValue(FractN, 1);
        QSignalSpy finished(&rig.controller, &LinkController::TransferFinished);
        rig.Click(WriteAll);
        QVERIFY(finished.wait(5000));
        QTRY_VERIFY(QFile::exists(eeprom));
        QTRY_COMPARE(StoredWords(eeprom), ExpectedLines(integerN));
    }

    Simulator sim(eeprom);
    QtSerialLink link;
    ListedPorts ports(PortNaming::Paths, {});
    LinkRig rig(link, ports, FastOptions());
    rig.panel.SetText(CPort, sim.Path().toStdString());
    rig.Click(SetCP);
    QCOMPARE(rig.panel.Value(FractN), 0);
    rig.Click(Init);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.state.InitFlag, 5000);
    QCOMPARE(rig.panel.Value(FractN), 1);
    QCOMPARE(rig.state.Reg0, static_cast<std::int32_t>(integerN[0]));
    QCOMPARE(rig.state.Reg2, static_cast<std::int32_t>(integerN[2]));
}

QTEST_GUILESS_MAIN(LinkReadbackTest)
#include "link_readback_test.moc"
