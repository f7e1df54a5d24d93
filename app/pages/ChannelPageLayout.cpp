// The Channel page's layout: the channel list, the four read-outs, the Auto and Alarm groups with
// their numeric fields and check boxes, the regulation curve graph and the EEPROM buttons.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ChannelPage.h"
#include "LayoutHelpers.h"
#include "core/Settings.h"
#include "widgets/CurveGraph.h"
#include "widgets/Floatedit.h"

namespace {

struct TFieldSetup {
    uint8_t digits;
    uint8_t precision;
    double minValue;
    double maxValue;
    double value;  // initial value, set before any handler is attached
};

TFloatEdit* MakeField(QWidget* parent, const QString& name, int x, int y, int width,
                      const TFieldSetup& setup, const QString& hint) {
    auto* field = new TFloatEdit(parent);
    field->setObjectName(name);
    field->setGeometry(x, y, width, kBoxHeight);
    field->SetFormat(TFloatFormat::ffFixed);
    field->SetMinMaxCheck(true);
    field->SetValueVisible(true);
    field->SetDigits(setup.digits);
    field->SetPrec(setup.precision);
    field->SetMinValue(setup.minValue);
    field->SetMaxValue(setup.maxValue);
    field->SetValue(setup.value);
    SetHint(field, hint);
    return field;
}

QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& text, int x, int y,
                     const QString& hint) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(x, y, 130, 17);
    SetHint(box, hint);
    return box;
}

constexpr TFieldSetup kTemperatureField{1, 4, -0.01, 100, 0};
constexpr TFieldSetup kPercentField{0, 3, -0.1, 100, 0};
constexpr TFieldSetup kPercentMaxField{0, 3, -0.1, 100, 0.1};
constexpr TFieldSetup kSpeedField{0, 4, -0.1, 9999, 0};

}  // namespace

