#include "platform/Desktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace vexamo {

bool OpenWithDesktop(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return false;
    return QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

} // namespace vexamo
