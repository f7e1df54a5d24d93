// A read-out: a read-only one-line box that the polling cycle rewrites every second. It looks
// exactly like a plain QLineEdit of the same settings, but costs far less to repaint:
// - it paints its whole rectangle itself, so repainting it never repaints the page, the tab
//   frame and the window behind it;
// - its frame (the style's rounded panel over what lies behind the box) is drawn once into a
//   picture and copied from there on every repaint, until its size, position, palette, state or
//   style changes. The text is drawn by QLineEdit itself, as always;
// - a number is laid out without shaping when the font does not kern its characters (the
//   glyphs then land exactly where shaping puts them).
// The picture of what lies behind the box is taken from its ancestors, so a read-out must not
// overlap another control.
#pragma once

#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <QRect>
#include <QStyle>

class QPainter;
class QStyleOption;

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

protected:
    bool event(QEvent* event) override;

private:
    // Lays numbers out without shaping where that changes no pixel.
    void FollowText(const QString& text);
    // What lies behind the box: its ancestors painted, from the window down, without children.
    QImage Backdrop() const;

    QImage panel_;
    // What the picture was drawn for.
    QRect panelRect_;
    QStyle::State panelState_;
    QPalette panelPalette_;
    int panelLineWidth_ = -1;
    int panelsDrawn_ = 0;
};
