#include "core/ini_params_op.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <functional>
#include <ostream>
#include <vector>

#include "core/gbk.h"
#include "support/rewrite_count.h"
#include "support/temp_home.h"

namespace {

class IniParamsOpTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(home.IsValid()); }
  void Put(const QByteArray& bytes) const {
    ASSERT_TRUE(home.Write(QStringLiteral("Quvial.ini"), bytes));
  }
  QByteArray Disk() const { return home.Read(QStringLiteral("Quvial.ini")); }

  TTempHome home;
  TIniParamsOp ini{TIniParamsOp::DefaultPath()};
};

TEST_F(IniParamsOpTest, LivesInTheProgramDirectory) {
  EXPECT_EQ(QFileInfo(TIniParamsOp::DefaultPath()).absolutePath(),
            QFileInfo(home.Path()).absoluteFilePath());
  EXPECT_EQ(QFileInfo(TIniParamsOp::DefaultPath()).fileName(), QStringLiteral("Quvial.ini"));
}

struct IntDefault {
  const char* name;
  std::function<int(const TIniParamsOp&)> read;
  int expected;
};

void PrintTo(const IntDefault& c, std::ostream* os) { *os << c.name; }

class IniIntDefaultTest : public IniParamsOpTest, public testing::WithParamInterface<IntDefault> {};

