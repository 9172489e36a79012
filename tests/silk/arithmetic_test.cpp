// The integer primitives against worked examples, including the inputs where naive versions
// round, saturate or overflow differently.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "arithmetic.h"

using namespace silk;

namespace {
constexpr int32_t kMax = INT32_MAX;
constexpr int32_t kMin = INT32_MIN;
}  // namespace

TEST(Arithmetic, WidthReductionWrapsAndSaturationClamps) {
  EXPECT_EQ(wrap32(int64_t{1} << 31), kMin);
  EXPECT_EQ(int16(0x18000), -32768);
  EXPECT_EQ(int16(40000), 40000 - 65536);
  EXPECT_EQ(sat16(40000), 32767);
  EXPECT_EQ(sat16(-40000), -32768);
  EXPECT_EQ(limit(5, 10, 0), 5);
  EXPECT_EQ(limit(-5, 10, 0), 0);
  EXPECT_EQ(limit(15, 0, 10), 10);
  EXPECT_EQ(abs32(kMin), kMin);
  EXPECT_EQ(add_sat32(kMax, 1), kMax);
  EXPECT_EQ(add_sat32(kMin, -1), kMin);
  EXPECT_EQ(sub_sat32(kMin, 1), kMin);
  EXPECT_EQ(div32(-7, 2), -3);
  EXPECT_EQ(div32(7, -2), -3);
  EXPECT_EQ(mla(kMax, 1, 1), kMin);
}

TEST(Arithmetic, Shifts) {
  EXPECT_EQ(rshift(-5, 2), -2);
  EXPECT_EQ(lshift_sat32(0x10000000, 4), 2147483632);
  EXPECT_EQ(lshift_sat32(0x07FFFFFF, 4), 2147483632);
  EXPECT_EQ(lshift_sat32(0x07FFFFFF, 5), 2147483616);
  EXPECT_EQ(lshift_sat32(-0x10000001, 4), kMin);
  struct {
    int32_t a;
    int s;
    int32_t expected;
  } const rounding[] = {{-5, 1, -2},     {5, 1, 3},       {-6, 2, -1},     {-10, 2, -2},
                        {-11, 2, -3},    {-32768, 16, 0}, {-32769, 16, -1}, {98304, 16, 2},
                        {kMax, 1, 1 << 30}};
  for (const auto &c : rounding) EXPECT_EQ(rshift_round(c.a, c.s), c.expected) << c.a << ">>" << c.s;
  EXPECT_EQ(rshift_round64(-3 * (int64_t{1} << 40) + 5, 20), -3145728);
}

TEST(Arithmetic, Products) {
  EXPECT_EQ(smulbb(0x12345, 0x18000), -295862272);
  EXPECT_EQ(smulwb(0x12345678, 0x00018000), -152709948);
  EXPECT_EQ(smulwb(-196613, 1000), -3001);
  EXPECT_EQ(smulwb(100000, 70000), 6811);
  EXPECT_EQ(smulwb(-1, 1), -1);
  EXPECT_EQ(smlawb(10, -1, 1), 9);
  EXPECT_EQ(smulwt(0x12345678, 0x00030000), 13981);
  struct {
    int32_t a, b, expected;
  } const ww[] = {{-3, 98304, -5},
                  {-123456789, -987654321, 823458815},
                  {-123456789, 987654321, -823458816},
                  {kMax, kMax, -65536},
                  {kMin, kMin, 0},
                  {5 * 65536, -7, -35},
                  {-1, 1, -1}};
  for (const auto &c : ww) EXPECT_EQ(smulww(c.a, c.b), c.expected) << c.a << "*" << c.b;
  EXPECT_EQ(smlaww(1000, -123456789, 987654321), -823457816);
  EXPECT_EQ(smmul(-1, 1), -1);
  EXPECT_EQ(smmul(1 << 30, 1 << 30), 1 << 28);
  EXPECT_EQ(smmul(-123456789, 987654321), -28389653);
}

TEST(Arithmetic, RandomGenerator) {
  EXPECT_EQ(silk::rand(0), 907633515);
  EXPECT_EQ(silk::rand(1), 1103947680);
  EXPECT_EQ(silk::rand(-1), 711319350);
  EXPECT_EQ(silk::rand(907633515), -1653660526);
}

