#pragma once
// The about box: the program's picture, its version and an "Ok" button.

#include <QDialog>
#include <QPixmap>

namespace vexamo {

// The program's picture, drawn rather than shipped: the about box and the window icon.
QPixmap ProgramPicture(int size);

class TFormAcercaDe : public QDialog {
    Q_OBJECT
public:
    explicit TFormAcercaDe(QWidget* parent = nullptr);
};

} // namespace vexamo
