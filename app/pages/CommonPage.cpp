// The Common page: its layout (the banner with the version label and one row per channel), the
// read-outs with their alarm colours, the channel names and the buttons that open a channel's
// settings.
#include "CommonPage.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "Application.h"
#include "ChannelPage.h"
#include "LayoutHelpers.h"
#include "MainState.h"
#include "PageHost.h"
#include "ReadoutRepaint.h"
#include "Readouts.h"
#include "core/Params.h"

namespace {

constexpr int kFirstRowTop = 169;
constexpr int kRowPitch = 28;

// PWM at or below which a fan counts as standing: its speed shows 0 and raises no alarm.
constexpr int32_t kStallPwm = 40;

const TChannelParams& ActiveRecord(const TParams& params, int channel) {
    static const TChannelParams none{};
    const TParamsItem* active = params.Active();
    return active != nullptr ? active->Channels[channel] : none;
}

}  // namespace

TCommonPage::TCommonPage(TPageHost& host, QWidget* parent)
    : QWidget(parent), host_(host), state_(host.State()) {
    Build();
    ConnectHandlers();
}

void TCommonPage::Build() {
    QWidget* tsCommon = this;
    setObjectName(QStringLiteral("tsCommon"));
    SetHint(this, QStringLiteral("Common|Displays common parameters"));
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

void TCommonPage::ConnectHandlers() {
    for (int i = 0; i < kChannelCount; ++i) {
        QLineEdit* name = edN[i];
        connect(name, &QLineEdit::textChanged, this,
                [this, name] { Guarded([&] { edN1Change(name); }); });
        QPushButton* button = btCh[i];
        connect(button, &QPushButton::clicked, this,
                [this, button] { Guarded([&] { btCh1Click(button); }); });
    }
}

void TCommonPage::UpdateCommonPage() {
    // Every box is shown within this call; the changed ones are painted in one pass.
    const TReadoutBatch repaint;
    for (int i = 0; i < kChannelCount; ++i) {
        ShowTemperature(edT[i], i);
        ShowFanSpeed(edVxC[i], i);
        ShowFanVoltage(edVC[i], i);
    }
}

void TCommonPage::ShowTemperature(QLineEdit* box, int channel) {
    const TChannelParams& params = ActiveRecord(*state_.Params, channel);
    const bool alarm = params.Ta != 0 && params.T_alarm < state_.Temperature[channel];
    ShowReadout(box, alarm ? clRed : clBtnFace, TemperatureText(state_.Temperature[channel]));
}

void TCommonPage::ShowFanSpeed(QLineEdit* box, int channel) {
    const TChannelParams& params = ActiveRecord(*state_.Params, channel);
    const bool running = state_.Pwm[channel] > kStallPwm;
    const bool alarm = params.Va != 0 && params.V_alarm > state_.FanSpeed[channel] && running;
    ShowReadout(box, alarm ? clRed : clBtnFace,
                running ? QString::number(state_.FanSpeed[channel]) : QStringLiteral("0"));
}

void TCommonPage::ShowFanVoltage(QLineEdit* box, int channel) {
    const TChannelParams& params = ActiveRecord(*state_.Params, channel);
    const bool alarm = params.Va != 0 && params.V_alarm > state_.FanSpeed[channel] &&
                       state_.Pwm[channel] > kStallPwm;
    ShowReadout(box, alarm ? clRed : clBtnFace, VoltageText(state_.Pwm[channel]));
}

void TCommonPage::ShowReadoutsStale(bool stale) {
    for (int i = 0; i < kChannelCount; ++i) {
        SetReadoutStale(edT[i], stale);
        SetReadoutStale(edVxC[i], stale);
        SetReadoutStale(edVC[i], stale);
    }
}

void TCommonPage::ShowChannelNames() {
    for (int i = 0; i < kChannelCount; ++i)
        edN[i]->setText(state_.ChannelName[i]);
}

void TCommonPage::edN1Change(QObject* sender) {
    const int tag = TagOf(sender);
    auto* box = qobject_cast<QLineEdit*>(sender);
    if (box == nullptr || tag < 0 || tag >= kChannelCount)
        return;
    state_.ChannelName[tag] = box->text();
    host_.ChannelPage().ShowChannelName(tag);
}

void TCommonPage::btCh1Click(QObject* sender) {
    const int tag = TagOf(sender);
    if (tag < 0 || tag >= kChannelCount)
        return;
    state_.SelectedChannel = tag;
    TChannelPage& channelPage = host_.ChannelPage();
    channelPage.SelectChannel(tag);
    channelPage.cbCh->setCurrentIndex(tag);
    host_.SetActivePage(1);
}
