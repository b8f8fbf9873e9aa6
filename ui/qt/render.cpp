#include "ui/qt/render.h"

#include <QApplication>
#include <QImageWriter>
#include <QPainter>
#include <cerrno>

#include "ui/qt/conversions.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

namespace {

constexpr int kBorder = 4;
constexpr int kTitleHeight = 24;

QImage withTitleBar(const TForm& form, const QImage& contents) {
  const QPalette palette = QApplication::palette();
  QImage framed(contents.width() + 2 * kBorder, contents.height() + kTitleHeight + kBorder,
                QImage::Format_ARGB32_Premultiplied);
  framed.fill(palette.color(QPalette::Dark));
  QPainter painter(&framed);
  const QRect title(kBorder, kBorder, contents.width(), kTitleHeight - kBorder);
  painter.fillRect(title, palette.color(QPalette::Highlight));
  QFont font = QApplication::font();
  font.setBold(true);
  font.setPixelSize(12);
  painter.setFont(font);
  painter.setPen(palette.color(QPalette::HighlightedText));
  painter.drawText(title.adjusted(6, 0, -24, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   toQString(form.Caption()));
  if (form.BorderIcons() & biSystemMenu) {
    const QRect box(title.right() - 18, title.top() + 3, 14, title.height() - 6);
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomLeft());
  }
  painter.drawImage(kBorder, kTitleHeight, contents);
  return framed;
}

}  // namespace

QImage renderForm(TForm& form, Frame frame) {
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
  const QImage contents = window->grab().toImage();
  return frame == Frame::TitleBar ? withTitleBar(form, contents) : contents;
}

platform::Status saveFormPng(TForm& form, const std::string& path, Frame frame) {
  const QImage image = renderForm(form, frame);
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
