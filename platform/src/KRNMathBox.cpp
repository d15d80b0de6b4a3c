#include "KRNMathBox.h"
#include "KRNMathBox2D.h"

#include <algorithm>
#include <cmath>

KRNMathBox::KRNMathBox(const KRNMathPoint& corner1, const KRNMathPoint& corner2) {
  AddInside(corner1);
  AddInside(corner2);
}

void KRNMathBox::AddInside(const KRNMathPoint& p) {
  if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) return;
  if (mEmpty) {
    mLow = p;
    mHigh = p;
    mEmpty = false;
    return;
  }
  mLow = KRNMathPoint(std::min(mLow.x, p.x), std::min(mLow.y, p.y), std::min(mLow.z, p.z));
  mHigh = KRNMathPoint(std::max(mHigh.x, p.x), std::max(mHigh.y, p.y), std::max(mHigh.z, p.z));
}

KRNMathBox2D::KRNMathBox2D(const KRNMathPoint2D& corner1, const KRNMathPoint2D& corner2) {
  AddInside(corner1);
  AddInside(corner2);
}

void KRNMathBox2D::AddInside(const KRNMathPoint2D& p) {
  if (std::isnan(p.x) || std::isnan(p.y)) return;
  if (mEmpty) {
    mLow = p;
    mHigh = p;
    mEmpty = false;
    return;
  }
  mLow = KRNMathPoint2D(std::min(mLow.x, p.x), std::min(mLow.y, p.y));
  mHigh = KRNMathPoint2D(std::max(mHigh.x, p.x), std::max(mHigh.y, p.y));
}
