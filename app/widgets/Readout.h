// A read-out: a read-only one-line box that the polling cycle rewrites every second. It looks
// exactly like a plain QLineEdit of the same settings, but costs far less to repaint:
// - it paints its whole rectangle itself, so repainting it never repaints the page, the tab
//   frame and the window behind it;
// - its frame (the style's rounded panel over what lies behind the box) is drawn once into a
//   picture and copied from there on every repaint, until its size, position, palette, state or
//   style changes;
// - a number is laid out without shaping when the font does not kern its characters (the
//   glyphs then land exactly where shaping puts them), and while nothing of it is selected and
//   it fits the box, the read-out places and draws it itself, where QLineEdit would, without
//   the line edit's text layout. Any other text, and a selection, go through QLineEdit's own
//   painting.
// The picture of what lies behind the box is taken from its ancestors, so a read-out must not
// overlap another control.
#pragma once

#include <QGlyphRun>
#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <QPointF>
#include <QRawFont>
#include <QRect>
#include <QStyle>

class QPainter;
class QStyleOption;
class QStyleOptionFrame;

class TReadout : public QLineEdit {
    Q_OBJECT
public:
    explicit TReadout(QWidget* parent = nullptr);

    // Draws the panel for `option` (the one QLineEdit hands its style) with `painter`: from the
    // picture when it still fits, else through `style` onto a fresh picture of the backdrop.
    void DrawPanel(const QStyleOption& option, QPainter* painter, const QStyle& style);

    // Pictures drawn since the read-out was made (for tests: a repaint that changes nothing of
    // the look must not draw one).
    int PanelsDrawn() const { return panelsDrawn_; }
    // Texts the read-out drew itself rather than through QLineEdit (for tests: the looks of both
    // ways are compared only when this one was taken).
    int TextsDrawnPlainly() const { return textsDrawnPlainly_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Lays numbers out without shaping where that changes no pixel.
    void FollowText(const QString& text);
    // What lies behind the box: its ancestors painted, from the window down, without children.
    QImage Backdrop() const;
    // Where QLineEdit would put the baseline of the text shown now, when the read-out can draw
    // that text itself; false leaves the painting to QLineEdit.
    bool PlainTextBaseline(const QStyleOptionFrame& panel, QPointF& baseline);
    // The shown number's glyphs, placed from their advances (only after PlainTextBaseline).
    QGlyphRun NumberGlyphs() const;

    QImage panel_;
    // What the picture was drawn for.
    QRect panelRect_;
    QStyle::State panelState_;
    QPalette panelPalette_;
    int panelLineWidth_ = -1;
    int panelsDrawn_ = 0;
    int textsDrawnPlainly_ = 0;

    // The number characters' advances in the font, for as long as the font stays.
    struct TNumberMetrics {
        bool known = false;
        bool usable = false;  // no kerning, and the characters stay within the line height
        qreal advances[16] = {};
        quint32 glyphs[16] = {};
        QRawFont raw;
        qreal ascent = 0;
        int lineHeight = 0;
    };
    void LearnNumberMetrics();
    TNumberMetrics numbers_;
};
