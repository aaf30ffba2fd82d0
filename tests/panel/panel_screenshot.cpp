// Writes the picture of the main window shown in the README: the panel after an operator has
// raised the divider and typed a wanted frequency. Not part of the test run; run it by hand
// after a change of the layout: QT_QPA_PLATFORM=offscreen panel_screenshot [-- FILE]

#include "twin_rig.h"

#include <QCoreApplication>
#include <QLineEdit>

using namespace max2870;
using namespace max2870::test;
using enum max2870::ControlId;

class PanelScreenshot : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseProgramStyle(); }

    void mainWindowAfterTyping() {
        TwinRig rig;
        QVERIFY(rig.active);
        rig.Arrow(OutDivCont, true);
        rig.Type(FrText, "10");
        rig.Type(FoutText, "2320.35");
        QVERIFY(!rig.window.Text(ValuesText).empty());
        const QImage image = rig.window.MainWindow()->grab().toImage().convertToFormat(
            QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
        const QString file =
            qEnvironmentVariable("PANEL_SCREENSHOT", QStringLiteral(MAX2870_PANEL_PNG));
        QVERIFY(image.save(file, "PNG", 9));
    }
};

QTEST_MAIN(PanelScreenshot)
#include "panel_screenshot.moc"
