// Helpers for building controls at fixed pixel positions.
#include "LayoutHelpers.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

#include "widgets/ColorConvert.h"

QFont FormFont() {
    static const QString family = [] {
        const QString wanted = QStringLiteral("MS Sans Serif");
        if (QFontDatabase::families().contains(wanted, Qt::CaseInsensitive))
            return wanted;
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    QFont font(family);
    font.setPointSize(8);
    // The platform's sans-serif is usually much wider than the 8-point face the pixel layout
    // was drawn for; its semi-condensed cut, where installed, fits the labels and boxes.
    if (family.compare(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive) != 0)
        font.setStretch(QFont::SemiCondensed);
    return font;
}

void SetHint(QObject* object, const QString& hint) {
    object->setProperty("hint", hint);
}

QString HintText(const QObject* object) {
    return object != nullptr ? object->property("hint").toString() : QString();
}

QString LongHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void SetTag(QObject* object, int tag) {
    object->setProperty("tag", tag);
}

int TagOf(const QObject* object) {
    if (object == nullptr)
        return -1;
    const QVariant tag = object->property("tag");
    return tag.isValid() ? tag.toInt() : -1;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->adjustSize();
    label->setGeometry(x, y, label->width(), kBoxHeight);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, int x, int y, int width,
                    const QString& hint) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(x, y, width, kBoxHeight);
    SetHint(edit, hint);
    return edit;
}

QLineEdit* MakeReadout(QWidget* parent, const QString& name, int x, int y, int width,
                       const QString& hint) {
    QLineEdit* edit = MakeEdit(parent, name, x, y, width, hint);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    SetBoxColor(edit, clBtnFace);
    return edit;
}

void SetBoxColor(QWidget* box, uint32_t color) {
    QPalette palette = box->palette();
    const QColor qcolor = ToQColor(color, palette);
    if (palette.color(QPalette::Base) == qcolor)
        return;
    palette.setColor(QPalette::Base, qcolor);
    box->setPalette(palette);
}
