// The window's widgets against the control table, and the event rules on the real widgets.

#include "panel_rig.h"

#include "panel/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>

using namespace max2870;
using namespace max2870::test;
using enum max2870::ControlId;

namespace {

QColor Colour(Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

// The colour that covers most of an area: a control's background, whatever its caption draws.
QColor MostCommonColour(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto a, auto b) { return a.second < b.second; });
    return QColor::fromRgb(most->first);
}

} // namespace

class PanelWidgetsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QtPanel> panel_;
    EventLog log_;

    template <class W> W* W_(ControlId id) { return WidgetOf<W>(*panel_, id); }

private slots:
    void initTestCase() { UseProgramStyle(); }
    void init() {
        panel_ = std::make_unique<QtPanel>();
        log_ = EventLog{};
        panel_->SetEventSink(&log_);
    }
    void cleanup() { panel_.reset(); }

    void mainWindowCaptionSizeAndBackground() {
        QWidget* main = panel_->MainWindow();
        QCOMPARE(Str(main->windowTitle()), std::string("QUELN        SYNTARA Control "));
        QCOMPARE(main->windowTitle().size(), 29);
        QCOMPARE(main->size(), QSize(424, 502));
        QCOMPARE(main->minimumSize(), main->maximumSize());
        QVERIFY(!main->windowIcon().isNull());
        // What shows is what counts: a label, box or frame lets the window's colour through.
        panel_->ShowMainWindow();
        const QImage image = main->grab().toImage();
        const QColor cyan(208, 255, 255);
        for (ControlId id : {Label1, Label6, TrackDivider, Frame1, MuxL, NM3, Enable}) {
            QWidget* widget = panel_->Widget(id);
            const QRect place(widget->parentWidget()->mapTo(main, widget->pos()), widget->size());
            QVERIFY2(MostCommonColour(image, place) == cyan, Str(widget->objectName()).c_str());
        }
        QCOMPARE(W_<QLineEdit>(Rdivider)->palette().color(QPalette::Base), QColor(Qt::white));
    }

    void everyControlHasItsNamePlaceAndTooltip() {
        for (const ControlEntry& entry : ControlTable()) {
            if (entry.kind == ControlKind::Window || entry.parent == EEdata) {
                continue;
            }
            QWidget* widget = panel_->Widget(entry.id);
            QVERIFY2(widget != nullptr, entry.name.data());
            QCOMPARE(Str(widget->objectName()), std::string(entry.name));
            const QRect place(entry.place.left / 15, entry.place.top / 15, entry.place.width / 15,
                              entry.place.height / 15);
            QCOMPARE(widget->pos(), place.topLeft());
            QCOMPARE(widget->width(), place.width());
            QVERIFY(widget->height() >= place.height()); // a wrapped label may grow downwards
            QCOMPARE(Str(widget->toolTip()), std::string(entry.tooltip));
        }
        QCOMPARE(panel_->Widget(MuxL)->parentWidget(), panel_->Widget(Frame1));
        QCOMPARE(panel_->Widget(NM2)->parentWidget(), panel_->Widget(NoiseModeFrame));
    }

    // Whatever sans-serif face the system has, a caption drawn on one line is neither wrapped
    // nor cut.
    void oneLineCaptionsFitTheirBoxes() {
        for (ControlId id : {Label1, Label2, Label7, OutDivLabel}) {
            QWidget* label = panel_->Widget(id);
            QCOMPARE(label->height(), PixelRect(EntryOf(id).place).height());
            QVERIFY2(label->sizeHint().width() <= label->width(), EntryOf(id).name.data());
        }
        for (ControlId id : {TrackDivider, RefDbl, Refdiv2, PDpol, FractN, Aon, Bon, Enable,
                             MuxNone, MuxR, MuxN, MuxL, NM0, NM2, NM3}) {
            QWidget* button = panel_->Widget(id);
            QVERIFY2(button->sizeHint().width() <= button->width(), EntryOf(id).name.data());
        }
    }

    void startingCaptionsAndTextsKeepTheirBlanks() {
        QCOMPARE(Str(W_<QLabel>(ChrgPumpLabel)->text()), std::string("Charge Pump  15"));
        QCOMPARE(Str(W_<QLabel>(OutDivLabel)->text()), std::string("O/P Divider  1"));
        QCOMPARE(Str(W_<QLabel>(Label1)->text()),
                 std::string("Wanted Fout   MHz      Set divider"));
        QCOMPARE(Str(W_<QLabel>(Label8)->text()), std::string("<  Force Denom or enter value >"));
        QCOMPARE(W_<QLabel>(Label8)->textFormat(), Qt::PlainText);
        QCOMPARE(Str(W_<QLineEdit>(FoutText)->text()), std::string("2320.5"));
        QCOMPARE(Str(W_<QPushButton>(SetOdiv)->text()), std::string("> > >"));
        QCOMPARE(Str(W_<QGroupBox>(Frame1)->title()), std::string("MUX O/P"));
        QCOMPARE(Str(W_<QComboBox>(CPort)->currentText()), std::string("COM Port"));
        QVERIFY(W_<QPushButton>(ClrText)->text().isEmpty());
        QVERIFY(W_<QLabel>(Fvco)->text().isEmpty());
        QVERIFY(W_<QPlainTextEdit>(ValuesText)->toPlainText().isEmpty());
        QCOMPARE(W_<QLabel>(Label5)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(W_<QLabel>(Label2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }

    void startingFontsAndColours() {
        const QFont fout = W_<QLineEdit>(FoutText)->font();
        QVERIFY(fout.bold());
        QCOMPARE(fout.pixelSize(), 16);
        QVERIFY(W_<QPushButton>(PicEEdata)->font().bold());
        QCOMPARE(W_<QPushButton>(PicEEdata)->font().pixelSize(), 11);
        QVERIFY(!W_<QLabel>(Label1)->font().bold());
        QCOMPARE(W_<QLineEdit>(FoutText)->palette().color(QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(W_<QLineEdit>(FrText)->palette().color(QPalette::Base), QColor(255, 0, 0));
        QCOMPARE(W_<QLabel>(Label8)->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        QCOMPARE(W_<QPushButton>(PicEEdata)->palette().color(QPalette::Button),
                 QColor(255, 224, 192));
        QCOMPARE(W_<QPushButton>(SetCP)->palette().color(QPalette::Button), QColor(255, 0, 0));
        QCOMPARE(W_<QComboBox>(CPort)->palette().color(QPalette::Base), QColor(255, 0, 0));
    }

    void startingValuesVisibilityAndRanges() {
        QVERIFY(!W_<QCheckBox>(TrackDivider)->isEnabled());
        QVERIFY(W_<QCheckBox>(Aon)->isChecked());
        QVERIFY(W_<QCheckBox>(Enable)->isChecked());
        QVERIFY(!W_<QCheckBox>(FractN)->isChecked());
        QVERIFY(W_<QRadioButton>(MuxL)->isChecked());
        QVERIFY(W_<QRadioButton>(NM0)->isChecked());
        for (ControlId hidden : {Init, SendAll, WriteAll}) {
            QVERIFY(panel_->Widget(hidden)->isHidden());
            QVERIFY(!panel_->Visible(hidden));
        }
        QVERIFY(!panel_->Visible(EEdata));
        QVERIFY(panel_->Widget(EEdata) == nullptr);
        const std::pair<ControlId, int> spinners[] = {{OutDivCont, 7}, {ChrgPump, 15}, {OPpwr, 3}};
        for (auto [id, top] : spinners) {
            auto* bar = W_<QScrollBar>(id);
            QCOMPARE(bar->orientation(), Qt::Vertical);
            QCOMPARE(bar->maximum() - bar->minimum(), top);
            QCOMPARE(bar->singleStep(), 1);
            QCOMPARE(bar->pageStep(), 1);
        }
        QCOMPARE(panel_->Value(OutDivCont), 0);
        QCOMPARE(panel_->Value(ChrgPump), 15);
        QCOMPARE(panel_->Value(OPpwr), 3);
    }

    void focusStartsInTheWantedFrequencyAndTabFollowsTheTable() {
        panel_->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel_->MainWindow()));
        QCOMPARE(QApplication::focusWidget(), panel_->Widget(FoutText));
        QCOMPARE(panel_->Widget(FoutText)->nextInFocusChain(), panel_->Widget(SetOdiv));
        QCOMPARE(panel_->Widget(SetOdiv)->nextInFocusChain(), panel_->Widget(OutDivCont));
    }

    void textBoxReportsOnlyRealChanges() {
        auto* rdivider = W_<QLineEdit>(Rdivider);
        panel_->SetText(Rdivider, "1");
        rdivider->setText(QStringLiteral("1")); // the widget itself, same text
        QVERIFY(log_.entries.empty());
        log_.inside = [&](ControlId, ControlEvent) {
            QCOMPARE(panel_->Text(Rdivider), std::string("2")); // already there, inside the write
        };
        panel_->SetText(Rdivider, "2");
        QCOMPARE(log_.Count(Rdivider, ControlEvent::Change), 1);
        QCOMPARE(Str(rdivider->text()), std::string("2"));
        log_.inside = nullptr;
        rdivider->setText(QStringLiteral("3")); // a change that does not pass the panel
        QCOMPARE(log_.Count(Rdivider, ControlEvent::Change), 2);
        QCOMPARE(panel_->Text(Rdivider), std::string("3"));
    }

    void typingReportsEveryKeystroke() {
        auto* box = W_<QLineEdit>(ResolutionText);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("250"));
        QCOMPARE(log_.Count(ResolutionText, ControlEvent::Change), 3);
        QCOMPARE(panel_->Text(ResolutionText), std::string("250"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(panel_->Text(ResolutionText), std::string("25"));
        QCOMPARE(log_.Count(ResolutionText, ControlEvent::Change), 4);
    }

    void multiLineTextsKeepCrLfExactly() {
        panel_->SetText(ValuesText, "a\r\nb\r\n");
        QCOMPARE(panel_->Text(ValuesText), std::string("a\r\nb\r\n"));
        QCOMPARE(Str(W_<QPlainTextEdit>(ValuesText)->toPlainText()), std::string("a\nb\n"));
        panel_->SetText(ValuesText, "a\r\nb\r\n");
        QCOMPARE(log_.Count(ValuesText, ControlEvent::Change), 1);
        panel_->AppendText(Text1, "x\r");
        panel_->AppendText(Text1, "\ny");
        QCOMPARE(panel_->Text(Text1), std::string("x\r\ny"));
        QCOMPARE(Str(W_<QPlainTextEdit>(Text1)->toPlainText()), std::string("x\ny"));
        panel_->SetCaption(Fvco, "VCO  4641MHz\r\nOut of range");
        QCOMPARE(Str(W_<QLabel>(Fvco)->text()), std::string("VCO  4641MHz\nOut of range"));
        QCOMPARE(panel_->Caption(Fvco), std::string("VCO  4641MHz\r\nOut of range"));
    }

    void checkBoxReportsClickOnlyOnChange() {
        panel_->SetValue(Aon, 1);
        QVERIFY(log_.entries.empty());
        panel_->SetValue(Aon, 0);
        QCOMPARE(log_.Count(Aon, ControlEvent::Click), 1);
        QVERIFY(!W_<QCheckBox>(Aon)->isChecked());
        QTest::mouseClick(W_<QCheckBox>(RefDbl), Qt::LeftButton);
        QCOMPARE(log_.Count(RefDbl, ControlEvent::Click), 1);
        QCOMPARE(panel_->Value(RefDbl), 1);
        panel_->SetEnabled(TrackDivider, true);
        QTest::mouseClick(W_<QCheckBox>(TrackDivider), Qt::LeftButton);
        QCOMPARE(panel_->Value(TrackDivider), 1);
    }

    void spinnerArrowsRaiseAndLowerAndStopAtTheEnds() {
        auto* bar = W_<QScrollBar>(OutDivCont);
        ClickArrow(bar, false); // down at 0
        QCOMPARE(panel_->Value(OutDivCont), 0);
        QVERIFY(log_.entries.empty());
        ClickArrow(bar, true);
        QCOMPARE(panel_->Value(OutDivCont), 1);
        QCOMPARE(log_.Count(OutDivCont, ControlEvent::Change), 1);
        ClickArrow(W_<QScrollBar>(ChrgPump), true); // up at 15
        QCOMPARE(panel_->Value(ChrgPump), 15);
        ClickArrow(W_<QScrollBar>(ChrgPump), false);
        QCOMPARE(panel_->Value(ChrgPump), 14);
        QCOMPARE(log_.Count(ChrgPump, ControlEvent::Change), 1);
        ClickArrow(W_<QScrollBar>(OPpwr), true); // up at 3
        QCOMPARE(panel_->Value(OPpwr), 3);
        QCOMPARE(log_.Count(OPpwr, ControlEvent::Change), 0);
    }

    void spinnerProgramWritesClampAndReportChanges() {
        panel_->SetValue(OutDivCont, 0);
        QVERIFY(log_.entries.empty());
        panel_->SetValue(OutDivCont, 9);
        QCOMPARE(panel_->Value(OutDivCont), 7);
        QCOMPARE(log_.Count(OutDivCont, ControlEvent::Change), 1);
        QCOMPARE(W_<QScrollBar>(OutDivCont)->value(), W_<QScrollBar>(OutDivCont)->minimum());
        panel_->SetValue(OutDivCont, 7);
        QCOMPARE(log_.Count(OutDivCont, ControlEvent::Change), 1);
    }

    void optionButtonReportsSelectionAndGroupsStayExclusive() {
        int selectedSeen = -1;
        log_.inside = [&](ControlId, ControlEvent) {
            selectedSeen = 0;
            for (ControlId id : OptionGroupOf(MuxNone)) {
                selectedSeen += panel_->Value(id);
            }
        };
        panel_->SetValue(MuxR, 1);
        QCOMPARE(log_.Count(MuxR, ControlEvent::Click), 1);
        QCOMPARE(selectedSeen, 1);
        QVERIFY(W_<QRadioButton>(MuxR)->isChecked());
        QVERIFY(!W_<QRadioButton>(MuxL)->isChecked());
        panel_->SetValue(MuxR, 1);
        panel_->SetValue(MuxR, 0);
        QCOMPARE(panel_->Value(MuxR), 1);
        QCOMPARE(log_.entries.size(), std::size_t{1});
        QTest::mouseClick(W_<QRadioButton>(MuxNone), Qt::LeftButton);
        QCOMPARE(log_.Count(MuxNone, ControlEvent::Click), 1);
        QCOMPARE(log_.entries.size(), std::size_t{2}); // nothing for the button deselected
        QCOMPARE(panel_->Value(MuxR), 0);
        QTest::mouseClick(W_<QRadioButton>(MuxNone), Qt::LeftButton); // already selected
        QCOMPARE(log_.entries.size(), std::size_t{2});
        QCOMPARE(panel_->Value(NM0), 1); // the other group is untouched
    }

    void referenceReportsLostFocusWhenTheFocusMovesOn() {
        panel_->ShowMainWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel_->MainWindow()));
        panel_->Widget(FrText)->setFocus(Qt::TabFocusReason);
        QCOMPARE(log_.Count(FrText, ControlEvent::LostFocus), 0);
        QTest::keyClick(panel_->Widget(FrText), Qt::Key_Tab);
        QCOMPARE(log_.Count(FrText, ControlEvent::LostFocus), 1);
        QVERIFY(log_.Count(FrText, ControlEvent::Change) == 0);
    }

    void mousePressInWantedFrequencyReportsClick() {
        QTest::mouseClick(panel_->Widget(FoutText), Qt::LeftButton);
        QCOMPARE(log_.Count(FoutText, ControlEvent::Click), 1);
        QTest::mouseClick(W_<QPushButton>(SetOdiv), Qt::LeftButton);
        QCOMPARE(log_.Count(SetOdiv, ControlEvent::Click), 1);
    }

    void writesInsideAHandlerNest() {
        log_.inside = [&](ControlId id, ControlEvent) {
            if (id == FoutText) {
                panel_->SetText(Rdivider, "5");
            } else if (id == Rdivider) {
                panel_->SetValue(ChrgPump, 3);
            }
        };
        QTest::keyClicks(panel_->Widget(FoutText), QStringLiteral("1"));
        const std::vector<EventLog::Entry> expected{{FoutText, ControlEvent::Change},
                                                    {Rdivider, ControlEvent::Change},
                                                    {ChrgPump, ControlEvent::Change}};
        QVERIFY(log_.entries == expected);
        QCOMPARE(Str(W_<QLineEdit>(Rdivider)->text()), std::string("5"));
        QCOMPARE(W_<QScrollBar>(ChrgPump)->value(), 12);
    }

    void comboKeepsItsTextWhenTheListFillsAndReportsChoices() {
        panel_->AddListEntry(CPort, "/dev/ttyS0");
        panel_->AddListEntry(CPort, "/dev/ttyUSB0");
        QVERIFY(log_.entries.empty());
        QCOMPARE(Str(W_<QComboBox>(CPort)->currentText()), std::string("COM Port"));
        QCOMPARE(panel_->ListCount(CPort), 2);
        QCOMPARE(panel_->ListEntry(CPort, 1), std::string("/dev/ttyUSB0"));
        panel_->SetText(CPort, "/dev/ttyS0");
        QCOMPARE(log_.Count(CPort, ControlEvent::Change), 1);
        auto* combo = W_<QComboBox>(CPort);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(log_.Count(CPort, ControlEvent::Click), 1);
        QCOMPARE(panel_->Text(CPort), Str(combo->currentText()));
    }

    void listingWindowIsMadeWhenFirstShownAndMovesInTwips() {
        panel_->SetText(EEtext, "line\r\n");
        panel_->MoveWindow(EEdata, 1500, 3000);
        QVERIFY(panel_->Widget(EEdata) == nullptr);
        panel_->SetVisible(EEdata, true);
        QWidget* window = panel_->Widget(EEdata);
        QVERIFY(window != nullptr && window->isVisible());
        QCOMPARE(Str(window->windowTitle()), std::string("EE Data"));
        QCOMPARE(window->size(), QSize(312, 329));
        QCOMPARE(window->frameGeometry().topLeft(), QPoint(100, 200));
        QCOMPARE(panel_->WindowPlace(EEdata).left, 1500.0);
        auto* text = W_<QPlainTextEdit>(EEtext);
        QCOMPARE(text->parentWidget(), window);
        QCOMPARE(text->geometry(), QRect(8, 8, 297, 281));
        QCOMPARE(Str(text->toPlainText()), std::string("line\n"));
        panel_->SetVisible(EEdata, false);
        QVERIFY(!window->isVisible());
        panel_->SetVisible(EEdata, true);
        QCOMPARE(panel_->Widget(EEdata), window); // made once
    }

    void coloursBoldAndMessagesReachTheWidgets() {
        panel_->SetBackColour(FrText, colour::White);
        panel_->SetForeColour(Fvco, colour::Red);
        panel_->SetBold(Fvco, true);
        panel_->SetForeColour(ValuesText, colour::Red);
        QCOMPARE(W_<QLineEdit>(FrText)->palette().color(QPalette::Base), Colour(colour::White));
        QCOMPARE(W_<QLabel>(Fvco)->palette().color(QPalette::WindowText), Colour(colour::Red));
        QVERIFY(W_<QLabel>(Fvco)->font().bold());
        QCOMPARE(W_<QPlainTextEdit>(ValuesText)->palette().color(QPalette::Text),
                 Colour(colour::Red));
        std::string shown;
        panel_->SetMessageSink([&](std::string_view title, std::string_view text) {
            shown = std::string(title) + "|" + std::string(text);
        });
        panel_->ShowMessage("T", "port open");
        QCOMPARE(shown, std::string("T|port open"));
        panel_->SetCaption(MAX2870, "QUELN        SYNTARA Control /dev/ttyS0");
        QCOMPARE(Str(panel_->MainWindow()->windowTitle()),
                 std::string("QUELN        SYNTARA Control /dev/ttyS0"));
    }

    // Last: it runs the application's event loop until closing the window ends it.
    void closingTheMainWindowEndsTheProgramWithTheListing() {
        panel_->ShowMainWindow();
        panel_->SetVisible(EEdata, true);
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QTimer::singleShot(0, panel_->MainWindow(), &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(lastClosed.count(), 1);
        QVERIFY(!panel_->Widget(EEdata)->isVisible());
    }
};

QTEST_MAIN(PanelWidgetsTest)
#include "panel_widgets_test.moc"