TEST(Arithmetic, BitCounting) {
  EXPECT_EQ(clz16(1), 15);
  EXPECT_EQ(clz16(-1), 0);
  EXPECT_EQ(clz16(0), 16);
  EXPECT_EQ(clz32(0), 32);
  EXPECT_EQ(clz32(1), 31);
  EXPECT_EQ(clz32(0x8000), 16);
  EXPECT_EQ(clz32(-5), 0);
  auto f = clz_frac(100);
  EXPECT_EQ(f.lz, 25);
  EXPECT_EQ(f.frac, 72);
  f = clz_frac(0x12345678);
  EXPECT_EQ(f.lz, 3);
  EXPECT_EQ(f.frac, 17);
  f = clz_frac(1);
  EXPECT_EQ(f.lz, 31);
  EXPECT_EQ(f.frac, 0);
}

TEST(Arithmetic, ApproximateDivisionIsNotExact) {
  struct {
    int32_t a, b;
    int q;
    int32_t expected;
  } const div[] = {{1, 3, 16, 21845},          {65536, 196608, 16, 21845},
                   {1000, 3, 0, 333},          {-7, 2, 0, -4},
                   {7, -2, 0, -4},             {32767, 32000, 16, 67106},
                   {0, 5, 16, 0},              {1, kMax, 16, 0},
                   {kMax, 1, 16, 2147352576},  {16393, 1, 16, 1074331652}};
  for (const auto &c : div) EXPECT_EQ(div32_varq(c.a, c.b, c.q), c.expected) << c.a << "/" << c.b;
  struct {
    int32_t b;
    int q;
    int32_t expected;
  } const inv[] = {{65536, 32, 65535},     {3, 32, 1431655765},     {-3, 32, -1431655765},
                   {1, 32, 2147483646},    {2, 32, 2147483646},     {1000000, 32, 4294},
                   {1 << 29, 46, 131071},  {kMax, 46, 32768},       {1 << 16, 46, 1073741823}};
  for (const auto &c : inv) EXPECT_EQ(inverse32_varq(c.b, c.q), c.expected) << c.b;
}

TEST(Arithmetic, SquareRootLogAndExp) {
  const std::pair<int32_t, int32_t> sqrt_cases[] = {{0, 0},    {1, 1},        {2, 1},
                                                    {4, 2},    {100, 9},      {65536, 256},
                                                    {1 << 24, 4096}, {kMax, 46293}};
  for (auto [x, y] : sqrt_cases) EXPECT_EQ(sqrt_approx(x), y) << x;
  const std::pair<int32_t, int32_t> log_cases[] = {{1, 0},      {2, 128},     {3, 203},
                                                   {100, 851},  {65536, 2048}, {kMax, 3967},
                                                   {0, -128},   {-1, 4095}};
  for (auto [x, y] : log_cases) EXPECT_EQ(lin2log(x), y) << x;
  const std::pair<int32_t, int32_t> exp_cases[] = {
      {0, 1},         {64, 1},      {127, 1},          {128, 2},           {2047, 65024},
      {2048, 65536},  {2112, 92672}, {3967, 0x7F000000}, {3968, kMax},       {-1, 0}};
  for (auto [x, y] : exp_cases) EXPECT_EQ(log2lin(x), y) << x;
  EXPECT_EQ(log2lin(lin2log(100)), 100);
  EXPECT_EQ(log2lin(lin2log(65536)), 65536);
}

TEST(Arithmetic, EnergyShiftsPairSums) {
  const int16_t quiet[] = {100, -200, 300, 7};
  auto e = sum_sqr_shift(quiet, 4);
  EXPECT_EQ(e.value, 140049);
  EXPECT_EQ(e.shift, 0);
  const int16_t loud[] = {32767, -32768, 32767, -32768, 32767};
  e = sum_sqr_shift(loud, 5);
  EXPECT_EQ(e.value, 335532032);
  EXPECT_EQ(e.shift, 4);
}

TEST(Arithmetic, BandwidthExpansionRoundsVersusFloors) {
  int16_t a16[] = {4096, -4096, 2048};
  bwexpander(a16, 3, 63570);
  EXPECT_EQ(std::vector<int16_t>(a16, a16 + 3), (std::vector<int16_t>{3973, -3854, 1869}));
  int32_t a32[] = {1048576, -1048576, 524288};
  bwexpander_32(a32, 3, 63570);
  EXPECT_EQ(std::vector<int32_t>(a32, a32 + 3), (std::vector<int32_t>{1017120, -986592, 478496}));
}

TEST(Arithmetic, InsertionSortAscending) {
  int32_t v[] = {5, -1, 3, 3, -7, 0};
  sort_all_values(v, 6);
  EXPECT_EQ(std::vector<int32_t>(v, v + 6), (std::vector<int32_t>{-7, -1, 0, 3, 3, 5}));
}
