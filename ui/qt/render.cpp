#include "ui/qt/render.h"

#include <QApplication>
#include <QImageWriter>
#include <cerrno>

#include "ui/qt/conversions.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

QImage renderForm(TForm& form) {
  form.ensurePeers();
  WidgetPeer* peer = widgetPeerOf(&form);
  if (peer == nullptr) {
    return {};
  }
  QWidget* window = peer->widget();
  // Let queued layout and polish events run, so the picture is what a user would see.
  QApplication::sendPostedEvents();
  QApplication::processEvents();
  window->ensurePolished();
  return window->grab().toImage();
}

platform::Status saveFormPng(TForm& form, const std::string& path) {
  const QImage image = renderForm(form);
  if (image.isNull()) {
    return platform::Status::failure(EINVAL, "render " + form.ClassName());
  }
  QImageWriter writer(toQString(path), "png");
  if (!writer.write(image)) {
    const int error = writer.error() == QImageWriter::DeviceError ? EIO : EINVAL;
    return platform::Status::failure(error,
                                     "write " + path + ": " + fromQString(writer.errorString()));
  }
  return platform::Status::success();
}

}  // namespace ui::qt
