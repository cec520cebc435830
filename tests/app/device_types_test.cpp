#include "app/device_types.h"

#include <gtest/gtest.h>

#include "core/gbk.h"
#include "core/ini_params_op.h"
#include "support/temp_home.h"

using namespace Qt::StringLiterals;

namespace {

struct PositionRow {
  int position;
  const char16_t* name;
  int family;
};

// The device type list as delivered: position, default name, family index.
const PositionRow kPositions[] = {
    {0, u"QN-51", 0},    {1, u"QN-46/45", 1}, {2, u"QN-22", 3},   {3, u"QN-K8", 4},
    {4, u"QN-HV6", 5},   {5, u"TR-5000", 6},  {6, u"PL-39", 7},   {7, u"QN-23", 8},
    {8, u"QN-HV8", 9},   {9, u"QN-24", 9},    {10, u"QN-T1", 10}, {11, u"QN-44", 11},
    {12, u"QN-51N", 12},
};

TEST(DeviceTypeTable, EveryPositionGivesItsFamilyAndDefaultName) {
  for (const PositionRow& row : kPositions) {
    SCOPED_TRACE(row.position);
    EXPECT_EQ(DeviceFamilyForPosition(row.position), row.family);
    EXPECT_EQ(DefaultDeviceTypeName(row.position), QString::fromUtf16(row.name));
  }
}

TEST(DeviceTypeTable, TwoPositionsShareFamilyNineAndNoneLeadsToTwo) {
  EXPECT_EQ(DeviceFamilyForPosition(8), 9);
  EXPECT_EQ(DeviceFamilyForPosition(9), 9);
  for (int p = 0; p < kDeviceTypeCount; ++p) EXPECT_NE(DeviceFamilyForPosition(p), 2) << p;
}

TEST(DeviceTypeTable, NoSelectionLeavesTheInitialFamily) {
  for (const int position : {-1, 13, 100, -1000}) {
    EXPECT_EQ(DeviceFamilyForPosition(position), 0) << position;
    EXPECT_TRUE(DefaultDeviceTypeName(position).isEmpty()) << position;
  }
}

class DeviceTypeNamesTest : public testing::Test {
 protected:
  TTempHome home;
  TIniParamsOp ini{TIniParamsOp::DefaultPath()};
};

TEST_F(DeviceTypeNamesTest, WithoutAFileAllThirteenDefaults) {
  ASSERT_TRUE(home.IsValid());
  const QStringList names = LoadDeviceTypeNames(ini);
  ASSERT_EQ(names.size(), kDeviceTypeCount);
  for (const PositionRow& row : kPositions)
    EXPECT_EQ(names[row.position], QString::fromUtf16(row.name));
  EXPECT_FALSE(home.Exists(QStringLiteral("Quvial.ini")));  // reading creates nothing
}

TEST_F(DeviceTypeNamesTest, StoredNamesReplaceDefaultsKeyByKey) {
  // A file from an existing installation: GBK text, keys in any case, CRLF.
  const QByteArray file =
      "[COM]\r\nTVTYPE2=" + Gbk::Encode(u"大屏二号"_s) + "\r\ntvtype13=Net\r\ntvtype5=\r\n";
  ASSERT_TRUE(home.Write(QStringLiteral("Quvial.ini"), file));
  const QStringList names = LoadDeviceTypeNames(ini);
  ASSERT_EQ(names.size(), kDeviceTypeCount);
  EXPECT_EQ(names[1], u"大屏二号"_s);
  EXPECT_EQ(names[12], u"Net"_s);
  EXPECT_EQ(names[4], QString());  // stored empty stays empty
  EXPECT_EQ(names[0], u"QN-51"_s);
  EXPECT_EQ(names[11], u"QN-44"_s);
}

TEST_F(DeviceTypeNamesTest, CountLimitsTheListButNeverPassesThirteen) {
  EXPECT_EQ(LoadDeviceTypeNames(ini, 12).size(), 12);
  EXPECT_EQ(LoadDeviceTypeNames(ini, 12).last(), u"QN-44"_s);
  EXPECT_EQ(LoadDeviceTypeNames(ini, 40).size(), kDeviceTypeCount);
  EXPECT_TRUE(LoadDeviceTypeNames(ini, 0).isEmpty());
  EXPECT_TRUE(LoadDeviceTypeNames(ini, -3).isEmpty());
}

TEST_F(DeviceTypeNamesTest, WrittenNameIsReadBackByAnotherStore) {
  TIniParamsOp writer(TIniParamsOp::DefaultPath());
  writer.WriteTvType(3, u"三号"_s);
  EXPECT_EQ(LoadDeviceTypeNames(ini)[2], u"三号"_s);
  EXPECT_TRUE(home.Read(QStringLiteral("Quvial.ini")).contains(Gbk::Encode(u"三号"_s)));
}

}  // namespace
