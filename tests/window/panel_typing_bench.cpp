// Keystroke in the wanted frequency to updated results (and to the window painted): run with
// -median 9. With PANEL_SCREENSHOT=FILE it also draws the README's picture of the window.

#include "panel_rig.h"

using namespace max2870::test;
using enum max2870::ControlId;

class PanelTypingBench : public QObject {
    Q_OBJECT

private slots:
    void typingIntoTheWantedFrequency_data() {
        QTest::addColumn<bool>("paint");
        QTest::newRow("results updated") << false;
        QTest::newRow("window painted") << true;
    }
    void typingIntoTheWantedFrequency() {
        QFETCH(bool, paint);
        Twin twin;
        twin.Run({Up, OutDivCont});
        const std::string before = twin.window.Text(ValuesText);
        bool typed = false;
        QBENCHMARK {
            QTest::keyClick(twin.W(FoutText), typed ? Qt::Key_Backspace : Qt::Key_1);
            typed = !typed;
            if (paint)
                twin.window.MainWindow()->repaint();
        }
        QVERIFY2(typed || twin.window.Text(ValuesText) == before, "typing back left another plan");
    }

    void pictureOfTheWindow() {
        if (qEnvironmentVariableIsEmpty("PANEL_SCREENSHOT"))
            QSKIP("PANEL_SCREENSHOT=FILE names the picture to write");
        Twin twin;
        twin.Run({{Up, OutDivCont}, {Type, FoutText, "2320.35"}});
        QVERIFY(twin.window.MainWindow()
                    ->grab()
                    .toImage()
                    .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither)
                    .save(qEnvironmentVariable("PANEL_SCREENSHOT"), "PNG", 9));
    }
};

QTEST_MAIN(PanelTypingBench)
#include "panel_typing_bench.moc"