TEST_P(IniIntDefaultTest, MissingFileGivesTheDefault) {
  EXPECT_EQ(GetParam().read(ini), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IniIntDefaultTest,
    testing::Values(IntDefault{"SignalType", &TIniParamsOp::ReadSignalType, 0},
                    IntDefault{"ChooseMatrix", &TIniParamsOp::ReadChooseMatrix, 0},
                    IntDefault{"ChannelList", &TIniParamsOp::ReadChannelList, 0},
                    IntDefault{"CmdLen", &TIniParamsOp::ReadCmdLen, 1},
                    IntDefault{"MACID", &TIniParamsOp::ReadMACID, 0},
                    IntDefault{"LANG", &TIniParamsOp::ReadLang, 1},
                    IntDefault{"videoid", &TIniParamsOp::ReadVideoId, 1},
                    IntDefault{"vgaid", &TIniParamsOp::ReadVgaId, 1},
                    IntDefault{"dviid", &TIniParamsOp::ReadDviId, 1},
                    IntDefault{"videoindex", &TIniParamsOp::ReadVideoIndex, 0},
                    IntDefault{"vgaindex", &TIniParamsOp::ReadVgaIndex, 0},
                    IntDefault{"dviindex", &TIniParamsOp::ReadDviIndex, 0},
                    IntDefault{"mixerindex", &TIniParamsOp::ReadMixerIndex, 0},
                    IntDefault{"mchoosed", &TIniParamsOp::ReadMChoosed, 1},
                    IntDefault{"mdelayvalue", &TIniParamsOp::ReadMDelayValue, 50},
                    IntDefault{"dvrid", &TIniParamsOp::ReadDvrId, 1},
                    IntDefault{"dvrindex", &TIniParamsOp::ReadDvrIndex, 0},
                    IntDefault{"dvrchoosed", &TIniParamsOp::ReadDvrChoosed, 1},
                    IntDefault{"dvrdelayvalue", &TIniParamsOp::ReadDvrDelayValue, 50},
                    IntDefault{"row", &TIniParamsOp::ReadRow, 2},
                    IntDefault{"col", &TIniParamsOp::ReadCol, 2}),
    [](const testing::TestParamInfo<IntDefault>& p) { return std::string(p.param.name); });

TEST_F(IniParamsOpTest, MissingFileGivesTextDefaults) {
  EXPECT_FALSE(ini.Exists());
  EXPECT_EQ(ini.ReadCaption(), QStringLiteral(u"大屏拼接控制系统"));
  EXPECT_TRUE(ini.ReadHomePage().startsWith(QStringLiteral("http://")));
  EXPECT_EQ(ini.ReadVersion(), QString());
  EXPECT_EQ(ini.ReadLangText(), QStringLiteral("1"));
  for (TPortId port : {TPortId::Combine, TPortId::Matrix, TPortId::VGAMatrix, TPortId::DVIMatrix,
                       TPortId::DVR, TPortId::Sniff}) {
    const TPortSettings s = ini.ReadPort(port);
    EXPECT_EQ(s.checked, 0);
    EXPECT_EQ(s.name, QString());
    EXPECT_EQ(s.bps, QStringLiteral("9600"));
    EXPECT_EQ(s.dataBit, QStringLiteral("8"));
    EXPECT_EQ(s.stopBit, QStringLiteral("1"));
    EXPECT_EQ(s.check, 0);
  }
  EXPECT_FALSE(ini.Exists());  // reading never creates the file
}

TEST_F(IniParamsOpTest, FirstWriteCreatesTheFileWithSectionCom) {
  ini.WriteLang(2);
  EXPECT_TRUE(ini.Exists());
  EXPECT_EQ(Disk(), QByteArray("[COM]\r\nLANG=2\r\n"));
}

TEST_F(IniParamsOpTest, CmdLenZeroAndMissing) {
  Put("[COM]\r\nCmdLen=0\r\n");
  EXPECT_EQ(ini.ReadCmdLen(), 0);
  Put("[COM]\r\nCmdLEN=0\r\n");
  EXPECT_EQ(ini.ReadCmdLen(), 0);
  Put("[COM]\r\nrow=3\r\n");
  EXPECT_EQ(ini.ReadCmdLen(), 1);
}

TEST_F(IniParamsOpTest, WallSizeNumbers) {
  Put("[COM]\r\nrow=0x0A\r\ncol=abc\r\n");
  int row = 0, col = 0;
  ini.ReadWallSize(row, col);
  EXPECT_EQ(row, 10);
  EXPECT_EQ(col, 2);
  Put("[COM]\r\nrow=$1F\r\ncol=99\r\n");  // out of range values pass unchecked
  ini.ReadWallSize(row, col);
  EXPECT_EQ(row, 31);
  EXPECT_EQ(col, 99);
}

TEST_F(IniParamsOpTest, LangAsTextAndAsNumber) {
  Put("[COM]\r\nLANG= 2 \r\n");
  EXPECT_EQ(ini.ReadLang(), 2);
  EXPECT_EQ(ini.ReadLangText(), QStringLiteral("2"));
  Put("[COM]\r\nLANG=eng\r\n");
  EXPECT_EQ(ini.ReadLang(), 1);
  EXPECT_EQ(ini.ReadLangText(), QStringLiteral("eng"));
}

// The keys each port's writes put into the file, in write order.
struct PortKeys {
  const char* name;
  TPortId port;
  QByteArray lines;
};

void PrintTo(const PortKeys& c, std::ostream* os) { *os << c.name; }

class IniPortTest : public IniParamsOpTest, public testing::WithParamInterface<PortKeys> {};

TEST_P(IniPortTest, WritesItsSixKeysAndReadsThemBack) {
  const TPortId port = GetParam().port;
  ini.WritePortChecked(port, 1);
  ini.WritePortName(port, QStringLiteral("COM4"));
  ini.WritePortBPS(port, QStringLiteral("19200"));
  ini.WritePortDataBit(port, QStringLiteral("7"));
  ini.WritePortStopBit(port, QStringLiteral("1.5"));
  ini.WritePortCheck(port, 2);
  EXPECT_EQ(Disk(), "[COM]\r\n" + GetParam().lines);
  const TPortSettings s = TIniParamsOp(TIniParamsOp::DefaultPath()).ReadPort(port);
  EXPECT_EQ(s.checked, 1);
  EXPECT_EQ(s.name, QStringLiteral("COM4"));
  EXPECT_EQ(s.bps, QStringLiteral("19200"));
  EXPECT_EQ(s.dataBit, QStringLiteral("7"));
  EXPECT_EQ(s.stopBit, QStringLiteral("1.5"));
  EXPECT_EQ(s.check, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, IniPortTest,
    testing::Values(
        PortKeys{"Combine", TPortId::Combine,
                 "CombineCOMPortChecked=1\r\nCOMPort=COM4\r\nBPS=19200\r\nDataBit=7\r\nStopBit=1."
                 "5\r\nCheck=2\r\n"},
        PortKeys{
            "Matrix", TPortId::Matrix,
            "MatrixCOMPortChecked=1\r\nMatrixCOMPort=COM4\r\nMatrixBPS=19200\r\nMatrixDataBit=7\r\n"
            "MatrixStopBit=1.5\r\nMatrixCheck=2\r\n"},
        PortKeys{"VGAMatrix", TPortId::VGAMatrix,
                 "VGAMatrixCOMPortChecked=1\r\nVGAMatrixCOMPort=COM4\r\nVGAMatrixBPS="
                 "19200\r\nVGAMatrixDataBit=7\r\n"
                 "VGAMatrixStopBit=1.5\r\nVGAMatrixCheck=2\r\n"},
        PortKeys{"DVIMatrix", TPortId::DVIMatrix,
                 "DVIMatrixCOMPortChecked=1\r\nDVIMatrixCOMPort=COM4\r\nDVIMatrixBPS="
                 "19200\r\nDVIMatrixDataBit=7\r\n"
                 "DVIMatrixStopBit=1.5\r\nDVIMatrixCheck=2\r\n"},
        PortKeys{"DVR", TPortId::DVR,
                 "DVRCOMPortChecked=1\r\nDVRCOMPort=COM4\r\nDVRBPS=19200\r\nDVRDataBit="
                 "7\r\nDVRStopBit=1.5\r\n"
                 "DVRCheck=2\r\n"},
        PortKeys{"Sniff", TPortId::Sniff,
                 "SniffCOMPortChecked=1\r\nSniffCOMPort=COM4\r\nSniffBPS=19200\r\nSniffDataBit="
                 "7\r\nSniffStopBit=1.5\r\n"
                 "SniffCheck=2\r\n"}),
    [](const testing::TestParamInfo<PortKeys>& p) { return std::string(p.param.name); });

TEST_F(IniParamsOpTest, MatrixBaudKeysInUpperCaseFromOldFiles) {
  Put("[COM]\r\nmatrixbps=4800\r\nVGAMATRIXBPS=2400\r\nDVIMATRIXBPS=1200\r\n");
  EXPECT_EQ(ini.ReadPortBPS(TPortId::Matrix), QStringLiteral("4800"));
  EXPECT_EQ(ini.ReadPortBPS(TPortId::VGAMatrix), QStringLiteral("2400"));
  EXPECT_EQ(ini.ReadPortBPS(TPortId::DVIMatrix), QStringLiteral("1200"));
  ini.WritePortBPS(TPortId::Matrix, QStringLiteral("19200"));
  ini.WritePortBPS(TPortId::DVIMatrix, QStringLiteral("38400"));
  EXPECT_EQ(Disk(),
            QByteArray("[COM]\r\nmatrixbps=19200\r\nVGAMATRIXBPS=2400\r\nDVIMATRIXBPS=38400\r\n"));
}

TEST_F(IniParamsOpTest, GroupedWritesKeepTheirOrder) {
  ini.WriteWallSize(4, 6);
  ini.WriteMatrixAddresses(1, 2, 3);
  ini.WriteMatrixBrands(4, 5, 6, 7);
  ini.WriteMatrixDelay(0, 120);
  ini.WriteDvrDelay(1, 80);
  EXPECT_EQ(Disk(),
            QByteArray("[COM]\r\nrow=4\r\ncol=6\r\nvgaid=2\r\nvideoid=1\r\ndviid=3\r\n"
                       "vgaindex=5\r\nvideoindex=4\r\ndviindex=6\r\nmixerindex=7\r\n"
                       "mchoosed=0\r\nmdelayvalue=120\r\ndvrchoosed=1\r\ndvrdelayvalue=80\r\n"));
  int a = 0, b = 0, c = 0, d = 0;
  ini.ReadMatrixAddresses(a, b, c);
  EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{1, 2, 3}));
  ini.ReadMatrixBrands(a, b, c, d);
  EXPECT_EQ((std::vector<int>{a, b, c, d}), (std::vector<int>{4, 5, 6, 7}));
  ini.ReadMatrixDelay(a, b);
  EXPECT_EQ((std::vector<int>{a, b}), (std::vector<int>{0, 120}));
  ini.ReadDvrDelay(a, b);
  EXPECT_EQ((std::vector<int>{a, b}), (std::vector<int>{1, 80}));
}

