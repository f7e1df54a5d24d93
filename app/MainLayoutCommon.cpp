// The Common page: the banner with the version label and one row per channel (name, temperature,
// fan speed, fan voltage and the "..." button that opens the channel's settings).
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "LayoutHelpers.h"
#include "Main.h"

namespace {

constexpr int kFirstRowTop = 169;
constexpr int kRowPitch = 28;

}  // namespace

void TMainForm::BuildCommonPage() {
    Panel2 = new QFrame(tsCommon);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Panel2->setGeometry(8, 8, 417, 121);

    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(1, 1, 415, 119);
    Image1->setPixmap(QPixmap(QStringLiteral(":/kelvane/banner.png")));

    // Grey 9-pixel Arial, right-aligned in the banner's lower right corner, over the picture.
    lVersion = new QLabel(Panel2);
    lVersion->setObjectName(QStringLiteral("lVersion"));
    QFont versionFont(QStringLiteral("Arial"));
    versionFont.setPixelSize(9);
    lVersion->setFont(versionFont);
    QPalette versionPalette = lVersion->palette();
    versionPalette.setColor(QPalette::WindowText, QColor(128, 128, 128));
    lVersion->setPalette(versionPalette);
    lVersion->setAttribute(Qt::WA_TranslucentBackground);
    lVersion->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    lVersion->setGeometry(216, 104, 196, 14);

    const QString labelNames[kChannelCount] = {QStringLiteral("Label1"), QStringLiteral("Label3"),
                                               QStringLiteral("Label4"), QStringLiteral("Label5"),
                                               QStringLiteral("Label6"), QStringLiteral("Label7")};
    QFont boldFont = FormFont();
    boldFont.setBold(true);
    for (int i = 0; i < kChannelCount; ++i) {
        const int top = kFirstRowTop + kRowPitch * i;
        const QString n = QString::number(i + 1);
        MakeLabel(tsCommon, labelNames[i], n + QStringLiteral(":"), 8, top);

        edN[i] = MakeEdit(tsCommon, QStringLiteral("edN") + n, 20, top, 173,
                          QStringLiteral("Name for channel %1|Name for channel %1").arg(n));
        SetTag(edN[i], i);
        // Stored names of any length are shown whole, not cut at the default 32767.
        edN[i]->setMaxLength(int(kMaxSettingsFileSize));

        edT[i] = MakeReadout(tsCommon, QStringLiteral("edT") + n, 204, top, 42,
                             QStringLiteral("Current temperature for channel %1|Current "
                                            "temperature for channel %1")
                                 .arg(n));
        MakeLabel(tsCommon, QStringLiteral("lUnitT") + n, QStringLiteral("°C"), 249, top);

        edVxC[i] = MakeReadout(tsCommon, QStringLiteral("edVx") + n, 268, top, 42,
                               QStringLiteral("Current fan velocity for channel %1|Current fan "
                                              "velocity for channel %1")
                                   .arg(n));
        MakeLabel(tsCommon, QStringLiteral("lUnitVx") + n, QStringLiteral("rpm"), 314, top);

        edVC[i] = MakeReadout(tsCommon, QStringLiteral("edV") + n, 340, top, 42,
                              QStringLiteral("Current fan supply voltage for channel %1|Current "
                                             "fan supply voltage for channel %1")
                                  .arg(n));
        MakeLabel(tsCommon, QStringLiteral("lUnitV") + n, QStringLiteral("V"), 386, top);

        btCh[i] = new QPushButton(QStringLiteral("..."), tsCommon);
        btCh[i]->setObjectName(QStringLiteral("btCh") + n);
        btCh[i]->setGeometry(403, top, 21, 21);
        btCh[i]->setFont(boldFont);
        SetHint(btCh[i], QStringLiteral("Settings for channel %1|Settings for channel %1").arg(n));
        SetTag(btCh[i], i);
    }
    // Tab order: row by row, the name box and then the row's button.
    for (int i = 0; i < kChannelCount; ++i) {
        QWidget::setTabOrder(edN[i], btCh[i]);
        if (i + 1 < kChannelCount)
            QWidget::setTabOrder(btCh[i], edN[i + 1]);
    }
}
