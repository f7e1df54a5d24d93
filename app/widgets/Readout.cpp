// The read-out box: QLineEdit's own painting, with the style's panel copied from a picture.
#include "Readout.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionFrame>

#include "NumberShaping.h"

namespace {

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
        panel_ = std::move(picture);
        panelRect_ = option.rect;
        panelState_ = option.state;
        panelLineWidth_ = lineWidth;
        panelPalette_ = option.palette;
        ++panelsDrawn_;
    }
    painter->drawImage(QPoint(0, 0), panel_);
}
