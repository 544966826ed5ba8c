#include "app/TFormAcercaDe.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace vexamo {

QPixmap ProgramPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // A sheet of paper with a ticked answer box.
    painter.setPen(QPen(QColor(60, 60, 90), s / 32));
    painter.setBrush(QColor(255, 253, 235));
    painter.drawRoundedRect(QRectF(s * 0.15, s * 0.06, s * 0.70, s * 0.88), s / 16, s / 16);
    painter.setPen(QPen(QColor(150, 150, 170), s / 40));
    for (int line = 0; line < 3; ++line) {
        const qreal y = s * (0.22 + 0.12 * line);
        painter.drawLine(QPointF(s * 0.26, y), QPointF(s * 0.74, y));
    }
    painter.setPen(QPen(QColor(60, 60, 90), s / 40));
    painter.setBrush(Qt::white);
    const QRectF box(s * 0.28, s * 0.58, s * 0.24, s * 0.24);
    painter.drawRect(box);
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.15, box.top() + box.height() * 0.55);
    tick.lineTo(box.left() + box.width() * 0.45, box.bottom() - box.height() * 0.1);
    tick.lineTo(box.right() + box.width() * 0.45, box.top() - box.height() * 0.35);
    painter.setPen(QPen(QColor(0, 140, 60), s / 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
    return picture;
}

TFormAcercaDe::TFormAcercaDe(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormAcercaDe"));
    setWindowTitle(QStringLiteral("Acerca de..."));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Imagen"));
    picture->setPixmap(ProgramPicture(96));

    auto* name = new QLabel(QStringLiteral("Vexamo"), this);
    QFont nameFont = name->font();
    nameFont.setPointSize(nameFont.pointSize() + 8);
    nameFont.setBold(true);
    name->setFont(nameFont);
    auto* version = new QLabel(QStringLiteral("Versión 0.99"), this);
    version->setObjectName(QStringLiteral("LabelVersion"));

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("BotonOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addStretch();
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(16);
    top->addLayout(texts);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed-size window
}

} // namespace vexamo
