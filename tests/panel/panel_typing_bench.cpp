// Keystroke to updated results: one character typed into the wanted-frequency box, through the
// recompute, until the results box holds the new text (and, in the second case, until the
// window has been painted again). Run with -median 9 for the median of nine runs.

#include "twin_rig.h"

#include <QLineEdit>

using namespace max2870;
using namespace max2870::test;
using enum max2870::ControlId;

class PanelTypingBench : public QObject {
    Q_OBJECT

    // Types a digit at the end of the box, or takes it away again, so that the text and the
    // plan stay the same from one run to the next and every keystroke is a real change.
    static void OneKeystroke(QWidget* box, bool& typed) {
        QTest::keyClick(box, typed ? Qt::Key_Backspace : Qt::Key_1);
        typed = !typed;
    }

private slots:
    void initTestCase() { UseProgramStyle(); }

    void typingIntoTheWantedFrequency_data() {
        QTest::addColumn<bool>("paint");
        QTest::newRow("results updated") << false;
        QTest::newRow("window painted") << true;
    }

    void typingIntoTheWantedFrequency() {
        QFETCH(bool, paint);
        TwinRig rig;
        QVERIFY(rig.active);
        auto* box = qobject_cast<QLineEdit*>(rig.window.Widget(FoutText));
        rig.Arrow(OutDivCont, true);
        box->setFocus();
        box->end(false);
        bool typed = false;
        // The measured path really recomputes: the digit moves F, taking it away moves it back.
        const std::string before = rig.window.Text(ValuesText);
        OneKeystroke(box, typed);
        QVERIFY(rig.window.Text(ValuesText) != before);
        OneKeystroke(box, typed);
        QCOMPARE(rig.window.Text(ValuesText), before);
        QBENCHMARK {
            OneKeystroke(box, typed);
            if (paint) {
                rig.window.MainWindow()->repaint();
            }
        }
    }
};

QTEST_MAIN(PanelTypingBench)
#include "panel_typing_bench.moc"
