#include "app/Form1Layout.h"

#include "app/Accessibility.h"
#include "app/CaptionPictures.h"
#include "app/EnterPressesButton.h"
#include "app/PositionBarWidget.h"
#include "app/SurfaceWidget.h"
#include "app/Twips.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QTimer>

#include <optional>
#include <variant>

namespace vorlo::app {

namespace {

constexpr double kPointsPerInch = 72.0;

constexpr const char* kWingdings2 = "Wingdings 2";
constexpr const char* kWingdings3 = "Wingdings 3";
constexpr const char* kArialBlack = "Arial Black";

constexpr BgrColour kBlack = 0x00000000;
constexpr BgrColour kLightGrey = 0x00E0E0E0;
constexpr BgrColour kDarkBlue = 0x00C00000;

// What assistive technology calls the disc's bar.
constexpr const char* kDiscBarName = "Disc position";

struct ButtonSpec {
    const char* name;
    const char* tooltip;
    std::variant<CaptionPicture, const char*> caption;
    const char* fontFamily;
    double pointSize;
    QRect twips; // left, top, width, height
};

// In each row the buttons stand 720 twips apart but are 735 wide, so neighbours share a
// pixel column, and the last of each row reaches one pixel past the client area.
constexpr ButtonSpec kPlay{"Command4", "Play", CaptionPicture::Play, kWingdings3, 8.25, {0, 0, 735, 315}};
constexpr ButtonSpec kStop{"Command8", "Stop", CaptionPicture::Stop, kWingdings2, 9, {720, 0, 735, 315}};
constexpr ButtonSpec kEject{"Command18", "Eject", CaptionPicture::Eject, kWingdings3, 8.25, {1440, 0, 735, 315}};
constexpr ButtonSpec kPrevious{"Command16", "Go back a track", CaptionPicture::PreviousTrack, kWingdings3, 8.25,
                               {0, 360, 735, 315}};
constexpr ButtonSpec kNext{"Command17", "Skip Track", CaptionPicture::NextTrack, kWingdings3, 8.25,
                           {720, 360, 735, 315}};
constexpr ButtonSpec kAbout{"Command2", "About", "?", kArialBlack, 9.75, {1440, 360, 375, 315}};
constexpr ButtonSpec kExit{"Command1", "Exit", "X", kArialBlack, 9.75, {1800, 360, 375, 315}};

struct SurfaceSpec {
    const char* name;
    QRect twips;
    std::optional<BgrColour> backColor; // nothing: the toolkit's default
    std::optional<BgrColour> foreColor;
};

// Only the disc bar lies in the client area; the others lie wholly below it and are
// never seen, but exist at full size and are drawn into all the same.
const SurfaceSpec kProgressBar4{"ProgressBar4", {0, 720, 2160, 255}, kLightGrey, kDarkBlue};
const SurfaceSpec kProgressBar1{"ProgressBar1", {2760, 6240, 4095, 375}, {}, {}};
const SurfaceSpec kProgressBar2{"ProgressBar2", {2760, 6720, 4095, 375}, {}, {}};
const SurfaceSpec kProgressBar3{"ProgressBar3", {2760, 7200, 4095, 375}, {}, {}};
const SurfaceSpec kPicture1{"Picture1", {5280, 6300, 1755, 975}, {}, {}};
const SurfaceSpec kPicture2{"Picture2", {360, 5880, 1755, 975}, {}, {}};

// Arial Black is a heavy face. Where it is missing, fontconfig's sans-serif fallback at
// the heaviest weight it has stands in for it, so "?" and "X" keep their weight.
QFont CaptionFont(const char* family, double pointSize)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    if (QLatin1String(family) == QLatin1String(kArialBlack) && !QFontDatabase::hasFamily(font.family())) {
        font.setStyleHint(QFont::SansSerif);
        font.setWeight(QFont::Black);
    }
    return font;
}

QPushButton* MakeButton(QWidget& form, Density density, const ButtonSpec& spec)
{
    auto* button = new QPushButton(&form);
    button->setObjectName(QString::fromLatin1(spec.name));
    button->setGeometry(TwipsToPixels(spec.twips, density));
    button->setToolTip(QString::fromLatin1(spec.tooltip));
    button->setAccessibleName(button->toolTip());
    button->setAutoDefault(false);
    button->setDefault(false);
    LetEnterPress(*button);
    const QFont font = CaptionFont(spec.fontFamily, spec.pointSize);
    button->setFont(font);
    if (const auto* text = std::get_if<const char*>(&spec.caption)) {
        button->setText(QString::fromLatin1(*text));
    } else {
        // The picture takes the size a glyph of the caption's font would have.
        const double emPixels = spec.pointSize * density.y / kPointsPerInch;
        const QPixmap picture = DrawCaptionPicture(std::get<CaptionPicture>(spec.caption), emPixels,
                                                   button->palette().color(QPalette::ButtonText),
                                                   button->devicePixelRatioF());
        button->setIcon(QIcon(picture));
        button->setIconSize(picture.deviceIndependentSize().toSize());
    }
    return button;
}

template <typename Surface = SurfaceWidget> Surface* MakeSurface(QWidget& form, const SurfaceSpec& spec)
{
    auto* surface = new Surface(&form, spec.twips, spec.backColor, spec.foreColor);
    surface->setObjectName(QString::fromLatin1(spec.name));
    return surface;
}

void SetWindowProperties(QWidget& form, Density density)
{
    form.setWindowTitle(QString::fromLatin1(kFormCaption));
    // A tool window with a title and a close box only: no minimise or maximise box, no
    // taskbar entry, and a size the user cannot change.
    form.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Qt does not let a tool window end the program when it closes; this one is the
    // program's only window, so it must.
    form.setAttribute(Qt::WA_QuitOnClose, true);
    // A small tool window is often not the active one; its tooltips show all the same.
    form.setAttribute(Qt::WA_AlwaysShowToolTips, true);
    form.setFixedSize(TwipsToPixels(QRect(0, 0, kClientWidthTwips, kClientHeightTwips), density).size());
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, ToQColor(kBlack));
    palette.setColor(QPalette::WindowText, ToQColor(kBlack));
    form.setPalette(palette);
    form.setAutoFillBackground(true);
}

} // namespace