void TChannelPage::Build() {
    QWidget* page = this;
    setObjectName(QStringLiteral("tsChannel"));
    SetHint(this, QStringLiteral("Channel|Changes channel settings"));
    MakeLabel(page, QStringLiteral("Label2"), QStringLiteral("Channel:"), 16, 8);
    cbCh = new QComboBox(page);
    cbCh->setObjectName(QStringLiteral("cbCh"));
    cbCh->setGeometry(73, 8, 350, kBoxHeight);
    cbCh->setEditable(false);
    for (int i = 1; i <= kChannelCount; ++i)
        cbCh->addItem(QString::number(i));
    cbCh->setCurrentIndex(0);
    SetHint(cbCh, QStringLiteral("Channel|Selects channel"));

    edTx = MakeReadout(page, QStringLiteral("edTx"), 159, 40, 42,
                       QStringLiteral("Current temperature|Current temperature"));
    MakeLabel(page, QStringLiteral("lUnitTx"), QStringLiteral("°C"), 204, 40);
    edVx = MakeReadout(page, QStringLiteral("edVx"), 227, 40, 42,
                       QStringLiteral("Current fan velocity|Current fan velocity"));
    MakeLabel(page, QStringLiteral("lUnitVx"), QStringLiteral("rpm"), 272, 40);
    edV = MakeReadout(page, QStringLiteral("edV"), 295, 40, 42,
                      QStringLiteral("Curent fan supply voltage|Curent fan supply voltage"));
    MakeLabel(page, QStringLiteral("lUnitV"), QStringLiteral("V"), 340, 40);
    fePx = MakeField(page, QStringLiteral("fePx"), 364, 40, 42, kPercentMaxField,
                     QStringLiteral("Current fan PWM|Current fan PWM"));
    MakeLabel(page, QStringLiteral("lUnitPx"), QStringLiteral("%"), 409, 40);

    GroupBox1 = new QGroupBox(QStringLiteral(" Auto "), page);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 32, 143, 201);
    MakeLabel(GroupBox1, QStringLiteral("lTmin"), QStringLiteral("T_min:"), 8, 17);
    feTmin = MakeField(GroupBox1, QStringLiteral("feTmin"), 64, 17, 49, kTemperatureField,
                       QStringLiteral("Minimal temperature|Minimal temperature of regulation "
                                      "curve"));
    MakeLabel(GroupBox1, QStringLiteral("lUnitTmin"), QStringLiteral("°C"), 117, 17);
    MakeLabel(GroupBox1, QStringLiteral("lPmin"), QStringLiteral("PWM_min:"), 8, 49);
    fePmin = MakeField(GroupBox1, QStringLiteral("fePmin"), 64, 49, 49, kPercentField,
                       QStringLiteral("Minimal PWM|Minimal PWM value"));
    MakeLabel(GroupBox1, QStringLiteral("lUnitPmin"), QStringLiteral("%"), 117, 49);
    MakeLabel(GroupBox1, QStringLiteral("lTmax"), QStringLiteral("T_max:"), 8, 81);
    feTmax = MakeField(GroupBox1, QStringLiteral("feTmax"), 64, 81, 49, kTemperatureField,
                       QStringLiteral("Maximal temperature|Maximal temperature of regulation "
                                      "curve"));
    MakeLabel(GroupBox1, QStringLiteral("lUnitTmax"), QStringLiteral("°C"), 117, 81);
    MakeLabel(GroupBox1, QStringLiteral("lPmax"), QStringLiteral("PWM_max:"), 8, 113);
    fePmax = MakeField(GroupBox1, QStringLiteral("fePmax"), 64, 113, 49, kPercentMaxField,
                       QStringLiteral("Maximal PWM|Maximal PWM value"));
    MakeLabel(GroupBox1, QStringLiteral("lUnitPmax"), QStringLiteral("%"), 117, 113);
    cbAuto =
        MakeCheck(GroupBox1, QStringLiteral("cbAuto"), QStringLiteral("Enable Auto Control"), 8,
                  144, QStringLiteral("Enable automatic control|Enables automatic fan control"));
    cbBoost =
        MakeCheck(GroupBox1, QStringLiteral("cbBoost"), QStringLiteral("Enable startup boost"), 8,
                  176, QStringLiteral("Enable startup boost|Enables startup boost of fan"));

    GroupBox2 = new QGroupBox(QStringLiteral(" Alarm "), page);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 236, 143, 113);
    MakeLabel(GroupBox2, QStringLiteral("lTa"), QStringLiteral("T_alarm:"), 8, 14);
    feTa = MakeField(GroupBox2, QStringLiteral("feTa"), 64, 14, 49, kTemperatureField,
                     QStringLiteral("Alarm temperature|Alarm (maximal) temperature"));
    MakeLabel(GroupBox2, QStringLiteral("lUnitTa"), QStringLiteral("°C"), 117, 14);
    cbTa = MakeCheck(GroupBox2, QStringLiteral("cbTa"), QStringLiteral("Enable T alarm"), 8, 40,
                     QStringLiteral("Enable temperature alarm|Enables alarm when temperature "
                                    "reaches T_alarm"));
    MakeLabel(GroupBox2, QStringLiteral("lVa"), QStringLiteral("V_alarm:"), 8, 62);
    feVa = MakeField(GroupBox2, QStringLiteral("feVa"), 64, 62, 49, kSpeedField,
                     QStringLiteral("Alarm fan velocity|Alarm (minimal) fan velocity"));
    MakeLabel(GroupBox2, QStringLiteral("lUnitVa"), QStringLiteral("rpm"), 117, 62);
    cbVa = MakeCheck(GroupBox2, QStringLiteral("cbVa"), QStringLiteral("Enable V alarm"), 8, 88,
                     QStringLiteral("Enable fan velocity alarm|Enables alarm when fan velocity "
                                    "reaches V_alarm"));

    Panel1 = new QFrame(page);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(158, 69, 264, 244);
    Panel1->setFocusPolicy(Qt::ClickFocus);
    Panel1->setAutoFillBackground(true);
    QPalette panelPalette = Panel1->palette();
    panelPalette.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(panelPalette);
    pbGraph = new TCurveGraph(Panel1);
    pbGraph->setObjectName(QStringLiteral("pbGraph"));
    pbGraph->setGeometry(1, 1, 262, 242);

    btSave = new QPushButton(QStringLiteral("&Save Parameters"), page);
    btSave->setObjectName(QStringLiteral("btSave"));
    btSave->setGeometry(166, 323, 121, 25);
    SetHint(btSave, QStringLiteral("Save parameters to EEPROM|Saves parameters to EEPROM"));
    btRecall = new QPushButton(QStringLiteral("&Recall Parameters"), page);
    btRecall->setObjectName(QStringLiteral("btRecall"));
    btRecall->setGeometry(294, 323, 121, 25);
    SetHint(btRecall,
            QStringLiteral("Relall parameters from EEPROM|Relalls parameters from EEPROM"));

    const QList<QWidget*> order = {cbCh,    fePx, feTmin, fePmin, feTmax, fePmax, cbAuto,
                                   cbBoost, feTa, cbTa,   feVa,   cbVa,   btSave, btRecall};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}
