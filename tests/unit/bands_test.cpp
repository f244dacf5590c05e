// The band arithmetic on the host's own examples and at its edges.
#include "pool/bands.h"

#include <gtest/gtest.h>

namespace rowfork {
namespace {

void ExpectBands(Bands bands, int32_t per_slice, int32_t last) {
  EXPECT_TRUE(bands.Splits());
  EXPECT_EQ(bands.per_slice, per_slice);
  EXPECT_EQ(bands.last, last);
}

TEST(Bands, RowsDivideWithTheRestOnTheLastSlice) {
  ExpectBands(DivideRows(10, 4), 2, 4);
  ExpectBands(DivideRows(4, 4), 1, 1);
  ExpectBands(DivideRows(7, 2), 3, 4);
  ExpectBands(DivideRows(65535, 2), 32767, 32768);
  ExpectBands(DivideRows(100000, 2), 50000, 50000);
  EXPECT_EQ(DivideRows(10, 4).First(3), 6);
  EXPECT_EQ(DivideRows(10, 4).Count(3, 4), 4);
  EXPECT_EQ(DivideRows(10, 4).Count(2, 4), 2);
}

TEST(Bands, NothingToShareDoesNotSplit) {
  EXPECT_FALSE(DivideRows(3, 4).Splits());
  EXPECT_FALSE(DivideRows(0, 2).Splits());
  EXPECT_FALSE(DivideRows(-7, 2).Splits()) << "negative counts never reach a slice";
  EXPECT_FALSE(DivideRows(-32768, 2).Splits());
  EXPECT_FALSE(DivideRows(100, 1).Splits()) << "no pool of one";
  EXPECT_FALSE(DivideRows(100, 0).Splits());
}

TEST(Bands, AlignedRowsAreMultiplesOfTheModulus) {
  ExpectBands(DivideAligned(100, 2, 16), 48, 52);
  EXPECT_FALSE(DivideAligned(100, 2, 1024).Splits());
  ExpectBands(DivideAligned(100, 2, 0), 50, 50);
  ExpectBands(DivideAligned(100, 2, -16), 48, 52);
}

TEST(Bands, ChunkRules) {
  EXPECT_FALSE(DivideInMultiples(7, 2, 4).Splits());
  ExpectBands(DivideInMultiples(20, 2, 4), 8, 12);
  EXPECT_FALSE(DivideInEights(8, 2).Splits());
  ExpectBands(DivideInEights(9, 2), 8, 1);
  ExpectBands(DivideInEights(100, 2), 48, 52);
  EXPECT_FALSE(DivideInEights(16, 3).Splits()) << "the last slice would get nothing";
  EXPECT_FALSE(DivideInEights(12, 3).Splits()) << "a slice would reach past the run";
  ExpectBands(DivideInEights(17, 3), 8, 1);
}

TEST(Bands, OffsetsAndCoordinates) {
  EXPECT_EQ(RowOffset(3, int16_t{100}), 300);
  EXPECT_EQ(RowOffset(3, int16_t{-5}), -15);
  EXPECT_EQ(RowOffset(2, int32_t{100}, int16_t{3}), 600);
  EXPECT_EQ(EvenOffset(RowOffset(3, 5)), 14);
  EXPECT_EQ(EvenOffset(RowOffset(6, 5)), 30);
  EXPECT_EQ(EvenOffset(RowOffset(3, -5)), -16);
  EXPECT_EQ(MoveRow(100, 6), 106);
  EXPECT_EQ(MoveRow(-8, 4), -4);
  EXPECT_EQ(MoveRow(32767, 1), -32768);
  if constexpr (sizeof(intptr_t) == 4) {
    EXPECT_EQ(RowOffset(65536, 65536), 0) << "32-bit wrapping on the 32-bit target";
  } else {
    EXPECT_EQ(RowOffset(65536, 65536), intptr_t{1} << 32);
  }
}

}  // namespace
}  // namespace rowfork
