// KRNRawColldouble: a growable collection of doubles indexed from 1 (see KRNRawColl).
#ifndef KRNRawColldouble_h
#define KRNRawColldouble_h

#include "KRNPlatformExport.h"
#include "KRNRawColl.h"

class KRN_API KRNRawColldouble : public KRNRawColl<double> {
public:
  KRNRawColldouble() : KRNRawColl<double>("KRNRawColldouble") {}
};

#endif