TEST_F(IniParamsOpTest, WallSizeIsOneRewriteOfTheFile) {
  Put("[COM]\r\nLANG=1\r\n");
  TRewriteCount rewrites(home.File(QStringLiteral("Quvial.ini")));
  ASSERT_TRUE(rewrites.IsValid());
  ini.WriteWallSize(4, 6);
  EXPECT_EQ(rewrites.Count(), 1) << "one temporary, not one per key";
  EXPECT_EQ(Disk(), QByteArray("[COM]\r\nLANG=1\r\nrow=4\r\ncol=6\r\n"));
}

TEST_F(IniParamsOpTest, GroupedWriteReplacesExistingLinesInPlace) {
  Put("[COM]\r\ncol=9\r\nLANG=1\r\nROW=9\r\n");
  ini.WriteWallSize(3, 5);
  EXPECT_EQ(Disk(), QByteArray("[COM]\r\ncol=5\r\nLANG=1\r\nROW=3\r\n"));
}

TEST_F(IniParamsOpTest, DeviceTypeNames) {
  const char* defaults[] = {"QN-51", "QN-46/45", "QN-22", "QN-K8", "QN-HV6", "TR-5000", "PL-39",
                            "QN-23", "QN-HV8",   "QN-24", "QN-T1", "QN-44",  "QN-51N"};
  for (int n = 1; n <= 13; ++n)
    EXPECT_EQ(ini.ReadTvType(n), QString::fromLatin1(defaults[n - 1])) << n;
  EXPECT_EQ(ini.ReadTvType(0), QString());
  EXPECT_EQ(ini.ReadTvType(14), QString());
  EXPECT_FALSE(ini.WriteTvType(14, QStringLiteral("x")));
  EXPECT_FALSE(ini.WriteTvType(0, QStringLiteral("x")));
  EXPECT_FALSE(ini.Exists());
}

