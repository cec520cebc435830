// Every message box and run-time text exists in Chinese and English: a
// Chinese literal handed to a message box, a status line or a caption set at
// run time must go through Bilingual(chinese, chs, eng). This check reads the
// sources and names every place that does not.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <vector>

#include "core/bilingual.h"
#include "support/source_tree.h"

using namespace Qt::StringLiterals;

namespace {

struct OneLanguageText {
  int line = 0;  // 1-based line of the call
  QString call;  // the call's name
};

bool IsChinese(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF);
}

// The source with comments blanked out (line breaks kept), string and
// character literals untouched.
QString WithoutComments(const QString& src) {
  QString out = src;
  const qsizetype n = src.size();
  for (qsizetype i = 0; i < n;) {
    const QChar c = src[i];
    if (c == u'"' || c == u'\'') {
      for (++i; i < n && src[i] != c; ++i)
        if (src[i] == u'\\') ++i;
      ++i;
    } else if (c == u'/' && i + 1 < n && src[i + 1] == u'/') {
      for (; i < n && src[i] != u'\n'; ++i) out[i] = u' ';
    } else if (c == u'/' && i + 1 < n && src[i + 1] == u'*') {
      for (; i < n && !(src[i] == u'*' && i + 1 < n && src[i + 1] == u'/'); ++i)
        if (src[i] != u'\n') out[i] = u' ';
      if (i < n) out[i] = out[i + 1] = u' ';
      i += 2;
    } else {
      ++i;
    }
  }
  return out;
}

// The index just past the parenthesis that closes the one at open, skipping
// literals; -1 when it never closes.
qsizetype CloseOf(const QString& s, qsizetype open) {
  int depth = 0;
  for (qsizetype i = open; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == u'"' || c == u'\'') {
      for (++i; i < s.size() && s[i] != c; ++i)
        if (s[i] == u'\\') ++i;
    } else if (c == u'(') {
      ++depth;
    } else if (c == u')' && --depth == 0) {
      return i + 1;
    }
  }
  return -1;
}

// Whether text holds a string literal with a Chinese character.
bool HasChineseLiteral(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'"') continue;
    bool chinese = false;
    for (++i; i < text.size() && text[i] != u'"'; ++i) {
      if (text[i] == u'\\')
        ++i;
      else if (IsChinese(text[i]))
        chinese = true;
    }
    if (chinese) return true;
  }
  return false;
}

// The calls that show a text to the operator at run time.
const QRegularExpression& ShowingCall() {
  static const QRegularExpression re(
      uR"((QMessageBox::(?:information|warning|critical|question|about)|QInputDialog::get\w+|)"
      uR"(\bsetText|\bshowMessage|\bappendPlainText|\bsetStatusTip|\bsetToolTip)\s*\()"_s);
  return re;
}

std::vector<OneLanguageText> FindOneLanguageTexts(const QString& source) {
  std::vector<OneLanguageText> found;
  const QString code = WithoutComments(source);
  static const QRegularExpression bilingual(uR"(\bBilingual\s*\()"_s);
  QRegularExpressionMatchIterator it = ShowingCall().globalMatch(code);
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    const qsizetype open = m.capturedEnd() - 1;
    const qsizetype close = CloseOf(code, open);
    QString args = code.mid(open, close < 0 ? -1 : close - open);
    // What goes through Bilingual has both forms; look only at the rest.
    for (QRegularExpressionMatch b = bilingual.match(args); b.hasMatch();
         b = bilingual.match(args)) {
      const qsizetype bOpen = b.capturedEnd() - 1;
      const qsizetype bClose = CloseOf(args, bOpen);
      args.remove(b.capturedStart(), (bClose < 0 ? args.size() : bClose) - b.capturedStart());
    }
    if (HasChineseLiteral(args))
      found.push_back(
          {static_cast<int>(code.left(m.capturedStart()).count(u'\n')) + 1, m.captured(1)});
  }
  return found;
}

// --- the check itself ------------------------------------------------------

class OneLanguageScanTest : public testing::Test {
 protected:
  static std::vector<int> Lines(const char16_t* source) {
    std::vector<int> lines;
    for (const OneLanguageText& t : FindOneLanguageTexts(QString::fromUtf16(source)))
      lines.push_back(t.line);
    return lines;
  }
};

TEST_F(OneLanguageScanTest, FlagsAChineseMessageWithoutItsEnglishForm) {
  EXPECT_EQ(Lines(u"void f() {\n  QMessageBox::warning(this, t, QStringLiteral(\"端口错误\"));\n}"),
            std::vector<int>{2});
  EXPECT_EQ(Lines(u"x->setText(u\"已连接\");"), std::vector<int>{1});
  EXPECT_EQ(Lines(u"statusBar()->showMessage(\"请稍候\");"), std::vector<int>{1});
}

TEST_F(OneLanguageScanTest, FlagsACallSpreadOverLinesAtItsFirstLine) {
  EXPECT_EQ(Lines(u"a;\nQMessageBox::question(this,\n    QStringLiteral(\"提示\"),\n"
                  u"    text, QMessageBox::Yes);"),
            std::vector<int>{2});
}

TEST_F(OneLanguageScanTest, FlagsAChineseTitleBesideABilingualMessage) {
  EXPECT_EQ(Lines(u"QMessageBox::information(this, u\"提示\"_s,\n"
                  u"    Bilingual(chinese_, u\"已保存\", u\"Saved\"));"),
            std::vector<int>{1});
}

TEST_F(OneLanguageScanTest, AcceptsTextsThroughBilingualAndTextsWithoutChinese) {
  EXPECT_TRUE(Lines(u"QMessageBox::warning(this, Bilingual(c, u\"提示\", u\"Note\"),\n"
                    u"    Bilingual(c, u\"端口(1)错误\", u\"Port (1) failed\"));")
                  .empty());
  EXPECT_TRUE(Lines(u"label->setText(QStringLiteral(\"COM1\"));").empty());
  EXPECT_TRUE(Lines(u"label->setText(name);  // shows 名称").empty());
}

TEST_F(OneLanguageScanTest, IgnoresCommentsAndParenthesesInsideLiterals) {
  EXPECT_TRUE(Lines(u"/* QMessageBox::warning(this, t, u\"错误\"); */\n"
                    u"// x->setText(u\"文字\");\n"
                    u"x->setText(u\")\"); y = u\"不是消息\";")
                  .empty());
}

TEST_F(OneLanguageScanTest, BilingualPicksTheFormOfTheLanguage) {
  EXPECT_EQ(Bilingual(true, u"端口", u"Port"), u"端口"_s);
  EXPECT_EQ(Bilingual(false, u"端口", u"Port"), u"Port"_s);
}

// The program's own sources: every run-time text shows in both languages.
TEST(OneLanguageTexts, NoneInTheSources) {
  const QString src = SourceTreeFile(u"src"_s);
  ASSERT_TRUE(QFile::exists(src)) << src.toStdString();
  QStringList report;
  int files = 0;
  QDirIterator dir(src, {u"*.cpp"_s, u"*.h"_s}, QDir::Files, QDirIterator::Subdirectories);
  while (dir.hasNext()) {
    const QString path = dir.next();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    ++files;
    for (const OneLanguageText& t : FindOneLanguageTexts(QString::fromUtf8(f.readAll())))
      report << path.mid(src.size() - 3) + u':' + QString::number(t.line) + u": "_s + t.call;
  }
  EXPECT_GT(files, 20);
  EXPECT_TRUE(report.isEmpty())
      << "Chinese texts shown without their English form (use Bilingual):\n"
      << report.join(u'\n').toStdString();
}

}  // namespace
