// The read-out box: on the screen it looks exactly like a plain QLineEdit set up the same way,
// in every state the program shows it in, and repainting it paints nothing behind it.
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <map>

#include "Readout.h"

namespace {

// A page of a tab control in a window, as the program's read-outs sit, with a plain box and a
// read-out side by side on the same background.
struct Rig {
    QMainWindow window;
    QTabWidget* tabs = nullptr;
    QWidget* page = nullptr;
    QLineEdit* plain = nullptr;
    TReadout* readout = nullptr;

    Rig() {
        tabs = new QTabWidget(&window);
        window.setCentralWidget(tabs);
        page = new QWidget;
        tabs->addTab(page, QStringLiteral("Common"));
        plain = new QLineEdit(page);
        readout = new TReadout(page);
        int x = 20;
        for (QLineEdit* box : {plain, static_cast<QLineEdit*>(readout)}) {
            box->setGeometry(x, 30, 42, 21);
            box->setReadOnly(true);
            box->setFocusPolicy(Qt::ClickFocus);
            x += 80;
        }
        window.resize(300, 200);
        window.show();
    }

    // What the screen shows of a box (the window's backing store, where the platform keeps it).
    QImage OnScreen(QWidget* box) {
        const QPoint at = box->mapTo(&window, QPoint(0, 0));
        return window.screen()
            ->grabWindow(window.winId(), at.x(), at.y(), box->width(), box->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // Applies `change` to both boxes, lets both paint and compares what the screen shows.
    template <typename Change>
    bool SameAfter(Change change) {
        for (QLineEdit* box : {plain, static_cast<QLineEdit*>(readout)})
            change(box);
        for (QLineEdit* box : {plain, static_cast<QLineEdit*>(readout)})
            box->repaint();
        QCoreApplication::processEvents();
        return OnScreen(plain) == OnScreen(readout);
    }
};

void SetColor(QLineEdit* box, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = box->palette();
    palette.setColor(role, color);
    box->setPalette(palette);
}

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    void Watch(QWidget* widget) {
        widget->installEventFilter(this);
        counts[widget] = 0;
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++counts[watched];
        return false;
    }
    std::map<QObject*, int> counts;
};

}  // namespace

class ReadoutTest : public QObject {
    Q_OBJECT

private slots:
    void looksLikeAPlainBoxInEveryState() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QVERIFY(rig.SameAfter([](QLineEdit*) {}));
        QVERIFY(rig.SameAfter([](QLineEdit* box) { box->setText(QStringLiteral("25.3")); }));
        QVERIFY(rig.SameAfter([](QLineEdit* box) {  // button-face background, as the program's
            SetColor(box, QPalette::Base, box->palette().color(QPalette::Button));
        }));
        for (const char* text : {"1234", "0.0", "104.0", "12.0", "7.1", "9876", "50.5", "0123456789.",
                                 "-1.7E+3", "Disk 1: 23.4 °C", "AVAWTo"}) {
            QVERIFY2(rig.SameAfter([text](QLineEdit* box) { box->setText(QString::fromUtf8(text)); }),
                     text);
        }
        QVERIFY(rig.SameAfter([](QLineEdit* box) { box->setText(QStringLiteral("1234")); }));
        QVERIFY(rig.SameAfter([](QLineEdit* box) { SetColor(box, QPalette::Base, Qt::red); }));
        QVERIFY(rig.SameAfter([](QLineEdit* box) { SetColor(box, QPalette::Text, Qt::gray); }));
        QVERIFY(rig.SameAfter([](QLineEdit* box) { box->setEnabled(false); }));
        QVERIFY(rig.SameAfter([](QLineEdit* box) { box->setEnabled(true); }));
        QVERIFY(rig.SameAfter([](QLineEdit* box) { box->move(box->x(), 60); }));
        // Focus is on one box at a time: compare each focused against the other unfocused
        // one's focused look in turn.
        rig.plain->setFocus();
        QCoreApplication::processEvents();
        const QImage plainFocused = rig.OnScreen(rig.plain);
        rig.readout->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(rig.OnScreen(rig.readout), plainFocused);
        QVERIFY(rig.OnScreen(rig.plain) != plainFocused);  // the focus look differs
    }

    void numbersItDrawsItselfLookTheSameInEveryPlacement() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        const Qt::Alignment placements[] = {
            Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignRight | Qt::AlignVCenter,
            Qt::AlignHCenter | Qt::AlignVCenter, Qt::AlignLeft | Qt::AlignTop,
            Qt::AlignRight | Qt::AlignBottom};
        for (const Qt::Alignment placement : placements) {
            for (const char* text : {"7", "25.3", "-1.7", "1234", "100.0", "0.5", "1E+3"}) {
                const int before = rig.readout->TextsDrawnPlainly();
                QVERIFY2(rig.SameAfter([&](QLineEdit* box) {
                             box->setAlignment(placement);
                             box->setText(QString::fromUtf8(text));
                         }),
                         qPrintable(QStringLiteral("%1 aligned %2").arg(text).arg(int(placement))));
                // The comparison means something only when the read-out drew the text itself.
                QVERIFY2(rig.readout->TextsDrawnPlainly() > before, text);
            }
        }
        // Too long for the box: QLineEdit scrolls it, so QLineEdit paints it, and the same.
        const int before = rig.readout->TextsDrawnPlainly();
        QVERIFY(rig.SameAfter([](QLineEdit* box) { box->setText(QStringLiteral("12345678901234")); }));
        QVERIFY(rig.SameAfter([](QLineEdit* box) { box->setText(QStringLiteral("Disk 1: 23.4 °C")); }));
        QCOMPARE(rig.readout->TextsDrawnPlainly(), before);
        // Part of it selected: the selection is QLineEdit's to draw.
        QVERIFY(rig.SameAfter([](QLineEdit* box) {
            box->setText(QStringLiteral("42.0"));
            box->setSelection(1, 2);
        }));
        QCOMPARE(rig.readout->TextsDrawnPlainly(), before);
    }

    void repaintingPaintsOnlyTheBoxAndReusesItsFrame() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.readout->setText(QStringLiteral("25.3"));
        QCoreApplication::processEvents();
        PaintCounter painted;
        for (QWidget* w : {static_cast<QWidget*>(&rig.window), static_cast<QWidget*>(rig.tabs),
                           rig.page, static_cast<QWidget*>(rig.readout)})
            painted.Watch(w);
        const int panels = rig.readout->PanelsDrawn();
        rig.readout->setText(QStringLiteral("25.4"));
        rig.readout->repaint();
        QCOMPARE(painted.counts[rig.readout], 1);
        QCOMPARE(painted.counts[&rig.window], 0);
        QCOMPARE(painted.counts[rig.tabs], 0);
        QCOMPARE(painted.counts[rig.page], 0);
        QCOMPARE(rig.readout->PanelsDrawn(), panels);  // same look: the frame was copied
        SetColor(rig.readout, QPalette::Base, Qt::red);
        rig.readout->repaint();
        QCOMPARE(rig.readout->PanelsDrawn(), panels + 1);  // new look: drawn once again
    }
};

QTEST_MAIN(ReadoutTest)
#include "ReadoutTest.moc"