TEST_F(IniParamsOpTest, ChineseDeviceNameIsGbkOnDisk) {
  EXPECT_TRUE(ini.WriteTvType(3, QStringLiteral(u"拼接器三号")));
  EXPECT_TRUE(ini.WriteTvType(4, QString()));  // an empty name is a name
  EXPECT_EQ(Disk(),
            "[COM]\r\ntvtype3=" + Gbk::Encode(QStringLiteral(u"拼接器三号")) + "\r\ntvtype4=\r\n");
  EXPECT_EQ(Gbk::Encode(QStringLiteral(u"拼接器三号")).size(), 10);
  const TIniParamsOp other(TIniParamsOp::DefaultPath());
  EXPECT_EQ(other.ReadTvType(3), QStringLiteral(u"拼接器三号"));
  EXPECT_EQ(other.ReadTvType(4), QString());
}

TEST_F(IniParamsOpTest, WindowsFileLoadsUnchanged) {
  Put("[COM]\r\nCombineCOMPortChecked=1\r\nCOMPort=COM1\r\nBPS=9600\r\nCaption=\xB4\xF3\xC6\xC1\r\n"
      "HomePage=http://example.invalid\r\nMACID=$FF\r\nrow=3\r\ncol=4\r\n");
  EXPECT_EQ(ini.ReadPortChecked(TPortId::Combine), 1);
  EXPECT_EQ(ini.ReadPortName(TPortId::Combine), QStringLiteral("COM1"));
  EXPECT_EQ(ini.ReadCaption(), QStringLiteral(u"大屏"));
  EXPECT_EQ(ini.ReadHomePage(), QStringLiteral("http://example.invalid"));
  EXPECT_EQ(ini.ReadMACID(), 255);
  ini.WriteMACID(256);
  EXPECT_TRUE(Disk().contains("\r\nMACID=256\r\nrow=3\r\n"));
}

TEST_F(IniParamsOpTest, FailedWritesSayFalseAndLeaveNothing) {
  ASSERT_TRUE(home.Write(QStringLiteral("plain"), "x"));
  TIniParamsOp broken(home.File(QStringLiteral("plain/Quvial.ini")));
  EXPECT_FALSE(broken.WriteWallSize(5, 5));
  EXPECT_FALSE(broken.WriteTvType(1, QStringLiteral("a")));
  EXPECT_FALSE(broken.Exists());
  EXPECT_EQ(broken.ReadRow(), 2);
}

TEST_F(IniParamsOpTest, RareKeysThroughTheFile) {
  ASSERT_TRUE(ini.File().WriteString(QStringLiteral("COM"), QStringLiteral("version"),
                                     QStringLiteral("V2.1")));
  EXPECT_EQ(ini.ReadVersion(), QStringLiteral("V2.1"));
  EXPECT_EQ(ini.File().Path(), QFileInfo(TIniParamsOp::DefaultPath()).absoluteFilePath());
}

}  // namespace
