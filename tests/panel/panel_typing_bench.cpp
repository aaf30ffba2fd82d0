// Keystroke to updated results: one digit typed into the wanted-frequency box, or taken away
// again, through the recompute until the results box holds the new text (and, in the second
// row, until the window is painted again). Run with -median 9 for the median of nine runs.

#include "panel_rig.h"

using namespace max2870::test;

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
        twin.Run({Act::Up, max2870::ControlId::OutDivCont});
        QWidget* box = twin.W(max2870::ControlId::FoutText);
        box->setFocus();
        const std::string before = twin.window.Text(max2870::ControlId::ValuesText);
        bool typed = false;
        QBENCHMARK {
            QTest::keyClick(box, typed ? Qt::Key_Backspace : Qt::Key_1);
            typed = !typed;
            if (paint)
                twin.window.MainWindow()->repaint();
        }
        QVERIFY2(typed || twin.window.Text(max2870::ControlId::ValuesText) == before,
                 "typing back did not restore the plan");
    }
};

QTEST_MAIN(PanelTypingBench)
#include "panel_typing_bench.moc"
