// Boxes, point sets, raw collections and the single-precision types.
#include "KRNMathTestSupport.h"

#include "KRNMathBox.h"
#include "KRNMathBox2D.h"
#include "KRNMathDirectionf.h"
#include "KRNMathSetOfPoints.h"
#include "KRNRawColldouble.h"
#include "KRNRawCollint.h"

#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

using krnmathtest::ExpectNear;
using krnmathtest::Random;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Random points against model bounds; an empty box reads (0,0,0); a point with a NaN is ignored.
TEST(KRNMathBox, GrowsToTheComponentwiseBoundsOfItsPoints) {
  Random random(71);
  KRNMathBox box;
  KRNMathBox2D flat;
  EXPECT_TRUE(box.IsEmpty() && flat.IsEmpty());
  ExpectNear(KRNMathPoint(), box.GetLow(), 0.0);
  ExpectNear(KRNMathPoint(), box.GetHigh(), 0.0);
  KRNMathPoint low(1e300, 1e300, 1e300), high(-1e300, -1e300, -1e300);
  for (int i = 0; i < 50; ++i) {
    const KRNMathPoint p = random.Point();
    box.AddInside(p);
    flat.AddInside(KRNMathPoint2D(p.x, p.y));
    low = KRNMathPoint(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = KRNMathPoint(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    EXPECT_FALSE(box.IsEmpty() || flat.IsEmpty());
    ExpectNear(low, box.GetLow(), 0.0);
    ExpectNear(high, box.GetHigh(), 0.0);
    ExpectNear(KRNMathPoint(low.x, low.y, 0.0), KRNMathPoint(flat.GetLow().x, flat.GetLow().y, 0.0), 0.0);
    ExpectNear(KRNMathPoint(high.x, high.y, 0.0), KRNMathPoint(flat.GetHigh().x, flat.GetHigh().y, 0.0), 0.0);
  }
  box.AddInside(KRNMathPoint(kNaN, -1e9, -1e9));
  flat.AddInside(KRNMathPoint2D(-1e9, kNaN));
  ExpectNear(low, box.GetLow(), 0.0);
  EXPECT_EQ(low.x, flat.GetLow().x);
  const KRNMathBox corners(KRNMathPoint(3, -1, 2), KRNMathPoint(1, 4, 2));
  ExpectNear(KRNMathPoint(1, -1, 2), corners.GetLow(), 0.0);
  ExpectNear(KRNMathPoint(3, 4, 2), corners.GetHigh(), 0.0);
}

TEST(KRNMathSetOfPoints, IndexedFromZeroWithValueSemantics) {
  KRNMathSetOfPoints set(3);
  set.SetPoint(KRNMathPoint(1, 2, 3), 0);
  set.Append(KRNMathPoint(-1, -1, -1));
  ASSERT_EQ(4, set.GetNumberOfPoints());
  ExpectNear(KRNMathPoint(1, 2, 3), set.GetPoint(0), 0.0);
  ExpectNear(KRNMathPoint(), set.GetPoint(1), 0.0);
  ExpectNear(KRNMathPoint(-1, -1, -1), set.GetPoint(3), 0.0);
  KRNMathSetOfPoints copy(set), assigned;
  assigned = set;
  set.SetPoint(KRNMathPoint(0, 0, 0), 0);
  ExpectNear(KRNMathPoint(1, 2, 3), copy.GetPoint(0), 0.0);
  ExpectNear(KRNMathPoint(1, 2, 3), assigned.GetPoint(0), 0.0);
  EXPECT_EQ(4, assigned.GetNumberOfPoints());
  EXPECT_EQ(0, KRNMathSetOfPoints(-2).GetNumberOfPoints());
  for (const int bad : {-1, 4}) {
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { (void)set.GetPoint(bad); }).code);
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, zrmtest::CatchRaised([&] { set.SetPoint(KRNMathPoint(), bad); }).code);
  }
  EXPECT_EQ(4, set.GetNumberOfPoints());
}

// Appends random values to a raw collection and to a std::vector model, overwriting some through
// operator[], then compares them through 1-based indexing; index 0, -1 and count + 1 raise.
template <class Coll, class T>
void CheckAgainstModel(Random& random) {
  Coll coll;
  std::vector<T> model;
  EXPECT_EQ(0, coll.Size());
  for (int i = 0; i < 40; ++i) {
    const T value = static_cast<T>(random.Uniform(-100, 100));
    coll.Append(value);
    model.push_back(value);
    if (i % 7 == 3) coll[i / 2 + 1] = model[static_cast<std::size_t>(i / 2)] = static_cast<T>(i);
  }
  ASSERT_EQ(static_cast<int>(model.size()), coll.Size());
  const Coll& view = coll;
  for (int i = 1; i <= view.Size(); ++i) EXPECT_EQ(model[static_cast<std::size_t>(i - 1)], view[i]);
  for (const int bad : {0, -1, coll.Size() + 1}) {
    const zrmtest::Raised raised = zrmtest::CatchRaised([&] { (void)coll[bad]; });
    EXPECT_TRUE(raised.isZRMUtError);
    EXPECT_EQ(ZRMUtError::IndexOutOfRange, raised.code);
  }
  coll.RemoveAll();
  EXPECT_EQ(0, coll.Size());
  EXPECT_TRUE(zrmtest::CatchRaised([&] { (void)coll[1]; }).raised);
}

TEST(KRNRawColl, IndexedFromOneLikeTheModel) {
  Random random(72);
  CheckAgainstModel<KRNRawColldouble, double>(random);
  CheckAgainstModel<KRNRawCollint, int>(random);
  KRNRawColldouble first;
  first.Append(2.5);
  EXPECT_EQ("KRNRawColldouble", zrmtest::CatchRaised([&] { (void)first[2]; }).file);
}

TEST(KRNMathDirectionf, StoresItsFloatsAsGiven) {
  EXPECT_EQ(4.0f, KRNMathDirectionf(0.0f, 3.0f, 4.0f).z);  // our choice: not normalised
  EXPECT_EQ(1.0f, KRNMathDirectionf().x);
}

}  // namespace