FormControls LayOutForm(QWidget& form)
{
    InstallAccessibleInterfaces();
    const Density density = ScreenDensity(&form);
    SetWindowProperties(form, density);

    // Created in tab order, which is also the order Tab walks. The surfaces take no focus,
    // so Tab moves between the buttons alone.
    FormControls c;
    c.Command4 = MakeButton(form, density, kPlay);
    c.Command8 = MakeButton(form, density, kStop);
    c.Command18 = MakeButton(form, density, kEject);
    c.ProgressBar1 = MakeSurface(form, kProgressBar1);
    c.ProgressBar2 = MakeSurface(form, kProgressBar2);
    c.ProgressBar3 = MakeSurface(form, kProgressBar3);
    c.ProgressBar4 = MakeSurface<PositionBarWidget>(form, kProgressBar4);
    c.ProgressBar4->setAccessibleName(QString::fromLatin1(kDiscBarName));
    c.Picture1 = MakeSurface(form, kPicture1);
    c.Picture2 = MakeSurface(form, kPicture2);
    c.Command16 = MakeButton(form, density, kPrevious);
    c.Command17 = MakeButton(form, density, kNext);
    c.Command1 = MakeButton(form, density, kExit);
    c.Command2 = MakeButton(form, density, kAbout);

    QWidget* const buttonsInTabOrder[] = {c.Command4,  c.Command8, c.Command18, c.Command16,
                                          c.Command17, c.Command1, c.Command2};
    for (std::size_t i = 1; i < std::size(buttonsInTabOrder); ++i)
        QWidget::setTabOrder(buttonsInTabOrder[i - 1], buttonsInTabOrder[i]);
    c.Command4->setFocus();

    c.Timer1 = new QTimer(&form);
    c.Timer1->setObjectName(QStringLiteral("Timer1"));
    c.Timer1->setInterval(kTimerIntervalMs);
    c.Timer1->start();
    return c;
}

} // namespace vorlo::app
