// The window on real widgets. Operator scripts drive it and the in-memory panel alike: after
// every step both must look the same, and marked steps check texts worked out by hand and what
// only the window has (colours as drawn, whole texts, the listing's place).

#include "link_rig.h"
#include "panel_rig.h"

using namespace max2870;
using namespace max2870::test;
using enum max2870::ControlId;

namespace {

// One step a line: "<verb> <control> <text>", "|" standing for CR LF. "words ValuesText W0 ..
// W5" expects the six register lines of the results box, "reg 2 W2" one of them.
std::vector<Step> Script(const std::string& script) {
    static const QStringList verbs = QString("type paste tick select up down press close decode "
                                             "expect drawn whole placed")
                                         .split(' ');
    std::vector<Step> steps;
    std::istringstream lines(script + "\n"); // every step ends its line
    for (std::string verb, name, text; lines >> verb >> name && std::getline(lines, text);) {
        Step step{static_cast<Act>(verb == "words" ? 9 : verbs.indexOf(verb.c_str())), ValuesText,
                  text.empty() ? text : text.substr(1)};
        for (const ControlEntry& entry : ControlTable())
            if (entry.name == name)
                step.id = entry.id;
        if (verb == "reg") // "reg 2 18005E42": that line of the results box
            step = {Expect, ValuesText, "Reg " + name + "   0x " + step.text};
        std::istringstream words(verb == "words" ? step.text : "");
        for (int reg = 0; words >> text; ++reg)
            step.text =
                (reg == 0 ? "" : step.text) + "Reg " + std::to_string(reg) + "   0x " + text + "|";
        for (std::size_t bar; (bar = step.text.find('|')) != std::string::npos;)
            step.text.replace(bar, 1, "\r\n");
        steps.push_back(step);
    }
    return steps;
}

const std::pair<const char*, const char*> kScripts[] = {
    {"start: nothing computed, colours as specified",
     "down OutDivCont\nexpect ValuesText\ndrawn SetCP #ff0000\ndrawn PicEEdata #ffe0c0\n"
     "drawn FrText #ff0000\ndrawn Label1 #d0ffff\ndrawn Frame1 #d0ffff\nup ChrgPump\nexpect Fvco"},
    {"worked run, then a divider of 2.6",
     "up OutDivCont\nexpect OutDivLabel O/P Divider  2\n"
     "expect ValuesText N  464|F  50|D  500     |Error =  0.0Hz|\n"
     "words ValuesText 00E80190 20000FA1 18005E42 0000000B 609C80FC 00400005\n"
     "drawn ValuesText #ffffff\nwhole ValuesText\ntype Rdivider 2.6\nexpect Rdivider 3\n"
     "type Rdivider 1\npaste Rdivider 2.6\nexpect Rdivider 3\n"
     "expect Label6 Fcomp 3.333333MHz\nexpect ValuesText Error =  -998.0Hz\n"
     "words ValuesText 02B80190 20000539 1800DE42 0000000B 609430FC 00400005"},
    {"reference, spinners, check boxes, option groups",
     "type FrText 20\nexpect Label6 Fcomp 20.0MHz\ndrawn FrText #ffffff\ntype FrText 10\n"
     "down ChrgPump\nexpect ChrgPumpLabel Charge Pump 14\nreg 2 18005C42\ndown OPpwr\n"
     "expect OPlabel Output Power 2\nreg 4 608C80B4\nup ChrgPump\nup OPpwr\ntick Enable\n"
     "reg 2 18005E62\ntick PDpol\nreg 2 18005E22\ntick Aon\nreg 4 608C80DC\ntick Bon\n"
     "reg 4 608C81DC\ntick RefDbl\ntick Refdiv2\nreg 2 1B005E22\nup OPpwr\ndown OutDivCont\n"
     "select MuxR\nreg 2 0F005E22\nselect NM3\nreg 2 6F005E22\nselect MuxNone\nselect NM2\n"
     "reg 2 43005E22"},
    {"auto divider, tracking, listing",
     "type FoutText 1500\npress SetOdiv\nexpect OutDivLabel O/P Divider  2\ntype FoutText 46.87\n"
     "press SetOdiv\nexpect OutDivLabel O/P Divider  128\ntype FoutText 2320.5\npress SetOdiv\n"
     "tick TrackDivider\nup OutDivCont\nexpect FoutText  1160.25\nexpect Fvco VCO  4641MHz\n"
     "press PicEEdata\nplaced EEdata\nwhole EEtext\n"
     "expect EEtext ;  R = 1    N = 464    D =  0250   F = 0025    Odiv = 4|;  Fout = 1160.25MHz   "
     "   Ref = 10MHz|   de 0x00, 0x40, 0x00, 0x05    ;Reg 5|   de 0x60, 0xAC, 0x80, 0xFC    ;Reg "
     "4|\n"
     "paste FrText 10|\npress PicEEdata\nexpect EEtext MHz      Ref = 10 MHz|   de 0x00\n"
     "press FoutText\ndown OutDivCont\nexpect FoutText  1160.25\n"
     "expect Fvco VCO  2320.5MHz|External VCO Only\npress PicEEdata\nclose EEdata\npress "
     "PicEEdata"},
    {"resolution, twelve bits, integer N both ways",
     "up OutDivCont\ntype ResolutionText 5000\nexpect ResolutionText  5000\n"
     "expect ValuesText D  1000     |\ntype ResolutionText 1000\n"
     "expect ValuesText More than 12 bits needed for fractional registers|Choose alternative "
     "values\n"
     "whole ValuesText\ntick FractN\n"
     "expect ValuesText N  464|F  0|D  0     |Error =  -500000.0Hz\nexpect NMCalc Find R\n"
     "tick FractN\ntype ForceD 250\ntick FractN\nexpect ResolutionText  5000000\n"
     "words ValuesText 80E80000 00000001 18005F42 0000000B 609C80FC 00400005\ntype Rdivider 2\n"
     "tick FractN\nexpect Rdivider 1\nexpect NMCalc Find Best F/D"},
    {"searches and a forced modulus",
     "type ForceD 4000\nexpect ValuesText\nup OutDivCont\npress NMCalc\nexpect ForceD  10\n"
     "expect ResolutionText  500000\nexpect ValuesText F  1|D  10     |\ntype FoutText 2320.85\n"
     "press NMCalc\nexpect ForceD  100\nexpect ValuesText N  464|F  17|D  100     |\n"
     "down OutDivCont\ntype ForceD 4000\nexpect ResolutionText  2500\ntype FoutText 2320.5\n"
     "up OutDivCont\ntick FractN\npress NMCalc\nexpect Rdivider 10\n"
     "expect ValuesText Fcomp  1.00MHz|R  10|N  4641|F  0|D  0     |Error =  0.0Hz"},
    {"read-back set, broken chip rules noted",
     "type FrText 50\ntype OPPhasetext 90\nselect NM3\n"
     "decode - 001D0000 207D1F41 CE005E02 638FF1B4\nexpect Label6 Fcomp 100.0MHz\n"
     "expect OPlabel Output Power 2\nexpect FoutText  5800\nexpect ResolutionText  100000\n"
     "words ValuesText 001D0000 207D1F41 CE005E02 0000000B 638FF1B4 00400005\n"
     "drawn ValuesText #ffffc0\ntype FrText 10\nup OutDivCont\ntype FoutText 2320.5\n"
     "drawn ValuesText #ffffff"},
};

// Relative luminance, as the accessibility guidelines define it.
double Luminance(QColor c) {
    double sum = 0;
    for (auto [v, w] : {std::pair{c.redF(), 0.2126}, {c.greenF(), 0.7152}, {c.blueF(), 0.0722}})
        sum += w * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    return sum;
}

// The contrast ratio of a control's text as drawn in its window: the pixels its text changes,
// against the colour most of them have without it. The text goes and comes back without events.
double TextContrast(QWidget* w) {
    const auto grab = [w] {
        return w->window()->grab(QRect(w->mapTo(w->window(), QPoint()), w->size())).toImage();
    };
    const QImage with = grab();
    const QSignalBlocker quiet(w);
    auto* combo = qobject_cast<QComboBox*>(w);
    const char* property = w->property("plainText").isValid() ? "plainText"
                           : w->property("title").isValid()   ? "title"
                                                              : "text";
    const QString text = combo ? combo->currentText() : w->property(property).toString();
    combo ? combo->setEditText(QString()) : void(w->setProperty(property, QString()));
    const QImage without = grab();
    combo ? combo->setEditText(text) : void(w->setProperty(property, text));
    QHash<QRgb, int> under;
    QList<QPoint> changed;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y))
                ++under[without.pixel(x, y)], changed << QPoint(x, y);
    const auto most = [](auto a, auto b) { return a.second < b.second; };
    const double back = Luminance(
        QColor(std::max_element(under.keyValueBegin(), under.keyValueEnd(), most)->first));
    double best = 0;
    for (QPoint p : changed) {
        const double ink = Luminance(with.pixelColor(p));
        best = std::max(best, (std::max(ink, back) + 0.05) / (std::min(ink, back) + 0.05));
    }
    return best;
}

