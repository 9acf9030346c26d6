// kv-skin-painter: draws every picture of the skin.
//
//   kv-skin-painter OUTPUT_FOLDER                writes OUTPUT_FOLDER/<name>.png and Loading.gif
//   kv-skin-painter --contact-sheet FILE.png [SCALE [NAME,NAME...]]
//                                                writes an enlarged sheet of all of them, or of
//                                                those whose names contain one of the NAMEs
//
// The output folder is emptied first, so that a picture that is no longer drawn does not
// linger in the packed skin.
#include "tools/skin-painter/contact_sheet.h"
#include "tools/skin-painter/gif_writer.h"
#include "tools/skin-painter/picture_set.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

bool SaveImage(const QImage& image, const QString& path) {
  if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, "PNG")) {
    std::cerr << "kv-skin-painter: cannot write " << path.toStdString() << "\n";
    return false;
  }
  return true;
}

// The animation's name without its "image/" folder, like the pictures' file names below it.
QString RelativeName(const std::string& name) {
  return QString::fromStdString(name).remove(QStringLiteral("image/"));
}

int WriteFolder(const QString& folder) {
  QDir(folder).removeRecursively();
  if (!QDir().mkpath(folder)) {
    std::cerr << "kv-skin-painter: cannot create " << folder.toStdString() << "\n";
    return 1;
  }
  for (const kv::skin::Picture& picture : kv::skin::PaintAllPictures()) {
    if (!SaveImage(picture.image, folder + "/" + RelativeName(picture.name))) return 1;
  }
  const kv::skin::Animation animation = kv::skin::PaintLoadingAnimation();
  std::string error;
  if (!kv::skin::WriteGif(animation, (folder + "/" + RelativeName(animation.name)).toStdString(), error)) {
    std::cerr << "kv-skin-painter: " << error << "\n";
    return 1;
  }
  return 0;
}

int WriteContactSheet(const QString& path, int scale, const QStringList& names) {
  auto wanted = [&names](const std::string& name) {
    if (names.isEmpty()) return true;
    for (const QString& part : names) {
      if (QString::fromStdString(name).contains(part, Qt::CaseInsensitive)) return true;
    }
    return false;
  };
  kv::skin::PictureSet pictures;
  for (kv::skin::Picture& picture : kv::skin::PaintAllPictures()) {
    if (wanted(picture.name)) pictures.push_back(std::move(picture));
  }
  kv::skin::Animation animation = kv::skin::PaintLoadingAnimation();
  if (!wanted(animation.name)) animation.frames.clear();
  return SaveImage(kv::skin::MakeContactSheet(pictures, animation, scale), path) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // Painting needs no screen; the contact sheet's labels need only a font.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication application(argc, argv);
  const QStringList arguments = application.arguments();
  if (arguments.size() >= 3 && arguments.size() <= 5 && arguments[1] == "--contact-sheet") {
    const int scale = arguments.size() >= 4 ? std::max(1, arguments[3].toInt()) : 2;
    const QStringList names = arguments.size() == 5 ? arguments[4].split(',') : QStringList();
    return WriteContactSheet(arguments[2], scale, names);
  }
  if (arguments.size() != 2 || arguments[1].startsWith("-")) {
    std::cerr << "usage: kv-skin-painter OUTPUT_FOLDER | --contact-sheet FILE.png\n";
    return 2;
  }
  return WriteFolder(arguments[1]);
}
