#include "app/toolbar_images_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace {

// The image names as the main window asks for them, in its own spelling.
const char* const kNames[] = {"help",       "versions", "PIC",        "pic_dis", "remote",
                              "remote_dis", "Setup",    "setup_dis",  "scene",   "comSetup",
                              "passwd",     "connect",  "connect_dis"};

QImage Render(const QIcon& icon) {
  return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

int OpaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0;
  return count;
}

bool IsGrey(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qAlpha(p) == 0) continue;
      if (qAbs(qRed(p) - qGreen(p)) > 3 || qAbs(qGreen(p) - qBlue(p)) > 3) return false;
    }
  }
  return true;
}

TEST(ToolbarImages, EveryNameHasAVisiblePicture) {
  for (const char* name : kNames) {
    SCOPED_TRACE(name);
    const QIcon icon = ToolbarImage(QString::fromLatin1(name));
    ASSERT_FALSE(icon.isNull());
    const QImage image = Render(icon);
    ASSERT_EQ(image.size(), QSize(32, 32));
    // A drawing, neither empty nor a filled square.
    const int opaque = OpaquePixels(image);
    EXPECT_GT(opaque, 32 * 32 / 8);
    EXPECT_LT(opaque, 32 * 32);
  }
}

TEST(ToolbarImages, NamesMatchWithoutRegardToCase) {
  for (const auto& [a, b] : {std::pair{"setup_dis", "Setup_dis"},
                             {"Setup", "SETUP"},
                             {"comSetup", "comsetup"},
                             {"PIC", "pic"},
                             {"Connect_Dis", "connect_dis"}}) {
    SCOPED_TRACE(a);
    EXPECT_EQ(Render(ToolbarImage(QString::fromLatin1(a))),
              Render(ToolbarImage(QString::fromLatin1(b))));
  }
}

TEST(ToolbarImages, DisabledPicturesAreGreyAndDifferFromEnabledOnes) {
  for (const auto& [enabled, disabled] : {std::pair{"PIC", "pic_dis"},
                                          {"remote", "remote_dis"},
                                          {"Setup", "setup_dis"},
                                          {"connect", "connect_dis"}}) {
    SCOPED_TRACE(disabled);
    const QImage on = Render(ToolbarImage(QString::fromLatin1(enabled)));
    const QImage off = Render(ToolbarImage(QString::fromLatin1(disabled)));
    EXPECT_TRUE(IsGrey(off));
    EXPECT_FALSE(IsGrey(on));
  }
}

TEST(ToolbarImages, UnknownNamesGiveNoPicture) {
  for (const QString& name : {QString(), u"nothing"_s, u"../quvial"_s, u"help.svg"_s, u"help "_s}) {
    EXPECT_TRUE(ToolbarImage(name).isNull()) << name.toStdString();
  }
}

}  // namespace
