// What only the window has: its start, the colours as drawn, fonts that show every word,
// tooltips, the listing window's place, the note of broken chip rules, the port box, the focus
// across a transfer, the option groups under Tab and what a screen reader is told.

#include "panel_rig.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHelpEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>

#include <map>

using namespace max2870;
using namespace max2870::test;
using enum max2870::ControlId;

namespace {

// The colour that covers most of a widget as drawn: its background, whatever its caption.
QColor Drawn(QWidget* widget) {
    const QImage image =
        widget->window()
            ->grab(QRect(widget->mapTo(widget->window(), QPoint()), widget->size()))
            .toImage();
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    return QColor::fromRgb(std::max_element(counts.begin(), counts.end(), [](auto a, auto b) {
                               return a.second < b.second;
                           })->first);
}

// The first line of text a box cuts, or nothing when the whole text shows.
QString CutLine(QWidget* widget) {
    auto* box = qobject_cast<QPlainTextEdit*>(widget);
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        QTextCursor end(block);
        end.movePosition(QTextCursor::EndOfBlock);
        if (!block.text().isEmpty() && box->cursorRect(end).bottom() >= box->viewport()->height())
            return block.text();
    }
    return box->verticalScrollBar()->value() == 0 ? QString() : QStringLiteral("(scrolled)");
}

} // namespace

class PanelWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

    void startsAsLaidOutWithNothingComputed() {
        Twin twin;
        QCOMPARE(QApplication::focusWidget(), twin.W(FoutText));
        twin.Run({Act::Down, OutDivCont}); // an arrow at its end changes nothing, computes nothing
        QVERIFY2(twin.window.Text(ValuesText).empty() &&
                     Shown(EntryOf(ValuesText), twin.W(ValuesText)).isEmpty(),
                 "results shown before any change");
        QVERIFY2(!twin.W(TrackDivider)->isEnabled(),
                 "Track Fout with Divider usable before a recompute");
        QCOMPARE(twin.W(MAX2870)->windowTitle(), QStringLiteral("QUELN        SYNTARA Control "));
        QCOMPARE(twin.W(MAX2870)->size(), QSize(424, 502));
        for (const ControlEntry& e : ControlTable())
            if (QWidget* w = twin.W(e.id); w != nullptr && e.kind != ControlKind::Window)
                QVERIFY2(w->toolTip() == QString::fromUtf8(e.tooltip.data(), e.tooltip.size()),
                         e.name.data());
        QVERIFY2(twin.W(FoutText)->font().bold() && twin.W(FoutText)->font().pixelSize() == 16,
                 "wanted frequency not bold 12-point");
        // what is drawn: the specified colours, not a style's shading of them
        const std::pair<ControlId, QColor> drawn[] = {{SetCP, QColor(255, 0, 0)},
                                                      {PicEEdata, QColor(255, 224, 192)},
                                                      {FrText, QColor(255, 0, 0)},
                                                      {Label1, QColor(208, 255, 255)},
                                                      {Frame1, QColor(208, 255, 255)}};
        for (auto [id, colour] : drawn)
            QVERIFY2(Drawn(twin.W(id)) == colour,
                     qPrintable(EntryOf(id).name.data() + QStringLiteral(" drawn in ") +
                                Drawn(twin.W(id)).name()));
    }

    void listingWindowFollowsTheMainWindowAndHides() {
        Twin twin;
        twin.W(MAX2870)->move(60, 45);
        for (Act act : {Act::Up, Act::Press}) // the worked run, then "PIC EE Data"
            twin.Run({act, act == Act::Up ? OutDivCont : PicEEdata});
        QWidget* listing = twin.W(EEdata);
        const QRect main = twin.W(MAX2870)->frameGeometry();
        QVERIFY2(listing->isVisible(), "listing not shown");
        QCOMPARE(listing->frameGeometry().topLeft(),
                 QPointF(main.x() + main.width() / 3.0, main.y() + main.height() / 3.0).toPoint());
        twin.Run({Act::Tick, Aon});
        QVERIFY2(!listing->isVisible(), "a stale listing stays in view after a recompute");
        twin.Run({Act::Press, PicEEdata});
        listing->close();
        twin.Run({Act::Press, PicEEdata});
        QVERIFY2(listing->isVisible(), "listing closed by the operator does not come back");
    }

    // Whatever face the machine resolves, at whatever scale, every line of the results and of
    // the listing shows whole.
    void wholeTextShowsOnEveryFont_data() {
        QTest::addColumn<QString>("family");
        for (const char* family : {"DejaVu Sans", "Nimbus Sans", "Liberation Sans"})
            QTest::newRow(family) << QString::fromLatin1(family);
    }
    void wholeTextShowsOnEveryFont() {
        QFETCH(QString, family);
        const QStringList installed =
            QFontDatabase::families().filter(QRegularExpression("^" + family + "( \\[|$)"));
        if (installed.isEmpty())
            QSKIP(qPrintable(family + " is not installed"));
        Twin twin({family});
        for (Act act : {Act::Up, Act::Press})
            twin.Run({act, act == Act::Up ? OutDivCont : PicEEdata});
        QVERIFY(installed.contains(QFontInfo(twin.W(ValuesText)->font()).family()));
        QVERIFY2(CutLine(twin.W(ValuesText)).isEmpty(),
                 qPrintable("results box cuts " + CutLine(twin.W(ValuesText))));
        QVERIFY2(CutLine(twin.W(EEtext)).isEmpty(),
                 qPrintable("listing cuts " + CutLine(twin.W(EEtext))));
        twin.Run({Act::Type, ResolutionText, "1000"});
        QVERIFY2(CutLine(twin.W(ValuesText)).isEmpty(),
                 qPrintable("results box cuts " + CutLine(twin.W(ValuesText))));
    }

    void brokenChipRulesShowAsANoteOnTheResults() {
        Twin twin;
        twin.Run({Act::Up, OutDivCont});
        QVERIFY2(twin.W(ValuesText)->toolTip().isEmpty() && Drawn(twin.W(ValuesText)) == Qt::white,
                 "a note on a plan that keeps every rule");
        for (const Step& step : {Step{Act::Type, ResolutionText, "100000"},
                                 Step{Act::Type, FrText, "50"}, Step{Act::Tick, RefDbl}})
            twin.Run(step); // 100 MHz at the phase detector, in a complete plan
        QVERIFY2(!twin.memory.Record(ValuesText).note.empty(),
                 "no broken rule reported for 100 MHz");
        QCOMPARE(twin.W(ValuesText)->toolTip(),
                 QString::fromStdString(twin.memory.Record(ValuesText).note));
        QCOMPARE(Drawn(twin.W(ValuesText)), QColor(255, 255, 192));
        QCOMPARE(twin.W(ValuesText)->palette().color(QPalette::Text), QColor(Qt::black));
        twin.Run({Act::Type, FrText, "10"});
        QVERIFY2(twin.W(ValuesText)->toolTip().isEmpty() && Drawn(twin.W(ValuesText)) == Qt::white,
                 "the note outlives the broken rule");
    }

    void portBoxShowsThePathsStartAndItsDetails() {
        Twin twin;
        const std::string longest = "/dev/serial/by-id/usb-Adapter_Made_Long-if00-port0";
        for (const std::string& port : {std::string("/dev/ttyNOPE"), longest})
            twin.window.AddListEntry(CPort, port);
        twin.window.SetText(CPort, "/dev/ttyNOPE");
        auto* combo = qobject_cast<QComboBox*>(twin.W(CPort));
        QCOMPARE(combo->lineEdit()->cursorPosition(), 0);
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), combo->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(combo, &hover);
        QVERIFY2(combo->toolTip().startsWith("/dev/ttyNOPE\n"),
                 qPrintable("tooltip: " + combo->toolTip()));
        QVERIFY2(combo->view()->minimumWidth() >
                     combo->fontMetrics().horizontalAdvance(QString::fromStdString(longest)),
                 "drop-down list cuts the longest port");
    }

    void focusComesBackAfterATransfer() {
        Twin twin;
        for (ControlId id : {Init, SendAll, WriteAll})
            twin.window.SetVisible(id, true);
        twin.W(SendAll)->setFocus();
        for (bool enabled : {false, true})
            for (ControlId id : {SendAll, WriteAll, Init})
                twin.window.SetEnabled(id, enabled);
        QVERIFY2(QApplication::focusWidget() == twin.W(SendAll),
                 qPrintable("focus ends in " + QApplication::focusWidget()->objectName()));
    }

    void tabLandsOnTheSelectedOptionAndArrowsMoveWithin() {
        Twin twin;
        QTest::keyClick(twin.W(FoutText), Qt::Key_Tab);
        for (int tabs = 0;
             tabs < 60 && QApplication::focusWidget()->parentWidget() != twin.W(Frame1); ++tabs)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() == twin.W(MuxL),
                 "Tab into MUX O/P lands on an unselected button");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QVERIFY2(QApplication::focusWidget() == twin.W(MuxN) && twin.window.Value(MuxN) == 1,
                 "the up arrow does not select N/2 div");
        QVERIFY2(twin.window.Text(ValuesText).find("Reg 2   0x 10005E42") != std::string::npos,
                 "N/2 div not in the MUX bits");
    }

    void screenReadersGetNamesAndTheShownValues() {
        Twin twin;
        twin.Run({Act::Up, OutDivCont});
        for (const ControlEntry& e : ControlTable()) {
            QWidget* w = twin.W(e.id);
            if (w == nullptr || e.kind == ControlKind::Window || e.kind == ControlKind::Label ||
                e.kind == ControlKind::Frame)
                continue;
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(!read->text(QAccessible::Name).isEmpty(),
                     qPrintable(e.name.data() + QStringLiteral(" has no accessible name")));
            if (e.kind == ControlKind::Spinner)
                QVERIFY2(read->valueInterface()->currentValue().toInt() == twin.window.Value(e.id),
                         qPrintable(e.name.data() + QStringLiteral(" read upside down")));
        }
        QCOMPARE(
            QAccessible::queryAccessibleInterface(twin.W(OutDivCont))->text(QAccessible::Value),
            QStringLiteral("2"));
        QCOMPARE(QAccessible::queryAccessibleInterface(twin.W(FrText))->text(QAccessible::Name),
                 QStringLiteral("Ref In MHz"));
    }
};

QTEST_MAIN(PanelWindowTest)
#include "panel_window_test.moc"
