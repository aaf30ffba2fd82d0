// Writes the picture of the main window shown in the README, after an operator has raised the
// divider and typed a wanted frequency. Run by hand after a change of the layout:
// QT_QPA_PLATFORM=offscreen panel_screenshot   (PANEL_SCREENSHOT=FILE to write elsewhere)

#include "panel_rig.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    max2870::test::Twin twin;
    for (const max2870::test::Step& step :
         {max2870::test::Step{max2870::test::Act::Up, max2870::ControlId::OutDivCont},
          {max2870::test::Act::Type, max2870::ControlId::FoutText, "2320.35"}})
        twin.Run(step);
    const QImage image = twin.window.MainWindow()->grab().toImage().convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    return image.save(qEnvironmentVariable("PANEL_SCREENSHOT", QStringLiteral(MAX2870_PANEL_PNG)),
                      "PNG", 9)
               ? 0
               : 1;
}
