#include "uilib/image_string.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

#include "uilib/attribute_values.h"
#include "uilib/skin_resources.h"

namespace kv::ui {
namespace {

// key='value' pairs; quotes may be single or double. Empty when the text holds no pair.
std::vector<std::pair<QString, QString>> ReadPairs(const QString& text) {
  std::vector<std::pair<QString, QString>> pairs;
  qsizetype pos = 0;
  const qsizetype n = text.size();
  while (true) {
    while (pos < n && text[pos].isSpace()) ++pos;
    if (pos >= n) break;
    const qsizetype keyStart = pos;
    while (pos < n && (text[pos].isLetterOrNumber() || text[pos] == u'_')) ++pos;
    const QString key = text.mid(keyStart, pos - keyStart);
    while (pos < n && text[pos].isSpace()) ++pos;
    if (key.isEmpty() || pos >= n || text[pos] != u'=') return {};
    ++pos;
    while (pos < n && text[pos].isSpace()) ++pos;
    if (pos >= n || (text[pos] != u'\'' && text[pos] != u'"')) return {};
    const QChar quote = text[pos++];
    const qsizetype valueStart = pos;
    while (pos < n && text[pos] != quote) ++pos;
    if (pos >= n) return {};
    pairs.emplace_back(key.toLower(), text.mid(valueStart, pos - valueStart));
    ++pos;
  }
  return pairs;
}

void ApplyPairs(ImageSpec& imageSpec, const std::vector<std::pair<QString, QString>>& pairs) {
  for (const auto& [key, value] : pairs) {
    if (key == u"file" || key == u"res") imageSpec.file = value;
    else if (key == u"dest") imageSpec.dest = ParseRect(value);
    else if (key == u"source") imageSpec.source = ParseRect(value);
    else if (key == u"corner" || key == u"scale9") imageSpec.corner = ParseRect(value);
    else if (key == u"mask") imageSpec.mask = ParseColor(value);
    else if (key == u"fade") imageSpec.fade = std::clamp(ParseInt(value, 255), 0, 255);
    else if (key == u"hole") imageSpec.hole = ParseBool(value);
    else if (key == u"xtiled") imageSpec.xtiled = ParseBool(value);
    else if (key == u"ytiled") imageSpec.ytiled = ParseBool(value);
    else if (key == u"size") imageSpec.size = ParseSize(value);
    else if (key == u"align") imageSpec.align = value.toLower();
    else if (key == u"padding") imageSpec.padding = ParseRect(value);
  }
}

QRectF F(const UiRect& r) { return QRectF(r.left, r.top, r.Width(), r.Height()); }

// Fills `target` with `source` of the pixmap, stretched or tiled.
void DrawPart(QPainter& p, const QPixmap& pixmap, const UiRect& target, const UiRect& source, bool xtiled,
              bool ytiled) {
  if (target.IsEmpty() || source.IsEmpty()) return;
  if (!xtiled && !ytiled) {
    p.drawPixmap(F(target), pixmap, F(source));
    return;
  }
  const int stepX = xtiled ? source.Width() : target.Width();
  const int stepY = ytiled ? source.Height() : target.Height();
  for (int y = target.top; y < target.bottom; y += stepY) {
    for (int x = target.left; x < target.right; x += stepX) {
      const int w = std::min(stepX, target.right - x);
      const int h = std::min(stepY, target.bottom - y);
      // The last tile is cut off rather than squeezed.
      const int sw = xtiled ? w : source.Width();
      const int sh = ytiled ? h : source.Height();
      p.drawPixmap(QRectF(x, y, w, h), pixmap, QRectF(source.left, source.top, sw, sh));
    }
  }
}

}  // namespace

ImageSpec ParseImageSpec(const QString& text) {
  static QHash<QString, ImageSpec> cache;
  if (auto it = cache.constFind(text); it != cache.constEnd()) return *it;
  ImageSpec imageSpec;
  const auto pairs = ReadPairs(text);
  if (pairs.empty()) imageSpec.file = text.trimmed();
  else ApplyPairs(imageSpec, pairs);
  if (cache.size() > 4096) cache.clear();
  cache.insert(text, imageSpec);
  return imageSpec;
}

void ApplyImageModifier(ImageSpec& imageSpec, const QString& modifier) { ApplyPairs(imageSpec, ReadPairs(modifier)); }

UiRect ImageDestRect(const ImageSpec& imageSpec, const UiRect& item) {
  UiRect dest = item;
  if (!imageSpec.dest.IsNull()) {
    dest = {item.left + imageSpec.dest.left, item.top + imageSpec.dest.top, item.left + imageSpec.dest.right,
            item.top + imageSpec.dest.bottom};
    dest.right = std::min(dest.right, item.right);
    dest.bottom = std::min(dest.bottom, item.bottom);
  } else if (imageSpec.size.width() > 0 && imageSpec.size.height() > 0) {
    const UiRect room = item.Deflated(imageSpec.padding);
    const int w = imageSpec.size.width();
    const int h = imageSpec.size.height();
    int x = room.left + (room.Width() - w) / 2;
    int y = room.top + (room.Height() - h) / 2;
    if (imageSpec.align.contains(u"left")) x = room.left;
    if (imageSpec.align.contains(u"right")) x = room.right - w;
    if (imageSpec.align.contains(u"top")) y = room.top;
    if (imageSpec.align.contains(u"bottom")) y = room.bottom - h;
    dest = {x, y, x + w, y + h};
  }
  return dest;
}

bool DrawImageSpec(QPainter& p, const ImageSpec& imageSpec, const UiRect& item, const UiRect& clip) {
  if (imageSpec.file.isEmpty()) return false;
  const QPixmap* pixmap = SkinResources::Instance().Image(imageSpec.file, imageSpec.mask);
  if (!pixmap) return false;
  const UiRect dest = ImageDestRect(imageSpec, item);
  const UiRect visible = dest.Intersected(clip);
  if (visible.IsEmpty()) return true;

  const UiRect whole{0, 0, pixmap->width(), pixmap->height()};
  UiRect src = imageSpec.source.IsNull() ? whole : imageSpec.source.Intersected(whole);
  if (src.IsEmpty()) return true;

  p.save();
  p.setClipRect(visible.ToQRect(), Qt::IntersectClip);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  if (imageSpec.fade < 255) p.setOpacity(p.opacity() * imageSpec.fade / 255.0);

  const UiRect& c = imageSpec.corner;
  if (c.IsNull()) {
    DrawPart(p, *pixmap, dest, src, imageSpec.xtiled, imageSpec.ytiled);
  } else {
    // Nine slices: corners 1:1, edges stretched along their side, the centre both ways.
    const int sx[4] = {src.left, src.left + c.left, src.right - c.right, src.right};
    const int sy[4] = {src.top, src.top + c.top, src.bottom - c.bottom, src.bottom};
    const int dx[4] = {dest.left, dest.left + c.left, dest.right - c.right, dest.right};
    const int dy[4] = {dest.top, dest.top + c.top, dest.bottom - c.bottom, dest.bottom};
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col) {
        const bool centre = row == 1 && col == 1;
        if (centre && imageSpec.hole) continue;
        DrawPart(p, *pixmap, {dx[col], dy[row], dx[col + 1], dy[row + 1]},
                 {sx[col], sy[row], sx[col + 1], sy[row + 1]}, centre && imageSpec.xtiled, centre && imageSpec.ytiled);
      }
    }
  }
  p.restore();
  return true;
}

bool DrawImageString(QPainter& painter, const UiRect& item, const UiRect& clip, const QString& image,
                     const QString& modifier) {
  if (image.isEmpty()) return false;
  ImageSpec imageSpec = ParseImageSpec(image);
  if (!modifier.isEmpty()) ApplyImageModifier(imageSpec, modifier);
  return DrawImageSpec(painter, imageSpec, item, clip);
}

}  // namespace kv::ui
