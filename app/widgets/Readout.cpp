// The read-out box: QLineEdit's own painting, with the style's panel copied from a picture.
#include "Readout.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionFrame>

#include "NumberShaping.h"

namespace {

// What QLineEdit keeps free around its line of text inside the contents rectangle.
constexpr int kLineHorizontalMargin = 2;
constexpr int kLineVerticalMargin = 1;

// The characters a number is written with, in the order of TNumberMetrics::advances.
const QString kNumberCharacters = QStringLiteral("0123456789.-+E");

// The application's style, except that a read-out's panel comes from the read-out's picture.
class TReadoutStyle : public QProxyStyle {
public:
    // A base style of its own (a proxy owns its base): a fresh instance of the application's.
    TReadoutStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        auto* readout = qobject_cast<TReadout*>(const_cast<QWidget*>(widget));
        if (element == PE_PanelLineEdit && readout != nullptr && option != nullptr) {
            readout->DrawPanel(*option, painter, *baseStyle());
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

// One style for all read-outs, owned by the application.
QStyle* ReadoutStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new TReadoutStyle;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

TReadout::TReadout(QWidget* parent) : QLineEdit(parent) {
    setStyle(ReadoutStyle());
    connect(this, &QLineEdit::textChanged, this, &TReadout::FollowText);
    // Every pixel of the box comes from the picture and the text: nothing behind it needs
    // painting when it changes.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool TReadout::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ParentChange:
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
        case QEvent::ApplicationPaletteChange:
        case QEvent::ThemeChange:
            panel_ = QImage();  // what lies behind or the frame may look different now
            break;
        case QEvent::FontChange:
            numbers_ = TNumberMetrics();
            break;
        default:
            break;
    }
    return QLineEdit::event(event);
}

void TReadout::FollowText(const QString& text) {
    const auto wanted =
        LaysOutWithoutShaping(text, font()) ? QFont::PreferNoShaping : QFont::PreferDefault;
    if (font().styleStrategy() == wanted)
        return;
    QFont strategy;  // only the strategy is set: the rest still follows the parent's font
    strategy.setStyleStrategy(wanted);
    setFont(strategy);
}

QImage TReadout::Backdrop() const {
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(palette().color(QPalette::Window));
    QList<QWidget*> ancestors;
    for (QWidget* w = parentWidget(); w != nullptr; w = w->isWindow() ? nullptr : w->parentWidget())
        ancestors.prepend(w);
    for (QWidget* ancestor : ancestors) {
        const QRect area(mapTo(ancestor, QPoint(0, 0)), size());
        ancestor->render(&image, QPoint(0, 0), QRegion(area),
                         ancestor->isWindow() ? QWidget::DrawWindowBackground
                                              : QWidget::RenderFlags());
    }
    return image;
}

void TReadout::DrawPanel(const QStyleOption& option, QPainter* painter, const QStyle& style) {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(&option);
    const int lineWidth = frame != nullptr ? frame->lineWidth : -1;
    if (panel_.isNull() || option.rect != panelRect_ || option.state != panelState_ ||
        lineWidth != panelLineWidth_ || option.palette != panelPalette_) {
        QImage picture = Backdrop();
        QPainter p(&picture);
        // The state a painter opened on the widget itself starts with.
        p.setFont(font());
        p.setPen(palette().color(foregroundRole()));
        p.setBackground(palette().brush(backgroundRole()));
        style.drawPrimitive(QStyle::PE_PanelLineEdit, &option, &p, this);
        p.end();
        // Every pixel is opaque (the backdrop is): without an alpha channel the copy is a plain
        // copy of rows, not a blend.
        panel_ = picture.convertToFormat(QImage::Format_RGB32);
        panelRect_ = option.rect;
        panelState_ = option.state;
        panelLineWidth_ = lineWidth;
        panelPalette_ = option.palette;
        ++panelsDrawn_;
    }
    painter->drawImage(QPoint(0, 0), panel_);
}

void TReadout::paintEvent(QPaintEvent* event) {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    QPointF baseline;
    if (!PlainTextBaseline(panel, baseline)) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setPen(palette().text().color());
    painter.drawGlyphRun(baseline, NumberGlyphs());
    ++textsDrawnPlainly_;
}

void TReadout::LearnNumberMetrics() {
    numbers_ = TNumberMetrics();
    numbers_.known = true;
    const QFont current = font();
    if (!LaysOutWithoutShaping(kNumberCharacters, current))
        return;  // kerned: only a full layout places the glyphs
    const QFontMetricsF metrics(current);
    numbers_.raw = QRawFont::fromFont(current);
    const QList<quint32> glyphs = numbers_.raw.glyphIndexesForString(kNumberCharacters);
    if (glyphs.size() != kNumberCharacters.size() || glyphs.contains(0u))
        return;  // some character comes from another font
    for (qsizetype i = 0; i < kNumberCharacters.size(); ++i) {
        numbers_.advances[i] = metrics.horizontalAdvance(kNumberCharacters[i]);
        numbers_.glyphs[i] = glyphs[i];
    }
    numbers_.ascent = metrics.ascent();
    // QLineEdit gives its line the text's own height when that is taller than the font's; no
    // number is, when all the characters together are not.
    const QFontMetrics whole(current);
    numbers_.lineHeight = whole.height();
    numbers_.usable = whole.boundingRect(kNumberCharacters).height() <= numbers_.lineHeight;
}

bool TReadout::PlainTextBaseline(const QStyleOptionFrame& panel, QPointF& baseline) {
    const QString shown = text();
    if (shown.isEmpty() || !isReadOnly() || hasSelectedText() || echoMode() != QLineEdit::Normal ||
        layoutDirection() != Qt::LeftToRight)
        return false;
    if (!numbers_.known)
        LearnNumberMetrics();
    if (!numbers_.usable)
        return false;
    qreal width = 0;
    for (const QChar c : shown) {
        const qsizetype at = kNumberCharacters.indexOf(c);
        if (at < 0)
            return false;
        width += numbers_.advances[at];
    }
    // The line inside the contents rectangle, placed as QLineEdit places it.
    const QRect contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    const int height = numbers_.lineHeight;
    int top = contents.y() + (contents.height() - height + 1) / 2;
    if (align & Qt::AlignBottom)
        top = contents.y() + contents.height() - height - kLineVerticalMargin;
    else if (align & Qt::AlignTop)
        top = contents.y() + kLineVerticalMargin;
    const QRect line(contents.x() + kLineHorizontalMargin, top,
                     contents.width() - 2 * kLineHorizontalMargin, height);
    const int widthUsed = qRound(width) + 1;
    // A text that does not fit scrolls with the cursor, and one that sticks out of the contents
    // rectangle is clipped: QLineEdit's painting knows both.
    if (widthUsed > line.width() || !contents.contains(line))
        return false;
    int scroll = 0;
    if (align & Qt::AlignRight)
        scroll = widthUsed - line.width() + 1;
    else if (align & Qt::AlignHCenter)
        scroll = (widthUsed - line.width()) / 2;
    baseline = QPointF(line.x() - scroll, line.y() + numbers_.ascent);
    return true;
}

QGlyphRun TReadout::NumberGlyphs() const {
    const QString shown = text();
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(shown.size());
    positions.reserve(shown.size());
    qreal x = 0;
    for (const QChar c : shown) {
        const qsizetype at = kNumberCharacters.indexOf(c);
        glyphs.append(numbers_.glyphs[at]);
        positions.append(QPointF(x, 0));
        x += numbers_.advances[at];
    }
    QGlyphRun run;
    run.setRawFont(numbers_.raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return run;
}