// A control's colour as drawn in its window, near its lower right corner, clear of captions.
QString Drawn(QWidget* w) {
    const QPoint corner = w->mapTo(w->window(), QPoint(w->width() - 4, w->height() - 4));
    return w->window()->grab(QRect(corner, QSize(1, 1))).toImage().pixelColor(0, 0).name();
}

// The first line of text a box cuts off, or nothing when its whole text shows.
QString CutLine(QWidget* w) {
    auto* box = qobject_cast<QPlainTextEdit*>(w);
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        QTextCursor end(block);
        end.movePosition(QTextCursor::EndOfBlock);
        if (box->cursorRect(end).bottom() >= box->viewport()->height() && !block.text().isEmpty())
            return block.text();
    }
    return box->verticalScrollBar()->value() == 0 ? QString() : QStringLiteral("(scrolled)");
}

// What the step checks that the window fails, or nothing.
QString Fault(const Twin& twin, const Step& step) {
    QWidget* w = twin.W(step.id);
    const QRect main = twin.W(MAX2870)->frameGeometry();
    const std::string held = twin.memory.Text(step.id);
    if (step.act == Act::Expect &&
        (step.text.empty() ? !held.empty() : held.find(step.text) == std::string::npos))
        return QString("reads '%1', not '%2'").arg(held.c_str(), step.text.c_str());
    if (step.act == Act::Drawn && Drawn(w) != QString::fromStdString(step.text))
        return "drawn in " + Drawn(w) + ", not " + QString::fromStdString(step.text);
    if (step.act == Act::Whole && !CutLine(w).isEmpty())
        return "cuts off " + CutLine(w);
    if (step.act == Act::Place &&
        w->frameGeometry().topLeft() !=
            QPointF(main.x() + main.width() / 3.0, main.y() + main.height() / 3.0).toPoint())
        return "not a third of the way into the main window";
    const QStringList differences = twin.Differences();
    return differences.isEmpty() ? QString()
                                 : "shows what the panel does not hold: " + differences.join("; ");
}

} // namespace

class PanelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

    // Every script on the fonts the panel asks for; and, whatever face a machine resolves, at
    // whatever scale, the results and the listing show every line.
    void operatorScripts_data() {
        QTest::addColumn<std::string>("script");
        QTest::addColumn<QString>("family");
        for (auto [name, script] : kScripts)
            QTest::newRow(name) << std::string(script) << QString();
        for (const char* family : {"DejaVu Sans", "Nimbus Sans", "Liberation Sans"})
            QTest::newRow(family)
                << std::string("up OutDivCont\npress PicEEdata\nwhole ValuesText\nwhole EEtext\n"
                               "type ResolutionText 1000\nwhole ValuesText")
                << QString(family);
    }
    void operatorScripts() {
        QFETCH(std::string, script);
        QFETCH(QString, family);
        const QStringList installed =
            QFontDatabase::families().filter(QRegularExpression("^" + family + "( \\[|$)"));
        if (!family.isEmpty() && installed.isEmpty())
            QSKIP(qPrintable(family + " is not installed"));
        Twin twin(family.isEmpty() ? PanelFonts::DefaultFamilies() : QStringList{family});
        QVERIFY(family.isEmpty() ||
                installed.contains(QFontInfo(twin.W(ValuesText)->font()).family()));
        QVERIFY2(twin.active && QApplication::focusWidget() == twin.W(FoutText),
                 "window without focus in Wanted Fout");
        for (const Step& step : Script(script)) {
            twin.Run(step);
            const QString fault = Fault(twin, step);
            QVERIFY2(fault.isEmpty(), qPrintable(Name(step.id) + " " + fault));
        }
    }

    // What is typed stays as typed while the box has the focus, and the plan is the one a paste
    // of the same text gives; Enter, or Tab out of the box, brings the rewrite.
    void typedAsPasted_data() {
        QTest::addColumn<ControlId>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("rewritten");
        QTest::addColumn<QString>("results");
        QTest::newRow("R 2.6 is 3") << Rdivider << "2.6"
                                    << "2.6"
                                    << "3"
                                    << "Fcomp 3.333333MHz";
        QTest::newRow("R 2.4e3") << Rdivider << "2.4e3"
                                 << "2.4e3"
                                 << "2400"
                                 << "Fcomp 0.004167MHz";
        QTest::newRow("R emptied, then 2") << Rdivider << "10\b\b2"
                                           << "2"
                                           << "2"
                                           << "Fcomp 5.0MHz";
        QTest::newRow("resolution 2.5e3") << ResolutionText << "2.5e3"
                                          << "2.5e3"
                                          << " 2500"
                                          << "F  200\r\nD  2000     \r\n";
        QTest::newRow("resolution 12.5") << ResolutionText << "12.5"
                                         << "12.5"
                                         << " 12.5"
                                         << "More than 12 bits";
        QTest::newRow("reference 12.5") << FrText << "12.5"
                                        << "12.5"
                                        << "12.5"
                                        << "Fcomp 12.5MHz";
    }
    void typedAsPasted() {
        QFETCH(ControlId, box);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, rewritten);
        QFETCH(QString, results);
        for (const bool paste : {false, true}) {
            Twin twin;
            twin.Run({Up, OutDivCont});
            auto* edit = qobject_cast<QLineEdit*>(twin.W(box));
            edit->setFocus(Qt::MouseFocusReason);
            edit->selectAll();
            paste ? edit->insert(pasted) : QTest::keyClicks(edit, typed);
            const QString how = paste ? "pasted " : "typed ";
            QVERIFY2(edit->text() == pasted, qPrintable(how + "box shows " + edit->text()));
            const auto shown = [&] {
                return QString::fromStdString(twin.window.Caption(Label6) + "|" +
                                              twin.window.Text(ValuesText));
            };
            QVERIFY2(shown().contains(results), qPrintable(how + "plan shows " + shown()));
            QTest::keyClick(edit, paste || box == FrText ? Qt::Key_Tab : Qt::Key_Return);
            QVERIFY2(edit->text() == rewritten, qPrintable(how + "box ends as " + edit->text()));
            QVERIFY2(shown().contains(results), qPrintable(how + "rewrite changed " + shown()));
        }
    }

    // A reference with no comparison frequency leaves the last results as they were, greyed,
    // with the reason beside them; a good reference brings them back in black.
    void staleResultsAreMarked() {
        Twin twin;
        twin.Run({{Up, OutDivCont}, {Type, FrText, "-10"}});
        QWidget* results = twin.W(ValuesText);
        const auto* note = results->findChild<QLabel*>();
        QVERIFY2(twin.window.Text(ValuesText).find("Reg 2   0x 18005E42") != std::string::npos,
                 "the last words left the results box");
        for (ControlId id : {ValuesText, Label6})
            QVERIFY2(twin.W(id)->palette().color(
                         QPalette::Active, id == Label6 ? QPalette::WindowText : QPalette::Text) ==
                         QColor(128, 128, 128),
                     qPrintable(Name(id) + " not greyed"));
        QVERIFY2(note != nullptr && note->isVisible() && note->text().startsWith("Not current") &&
                     results->toolTip().contains(note->text()),
                 "no note says the results are not current");
        QVERIFY2(twin.Differences().isEmpty(), qPrintable(twin.Differences().join("; ")));
        twin.Run({Type, FrText, "10"});
        QVERIFY2(results->palette().color(QPalette::Active, QPalette::Text) == Qt::black &&
                     !note->isVisible() && results->toolTip().isEmpty(),
                 "current results still marked");
    }

    void portBoxShowsThePathsStartAndItsDetails() {
        Twin twin;
        const QString longest = "/dev/serial/by-id/usb-Adapter_Made_Long-if00-port0";
        for (const QString& port : {QStringLiteral("/dev/ttyNOPE"), longest})
            twin.window.AddListEntry(CPort, port.toStdString());
        twin.window.SetText(CPort, "/dev/ttyNOPE");
        auto* combo = qobject_cast<QComboBox*>(twin.W(CPort));
        QVERIFY2(combo->lineEdit()->cursorPosition() == 0, "the port box shows the path's end");
        QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), combo->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(combo, &hover);
        QVERIFY2(combo->toolTip().startsWith("/dev/ttyNOPE\n"),
                 qPrintable("tooltip " + combo->toolTip()));
        QVERIFY2(combo->view()->minimumWidth() > combo->fontMetrics().horizontalAdvance(longest),
                 "the list cuts the longest port");
    }

    void tabFindsTheSelectedOptionReadersHearTheDivider() {
        Twin twin;
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
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(twin.W(OutDivCont));
        QAccessibleValueInterface* value = reader->valueInterface();
        QVERIFY2(reader->text(QAccessible::Value) == "1" && value->currentValue() == 1 &&
                     value->minimumValue() == 1 && value->maximumValue() == 128,
                 "the divider spinner does not read as the divider 1 of 1 to 128");
        // a reader sets a divider: the nearest one is chosen (the lower of two as near)
        for (auto [wanted, exponent] : {std::pair<QVariant, int>{100, 7},
                                        {3, 1},
                                        {0.4, 0},
                                        {"eight", 0},
                                        {5.9, 2},
                                        {1e9, 7}}) {
            value->setCurrentValue(wanted);
            QVERIFY2(twin.window.Value(OutDivCont) == exponent &&
                         twin.window.Caption(OutDivLabel) ==
                             "O/P Divider  " + std::to_string(1 << exponent),
                     qPrintable("a reader setting " + wanted.toString() + " gets another divider"));
        }
    }

    // Fusion with a dark palette: where the panel fixes a background, its text stays dark, and
    // where it fixes a text colour, the background stays light.
    void darkThemeKeepsEveryTextReadable() {
        const QPalette before = QApplication::palette();
        QPalette dark(QColor(53, 53, 53), QColor(53, 53, 53));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(240, 240, 240));
        dark.setColor(QPalette::Base, QColor(42, 42, 42));
        QApplication::setPalette(dark);
        QStringList faint;
        {
            Twin twin;
            twin.Run({{Up, OutDivCont}, {Type, Udata, "5A5A0001"}}); // a plan without warnings
            twin.window.SetForeColour(Text1, colour::Black); // as "Set all Registers" leaves it
            twin.window.SetText(Text1, "Send registers\r\nOK");
            for (const ControlEntry& e : ControlTable()) {
                QWidget* w = twin.W(e.id);
                if (w == nullptr || e.kind == ControlKind::Window ||
                    e.kind == ControlKind::Spinner || w->window() != twin.W(MAX2870) ||
                    w->isHidden() || Shown(w, false).isEmpty())
                    continue;
                if (const double ratio = TextContrast(w); ratio < 4.5)
                    faint << Name(e.id) + QString(" %1:1").arg(ratio, 0, 'f', 1);
            }
        }
        QApplication::setPalette(before);
        QVERIFY2(faint.isEmpty(), qPrintable("text below 4.5:1 contrast: " + faint.join(", ")));
    }

    // Without a mouse: Enter presses, Tab into Wanted Fout unticks Track, the focus goes from
    // "Set COM Port" to "Set all Registers" and waits in no editable box during a transfer, and
    // Escape closes the listing.
    void keyboardOnly() {
        Twin twin;
        TestLink link;
        link.names = {"/dev/ttyKEYS"};
        LinkController controller(twin.window, twin.windowPlan, link, link,
                                  {"MAX2870 Control", 10ms, 5s});
        twin.windowRouter.Add(LinkController::Routes(), controller);
        controller.Form_Load();
        const auto key = [&](ControlId id, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            twin.W(id)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            return QApplication::focusWidget() == nullptr
                       ? QString("(none)")
                       : QApplication::focusWidget()->objectName();
        };
        key(OutDivCont, Qt::Key_Up); // a plan, and Track switched on by keyboard
        key(TrackDivider, Qt::Key_Space);
        QCOMPARE(key(SetOdiv, Qt::Key_Tab, Qt::ShiftModifier), "FoutText");
        QVERIFY2(twin.window.Value(TrackDivider) == 0, "tabbing into Wanted Fout keeps Track");
        QVERIFY2(key(SetCP, Qt::Key_Return) == "SendAll", "Set COM Port hands the focus on");
        QString during;
        link.onWrite = [&] {
            auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            during += box != nullptr && !box->isReadOnly() ? box->objectName() + " " : "";
        };
        key(SendAll, Qt::Key_Return);
        QTRY_VERIFY2(link.wire.size() == 66 && !controller.Busy(), "Enter sends the set");
        QVERIFY2(during.isEmpty(), qPrintable("focus in an editable box: " + during));
        QVERIFY2(QApplication::focusWidget() == twin.W(SendAll), "focus does not come back");
        key(PicEEdata, Qt::Key_Return);
        QVERIFY2(twin.window.Visible(EEdata), "Enter on PIC EE Data shows no listing");
        QTest::keyClick(twin.W(EEtext), Qt::Key_Escape);
        QVERIFY2(!twin.window.Visible(EEdata) && twin.W(EEdata)->isHidden(),
                 "Escape leaves the listing open");
    }
};

QTEST_MAIN(PanelTest)
#include "panel_test.moc"
