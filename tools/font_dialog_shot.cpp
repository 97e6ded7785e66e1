// Renders the font-and-effect dialog into a PNG, for the README:
//   font_dialog_shot OUTPUT.png [POINTS]
// QT_SCALE_FACTOR=1.5 renders it as a 150 % desktop shows it; POINTS gives the sample the
// size of a clock font instead of the sample's own.
#include "fonteffectdialog.h"
#include "fonts.h"
#include "qtchinese.h"

#include <QApplication>
#include <QPushButton>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    RegisterFontSubstitutions();
    InstallQtChineseTranslations();

    // A shadow and a gradient, the way a clock text is often set up.
    TextEffect effect;
    effect.Shadow.Enabled = true;
    effect.Shadow.Blur = 60;
    effect.Shadow.OffsetX = effect.Shadow.OffsetY = 3;
    effect.Gradual.Enabled = true;
    effect.Gradual.StartColor = 0x0000C0; // dark red
    effect.Gradual.EndColor = 0xC04000;   // blue
    effect.Gradual.Style = gsLeftToRight;

    FontEffectDialog dialog;
    dialog.LoadEffect(effect);
    QFont font = SampleFont();
    font.setPixelSize(28);
    if (argc > 2) font.setPointSize(QString::fromLocal8Bit(argv[2]).toInt());
    dialog.setSampleFont(font, Qt::black);
    dialog.show();
    QApplication::processEvents();
    const QPixmap shot = dialog.grab();
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
