// Renders the clock text once per text effect into one sheet, for the README:
//   effect_samples OUTPUT.png
#include "antialiasedlabel.h"
#include "fonts.h"

#include <QApplication>
#include <QPainter>
#include <functional>

namespace {

struct Sample {
    const char* name;
    std::function<void(TextEffect&)> apply;
};

QImage checkerPicture() {
    QImage img(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            img.setPixel(x, y, ((x / 4 + y / 4) % 2) ? 0xC03020 : 0xF0C040);
    return img;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    RegisterFontSubstitutions();

    const Sample samples[] = {
        {"plain", [](TextEffect&) {}},
        {"outline", [](TextEffect& e) { e.Outline = true; }},
        {"shadow", [](TextEffect& e) { e.Shadow.Enabled = true; }},
        {"blur 40", [](TextEffect& e) { e.Blur = 40; }},
        {"alpha 50", [](TextEffect& e) { e.Alpha = 50; }},
        {"spray 2", [](TextEffect& e) { e.Spray = 2; }},
        {"noise 120", [](TextEffect& e) { e.Noise = 120; }},
        {"gradient",
         [](TextEffect& e) {
             e.Gradual.Enabled = true;
             e.Gradual.StartColor = 0x0000FF;
             e.Gradual.EndColor = 0xFF0000;
         }},
        {"gradient from the centre",
         [](TextEffect& e) {
             e.Gradual.Enabled = true;
             e.Gradual.Style = gsCenterToTB;
             e.Gradual.StartColor = 0xFFFFFF;
             e.Gradual.EndColor = 0x800000;
         }},
        {"texture",
         [](TextEffect& e) {
             e.Texture.Enabled = true;
             e.Texture.Picture = checkerPicture();
         }},
        {"mirrored", [](TextEffect& e) { e.HorzMirror = e.VertMirror = true; }},
        {"angle 15", [](TextEffect& e) { e.Angle = 15; }},
    };

    QWidget parent;
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    parent.setPalette(p);
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(40);

    constexpr int Columns = 3, CellW = 260, CellH = 150;
    const int rows = int(std::size(samples) + Columns - 1) / Columns;
    QImage sheet(Columns * CellW, rows * CellH, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < int(std::size(samples)); ++i) {
        AntiAliasedLabel label(&parent);
        label.setFont(font);
        label.setFontColor(QColor(0x20, 0x30, 0x80));
        TextEffect effect;
        samples[i].apply(effect);
        label.setEffect(effect);
        label.setCaption(QStringLiteral("12:34"));
        const QPoint cell((i % Columns) * CellW, (i / Columns) * CellH);
        painter.fillRect(QRect(cell + QPoint(6, 6), QSize(CellW - 12, CellH - 34)),
                         p.color(QPalette::Window));
        painter.drawImage(
            cell + QPoint((CellW - label.width()) / 2, 6 + (CellH - 40 - label.height()) / 2),
            label.image());
        painter.drawText(QRect(cell.x(), cell.y() + CellH - 26, CellW, 20), Qt::AlignCenter,
                         QString::fromLatin1(samples[i].name));
    }
    painter.end();
    return sheet.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
