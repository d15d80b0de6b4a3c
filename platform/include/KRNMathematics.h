// KRNMathematics: every value type and constant of the platform's math library.
#ifndef KRNMathematics_h
#define KRNMathematics_h

#include "KRNMath3x3Matrix.h"
#include "KRNMathAxis.h"
#include "KRNMathBox.h"
#include "KRNMathBox2D.h"
#include "KRNMathCircle.h"
#include "KRNMathConstants.h"
#include "KRNMathDirection.h"
#include "KRNMathDirectionf.h"
#include "KRNMathLine.h"
#include "KRNMathPlane.h"
#include "KRNMathPoint.h"
#include "KRNMathPoint2D.h"
#include "KRNMathPointf.h"
#include "KRNMathSetOfPoints.h"
#include "KRNMathTransformation.h"
#include "KRNMathVector.h"
#include "KRNMathVectorf.h"

#endif
